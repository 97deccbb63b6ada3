// The drive tree: mounting, dismounting, dummy folders, alpha sort, moves and the internal clip.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>

#include "GuiFixture.h"
#include "app/TreeOperations.h"
#include "qt/DialogRunner.h"
#include "views/DiskView.h"
#include "views/DriveCommands.h"
#include "views/DriveView.h"
#include "views/TreeItemModel.h"

namespace tavik {
namespace {

using test::CProgram;

CTreeItem* Child(CTreeItem* parent, const std::string& text) {
    for (int i = 0; i < parent->ChildCount(); ++i)
        if (parent->Child(i)->Text() == text) return parent->Child(i);
    return nullptr;
}

std::vector<std::string> Texts(const CTreeItem* parent) {
    std::vector<std::string> texts;
    for (int i = 0; i < parent->ChildCount(); ++i)
        texts.push_back(parent->Child(i)->Text());
    return texts;
}

class DriveTree : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        m_image = test::WriteImage(m_folder, "one.dsk", "ONE");
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
    }
    CDriveView& View() { return *m_program->Frame().DriveView(); }
    CTreeModel& Tree() { return m_program->App().Tree(); }
    CTreeItem* Pc() { return Tree().PcRootItem(); }

    std::string m_folder;
    std::string m_image;
    std::unique_ptr<CProgram> m_program;
};

TEST_F(DriveTree, MountingTheSameFileTwiceGivesTwoItemsWithTwoDrives) {
    CTreeItem* a = View().MountByPath(m_image, nullptr);
    CTreeItem* b = View().MountByPath(m_image, nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_NE(a->Drive(), b->Drive());
    EXPECT_EQ(a->Text(), "ONE       ");
    EXPECT_EQ(a->Kind(), NodeKind::SectorImage);
    EXPECT_EQ(Pc()->ChildCount(), 2);
}

TEST_F(DriveTree, AFailedMountShowsTheDriveErrorAndInsertsNothing) {
    const std::string tiny = m_folder + "/tiny.dsk";
    test::WriteBytes(tiny, std::vector<uint8_t>(100, 0));
    EXPECT_EQ(View().MountByPath(tiny, nullptr), nullptr);
    EXPECT_EQ(View().MountByPath(m_folder + "/absent.dsk", nullptr), nullptr);
    EXPECT_EQ(m_program->Prompt().messages,
              (std::vector<std::string>{"Past end of drive",
                                        "Can't open file on PC\n" + m_folder +
                                            "/absent.dsk: No such file or directory"}));
    EXPECT_EQ(Pc()->ChildCount(), 0);
}

TEST_F(DriveTree, SelectingAnImageListsItsCatalogAndDismountClearsTheList) {
    CTreeItem* item = View().MountByPath(m_image, nullptr);
    View().Select(item);
    CDiskView& list = *m_program->Frame().DiskView();
    EXPECT_EQ(list.Drive(), item->Drive());
    EXPECT_EQ(list.model()->rowCount(), 2);
    View().DismountItem();
    EXPECT_EQ(list.Drive(), nullptr);
    EXPECT_EQ(list.model()->rowCount(), 0);
    EXPECT_EQ(Pc()->ChildCount(), 0);
}

TEST_F(DriveTree, OnlyFoldersAndImageFilesCanBeDismounted) {
    CTreeItem* remote =
        Tree().Insert(Tree().TiRootItem(), CTreeNode(NodeKind::RemoteDrive, "", "DSK1"), "DSK1");
    CTreeItem* emulated = Tree().Insert(Tree().EmulatorRootItem(),
                                        CTreeNode(NodeKind::EmulatorDisk, "", "DSK1"), "DSK1");
    for (CTreeItem* item : {remote, emulated, Pc(), Tree().SavedQueriesItem()}) {
        View().SetContextItem(item);
        View().DismountItem();
    }
    EXPECT_EQ(Tree().TiRootItem()->ChildCount(), 1);
    EXPECT_EQ(Tree().EmulatorRootItem()->ChildCount(), 1);
    CTreeItem* folder = AddDummyFolder(Tree(), Pc());
    View().MountByPath(m_image, folder);
    EXPECT_EQ(folder->ChildCount(), 1);
    View().SetContextItem(folder);
    View().DismountItem();  // the folder goes with its image
    EXPECT_EQ(Pc()->ChildCount(), 0);
}

TEST_F(DriveTree, FoldersNeverMoveIntoThemselvesOrTheirDescendants) {
    CTreeItem* outer = AddDummyFolder(Tree(), Pc());
    CTreeItem* inner = AddDummyFolder(Tree(), outer);
    EXPECT_FALSE(MoveIntoFolder(Tree(), outer, outer));
    EXPECT_FALSE(MoveIntoFolder(Tree(), outer, inner));
    EXPECT_EQ(inner->Parent(), outer);
    EXPECT_EQ(outer->Parent(), Pc());
    EXPECT_TRUE(MoveIntoFolder(Tree(), inner, Pc()));
    EXPECT_EQ(inner->Parent(), Pc());
}

TEST_F(DriveTree, PastingADiskClipOntoItselfDoesNothingAndOntoAFolderMovesIt) {
    CTreeItem* image = View().MountByPath(m_image, nullptr);
    CTreeItem* folder = AddDummyFolder(Tree(), Pc());
    int dialogs = 0;
    SetStandingAnswer([&](QDialog& d) {
        ++dialogs;
        d.reject();
    });
    View().Select(image);
    View().CopyClip();
    EXPECT_EQ(m_program->App().InternalClip(),
              "<" + std::to_string(image->Id()) + "> Disk: ONE       ");
    View().PasteClip();  // onto itself
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(image->Parent(), Pc());
    View().Select(folder);
    View().PasteClip();  // an image onto a folder moves into it
    EXPECT_EQ(image->Parent(), folder);
    // Another item of the same image is the same disk: nothing to copy, nothing asked.
    CTreeItem* second = View().MountByPath(m_image, nullptr);
    View().Select(second);
    View().PasteClip();
    EXPECT_EQ(dialogs, 0);
    // Another disk asks how to copy.
    CTreeItem* third = View().MountByPath(test::WriteImage(m_folder, "two.dsk", "TWO"), nullptr);
    View().Select(third);
    View().PasteClip();
    EXPECT_EQ(dialogs, 1);
}

TEST_F(DriveTree, ContextMenusFollowTheKind) {
    QString title;
    EXPECT_TRUE(CDriveView::ContextEntries(NodeKind::SavedQueries).isEmpty());
    EXPECT_TRUE(CDriveView::ContextEntries(NodeKind::DatabaseClosed).isEmpty());
    EXPECT_EQ(CDriveView::ContextEntries(NodeKind::PcRoot, &title).value(4), "New dummy folder");
    EXPECT_EQ(title, "Folder context");
    EXPECT_EQ(CDriveView::ContextEntries(NodeKind::RemoteDevice, &title).value(0),
              "Drive properties");
    EXPECT_EQ(title, "Drive context");
    EXPECT_EQ(CDriveView::ContextEntries(NodeKind::TiRootActive),
              (QStringList{"Scan", "Refresh", "Unhook"}));
    // "New dummy folder" on "PC" adds the folder under "PC".
    View().SetContextItem(Pc());
    View().HandleCommand(CommandId::DummyFolder);
    ASSERT_EQ(Pc()->ChildCount(), 1);
    EXPECT_EQ(Pc()->Child(0)->Text(), "Dummy folder");
    EXPECT_EQ(Pc()->Child(0)->Kind(), NodeKind::DummyFolder);
}

TEST_F(DriveTree, EditedLabelsChangeTextAndLabelButEmptyEditsAreIgnored) {
    CTreeItem* folder = AddDummyFolder(Tree(), Pc());
    CTreeItemModel& model = *View().ItemModel();
    const QModelIndex index = model.IndexOf(folder);
    EXPECT_FALSE(model.setData(index, QString(), Qt::EditRole));
    EXPECT_EQ(folder->Text(), "Dummy folder");
    EXPECT_TRUE(model.setData(index, QString("Games"), Qt::EditRole));
    EXPECT_EQ(folder->Text(), "Games");
    EXPECT_EQ(folder->Node().label, "Games");
}

TEST_F(DriveTree, MountingAFolderTakesOnlyItsDiskImages) {
    const std::string sub = m_folder + "/images";
    QDir().mkpath(QString::fromStdString(sub));
    test::WriteImage(sub, "a.dsk", "ALPHA");
    test::WriteImage(sub, "b.dsk", "BETA");
    test::CImageBuilder pc99(360);
    pc99.SetName("TRACKS");
    test::WriteBytes(sub + "/c.pc99", pc99.Pc99Image());
    test::WriteBytes(sub + "/notes.txt", std::vector<uint8_t>(600, 'x'));
    View().SetContextItem(Pc());
    View().MountPcFolder(sub);
    CTreeItem* folder = Child(Pc(), sub);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Kind(), NodeKind::PcFolder);
    EXPECT_EQ(folder->Node().label, "images");
    EXPECT_EQ(Texts(folder), (std::vector<std::string>{"ALPHA     ", "BETA      ", "TRACKS    "}));
    EXPECT_EQ(folder->Child(2)->Kind(), NodeKind::TrackImage);
    EXPECT_TRUE(m_program->Prompt().messages.empty());
}

}  // namespace
}  // namespace tavik
