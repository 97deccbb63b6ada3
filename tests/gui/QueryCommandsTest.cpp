// The query commands of the drive tree on a real catalogue: new and edited queries run when
// selected, combination by dropping one query onto another, saving, deleting, free SQL as a
// listed query and as a command, bulk replace, parameters asked for, customized display. The
// dialogs are answered by a script that drives their widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <deque>

#include "app/Options.h"
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
#include "database/query/QueryCatalogue.h"
#include "views/DriveView.h"
#include "views/QueryCommands.h"
#include "views/TreeOperations.h"

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

class QueryCommandsTest : public test::QueryCatalogue {
protected:
    void SetUp() override {
        test::QueryCatalogue::SetUp();
        tree.CreateRoots();
        tree.SetKind(tree.DatabaseRootItem(), NodeKind::DatabaseOpen);
        view = std::make_unique<CDriveView>(tree, appOptions, prompt);
        commands = std::make_unique<CQueryCommands>(*view, catalogue, prompt, nullptr, "/pc/here");
        view->SetQueryHandler(commands.get());
        view->SetClip(&clip);
        CQueryCommands::ListHooks hooks;
        hooks.showResults = [this](CTreeItem* node) {
            shown.push_back(node);
            shownNode = node;
        };
        hooks.clear = [this] {
            ++cleared;
            shownNode = nullptr;
        };
        hooks.showsSavedQueries = [] { return false; };
        hooks.shownNode = [this] { return shownNode; };
        hooks.redraw = [this] { ++redrawn; };
        commands->SetListHooks(hooks);
        commands->SetDialogHook([this](QDialog& d) {
            ++dialogs;
            if (script.empty()) {
                d.reject();
                return;
            }
            auto step = script.front();
            script.pop_front();
            step(d);
        });
    }

    // A designer answer: name, table and one condition typed into the WHERE box.
    static std::function<void(QDialog&)> Design(const char* name, const char* table,
                                                const char* where, const char* combination = "") {
        return [=](QDialog& dialog) {
            auto& d = As<CQueryDesignerDialog>(dialog);
            d.NameBox()->setText(name);
            Choose(d.TableBox(), table);
            if (*combination) Choose(d.CombinationBox(), combination);
            d.WhereBox()->setPlainText(where);
            d.accept();
        };
    }

    CTreeItem* LastQuery() {
        CTreeItem* root = tree.DatabaseRootItem();
        return root->Child(root->ChildCount() - 1);
    }

    std::vector<std::string> DiskNames() { return RowNames(catalogue.DiskSet(), "Disk name"); }
    std::vector<std::string> FileNames() { return RowNames(catalogue.FileSet(), "File name"); }

    CTreeModel tree;
    COptions appOptions;
    std::string clip;
    std::unique_ptr<CDriveView> view;
    std::unique_ptr<CQueryCommands> commands;
    std::deque<std::function<void(QDialog&)>> script;
    std::vector<CTreeItem*> shown;
    CTreeItem* shownNode = nullptr;
    int cleared = 0, redrawn = 0, dialogs = 0;
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
    ASSERT_TRUE(view->HandleCommand(CommandId::DbNewQuery));
    CTreeItem* q = LastQuery();
    ASSERT_EQ(q->Kind(), NodeKind::DiskQuery);
    EXPECT_EQ(q->Text(), "Double sided");
    EXPECT_EQ(view->SelectedItem(), q);
    ASSERT_EQ(shown, std::vector<CTreeItem*>{q});
    EXPECT_EQ(Sorted(DiskNames()), (std::vector<std::string>{"ALPHA", "CHARLIE"}));

    // Cancelled: nothing is inserted.
    const int children = tree.DatabaseRootItem()->ChildCount();
    view->HandleCommand(CommandId::DbNewQuery);
    EXPECT_EQ(tree.DatabaseRootItem()->ChildCount(), children);
}

TEST_F(QueryCommandsTest, EditingTheSelectedQueryRunsItAgain) {
    script.push_back(Design("Big", "Disks", "[Size] > 700"));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* q = LastQuery();
    EXPECT_EQ(Sorted(DiskNames()), (std::vector<std::string>{"ALPHA", "CHARLIE", "DELTA"}));
    // The context item ("Edit" of the context menu) goes before the selection.
    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        EXPECT_EQ(d.NameBox()->text(), "Big");
        EXPECT_EQ(d.WhereBox()->toPlainText(), "[Size] > 700");
        d.WhereBox()->setPlainText("[Size] > 1000");
        d.accept();
    });
    view->SetContextItem(q);
    view->HandleCommand(CommandId::DbEditQuery);
    EXPECT_EQ(q->Node().where, "[Size] > 1000");
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(DiskNames(), std::vector<std::string>{"CHARLIE"});
}

TEST_F(QueryCommandsTest, DroppingAFileQueryOntoADiskQueryCombinesThem) {
    script.push_back(Design("Double sided", "Disks", "[DS] = YES"));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* disks = LastQuery();
    script.push_back(Design("Programs", "Files", "[Type] = \"PROGRAM\""));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* programs = LastQuery();
    EXPECT_EQ(Sorted(FileNames()), (std::vector<std::string>{"GAME", "LOADER"}));

    // Cancelled: the query goes back where it was.
    const int row = programs->Row();
    EXPECT_TRUE(commands->DropQuery(programs, disks, false));
    EXPECT_EQ(programs->Parent(), tree.DatabaseRootItem());
    EXPECT_EQ(programs->Row(), row);

    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        EXPECT_EQ(d.findChild<QLabel*>("parentName")->text(), "Double sided");
        Choose(d.CombinationBox(), "Files on disks from");
        d.accept();
    });
    view->Select(programs);
    EXPECT_TRUE(commands->DropQuery(programs, disks, false));
    EXPECT_EQ(programs->Parent(), disks);
    EXPECT_EQ(programs->Node().combination, 6);
    EXPECT_EQ(FileNames(), std::vector<std::string>{"LOADER"});  // programs on ALPHA or CHARLIE

    // A query cannot go under one combined with it; a free SQL source is no drop.
    const int before = dialogs;
    EXPECT_TRUE(commands->DropQuery(disks, programs, false));
    EXPECT_EQ(disks->Parent(), tree.DatabaseRootItem());
    EXPECT_EQ(dialogs, before);
}

TEST_F(QueryCommandsTest, SaveByCommandAndByDropOntoSavedQueries) {
    script.push_back(Design("Double sided", "Disks", "[DS] = YES"));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* disks = LastQuery();
    script.push_back(Design("Programs", "Files", "[Type] = \"PROGRAM\"", ""));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* programs = LastQuery();
    script.push_back([](QDialog& dialog) {
        auto& d = As<CQueryDesignerDialog>(dialog);
        d.CombinationBox()->setCurrentIndex(1);
        d.accept();
    });
    commands->DropQuery(programs, disks, false);

    view->SetContextItem(programs);
    view->HandleCommand(CommandId::DbSaveQuery);
    EXPECT_EQ(prompt.messages.back(), "Query saved in database");
    CQuerySet saved(&catalogue.Database());
    ASSERT_TRUE(saved.Open());
    ASSERT_FALSE(saved.IsEOF());
    EXPECT_EQ(saved.m_QueryName.Value(), "Programs");
    EXPECT_EQ(saved.m_ParentName.Value(), "Double sided");
    EXPECT_EQ(saved.m_From.Value(), "Files");
    // Dropped onto "Saved queries": saved again, after the question.
    prompt.answers = {PromptAnswer::Ok};
    EXPECT_TRUE(commands->DropQuery(programs, tree.SavedQueriesItem(), false));
    EXPECT_EQ(prompt.questions.back(), "Query with same name already exists. Overwrite?");
    EXPECT_EQ(Count("Queries"), 1);
    // A paste through the tree's clip.
    clip = ItemClip(*disks);
    view->Select(tree.SavedQueriesItem());
    view->PasteClip();
    EXPECT_EQ(Count("Queries"), 2);
}

TEST_F(QueryCommandsTest, DeleteRemovesTheQueryWithItsCombinedQueriesAndEmptiesTheList) {
    script.push_back(Design("Double sided", "Disks", "[DS] = YES"));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* disks = LastQuery();
    script.push_back(Design("Programs", "Files", ""));
    view->HandleCommand(CommandId::DbNewQuery);
    script.push_back([](QDialog& d) { d.accept(); });
    commands->DropQuery(LastQuery(), disks, false);
    const int children = tree.DatabaseRootItem()->ChildCount();
    view->SetContextItem(disks);
    EXPECT_TRUE(view->HandleCommand(CommandId::DbDeleteQuery));
    EXPECT_EQ(tree.DatabaseRootItem()->ChildCount(), children - 1);
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(Count("Queries"), 0);  // the database is not touched
    // Not on other items.
    view->SetContextItem(tree.SavedQueriesItem());
    EXPECT_FALSE(view->HandleCommand(CommandId::DbDeleteQuery));
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
    view->HandleCommand(CommandId::DbNewQuery);
    EXPECT_EQ(Sorted(DiskNames()), (std::vector<std::string>{"ALPHA", "CHARLIE", "DELTA"}));
    CParamSet params(&catalogue.Database());
    ASSERT_TRUE(params.Open());
    ASSERT_FALSE(params.IsEOF());
    EXPECT_EQ(params.m_Name.Value(), "Min size");
    EXPECT_EQ(params.m_Type.Value(), kParamNumber);
    EXPECT_EQ(params.m_Value.Value(), "700");

    // Cancel abandons the run: the list keeps what it showed.
    script.push_back(Design("Ask", "Disks", "[Size] > [Other]"));
    const size_t shownBefore = shown.size();
    view->HandleCommand(CommandId::DbNewQuery);  // the parameter question is rejected
    EXPECT_EQ(shown.size(), shownBefore);
}

TEST_F(QueryCommandsTest, FreeSqlListsResultsOrExecutesOnlyWhenRun) {
    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        d.NameBox()->setText("Big ones");
        d.StatementBox()->setPlainText("SELECT [Disk name], [Size] FROM [Disks] WHERE [Size] > ");
        d.StatementBox()->moveCursor(QTextCursor::End);
        Choose(d.ParameterBox(), "Min size");
        d.RunNowButton()->click();
    });
    {
        CParamSet p(&catalogue.Database());
        ASSERT_TRUE(p.Open() && p.AddNew());
        p.m_Name = "Min size";
        p.m_Type = 2;
        p.m_Value = "1000";
        ASSERT_TRUE(p.Update());
    }
    CTreeItem* listed = commands->NewSqlQuery();
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->Kind(), NodeKind::SqlQuery);
    EXPECT_EQ(listed->Node().sql, "SELECT [Disk name], [Size] FROM [Disks] WHERE [Size] > [Min size]");
    EXPECT_EQ(shown, std::vector<CTreeItem*>{listed});  // run once, not once more by the selection
    EXPECT_EQ(prompt.messages.back(), "Done");
    EXPECT_EQ(RowNames(catalogue.ResultSet(), "Disk name"), std::vector<std::string>{"CHARLIE"});

    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        d.NameBox()->setText("Forget params");
        d.StatementBox()->setPlainText("DELETE FROM [Params]");
        d.ExecuteButton()->setChecked(true);
        d.accept();
    });
    CTreeItem* command = commands->NewSqlQuery();
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->Node().display, "None");
    // Selecting a command does not execute it; "Run" does.
    view->Select(command);
    EXPECT_EQ(Count("Params"), 1);
    commands->RunNode(command);
    EXPECT_EQ(prompt.messages.back(), "Modified 1 records");
    EXPECT_EQ(Count("Params"), 0);
    // Editing the listed query through the tree opens the SQL dialog on it.
    script.push_back([](QDialog& dialog) {
        auto& d = As<CSqlQueryDialog>(dialog);
        EXPECT_TRUE(d.DisplayButton()->isChecked());
        EXPECT_EQ(d.NameBox()->text(), "Big ones");
        d.reject();
    });
    view->SetContextItem(listed);
    view->HandleCommand(CommandId::DbEditQuery);
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
    view->HandleCommand(CommandId::DbBulkUpdate);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(prompt.messages.back(), "Done. Modified 4 records");
    EXPECT_EQ(Column("SELECT ALL [Info1] FROM [Files]"),
              (std::vector<std::string>{"x", "x", "x", "x"}));
}

TEST_F(QueryCommandsTest, CustomizedDisplayKeepsTheDefaultsInInfo) {
    script.push_back(Design("All disks", "Disks", ""));
    view->HandleCommand(CommandId::DbNewQuery);
    CTreeItem* q = LastQuery();
    q->Node().columns = {static_cast<int32_t>(ColumnCode(0, 80, JustifyLeft))};
    script.push_back([](QDialog& dialog) {
        auto& d = As<CCustomDisplayDialog>(dialog);
        EXPECT_EQ(d.TextBox()->toPlainText(), "[Disk name]<80 left> ");
        Choose(d.ApplyToBox(), "Default disk query fields");
        d.TextBox()->setPlainText("[Disk name] [Free]");
        d.SaveButton()->click();
        Choose(d.ApplyToBox(), "Current query");
        d.TextBox()->setPlainText("[ID] [Disk name]");
        d.reject();  // the text box is not applied, the saved default stays
    });
    CQueryCommands::CustomizeTarget target;
    target.mode = ListMode::DiskRecords;
    target.node = q;
    commands->CustomizeList(target);
    EXPECT_EQ(redrawn, 1);
    EXPECT_EQ(q->Node().columns.size(), 1u);
    DisplayDefaults stored;
    ASSERT_TRUE(stored.Load(catalogue.Database()));
    EXPECT_EQ(stored.diskFields, "[Disk name] [Free]");
}

}  // namespace
}  // namespace tavik
