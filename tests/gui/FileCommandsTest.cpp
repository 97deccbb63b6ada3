// The catalog list's file commands on real images: each acts on the selected rows, asks what
// the command asks, and leaves the list showing what the disk now holds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QScrollBar>
#include <QtTest/QTest>
#include <fstream>
#include <sstream>

#include "GuiFixture.h"
#include "base/PcFile.h"
#include "disk/dialogs/FilePropertiesDialog.h"
#include "exchange/basic/BasicLayout.h"
#include "exchange/basic/BasicListing.h"
#include "exchange/basic/BasicTokenizer.h"
#include "exchange/dialogs/FileNameDialog.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "qt/TextViewer.h"
#include "views/CatalogModel.h"
#include "views/DiskView.h"
#include "views/DriveView.h"
#include "views/EditorView.h"
#include "views/FileCommands.h"
#include "views/MapView.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::CProgram;

std::string WriteDisk(const std::string& folder, const std::string& file, bool protectSecond) {
    CImageBuilder image;
    image.SetName("FILES");
    image.AddFile(BuiltFile::Program("ALPHA", std::vector<uint8_t>(600, 0x11)));
    BuiltFile beta = BuiltFile::Fixed("BETA", false, 80, {"ONE", "TWO", "THREE"});
    if (protectSecond) beta.status |= 0x08;
    image.AddFile(beta);
    image.AddFile(BuiltFile::Variable("GAMMA", false, 80, {"HELLO", "WORLD"}));
    const std::string path = folder + "/" + file;
    test::WriteBytes(path, image.Image());
    return path;
}

class FileCommands : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
        m_item = Tree().MountByPath(WriteDisk(m_folder, "files.dsk", true), nullptr);
        ASSERT_TRUE(m_item);
        Tree().Select(m_item);
        ASSERT_EQ(List().model()->rowCount(), 3);
    }
    CDriveView& Tree() { return *m_program->Frame().DriveView(); }
    CDiskView& List() { return *m_program->Frame().DiskView(); }
    CFileCommands& Files() { return m_program->Frame().FileCommands(); }
    test::CAnsweringPrompt& Prompt() { return m_program->Prompt(); }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int r = 0; r < List().model()->rowCount(); ++r)
            names.push_back(List().model()->index(r, 0).data().toString().trimmed().toStdString());
        return names;
    }
    // Selects the rows whose names are given (and nothing else).
    void SelectNames(const std::vector<std::string>& wanted) {
        List().clearSelection();
        for (int r = 0; r < List().model()->rowCount(); ++r) {
            const std::string name =
                List().model()->index(r, 0).data().toString().trimmed().toStdString();
            if (std::find(wanted.begin(), wanted.end(), name) != wanted.end())
                List().selectionModel()->select(
                    List().model()->index(r, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    bool Run(CommandId id) { return m_program->Frame().Execute(id); }
    // Runs a view command; the viewer window it opened, null when none.
    CTextViewer* OpenView(CommandId id) {
        const auto before = m_program->Frame().findChildren<CTextViewer*>();
        Run(id);
        for (CTextViewer* viewer : m_program->Frame().findChildren<CTextViewer*>())
            if (!before.contains(viewer)) return viewer;
        return nullptr;
    }

    std::string m_folder;
    std::unique_ptr<CProgram> m_program;
    CTreeItem* m_item = nullptr;
};

TEST_F(FileCommands, DeleteAsksOnceForSeveralFilesAndOnceForASingleProtectedOne) {
    SelectNames({"ALPHA", "BETA"});
    Prompt().answers = {PromptAnswer::No};  // protected ones stay
    ASSERT_TRUE(Run(CommandId::FileDelete));
    EXPECT_EQ(Prompt().questions,
              (std::vector<std::string>{
                  "If some of these files are protected, should they be deleted too?"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"BETA", "GAMMA"}));

    Prompt().questions.clear();
    SelectNames({"BETA"});
    Prompt().answers = {PromptAnswer::Yes};
    ASSERT_TRUE(Run(CommandId::FileDelete));
    EXPECT_EQ(Prompt().questions, (std::vector<std::string>{"Delete protected file?"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"GAMMA"}));

    // Cancel on the several-files question deletes nothing.
    ASSERT_TRUE(Tree().MountByPath(WriteDisk(m_folder, "two.dsk", false), nullptr));
    Tree().Select(Tree().Tree().PcRootItem()->Child(1));
    SelectNames({"ALPHA", "GAMMA"});
    Prompt().answers = {PromptAnswer::Cancel};
    Run(CommandId::FileDelete);
    EXPECT_EQ(Names().size(), 3u);
}

TEST_F(FileCommands, UndeleteFindsADeletedFileAgainAndSaysSoWhenItCannot) {
    SelectNames({"GAMMA"});
    Run(CommandId::FileDelete);
    ASSERT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA"}));
    std::string name = "GAMMA";
    SetStandingAnswer([&](QDialog& d) {
        auto& dialog = dynamic_cast<CFileNameDialog&>(d);
        dialog.SetName(name);
        dialog.SetType("");  // any type
        dialog.accept();
    });
    Run(CommandId::FileUndelete);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA", "GAMMA"}));
    name = "NOSUCH";
    Run(CommandId::FileUndelete);
    name = "  ";
    Run(CommandId::FileUndelete);
    EXPECT_EQ(Prompt().messages,
              (std::vector<std::string>{"Not found, sorry", "Illegal file name"}));
}

TEST_F(FileCommands, ProtectTogglesEverySelectedFileAndPurgeEmptiesOnlyAfterYes) {
    SelectNames({"ALPHA", "BETA"});
    Run(CommandId::FileProtect);
    EXPECT_EQ(List().model()->index(0, CCatalogModel::Protected).data().toString(), "P");
    EXPECT_EQ(List().model()->index(1, CCatalogModel::Protected).data().toString(), " ");
    // The selection survives the new listing.
    EXPECT_EQ(List().SelectedCount(), 2);

    SelectNames({"ALPHA"});
    Prompt().answers = {PromptAnswer::No};
    Run(CommandId::FilePurge);
    EXPECT_EQ(List().model()->index(0, CCatalogModel::Size).data().toString(), "3");
    Prompt().answers = {PromptAnswer::Yes};
    Run(CommandId::FilePurge);
    EXPECT_EQ(List().model()->index(0, CCatalogModel::Size).data().toString(), "0");
    EXPECT_EQ(Prompt().questions.back(), "This operation cannot be undone! Continue?");
}

TEST_F(FileCommands, PropertiesKeepTheDialogOpenOnABadFieldAndApplyAGoodOne) {
    SelectNames({"GAMMA"});
    int shown = 0;
    SetStandingAnswer([&](QDialog& d) {
        auto& dialog = dynamic_cast<CFilePropertiesDialog&>(d);
        ++shown;
        FilePropertiesForm form = dialog.Form();
        EXPECT_EQ(form.type, "DV80");
        EXPECT_EQ(dialog.RecordsLabel()->text(), "Sectors:");
        form.sectors = "x12";
        dialog.SetForm(form);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);  // still open
        form.sectors = "1";
        form.name = "RENAMED";
        form.creationDate = "24/12/99";
        form.creationTime = "10:11:12";
        dialog.SetForm(form);
        dialog.accept();
    });
    Run(CommandId::FileProperties);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Invalid number: size"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA", "RENAMED"}));
    EXPECT_EQ(List().model()->index(2, CCatalogModel::Created).data().toString(), "1999/12/24");
}

TEST_F(FileCommands, CreateChecksItsFieldsAndAddsAnEmptyFile) {
    std::string type = "DX80";
    SetStandingAnswer([&](QDialog& d) {
        auto& dialog = dynamic_cast<CFilePropertiesDialog&>(d);
        FilePropertiesForm form = dialog.Form();
        EXPECT_FALSE(form.creationDate.empty());  // a new file starts stamped now
        form.name = "NEWFILE";
        form.type = type;
        dialog.SetForm(form);
        dialog.accept();
        if (dialog.result() != QDialog::Accepted) dialog.reject();
    });
    Run(CommandId::FileCreate);
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Invalid file type"}));
    EXPECT_EQ(Names().size(), 3u);
    type = "DF80";
    Run(CommandId::FileCreate);
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA", "GAMMA", "NEWFILE"}));
    EXPECT_EQ(List().model()->index(3, CCatalogModel::Type).data().toString(), "DF80");
    EXPECT_EQ(List().model()->index(3, CCatalogModel::Size).data().toString(), "0");
}

TEST_F(FileCommands, RenameInPlaceRefusesAnotherFilesName) {
    const QModelIndex gamma = List().model()->index(2, CCatalogModel::Name);
    EXPECT_TRUE(List().model()->flags(gamma) & Qt::ItemIsEditable);
    EXPECT_FALSE(List().model()->flags(List().model()->index(2, CCatalogModel::Type)) &
                 Qt::ItemIsEditable);
    List().model()->setData(gamma, "ALPHA", Qt::EditRole);
    QApplication::processEvents();
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Name already exists"}));
    List().model()->setData(List().model()->index(2, CCatalogModel::Name), "DELTA", Qt::EditRole);
    QApplication::processEvents();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA", "DELTA"}));
}

TEST_F(FileCommands, CopiedFilesPasteOntoAnotherDiskFromTheListAndFromTheTree) {
    CTreeItem* empty = Tree().MountByPath(test::WriteImage(m_folder, "e.dsk", "EMPTY", 0), nullptr);
    CTreeItem* other = Tree().MountByPath(test::WriteImage(m_folder, "o.dsk", "OTHER", 0), nullptr);
    ASSERT_TRUE(empty && other);
    SelectNames({"ALPHA", "GAMMA"});
    Files().Copy();
    const std::string clip = m_program->App().InternalClip();
    EXPECT_EQ(clip.substr(0, clip.find('\r')), "<" + std::to_string(m_item->Id()) + "> Files:");

    Tree().Select(empty);
    ASSERT_TRUE(Files().CanPaste());
    Files().Paste();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "GAMMA"}));

    Tree().Select(other);
    Tree().PasteClip();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "GAMMA"}));
    // The copies hold the same records.
    std::vector<FileProperties> a, b;
    m_item->Drive()->ReadCatalog(a);
    other->Drive()->ReadCatalog(b);
    EXPECT_EQ(a[2].records, b[1].records);
}

TEST_F(FileCommands, ExportedFilesImportOntoAnotherDiskWithTheSameRecords) {
    CTreeItem* target =
        Tree().MountByPath(test::WriteImage(m_folder, "t.dsk", "TARGET", 0), nullptr);
    SelectNames({"BETA"});
    const std::string pcFile = m_folder + "/beta.tfi";
    SetStandingAnswer([&](QDialog& d) {
        auto& chooser = dynamic_cast<CTiFileDialog&>(d);
        EXPECT_EQ(chooser.NameEdit()->text().toStdString(), "BETA");  // the TI name is proposed
        chooser.NameEdit()->setText(QString::fromStdString(pcFile));
        chooser.accept();
    });
    Run(CommandId::FileExport);
    ASSERT_TRUE(std::ifstream(pcFile).good());
    EXPECT_EQ(m_program->App().Options().exportHistory.front(), m_folder + "/");

    Tree().Select(target);
    SetStandingAnswer([&](QDialog& d) {
        if (auto* names = dynamic_cast<CFileNameDialog*>(&d)) {
            names->SetName("BETA2");
            names->accept();
        } else {
            d.reject();
        }
    });
    Files().Import({pcFile});
    ASSERT_EQ(Names(), (std::vector<std::string>{"BETA2"}));
    EXPECT_EQ(List().model()->index(0, CCatalogModel::Type).data().toString(), "DF80");
    FileProperties copied;
    target->Drive()->GetFileProperties(
        List().SelectedFdrs().empty() ? static_cast<CCatalogModel*>(List().model())->FdrOfRow(0)
                                      : List().SelectedFdrs().front(),
        copied);
    EXPECT_EQ(copied.records, 3);
}

TEST_F(FileCommands, TheTextViewerFindsCopiesAndSavesBesideAWorkingMainWindow) {
    SelectNames({"GAMMA"});
    CTextViewer* viewer = OpenView(CommandId::FileViewText);
    ASSERT_TRUE(viewer);
    QPointer<CTextViewer> first = viewer;
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(viewer->windowTitle(), "GAMMA on FILES (files.dsk) - Text");
    EXPECT_TRUE(QFontInfo(viewer->TextBox()->font()).fixedPitch());
    EXPECT_EQ(viewer->TextBox()->toPlainText(), "HELLO\nWORLD\n");

    // Find: either case unless asked, on from the last hit, round from the top, a miss said.
    struct Step {
        const char* find;
        bool matchCase;
        bool found;
        int line;  // of the hit
        const char* status;
    };
    const Step steps[] = {{"world", false, true, 1, ""},
                          {"world", true, false, 1, "\"world\" not found"},
                          {"O", false, true, 0, "Passed the end, found from the top"},
                          {"O", false, true, 1, ""}};
    for (const Step& step : steps) {
        viewer->SetFindText(step.find);
        viewer->SetMatchCase(step.matchCase);
        EXPECT_EQ(viewer->FindNext(), step.found) << step.find;
        EXPECT_EQ(viewer->TextBox()->textCursor().blockNumber(), step.line) << step.find;
        EXPECT_EQ(viewer->FindStatus(), step.status) << step.find;
    }
    viewer->Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "O");
    viewer->CopyAll();
    EXPECT_EQ(QApplication::clipboard()->text(), "HELLO\nWORLD\n");

    // Save as: the view's text in the chosen file; a failure names the file and the reason.
    struct Save {
        std::string path;
        const char* reason;  // empty: saved
    };
    const Save saves[] = {{m_folder + "/gamma.txt", ""},
                          {m_folder + "/no/such/folder/gamma.txt", "No such file or directory"},
                          {m_folder + "/gamma.txt/gamma.txt", "Not a directory"}};
    for (const Save& save : saves) {
        Prompt().messages.clear();
        SetNextAnswer([&](QDialog& d) { AnswerFileDialog(d, save.path); });
        viewer->SaveAs();
        if (*save.reason == 0) {
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(ReadWholeFile(save.path, bytes));
            EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "HELLO\nWORLD\n");
            EXPECT_TRUE(Prompt().messages.empty());
        } else {
            ASSERT_EQ(Prompt().messages.size(), 1u) << save.path;
            EXPECT_EQ(Prompt().messages[0], "Could not save " + save.path + ": " + save.reason);
            EXPECT_EQ(Prompt().messageOwners[0], viewer);  // not hidden behind it
            EXPECT_EQ(Prompt().ParentWidget(), &m_program->Frame());
        }
    }

    // Viewers are no modal windows: the main window goes on, opening a second one beside.
    SelectNames({"BETA"});
    CTextViewer* second = OpenView(CommandId::FileViewText);
    ASSERT_TRUE(second);
    EXPECT_NE(second, viewer);
    EXPECT_TRUE(first && first->isVisible());
    EXPECT_NE(second->pos(), viewer->pos());  // not one over the other

    // Escape closes a viewer; the others go with the program.
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer->TextBox(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    QPointer<CTextViewer> remaining = second;
    m_program.reset();
    EXPECT_FALSE(remaining);
}

TEST_F(FileCommands, TheHexadecimalViewShowsWholeDumpLines) {
    SelectNames({"ALPHA"});
    CTextViewer* viewer = OpenView(CommandId::FileViewHex);
    ASSERT_TRUE(viewer);
    EXPECT_EQ(viewer->windowTitle(), "ALPHA on FILES (files.dsk) - Hexadecimal");
    const QString text = viewer->TextBox()->toPlainText();
    EXPECT_TRUE(text.startsWith("0000: 11 11 ")) << text.left(80).toStdString();
    EXPECT_EQ(text.count('\n'), 3 * 16);  // 600 bytes fill three sectors
    EXPECT_FALSE(text.contains('\r'));
    // The window opens wide enough for a whole line.
    QApplication::processEvents();
    EXPECT_EQ(viewer->TextBox()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(FileCommands, ViewsGoToTheDesktopsViewerOnlyWhenChosenAndSaySoWhenItFails) {
    SelectNames({"ALPHA"});
    m_program->App().Options().desktopViewer = 1;
    std::vector<std::string> handed;
    bool starts = true;
    Files().SetDesktopOpener([&](const std::string& path) {
        handed.push_back(path);
        return starts;
    });
    EXPECT_FALSE(OpenView(CommandId::FileViewHex));
    ASSERT_EQ(handed.size(), 1u);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(handed[0], bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 12), "0000: 11 11 ");
    EXPECT_TRUE(Prompt().messages.empty());

    starts = false;
    CTextViewer* viewer = OpenView(CommandId::FileViewHex);
    ASSERT_EQ(handed.size(), 2u);
    ASSERT_EQ(Prompt().messages.size(), 1u);
    EXPECT_EQ(Prompt().messages[0], "The desktop's viewer could not be started for " + handed[1] +
                                        "; the view opens in the program's own viewer.");
    ASSERT_TRUE(viewer);  // the view is shown all the same

    m_program->App().Options().desktopViewer = 0;
    EXPECT_TRUE(OpenView(CommandId::FileViewHex));
    EXPECT_EQ(handed.size(), 2u);
}

// The command line's listing of a program of an image: what it writes to its standard output.
std::string CliListing(const std::string& image, const std::string& name) {
    QProcess cli;
    cli.start(TAVIK_CLI, {"basic", QString::fromStdString(image), QString::fromStdString(name)});
    if (!cli.waitForFinished(30000)) return "(the command line did not finish)";
    return cli.readAllStandardOutput().toStdString();
}

TEST_F(FileCommands, ViewAsBasicListsThePeerProgramsAsTheCommandLineDoes) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/basic");
    const std::string image = peer + "/basic1.dsk";
    CTreeItem* item = Tree().MountByPath(image, nullptr);
    ASSERT_TRUE(item);
    Tree().Select(item);
    int listed = 0;
    for (const std::string& name : Names()) {
        SelectNames({name});
        m_program->Frame().UpdateCommands();
        // The "-L" files are the TI's own LIST output (DIS/VAR 80), and KEYWORDS-L a PROGRAM
        // file that holds no BASIC: no listing is offered for them.
        const bool offered = m_program->Frame().Action(CommandId::FileViewBasic)->isEnabled();
        EXPECT_EQ(offered, !name.ends_with("-L")) << name;
        CTextViewer* viewer = OpenView(CommandId::FileViewBasic);
        EXPECT_EQ(viewer != nullptr, offered) << name;
        if (!viewer) continue;
        EXPECT_EQ(viewer->TextBox()->toPlainText().toStdString(), CliListing(image, name)) << name;
        EXPECT_TRUE(viewer->windowTitle().endsWith(" (basic1.dsk) - BASIC"))
            << viewer->windowTitle().toStdString();
        viewer->close();
        ++listed;
    }
    EXPECT_EQ(listed, 14);
}

TEST_F(FileCommands, ViewAsBasicMarksAProtectedProgramAndSaysWhereADamagedOneStopped) {
    // Long enough for the long form, whose records hold 254 bytes of program each.
    std::string listing;
    for (int line = 10; line < 300; line += 10)
        listing += std::to_string(line) + " PRINT \"HELLO\";" + std::to_string(line) + "\n";
    listing += "300 GOTO 10\n";
    std::vector<basic::BasicLine> lines;
    std::string error;
    ASSERT_TRUE(basic::TokenizeListing(listing, lines, error));
    std::vector<uint8_t> open, locked;
    ASSERT_TRUE(basic::BuildBasicFile(lines, basic::BasicForm::Program, false, open, error));
    ASSERT_TRUE(basic::BuildBasicFile(lines, basic::BasicForm::Program, true, locked, error));
    // The long form's records (INT/VAR 254), each a length byte and its bytes in the data.
    std::vector<uint8_t> longForm;
    ASSERT_TRUE(basic::BuildBasicFile(lines, basic::BasicForm::Long, false, longForm, error));
    std::vector<std::string> records;
    for (size_t at = 0; at < longForm.size(); at += 1 + longForm[at])
        records.emplace_back(longForm.begin() + static_cast<long>(at) + 1,
                             longForm.begin() + static_cast<long>(at) + 1 + longForm[at]);
    // The line table's first entry, line 300's (LIST shows it last), points past the program.
    std::vector<uint8_t> broken = open;
    broken[10] = broken[11] = 0xFF;
    const basic::BasicListing cut = basic::ListBasic(broken, basic::BasicForm::Program);
    ASSERT_FALSE(cut.problem.empty());
    ASSERT_EQ(cut.lines, 29);

    CImageBuilder disk;
    disk.SetName("PROGRAMS");
    disk.AddFile(BuiltFile::Program("OPEN", open));
    disk.AddFile(BuiltFile::Program("LOCKED", locked));
    disk.AddFile(BuiltFile::Program("BROKEN", broken));
    disk.AddFile(BuiltFile::Variable("LONG", true, 254, records));
    const std::string path = m_folder + "/programs.dsk";
    test::WriteBytes(path, disk.Image());
    CTreeItem* item = Tree().MountByPath(path, nullptr);
    ASSERT_TRUE(item);
    Tree().Select(item);

    struct Row {
        std::string name;
        std::string text;
        const char* titleEnd;
    };
    const Row rows[] = {
        {"OPEN", listing, "- BASIC"},
        {"LONG", listing, "- BASIC"},
        {"LOCKED", listing + "\n* Protected program\n", "- BASIC, protected"},
        {"BROKEN", cut.text + "\n* " + cut.problem + " (the listing stopped there)\n", "- BASIC"}};
    for (const Row& row : rows) {
        SelectNames({row.name});
        CTextViewer* viewer = OpenView(CommandId::FileViewBasic);
        ASSERT_TRUE(viewer) << row.name;
        EXPECT_EQ(viewer->Text(), row.text);
        EXPECT_TRUE(viewer->windowTitle().endsWith(row.titleEnd))
            << viewer->windowTitle().toStdString();
    }
}

TEST_F(FileCommands, ASectorClipPastedInTheTreeLoadsThatSectorIntoTheEditor) {
    m_program->App().InternalClip() = "<" + std::to_string(m_item->Id()) + "> Sector: 0";
    CTreeItem* other = Tree().MountByPath(test::WriteImage(m_folder, "o.dsk", "OTHER", 0), nullptr);
    Tree().Select(other);
    Tree().PasteClip();
    const auto& buffer = m_program->Frame().EditorView()->Buffer();
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 5), "FILES");
}

}  // namespace
}  // namespace tavik

namespace tavik {
namespace {

TEST_F(FileCommands, TheCatalogShowsTheColumnsOfItsSpecification) {
    List().SetCatalogSpecification("[FDR]<right> [File name] [Records]<30 center> [Nowhere]",
                                   m_program->App().Options().columnWidths[CatalogList]);
    QAbstractItemModel& m = *List().model();
    ASSERT_EQ(m.columnCount(), 3);  // an unknown name shows nothing
    EXPECT_EQ(m.headerData(0, Qt::Horizontal).toString(), "FDR");
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "Records");
    EXPECT_EQ(m.index(1, 1).data().toString().trimmed(), "BETA");
    EXPECT_EQ(m.index(1, 2).data().toString(), "3");
    EXPECT_EQ(m.index(1, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_GE(List().header()->sectionSize(2), 30);  // wider where "Records" needs it
    // Renaming edits the name wherever its column is.
    EXPECT_FALSE(m.flags(m.index(2, 0)) & Qt::ItemIsEditable);
    m.setData(m.index(2, 1), "DELTA", Qt::EditRole);
    QApplication::processEvents();
    EXPECT_EQ(m.index(2, 1).data().toString().trimmed(), "DELTA");
    // A specification naming nothing known keeps the columns.
    List().SetCatalogSpecification("[Nowhere]", {});
    EXPECT_EQ(m.columnCount(), 3);
}

TEST_F(FileCommands, TheMapShowsTheDiskAsItIsAfterAFileCommand) {
    ASSERT_TRUE(Run(CommandId::ViewAdvanced));
    Tree().Select(m_item);
    CMapView& map = *m_program->Frame().MapView();
    ASSERT_EQ(map.Drive(), m_item->Drive());
    SelectNames({"GAMMA"});
    const int fdr = List().SelectedFdrs().front();
    const int perLine = m_program->App().Options().sectorsPerLine;
    const auto cell = [&] { return map.toPlainText()[fdr + fdr / perLine]; };
    EXPECT_EQ(cell(), 'F');  // the FDR of one file, marked used
    Prompt().answers = {PromptAnswer::Yes};
    Run(CommandId::FileDelete);
    EXPECT_EQ(cell(), '.');
}

}  // namespace
}  // namespace tavik
