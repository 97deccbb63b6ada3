// Drag and drop through the real views with the mime data the program's drags carry: catalog
// rows onto a drive, a disk onto a disk, images, folders and PC files from the desktop, rows out
// to the desktop, members of an archive out and rows into it, and the drops the program refuses
// while the drag is still moving.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QUrl>
#include <filesystem>
#include <sstream>

#include "GuiFixture.h"
#include "app/ArchiveFolders.h"
#include "cli/CliCommand.h"
#include "disk/dialogs/CopyModeDialog.h"
#include "exchange/ExportCommand.h"
#include "exchange/PcFileKind.h"
#include "exchange/dialogs/FileNameDialog.h"
#include "qt/DialogRunner.h"
#include "views/DragPayload.h"
#include "views/DropRouter.h"
#include "views/TreeItemModel.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::CProgram;

std::vector<uint8_t> ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = f.readAll();
    return {bytes.begin(), bytes.end()};
}

class DragDrop : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
        CImageBuilder image;
        image.SetName("SOURCE");
        image.AddFile(BuiltFile::Program("ALPHA", std::vector<uint8_t>(600, 0x11)));
        image.AddFile(BuiltFile::Fixed("BETA", false, 80, {"ONE", "TWO", "THREE"}));
        m_sourcePath = m_folder + "/source.dsk";
        test::WriteBytes(m_sourcePath, image.Image());
        m_source = Tree().MountByPath(m_sourcePath, nullptr);
        ASSERT_TRUE(m_source);
        Tree().Select(m_source);
    }
    CDriveView& Tree() { return *m_program->Frame().DriveView(); }
    CDiskView& List() { return *m_program->Frame().DiskView(); }
    CDropRouter& Router() { return *m_program->Frame().findChild<CDropRouter*>(); }
    test::CAnsweringPrompt& Prompt() { return m_program->Prompt(); }

    CTreeItem* Mount(const std::string& file, const CImageBuilder& image) {
        test::WriteBytes(m_folder + "/" + file, image.Image());
        return Tree().MountByPath(m_folder + "/" + file, nullptr);
    }
    QPoint At(CTreeItem* item) {
        const QModelIndex index = Tree().ItemModel()->IndexOf(item);
        Tree().scrollTo(index);
        return Tree().visualRect(index).center();
    }
    // Moves the drag over `at` of the view: true when the view would take the drop there.
    static bool Offer(QAbstractItemView& view, QPoint at, const QMimeData& mime) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        return enter.isAccepted() && move.isAccepted();
    }
    // Offers, then drops when taken, and lets the drop's commands run.
    static bool Drop(QAbstractItemView& view, QPoint at, const QMimeData& mime) {
        if (!Offer(view, at, mime)) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &drop);
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "a file manager must never delete";
        QApplication::processEvents();
        return drop.isAccepted();
    }
    std::unique_ptr<QMimeData> Rows(const std::vector<std::string>& names) {
        std::vector<int> fdrs;
        for (const std::string& name : names)
            fdrs.push_back(m_source->Drive()->FindFile(name));
        return std::unique_ptr<QMimeData>(
            DiskFilesMime(m_source->Id(), fdrs, [] { return std::vector<std::string>(); }));
    }
    static std::unique_ptr<QMimeData> Uris(const std::vector<std::string>& paths) {
        auto mime = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const std::string& p : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(p));
        mime->setUrls(urls);
        return mime;
    }
    std::string m_folder;
    std::string m_sourcePath;
    std::unique_ptr<CProgram> m_program;
    CTreeItem* m_source = nullptr;
};

TEST_F(DragDrop, RowsOntoADriveCopyTheFilesAndANameClashAsks) {
    CImageBuilder holdsBeta;
    holdsBeta.AddFile(BuiltFile::Program("BETA", std::vector<uint8_t>(100, 0x33)));
    CTreeItem* target = Mount("target.dsk", holdsBeta);
    CImageBuilder full;
    full.AddFile(BuiltFile::Program("FILLER", std::vector<uint8_t>(256 * 352, 0x44)));
    CTreeItem* nearlyFull = Mount("full.dsk", full);
    ASSERT_TRUE(target && nearlyFull);
    Tree().Select(m_source);
    const std::vector<uint8_t> fullBefore = ReadAll(m_folder + "/full.dsk");

    auto rows = Rows({"ALPHA", "BETA"});
    // Replacing BETA: both files arrive whole.
    Prompt().answers = {PromptAnswer::Yes};
    ASSERT_TRUE(Drop(Tree(), At(target), *rows));
    EXPECT_EQ(Prompt().questions,
              (std::vector<std::string>{
                  "BETA already exists on the target disk.\nDo you want to replace it?"}));
    for (const char* name : {"ALPHA", "BETA"})
        EXPECT_EQ(test::FileBytes(*target->Drive(), name),
                  test::FileBytes(*m_source->Drive(), name))
            << name;
    EXPECT_EQ(List().Drive(), m_source->Drive()) << "the list keeps showing the dragged rows";

    // A disk without room for both takes neither.
    ASSERT_TRUE(Drop(Tree(), At(nearlyFull), *rows));
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Disk is full"}));
    EXPECT_EQ(ReadAll(m_folder + "/full.dsk"), fullBefore);

    // Refused while moving: their own disk, another item of the same image, no drive, the list.
    CTreeItem* sameImage = Tree().MountByPath(m_sourcePath, nullptr);
    for (CTreeItem* refused :
         {m_source, sameImage, Tree().Tree().PcRootItem(), Tree().Tree().SavedQueriesItem()})
        EXPECT_FALSE(Offer(Tree(), At(refused), *rows)) << refused->Text();
    EXPECT_FALSE(Offer(List(), QPoint(20, 20), *rows));
}

TEST_F(DragDrop, ADiskOntoADiskAsksTheCopyModeAndCopiesIt) {
    CImageBuilder other;
    other.SetName("OTHER");
    other.AddFile(BuiltFile::Program("KEEP", std::vector<uint8_t>(256, 0x55)));
    CTreeItem* target = Mount("other.dsk", other);
    ASSERT_TRUE(target);
    const std::vector<uint8_t> before = ReadAll(m_folder + "/other.dsk");
    std::unique_ptr<QMimeData> disk(TreeItemMime(*m_source));

    int asked = 0;
    SetNextAnswer([&](QDialog& d) {
        ++asked;
        d.reject();  // Cancel in the copy-mode dialog: nothing is written
    });
    ASSERT_TRUE(Drop(Tree(), At(target), *disk));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadAll(m_folder + "/other.dsk"), before);

    SetNextAnswer([&](QDialog& d) {
        ++asked;
        dynamic_cast<CCopyModeDialog&>(d).SetMode(0);  // all sectors
        d.accept();
    });
    ASSERT_TRUE(Drop(Tree(), At(target), *disk));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ReadAll(m_folder + "/other.dsk"), ReadAll(m_sourcePath));
    EXPECT_EQ(target->Text(), m_source->Text());

    // Onto itself, another item of its image, or a query list: refused.
    CTreeItem* sameImage = Tree().MountByPath(m_sourcePath, nullptr);
    for (CTreeItem* refused : {m_source, sameImage, Tree().Tree().SavedQueriesItem()})
        EXPECT_FALSE(Offer(Tree(), At(refused), *disk)) << refused->Text();
}

TEST_F(DragDrop, ImagesAndFoldersFromTheDesktopMountAndPcFilesImport) {
    // A TIFILES file made by the program's own export.
    const std::string tifiles = m_folder + "/BETA";
    ASSERT_TRUE(ExportInFormat(*m_source->Drive(), m_source->Drive()->FindFile("BETA"), tifiles,
                               TifilesHeader, {}));
    const std::string folder = m_folder + "/images";
    std::filesystem::create_directory(folder);
    test::WriteImage(folder, "a.dsk", "INFOLDER", 1);
    CImageBuilder empty;
    empty.SetName("EMPTY");
    CTreeItem* target = Mount("empty.dsk", empty);
    ASSERT_TRUE(target);
    CTreeItem* pc = Tree().Tree().PcRootItem();
    const int mounted = pc->ChildCount();

    // An image onto the tree mounts it; a folder mounts its images.
    ASSERT_TRUE(Drop(Tree(), At(pc), *Uris({m_sourcePath})));
    EXPECT_EQ(pc->ChildCount(), mounted + 1);
    EXPECT_EQ(pc->Child(mounted)->Text(), m_source->Text());
    ASSERT_TRUE(Drop(Tree(), At(pc), *Uris({folder})));
    ASSERT_EQ(pc->ChildCount(), mounted + 2);
    ASSERT_EQ(pc->Child(mounted + 1)->ChildCount(), 1);
    EXPECT_EQ(pc->Child(mounted + 1)->Child(0)->Text(), "INFOLDER  ");

    // A PC file onto a disk imports it through the name dialog; onto the list as well.
    int named = 0;
    SetStandingAnswer([&](QDialog& d) {
        auto& names = dynamic_cast<CFileNameDialog&>(d);
        names.SetName(named++ == 0 ? "BETA" : "BETA2");
        names.accept();
    });
    ASSERT_TRUE(Drop(Tree(), At(target), *Uris({tifiles})));
    EXPECT_EQ(List().Drive(), target->Drive()) << "the disk imported to is shown";
    EXPECT_EQ(test::FileBytes(*target->Drive(), "BETA"),
              test::FileBytes(*m_source->Drive(), "BETA"));
    ASSERT_TRUE(Drop(List(), QPoint(20, 20), *Uris({tifiles})));
    EXPECT_EQ(test::FileBytes(*target->Drive(), "BETA2"),
              test::FileBytes(*m_source->Drive(), "BETA"));
    EXPECT_EQ(named, 2);
    EXPECT_TRUE(Prompt().messages.empty());

    // Refused: a PC file onto a folder or a query list, an image onto the list, missing files.
    EXPECT_FALSE(Offer(Tree(), At(pc), *Uris({tifiles})));
    EXPECT_FALSE(Offer(Tree(), At(Tree().Tree().SavedQueriesItem()), *Uris({m_sourcePath})));
    EXPECT_FALSE(Offer(List(), QPoint(20, 20), *Uris({m_sourcePath})));
    EXPECT_FALSE(Offer(Tree(), At(target), *Uris({m_folder + "/missing"})));
}

TEST_F(DragDrop, RowsDraggedOutBecomeTifilesFilesThatImportBackWhole) {
    const std::vector<int> fdrs = {m_source->Drive()->FindFile("ALPHA"),
                                   m_source->Drive()->FindFile("BETA")};
    std::vector<std::string> exported;
    CDragExports exports(m_folder);
    std::unique_ptr<QMimeData> rows(DiskFilesMime(m_source->Id(), fdrs, [&] {
        std::string error;
        exported = exports.Export(*m_source->Drive(), fdrs, error);
        EXPECT_EQ(error, "");
        return exported;
    }));
    EXPECT_TRUE(exported.empty()) << "nothing is written before the desktop asks";
    const QList<QUrl> urls = rows->urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_EQ(urls[0].toLocalFile().toStdString(), exported[0]);
    EXPECT_EQ(std::filesystem::path(exported[1]).filename(), "BETA");
    EXPECT_EQ(rows->urls(), urls) << "exported once per drag";
    const std::vector<uint8_t> header = ReadAll(exported[0]);
    ASSERT_GE(header.size(), 8u);
    EXPECT_EQ(std::string(header.begin() + 1, header.begin() + 8), "TIFILES");

    // The program's own import reads them back as they were.
    CImageBuilder empty;
    test::WriteBytes(m_folder + "/back.dsk", empty.Image());
    CTreeItem* back = Tree().MountByPath(m_folder + "/back.dsk", nullptr);
    SetStandingAnswer([](QDialog& d) { d.accept(); });
    ASSERT_TRUE(Drop(Tree(), At(back), *Uris(exported)));
    for (const char* name : {"ALPHA", "BETA"})
        EXPECT_EQ(test::FileBytes(*back->Drive(), name), test::FileBytes(*m_source->Drive(), name))
            << name;

    // A file that cannot be read gives no URLs and leaves no folder behind.
    std::string error;
    EXPECT_TRUE(exports.Export(*m_source->Drive(), {5000}, error).empty());
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(exports.Folders().size(), 1u);
}

TEST_F(DragDrop, MembersDragOutOfTheirArchiveAndRowsDragIntoIt) {
    TAVIK_REQUIRE_TESTDATA(dir, "peer/archives");
    const std::string image = m_folder + "/ark2.dsk";
    std::filesystem::copy_file(dir + "/ark2.dsk", image);
    CTreeItem* disk = Tree().MountByPath(image, nullptr);
    ASSERT_TRUE(disk);
    Tree().Select(disk);  // listing the disk makes its archive folder
    ASSERT_GE(disk->ChildCount(), 1);
    CTreeItem* archive = disk->Child(0);
    ASSERT_EQ(archive->Kind(), NodeKind::ArchiveFile);
    Tree().Select(archive);
    ASSERT_TRUE(List().ShowsMembers());
    const std::vector<std::string> members = test::ListNames(List());
    ASSERT_FALSE(members.empty());
    auto membersMime = [&](const std::vector<std::string>& names) {
        return std::unique_ptr<QMimeData>(
            ArchiveMembersMime(archive->Id(), names, [] { return std::vector<std::string>(); }));
    };
    auto allMembers = membersMime(members);

    // Dropped onto a drive item, the members arrive as Copy and Paste brings them.
    CTreeItem* pasted = Mount("pasted.dsk", CImageBuilder());
    CTreeItem* dropped = Mount("dropped.dsk", CImageBuilder());
    ASSERT_TRUE(pasted && dropped);
    List().selectAll();
    List().HandleCommand(CommandId::EditCopy);
    Tree().SetContextItem(pasted);
    Tree().PasteClip();
    Tree().ClearContext();
    ASSERT_TRUE(Drop(Tree(), At(dropped), *allMembers));
    EXPECT_TRUE(Prompt().messages.empty());
    for (const std::string& name : members) {
        EXPECT_FALSE(test::FileBytes(*dropped->Drive(), name).empty()) << name;
        EXPECT_EQ(test::FileBytes(*dropped->Drive(), name), test::FileBytes(*pasted->Drive(), name))
            << name;
    }

    // Onto a disk without room for all of them: none, and the image is as it was.
    CImageBuilder full;
    full.AddFile(BuiltFile::Program("FILLER", std::vector<uint8_t>(256 * 352, 0x44)));
    CTreeItem* fullDisk = Mount("full.dsk", full);
    const std::vector<uint8_t> fullBefore = ReadAll(m_folder + "/full.dsk");
    ASSERT_TRUE(Drop(Tree(), At(fullDisk), *allMembers));
    ASSERT_EQ(Prompt().messages.size(), 1u);
    EXPECT_NE(Prompt().messages[0].find("Disk is full"), std::string::npos);
    EXPECT_EQ(ReadAll(m_folder + "/full.dsk"), fullBefore);
    Prompt().messages.clear();

    // Dragged out to the desktop they are the TIFILES files the CLI's export writes.
    std::vector<std::string> exported;
    CDragExports exports(m_folder);
    std::unique_ptr<QMimeData> out(ArchiveMembersMime(archive->Id(), {members[0]}, [&] {
        CArkFile ark;
        std::string error;
        EXPECT_TRUE(OpenArchiveItem(*archive, ark, error)) << error;
        exported = exports.Export(ark, {members[0]}, error);
        EXPECT_EQ(error, "");
        return exported;
    }));
    ASSERT_EQ(out->urls().size(), 1);
    std::ostringstream cliOut, cliErr;
    const std::string cliPc = m_folder + "/cli.tfi";
    ASSERT_EQ(cli::RunCli({"archive", "export", image, archive->Text(), members[0], cliPc, "--as",
                           "tifiles"},
                          cliOut, cliErr),
              0)
        << cliErr.str();
    EXPECT_EQ(ReadAll(out->urls()[0].toLocalFile().toStdString()), ReadAll(cliPc));
    std::string error;
    EXPECT_TRUE(exports.Export(CArkFile(), {"NOSUCH"}, error).empty());
    EXPECT_EQ(error, "NOSUCH: File not found");
    EXPECT_EQ(exports.Folders().size(), 1u) << "a failed drag leaves no folder";

    // Rows of a disk dropped onto the archive folder, or onto its member list, become members
    // that come out again as they went in.
    ASSERT_TRUE(Drop(Tree(), At(archive), *Rows({"ALPHA"})));
    Tree().Select(archive);
    ASSERT_TRUE(Drop(List(), QPoint(20, 20), *Rows({"BETA"})));
    EXPECT_TRUE(Prompt().messages.empty());
    std::vector<std::string> grown = test::ListNames(List());
    for (const char* name : {"ALPHA", "BETA"})
        EXPECT_NE(std::find(grown.begin(), grown.end(), name), grown.end()) << name;
    CTreeItem* back = Mount("back.dsk", CImageBuilder());
    ASSERT_TRUE(Drop(Tree(), At(back), *membersMime({"ALPHA", "BETA"})));
    for (const char* name : {"ALPHA", "BETA"})
        EXPECT_EQ(test::FileBytes(*back->Drive(), name), test::FileBytes(*m_source->Drive(), name))
            << name;

    // Refused while moving, and nothing changes: members onto their own folder, their own list,
    // a folder, a query list; the archive's own row onto its folder; PC files onto the list.
    const std::vector<uint8_t> imageBefore = ReadAll(image);
    const std::vector<int> archiveRow = {disk->Drive()->FindFile(archive->Text())};
    auto ownRow = std::unique_ptr<QMimeData>(
        DiskFilesMime(disk->Id(), archiveRow, [] { return std::vector<std::string>(); }));
    const std::string plain = m_folder + "/plain.txt";
    test::WriteBytes(plain, {'H', 'I', '\n'});
    auto pcFile = Uris({plain});
    const struct {
        const char* what;
        QAbstractItemView& view;
        QPoint at;
        const QMimeData& mime;
    } refused[] = {
        {"own folder", Tree(), At(archive), *allMembers},
        {"own list", List(), QPoint(20, 20), *allMembers},
        {"a folder", Tree(), At(Tree().Tree().PcRootItem()), *allMembers},
        {"a query list", Tree(), At(Tree().Tree().SavedQueriesItem()), *allMembers},
        {"the archive into itself", Tree(), At(archive), *ownRow},
        {"a PC file onto the members", List(), QPoint(20, 20), *pcFile},
    };
    Tree().Select(archive);
    for (const auto& r : refused) {
        EXPECT_FALSE(Drop(r.view, r.at, r.mime)) << r.what;
        EXPECT_EQ(ReadAll(image), imageBefore) << r.what;
    }
    EXPECT_TRUE(Prompt().messages.empty());
}

}  // namespace
}  // namespace tavik
