// The catalog list's file commands on real images: each acts on the selected rows, asks what
// the command asks, and leaves the list showing what the disk now holds.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <fstream>
#include <sstream>

#include "GuiFixture.h"
#include "disk/dialogs/FilePropertiesDialog.h"
#include "exchange/dialogs/FileNameDialog.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
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

TEST_F(FileCommands, ViewHexadecimalHandsTheViewerADumpOfTheFile) {
    SelectNames({"ALPHA"});
    std::string viewed;
    Files().SetViewer([&](const std::string& path) { viewed = path; });
    Run(CommandId::FileViewHex);
    ASSERT_FALSE(viewed.empty());
    std::ifstream in(viewed);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().substr(0, 12), "0000: 11 11 ");
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
