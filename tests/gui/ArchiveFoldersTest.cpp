// Archiver files in the whole window: an archive is a folder under its disk listing its members;
// members paste onto any disk and export to the PC; archives are made from selected files,
// grow by paste and shrink by Delete; a disk that fills or a damaged archive changes nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "GuiFixture.h"
#include "app/Options.h"
#include "app/TreeModel.h"
#include "cli/CliCommand.h"
#include "exchange/ArkFile.h"
#include "exchange/TiFileImage.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "views/FileCommands.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::CProgram;

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

class ArchiveFolders : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
    }
    void TearDown() override { ClearAnswers(); }

    CDriveView& Tree() { return *m_program->Frame().DriveView(); }
    CDiskView& List() { return *m_program->Frame().DiskView(); }
    test::CAnsweringPrompt& Prompt() { return m_program->Prompt(); }
    CFileCommands& Files() { return m_program->Frame().FileCommands(); }
    bool Run(CommandId id) { return m_program->Frame().Execute(id); }

    CTreeItem* Mount(const std::string& path) {
        CTreeItem* item = Tree().MountByPath(path, nullptr);
        EXPECT_TRUE(item) << path;
        if (item) Tree().Select(item);
        return item;
    }
    std::string Write(const std::string& file, CImageBuilder& image) {
        const std::string path = m_folder + "/" + file;
        test::WriteBytes(path, image.Image());
        return path;
    }
    // The archive folders under a disk item, by text.
    static std::vector<std::string> Folders(const CTreeItem* disk) {
        std::vector<std::string> names;
        for (int r = 0; r < disk->ChildCount(); ++r)
            if (disk->Child(r)->Kind() == NodeKind::ArchiveFile)
                names.push_back(disk->Child(r)->Text());
        return names;
    }
    static CTreeItem* Folder(const CTreeItem* disk, const std::string& name) {
        for (int r = 0; r < disk->ChildCount(); ++r)
            if (disk->Child(r)->Text() == name) return disk->Child(r);
        return nullptr;
    }
    std::vector<std::string> Names() { return test::ListNames(List()); }
    void SelectNames(const std::vector<std::string>& wanted) {
        test::SelectListNames(List(), wanted);
    }
    // "Create archive..." of the named files of the disk shown, the name typed in the dialog.
    void CreateArchive(const std::vector<std::string>& files, const std::string& name) {
        SelectNames(files);
        SetNextAnswer([name](QDialog& d) {
            auto& dialog = dynamic_cast<QInputDialog&>(d);
            dialog.setTextValue(QString::fromStdString(name));
            dialog.accept();
        });
        ASSERT_TRUE(Run(CommandId::FileCreateArchive));
    }
    void Copy() { List().HandleCommand(CommandId::EditCopy); }
    void Paste() { List().HandleCommand(CommandId::EditPaste); }

    std::string m_folder;
    std::unique_ptr<CProgram> m_program;
};

// FDR bytes 0-19 and data of the named file on both drives.
void ExpectSameFile(CVirtualDrive& a, CVirtualDrive& b, const std::string& name) {
    TiFileImage x, y;
    ASSERT_TRUE(ReadFileImage(a, a.FindFile(name), x)) << name;
    ASSERT_TRUE(ReadFileImage(b, b.FindFile(name), y)) << name;
    const FileProperties &f = x.file, &g = y.file;
    EXPECT_EQ(std::tie(f.name, f.status, f.recordsPerSector, f.sectors, f.eofOffset, f.recordLength,
                       f.records),
              std::tie(g.name, g.status, g.recordsPerSector, g.sectors, g.eofOffset, g.recordLength,
                       g.records))
        << name;
    EXPECT_EQ(x.data, y.data) << name;
}

TEST_F(ArchiveFolders, PeerArchiveListsAsTheCliDoesAndItsMembersPasteAndExportUnchanged) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/archives");
    const std::string image = m_folder + "/ark2.dsk";
    std::filesystem::copy_file(dir + "/ark2.dsk", image);
    CTreeItem* disk = Mount(image);
    ASSERT_TRUE(disk);
    ASSERT_EQ(Folders(disk), std::vector<std::string>{"ALL_ARK"});
    Tree().Select(Folder(disk, "ALL_ARK"));
    ASSERT_TRUE(List().ShowsMembers());
    EXPECT_TRUE(Prompt().messages.empty());

    // The catalog of the members is the CLI's listing, column for column.
    std::ostringstream out, err;
    ASSERT_EQ(cli::RunCli({"archive", "list", image, "ALL_ARK", "--json"}, out, err), 0);
    const auto files = nlohmann::json::parse(out.str())["files"];
    List().SetCatalogSpecification(
        "[File name] [Type] [Size] [Records] [Last byte] [Protected] [Creation date] [FDR]",
        m_program->App().Options().columnWidths[CatalogList]);
    QAbstractItemModel& m = *List().model();
    ASSERT_EQ(m.rowCount(), static_cast<int>(files.size()));
    for (int r = 0; r < m.rowCount(); ++r) {
        const auto& f = files[static_cast<size_t>(r)];
        const auto cell = [&](int c) { return m.index(r, c).data().toString().trimmed(); };
        EXPECT_EQ(cell(0).toStdString(), f["name"]);
        EXPECT_EQ(cell(1).toStdString(), f["type"]);
        EXPECT_EQ(cell(2).toInt(), f["sectors"]);
        EXPECT_EQ(cell(3).toInt(), f["records"]);
        EXPECT_EQ(cell(4).toInt(), f["lastByte"]);
        EXPECT_EQ(cell(5) == "P", f["protected"]);
        EXPECT_EQ(cell(6), "");  // an archive keeps no stamps
        EXPECT_EQ(cell(7), "");  // nor FDRs
    }

    // Copied members paste onto a new disk in the list and onto a drive item in the tree.
    List().selectAll();
    Copy();
    CTreeItem* target = Mount(test::WriteImage(m_folder, "t.dsk", "TARGET", 0));
    CTreeItem* second =
        Tree().MountByPath(test::WriteImage(m_folder, "u.dsk", "SECOND", 0), nullptr);
    ASSERT_TRUE(target && second);
    Paste();
    Tree().SetContextItem(second);
    Tree().PasteClip();
    EXPECT_TRUE(Prompt().messages.empty()) << Prompt().messages.front();
    EXPECT_EQ(Names().size(), files.size());
    for (const auto& f : files)
        for (CTreeItem* onto : {target, second})
            ExpectSameFile(*disk->Drive(), *onto->Drive(), f["name"]);

    // Export writes what the CLI's export writes, with the header chosen.
    Tree().Select(Folder(disk, "ALL_ARK"));
    SelectNames({files[0]["name"]});
    const std::string pc = m_folder + "/member.tfi";
    SetNextAnswer([&](QDialog& d) {
        auto& chooser = dynamic_cast<CTiFileDialog&>(d);
        chooser.NameEdit()->setText(QString::fromStdString(pc));
        chooser.accept();
    });
    ASSERT_TRUE(Run(CommandId::FileExport));
    const std::string cliPc = m_folder + "/cli.tfi";
    ASSERT_EQ(cli::RunCli({"archive", "export", image, "ALL_ARK", files[0]["name"], cliPc, "--as",
                           "tifiles"},
                          out, err),
              0);
    EXPECT_EQ(FileBytes(pc), FileBytes(cliPc));
}

TEST_F(ArchiveFolders, CreateAddRemoveAndTheFolderFollowsTheArchiveFile) {
    CImageBuilder image;
    image.SetName("FILES");
    image.AddFile(BuiltFile::Program("ALPHA", test::Pattern(600, 1)));
    image.AddFile(BuiltFile::Fixed("BETA", false, 80, {"ONE", "TWO", "THREE"}));
    image.AddFile(BuiltFile::Variable("GAMMA", false, 80, {"HELLO", "WORLD"}));
    CTreeItem* disk = Mount(Write("files.dsk", image));
    ASSERT_TRUE(disk);
    EXPECT_TRUE(Folders(disk).empty());

    CreateArchive({"ALPHA", "BETA"}, "PACK");
    EXPECT_TRUE(Prompt().messages.empty());
    ASSERT_EQ(Folders(disk), std::vector<std::string>{"PACK"});
    EXPECT_EQ(List().model()->index(3, 1).data().toString().trimmed(), "IF128");

    // Paste of a disk's files onto the folder, in the list and in the tree.
    SelectNames({"GAMMA"});
    Files().Copy();
    Tree().Select(Folder(disk, "PACK"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA"}));
    Paste();
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA", "GAMMA"}));
    Tree().SetContextItem(Folder(disk, "PACK"));
    Tree().PasteClip();  // the same name again: replaced, as on a disk
    EXPECT_EQ(Names(), (std::vector<std::string>{"ALPHA", "BETA", "GAMMA"}));

    // Delete asks as for files on a disk: once for several, "No" keeps protected ones.
    SelectNames({"BETA", "GAMMA"});
    Prompt().answers = {PromptAnswer::Yes};
    List().HandleCommand(CommandId::DeleteKey);
    EXPECT_EQ(Names(), std::vector<std::string>{"ALPHA"});
    EXPECT_EQ(Prompt().questions.size(), 1u);

    // What is left extracts to the file the archive was made from.
    SelectNames({"ALPHA"});
    Copy();
    CTreeItem* target = Mount(test::WriteImage(m_folder, "t.dsk", "TARGET", 0));
    Paste();
    ExpectSameFile(*disk->Drive(), *target->Drive(), "ALPHA");

    // The folder follows the file: renamed, deleted, and a second archive of the same files.
    Tree().Select(disk);
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> folders;
    } steps[] = {
        {"rename", [&] { Files().Rename(disk->Drive()->FindFile("PACK"), "BUNDLE"); }, {"BUNDLE"}},
        {"create", [&] { CreateArchive({"BETA"}, "ARK2"); }, {"ARK2", "BUNDLE"}},
        {"delete",
         [&] {
             SelectNames({"BUNDLE"});
             Run(CommandId::FileDelete);
         },
         {"ARK2"}},
        {"a name taken", [&] { CreateArchive({"BETA"}, "ALPHA"); }, {"ARK2"}},
        {"a name no file takes", [&] { CreateArchive({"BETA"}, "A.B"); }, {"ARK2"}},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(Folders(disk), step.folders) << step.what;
    }
    EXPECT_EQ(Prompt().messages,
              (std::vector<std::string>{"ALPHA: Name already exists", "A.B: Illegal file name"}));

    // A workspace keeps no folders: they come again when the disk is listed.
    const std::string workspace = m_folder + "/w.tvw", path = disk->Node().path;
    ASSERT_TRUE(m_program->App().Workspace().SaveWorkspace(workspace));
    ASSERT_TRUE(m_program->App().Workspace().LoadWorkspace(workspace));
    CTreeItem* again = Tree().Tree().PcRootItem()->Child(0);
    ASSERT_EQ(again->Node().path, path);
    EXPECT_TRUE(Folders(again).empty());
    Tree().Select(again);
    EXPECT_EQ(Folders(again), std::vector<std::string>{"ARK2"});
}

TEST_F(ArchiveFolders, AFullDiskOrADamagedArchiveLeavesEveryDiskAsItWas) {
    // A roomy disk with an archive, and a full disk.
    CImageBuilder roomy;
    roomy.AddFile(BuiltFile::Program("ALPHA", test::Pattern(600, 1)));
    roomy.AddFile(BuiltFile::Program("OMEGA", test::Pattern(2000, 2)));
    CTreeItem* source = Mount(Write("roomy.dsk", roomy));
    CreateArchive({"ALPHA", "OMEGA"}, "PACK");
    ASSERT_EQ(Folders(source), std::vector<std::string>{"PACK"});

    CImageBuilder full;
    for (int sectors = 360; sectors > 0; --sectors) {  // the largest filler that fits
        full = CImageBuilder();
        full.AddFile(BuiltFile::Program("ALPHA", test::Pattern(600, 3)));
        if (full.AddFile(BuiltFile::Program("FILLER", test::Pattern(sectors * 256, 4)))) break;
    }
    const std::string fullPath = Write("full.dsk", full);
    // A damaged archive beside: an archive of ALPHA cut after its first sector.
    CArkFile ark;
    TiFileImage alpha;
    ASSERT_TRUE(ReadFileImage(*source->Drive(), source->Drive()->FindFile("OMEGA"), alpha));
    std::string error;
    ASSERT_TRUE(ark.Add(alpha, false, error));
    BuiltFile cut;
    cut.name = "CUT_ARK";
    cut.status = ArkStatus(true);
    cut.recordLength = kArkRecordLength;
    cut.recordsPerSector = 2;
    const std::vector<uint8_t> whole = ark.Bytes();
    ASSERT_GT(whole.size(), 256u);
    cut.data.assign(whole.begin(), whole.begin() + 256);
    CImageBuilder damaged;
    damaged.AddFile(cut);
    CTreeItem* bad = Mount(Write("damaged.dsk", damaged));
    CTreeItem* fullDisk = Mount(fullPath);
    ASSERT_TRUE(source && bad && fullDisk);

    Tree().Select(Folder(source, "PACK"));
    List().selectAll();
    Copy();
    const std::string membersClip = m_program->App().InternalClip();
    const struct {
        const char* what;
        std::function<void()> act;
        std::string message;
    } cases[] = {
        {"create on a full disk",
         [&] {
             Tree().Select(fullDisk);
             CreateArchive({"ALPHA"}, "PACK");
         },
         "PACK: Disk is full"},
        {"extract onto a full disk",
         [&] {
             m_program->App().InternalClip() = membersClip;
             Tree().Select(fullDisk);
             Paste();
         },
         "ALPHA: Disk is full"},
        {"extract onto a full drive item",
         [&] {
             m_program->App().InternalClip() = membersClip;
             Tree().SetContextItem(fullDisk);
             Tree().PasteClip();
         },
         "ALPHA: Disk is full"},
        {"open a cut archive", [&] { Tree().Select(Folder(bad, "CUT_ARK")); },
         "OMEGA: The archive ends inside this file"},
        {"extract from a cut archive",
         [&] {
             List().selectAll();
             Copy();
             Tree().SetContextItem(fullDisk);
             Tree().PasteClip();
         },
         "OMEGA: The archive ends inside this file"},
    };
    const std::vector<uint8_t> fullBefore = FileBytes(fullPath);
    const std::vector<uint8_t> badBefore = FileBytes(m_folder + "/damaged.dsk");
    for (const auto& c : cases) {
        Prompt().messages.clear();
        c.act();
        ASSERT_EQ(Prompt().messages.size(), 1u) << c.what;
        EXPECT_EQ(Prompt().messages.front(), c.message) << c.what;
        EXPECT_EQ(FileBytes(fullPath), fullBefore) << c.what;
        EXPECT_EQ(FileBytes(m_folder + "/damaged.dsk"), badBefore) << c.what;
    }
    EXPECT_EQ(Folders(bad), std::vector<std::string>{"CUT_ARK"});
    EXPECT_EQ(Names(), std::vector<std::string>{"OMEGA"});  // what could be read of it
}

}  // namespace
}  // namespace tavik
