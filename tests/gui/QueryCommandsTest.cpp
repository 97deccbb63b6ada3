// The query commands of the drive tree on a real catalogue: new and edited queries run when
// selected, combination by dropping one query onto another, saving, deleting, free SQL as a
// listed query and as a command, bulk replace, parameters asked for, customized display. The
// dialogs are answered by a script that drives their widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <deque>

#include "GuiFixture.h"
#include "app/CatalogueHost.h"
#include "app/ListSort.h"
#include "app/QueryTree.h"
#include "database/InfoSet.h"
#include "database/ParamSet.h"
#include "database/QuerySet.h"
#include "database/dialogs/BulkReplaceDialog.h"
#include "database/dialogs/ConditionRow.h"
#include "database/dialogs/CustomDisplayDialog.h"
#include "database/dialogs/ParamNotFoundDialog.h"
#include "database/dialogs/QueryDesignerDialog.h"
#include "database/dialogs/SqlQueryDialog.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "views/DatabaseCommands.h"
#include "views/DiskView.h"
#include "views/DriveView.h"
#include "views/QueryCommands.h"
#include "views/RecordListModel.h"
#include "views/TreeItemModel.h"

namespace tavik {
namespace {

void Choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
}

template <class D>
D& As(QDialog& dialog) {
    D* d = dynamic_cast<D*>(&dialog);
    EXPECT_NE(d, nullptr) << "another dialog came: " << dialog.windowTitle().toStdString();
    return *d;
}

// The program with a catalogue of known rows (ALPHA 720 DS, BRAVO 360, CHARLIE 1440 DS, DELTA
// 720; LOADER PROGRAM on ALPHA and BRAVO, README on ALPHA, DATA on CHARLIE, GAME PROGRAM on
// BRAVO). The dialogs of the query commands and of the database commands are answered by the
// script; a dialog the script does not expect is cancelled.
class QueryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = test::TempFolder();
        program = std::make_unique<test::CProgram>(folder);
        ASSERT_TRUE(program->Started());
        SetNextAnswer([this](QDialog& d) { AnswerFileDialog(d, folder + "/Floppies"); });
        ASSERT_TRUE(frame().Execute(CommandId::DbNew));
        ASSERT_TRUE(catalogue().IsOpen());
        const auto answer = [this](QDialog& d) {
            ++dialogs;
            if (script.empty()) {
                d.reject();
                return;
            }
            auto step = script.front();
            script.pop_front();
            step(d);
        };
        SetStandingAnswer(answer);
        const int alpha = AddDisk("ALPHA", 720, true), bravo = AddDisk("BRAVO", 360, false),
                  charlie = AddDisk("CHARLIE", 1440, true);
        AddDisk("DELTA", 720, false);
        const int loader = AddFile("LOADER", "PROGRAM", 33),
                  readme = AddFile("README", "DIS/VAR 80", 5),
                  data = AddFile("DATA", "INT/FIX 12", 12), game = AddFile("GAME", "PROGRAM", 50);
        Link(alpha, loader);
        Link(bravo, loader);
        Link(alpha, readme);
        Link(charlie, data);
        Link(bravo, game);
        frame().SetActivePane(Pane::DriveTree);
    }

    int AddDisk(const std::string& name, int size, bool ds) {
        CDiskSet& d = catalogue().DiskSet();
        EXPECT_TRUE(d.IsOpen() || d.Open());
        EXPECT_TRUE(d.AddNew());
        d.m_DiskName = name;
        d.m_Size = size;
        d.m_DS = ds;
        EXPECT_TRUE(d.Update()) << d.ErrorText();
        return d.m_ID;
    }
    int AddFile(const std::string& name, const std::string& type, int size) {
        CFileSet& f = catalogue().FileSet();
        EXPECT_TRUE(f.IsOpen() || f.Open());
        EXPECT_TRUE(f.AddNew());
        f.m_FileName = name;
        f.m_Type = type;
        f.m_Size = size;
        EXPECT_TRUE(f.Update()) << f.ErrorText();
        return f.m_ID;
    }
    void Link(int disk, int file) {
        CRecordSet link(&catalogue().Database());
        ASSERT_TRUE(link.Open("SELECT ALL * FROM [DiskFileMM]"));
        link.AddNew();
        link.SetFieldValue("DiskID", CDbValue::Integer(disk));
        link.SetFieldValue("FileID", CDbValue::Integer(file));
        ASSERT_TRUE(link.Update()) << link.ErrorText();
    }
    long Count(const std::string& table) {
        CRecordSet set(&catalogue().Database());
        return set.Open("SELECT ALL * FROM [" + table + "]") ? set.GetRecordCount() : -1;
    }
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> values;
        CRecordSet set(&catalogue().Database());
        EXPECT_TRUE(set.Open(sql)) << set.ErrorText();
        for (; set.IsOpen() && !set.IsEOF(); set.MoveNext())
            values.push_back(set.GetFieldValue(0).AsText());
        return values;
    }

    // A designer answer: name, table and the WHERE text typed in.
    static std::function<void(QDialog&)> Design(const char* name, const char* table,
                                                const char* where) {
        return [=](QDialog& dialog) {
            auto& d = As<CQueryDesignerDialog>(dialog);
            d.NameBox()->setText(name);
            Choose(d.TableBox(), table);
            d.WhereBox()->setPlainText(where);
            d.accept();
        };
    }

    CTreeItem* LastQuery() {
        CTreeItem* root = tree().DatabaseRootItem();
        return root->Child(root->ChildCount() - 1);
    }
    // The names (the "Disk name" or "File name" column, else the first) the list shows, sorted.
    std::vector<std::string> Listed() {
        int column = 0;
        for (int c = 0; c < records().columnCount(); ++c) {
            const std::string h = HeaderWithoutMark(records().Header(c));
            if (h == "Disk name" || h == "File name") column = c;
        }
        std::vector<std::string> names;
        for (int r = 0; r < records().rowCount(); ++r) {
            std::string n = records().Cell(r, column);
            while (!n.empty() && n.back() == ' ')
                n.pop_back();
            names.push_back(n);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    CMainFrame& frame() { return program->Frame(); }
    CQueryCommands& commands() { return frame().QueryCommands(); }
    CDatabaseCommands& database() { return frame().DatabaseCommands(); }
    CCatalogue& catalogue() { return program->App().Database().Catalogue(); }
    CDriveView& view() { return *frame().DriveView(); }
    CDiskView& list() { return *frame().DiskView(); }
    CRecordListModel& records() { return *list().RecordModel(); }
    CTreeModel& tree() { return program->App().Tree(); }
    test::CAnsweringPrompt& prompt() { return program->Prompt(); }

    std::string folder;
    std::unique_ptr<test::CProgram> program;
    std::deque<std::function<void(QDialog&)>> script;
    int dialogs = 0;
};

TEST_F(QueryCommandsTest, NewQueryIsInsertedSelectedAndListed) {
    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        d.NameBox()->setText("Double sided");
        Choose(d.Conditions()->ColumnBox(), "DS");
        Choose(d.Conditions()->OperatorBox(), " = YES");
        d.Conditions()->AndButton()->click();
        d.accept();
    });
    ASSERT_TRUE(frame().Execute(CommandId::DbNewQuery));
    CTreeItem* q = LastQuery();
    ASSERT_EQ(q->Kind(), NodeKind::DiskQuery);
    EXPECT_EQ(q->Text(), "Double sided");
    EXPECT_EQ(view().SelectedItem(), q);
    EXPECT_EQ(list().Mode(), ListMode::DiskRecords);
    EXPECT_EQ(database().ShownNode(), q);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"ALPHA", "CHARLIE"}));

    // Cancelled: nothing is inserted.
    const int children = tree().DatabaseRootItem()->ChildCount();
    frame().Execute(CommandId::DbNewQuery);
    EXPECT_EQ(tree().DatabaseRootItem()->ChildCount(), children);
}

TEST_F(QueryCommandsTest, EditingTheSelectedQueryRunsItAgain) {
    script.push_back(Design("Big", "Disks", "[Size] > 700"));
    frame().Execute(CommandId::DbNewQuery);
    CTreeItem* q = LastQuery();
    EXPECT_EQ(Listed(), (std::vector<std::string>{"ALPHA", "CHARLIE", "DELTA"}));
    // The context item ("Edit" of the context menu) goes before the selection.
    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        EXPECT_EQ(d.NameBox()->text(), "Big");
        EXPECT_EQ(d.WhereBox()->toPlainText(), "[Size] > 700");
        d.WhereBox()->setPlainText("[Size] > 1000");
        d.accept();
    });
    view().SetContextItem(q);
    ASSERT_TRUE(frame().Execute(CommandId::DbEditQuery));
    EXPECT_EQ(q->Node().where, "[Size] > 1000");
    EXPECT_EQ(Listed(), std::vector<std::string>{"CHARLIE"});

    // A double-click opens the query for editing too.
    frame().resize(900, 600);
    frame().show();
    tree().Expand(tree().DatabaseRootItem());
    QApplication::processEvents();
    const QRect r = view().visualRect(view().ItemModel()->IndexOf(q));
    ASSERT_TRUE(r.isValid());
    bool edited = false;
    script.push_back([&](QDialog& dialog) {
        edited = As<CQueryDesignerDialog>(dialog).NameBox()->text() == "Big";
        dialog.reject();
    });
    QMouseEvent click(QEvent::MouseButtonDblClick, r.center(),
                      view().viewport()->mapToGlobal(r.center()), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view().viewport(), &click);
    EXPECT_TRUE(edited);
}

TEST_F(QueryCommandsTest, DroppingAFileQueryOntoADiskQueryCombinesThem) {
    script.push_back(Design("Double sided", "Disks", "[DS] = YES"));
    frame().Execute(CommandId::DbNewQuery);
    CTreeItem* disks = LastQuery();
    script.push_back(Design("Programs", "Files", "[Type] = \"PROGRAM\""));
    frame().Execute(CommandId::DbNewQuery);
    CTreeItem* programs = LastQuery();
    EXPECT_EQ(Listed(), (std::vector<std::string>{"GAME", "LOADER"}));

    // Cancelled: the query goes back where it was.
    const int row = programs->Row();
    EXPECT_TRUE(commands().DropQuery(programs, disks, false));
    EXPECT_EQ(programs->Parent(), tree().DatabaseRootItem());
    EXPECT_EQ(programs->Row(), row);

    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        EXPECT_EQ(d.findChild<QLabel*>("parentName")->text(), "Double sided");
        Choose(d.CombinationBox(), "Files on disks from");
        d.accept();
    });
    EXPECT_TRUE(commands().DropQuery(programs, disks, false));
    EXPECT_EQ(programs->Parent(), disks);
    EXPECT_EQ(programs->Node().combination, 6);
    EXPECT_EQ(view().SelectedItem(), programs);
    EXPECT_EQ(Listed(), std::vector<std::string>{"LOADER"});  // programs on ALPHA or CHARLIE
    // With TAVIK_SHOTS set to a folder, the window is saved there to be looked at.
    const QByteArray shots = qgetenv("TAVIK_SHOTS");
    if (!shots.isEmpty()) {
        frame().resize(900, 500);
        frame().show();
        QApplication::processEvents();
        frame().grab().save(QDir(QString::fromLocal8Bit(shots)).filePath("query-results.png"));
    }

    // A query cannot go under one combined with it.
    const int before = dialogs;
    EXPECT_TRUE(commands().DropQuery(disks, programs, false));
    EXPECT_EQ(disks->Parent(), tree().DatabaseRootItem());
    EXPECT_EQ(dialogs, before);
}

TEST_F(QueryCommandsTest, SaveByCommandByDropAndByPasteOntoSavedQueries) {
    script.push_back(Design("Double sided", "Disks", "[DS] = YES"));
    frame().Execute(CommandId::DbNewQuery);
    CTreeItem* disks = LastQuery();
    script.push_back(Design("Programs", "Files", "[Type] = \"PROGRAM\""));
    frame().Execute(CommandId::DbNewQuery);
    CTreeItem* programs = LastQuery();
    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        d.CombinationBox()->setCurrentIndex(1);
        d.accept();
    });
    commands().DropQuery(programs, disks, false);

    view().SetContextItem(programs);
    ASSERT_TRUE(frame().Execute(CommandId::DbSaveQuery));
    EXPECT_EQ(prompt().messages.back(), "Query saved in database");
    CQuerySet saved(&catalogue().Database());
    ASSERT_TRUE(saved.Open());
    ASSERT_FALSE(saved.IsEOF());
    EXPECT_EQ(saved.m_QueryName.Value(), "Programs");
    EXPECT_EQ(saved.m_ParentName.Value(), "Double sided");
    EXPECT_EQ(saved.m_From.Value(), "Files");
    // Dropped onto "Saved queries": saved again, after the question.
    prompt().answers = {PromptAnswer::Ok};
    EXPECT_TRUE(commands().DropQuery(programs, tree().SavedQueriesItem(), false));
    EXPECT_EQ(prompt().questions.back(), "Query with same name already exists. Overwrite?");
    EXPECT_EQ(Count("Queries"), 1);
    // Pasted there through the tree's clip, while the list shows the saved queries.
    view().Select(disks);
    ASSERT_TRUE(frame().Execute(CommandId::EditCopy));
    view().Select(tree().SavedQueriesItem());
    ASSERT_EQ(list().Mode(), ListMode::SavedQueries);
    ASSERT_EQ(records().rowCount(), 1);
    ASSERT_TRUE(frame().Execute(CommandId::EditPaste));
    EXPECT_EQ(Count("Queries"), 2);
    EXPECT_EQ(records().rowCount(), 2);  // the list shows it at once
}

TEST_F(QueryCommandsTest, DeleteRemovesTheQueryWithItsCombinedQueriesAndEmptiesTheList) {
    script.push_back(Design("Double sided", "Disks", "[DS] = YES"));
    frame().Execute(CommandId::DbNewQuery);
    CTreeItem* disks = LastQuery();
    script.push_back(Design("Programs", "Files", ""));
    frame().Execute(CommandId::DbNewQuery);
    script.push_back([](QDialog& d) { d.accept(); });
    commands().DropQuery(LastQuery(), disks, false);
    ASSERT_GT(records().rowCount(), 0);
    const int children = tree().DatabaseRootItem()->ChildCount();
    view().SetContextItem(disks);
    ASSERT_TRUE(frame().Execute(CommandId::DbDeleteQuery));
    EXPECT_EQ(tree().DatabaseRootItem()->ChildCount(), children - 1);
    EXPECT_EQ(records().rowCount(), 0);
    EXPECT_EQ(database().ShownNode(), nullptr);
    EXPECT_EQ(Count("Queries"), 0);  // the database is not touched
    // Not on other items.
    view().SetContextItem(tree().SavedQueriesItem());
    EXPECT_FALSE(frame().Execute(CommandId::DbDeleteQuery));
}

TEST_F(QueryCommandsTest, AParameterWithoutAValueIsAskedForAndMayBeKept) {
    script.push_back(Design("Larger", "Disks", "[Size] > [Min size]"));
    script.push_back([](QDialog& dialog) {
        auto& d = As<CParamNotFoundDialog>(dialog);
        EXPECT_EQ(d.NameLabel()->text(), "Min size");
        d.ValueBox()->setText("700");
        d.SaveBox()->setChecked(true);
        d.accept();
    });
    frame().Execute(CommandId::DbNewQuery);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"ALPHA", "CHARLIE", "DELTA"}));
    CParamSet params(&catalogue().Database());
    ASSERT_TRUE(params.Open());
    ASSERT_FALSE(params.IsEOF());
    EXPECT_EQ(params.m_Name.Value(), "Min size");
    EXPECT_EQ(params.m_Type.Value(), kParamNumber);
    EXPECT_EQ(params.m_Value.Value(), "700");

    // Cancel abandons the run: the list keeps what it showed.
    CTreeItem* larger = LastQuery();
    script.push_back(Design("Ask", "Disks", "[Size] > [Other]"));
    frame().Execute(CommandId::DbNewQuery);  // the parameter question is cancelled
    EXPECT_EQ(database().ShownNode(), larger);
    EXPECT_EQ(records().rowCount(), 3);
}

TEST_F(QueryCommandsTest, FreeSqlRunNowListsResultsAndCommandsRunWhenAsked) {
    {
        CParamSet p(&catalogue().Database());
        ASSERT_TRUE(p.Open() && p.AddNew());
        p.m_Name = "Min size";
        p.m_Type = 2;
        p.m_Value = "1000";
        ASSERT_TRUE(p.Update());
    }
    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        d.NameBox()->setText("Big ones");
        d.StatementBox()->setPlainText("SELECT [Disk name], [Size] FROM [Disks] WHERE [Size] > ");
        d.StatementBox()->moveCursor(QTextCursor::End);
        Choose(d.ParameterBox(), "Min size");
        d.RunNowButton()->click();
    });
    ASSERT_TRUE(frame().Execute(CommandId::DbSqlQuery));
    CTreeItem* listed = LastQuery();
    ASSERT_EQ(listed->Kind(), NodeKind::SqlQuery);
    EXPECT_EQ(listed->Node().sql,
              "SELECT [Disk name], [Size] FROM [Disks] WHERE [Size] > [Min size]");
    EXPECT_EQ(list().Mode(), ListMode::SqlResults);
    EXPECT_EQ(Listed(), std::vector<std::string>{"CHARLIE"});
    EXPECT_EQ(prompt().messages.back(), "Done");

    // OK stores a command without running it; "Run" runs it.
    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        d.NameBox()->setText("Forget params");
        d.StatementBox()->setPlainText("DELETE FROM [Params]");
        d.ExecuteButton()->setChecked(true);
        d.accept();
    });
    ASSERT_TRUE(frame().Execute(CommandId::DbSqlQuery));
    CTreeItem* command = LastQuery();
    EXPECT_EQ(command->Node().display, "None");
    EXPECT_EQ(Count("Params"), 1);
    // Selecting it does not execute it either (arrow keys pass over it).
    view().Select(command);
    EXPECT_EQ(Count("Params"), 1);
    commands().RunNode(command);
    EXPECT_EQ(prompt().messages.back(), "Modified 1 records");
    EXPECT_EQ(Count("Params"), 0);
    // "Run now" on a new command executes it once.
    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        d.NameBox()->setText("Tag all");
        d.StatementBox()->setPlainText("UPDATE [Disks] SET [Info2] = \"+\"");
        d.ExecuteButton()->setChecked(true);
        d.RunNowButton()->click();
    });
    ASSERT_TRUE(frame().Execute(CommandId::DbSqlQuery));
    EXPECT_EQ(prompt().messages.back(), "Modified 4 records");
    EXPECT_EQ(Column("SELECT ALL [Info2] FROM [Disks]"),
              (std::vector<std::string>{"+", "+", "+", "+"}));
    // Editing the listed query opens the SQL dialog on it.
    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        EXPECT_TRUE(d.DisplayButton()->isChecked());
        EXPECT_EQ(d.NameBox()->text(), "Big ones");
        d.reject();
    });
    view().SetContextItem(listed);
    frame().Execute(CommandId::DbEditQuery);
    EXPECT_TRUE(script.empty());
}

TEST_F(QueryCommandsTest, BulkReplaceUpdatesAndStaysOpenOnAnEngineError) {
    int runs = 0;
    script.push_back([&](QDialog& dialog) {
        auto& d = As<CBulkReplaceDialog>(dialog);
        d.SetBox()->setText("[Nope] = 1");
        d.UpdateButton()->click();
        EXPECT_NE(d.result(), QDialog::Accepted);  // the engine's message; still open
        ++runs;
        d.SetBox()->clear();
        Choose(d.TableBox(), "Files");
        Choose(d.SetColumnBox(), "Info1");
        d.SetAddButton()->click();
        d.UpdateButton()->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    ASSERT_TRUE(frame().Execute(CommandId::DbBulkUpdate));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(prompt().messages.back(), "Done. Modified 4 records");
    EXPECT_EQ(Column("SELECT ALL [Info1] FROM [Files]"),
              (std::vector<std::string>{"x", "x", "x", "x"}));
}

TEST_F(QueryCommandsTest, CustomizeListChangesTheShownQueryAndKeepsTheDefaultsInInfo) {
    script.push_back(Design("All disks", "Disks", ""));
    frame().Execute(CommandId::DbNewQuery);
    ASSERT_EQ(list().Mode(), ListMode::DiskRecords);
    script.push_back([](QDialog& dialog) {
        auto& d = As<CCustomDisplayDialog>(dialog);
        Choose(d.ApplyToBox(), "Default disk query fields");
        d.GetCurrentButton()->click();
        d.TextBox()->setPlainText("[Disk name] [Free]");
        d.SaveButton()->click();
        Choose(d.ApplyToBox(), "Current query");
        d.TextBox()->setPlainText("[ID] [Disk name]<80 left>");
        d.accept();  // the edited text goes to the query
    });
    ASSERT_TRUE(frame().Execute(CommandId::ViewCustomizeList));
    EXPECT_EQ(LastQuery()->Node().display, "[ID] [Disk name]<80 left>");
    ASSERT_EQ(records().columnCount(), 2);
    EXPECT_EQ(HeaderWithoutMark(records().Header(1)), "Disk name");
    DisplayDefaults stored;
    ASSERT_TRUE(stored.Load(catalogue().Database()));
    EXPECT_EQ(stored.diskFields, "[Disk name] [Free]");
}

}  // namespace
}  // namespace tavik
