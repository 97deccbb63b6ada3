// The disk the panes share: who is told what, and what goes with a removed tree item.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/CurrentDisk.h"

namespace tavik {
namespace {

class CLog : public CDiskObserver {
public:
    std::vector<std::string> seen;
    void DiskShown(CTreeItem* item) override {
        seen.push_back(item ? "shown " + item->Text() : "none");
    }
    void FilesChanged() override { seen.push_back("files"); }
    void SectorShown(int sector) override { seen.push_back("sector " + std::to_string(sector)); }
    void TargetChanged() override { seen.push_back("target"); }
};

class CurrentDisk : public testing::Test {
protected:
    void SetUp() override {
        m_tree.CreateRoots();
        m_one = Mount("ONE");
        m_two = Mount("TWO");
        m_disk.AddObserver(&m_list);
        m_disk.AddObserver(&m_map);
    }
    CTreeItem* Mount(const std::string& name) {
        CTreeNode node(NodeKind::SectorImage, "/images/" + name, name);
        node.drive = std::make_unique<CVirtualDrive>();
        return m_tree.Insert(m_tree.PcRootItem(), std::move(node), name);
    }

    CTreeModel m_tree;
    CCurrentDisk m_disk{m_tree};
    CLog m_list, m_map;
    CTreeItem* m_one = nullptr;
    CTreeItem* m_two = nullptr;
};

TEST_F(CurrentDisk, ThePaneThatCausedANotificationIsNotToldAgain) {
    m_disk.Show(m_one, &m_list);
    m_disk.ShowSector(7, &m_map);
    m_disk.FilesChanged(nullptr);
    EXPECT_EQ(m_list.seen, (std::vector<std::string>{"sector 7", "files"}));
    EXPECT_EQ(m_map.seen, (std::vector<std::string>{"shown ONE", "files"}));
    EXPECT_EQ(m_disk.Drive(), m_one->Drive());
    // Only drive items can be shown or become the target.
    m_disk.Show(m_tree.PcRootItem());
    m_disk.SetTarget(m_tree.PcRootItem());
    EXPECT_EQ(m_disk.Item(), nullptr);
    EXPECT_EQ(m_disk.Target(), nullptr);
}

TEST_F(CurrentDisk, RemovedItemsTakeTheDiskAndTheTargetWithThem) {
    m_disk.Show(m_one);
    m_disk.SetTarget(m_two);
    m_disk.SetStayFile(-4, "FILE  ");
    EXPECT_EQ(m_disk.TargetName(), "TWO");
    EXPECT_EQ(m_disk.StayFileName(), "FILE");
    m_list.seen.clear();
    m_tree.Remove(m_two);
    EXPECT_EQ(m_disk.Target(), nullptr);
    EXPECT_EQ(m_disk.StayFile(), -4);
    m_tree.Remove(m_one);
    EXPECT_EQ(m_disk.Item(), nullptr);
    EXPECT_EQ(m_disk.StayFile(), 0);  // the file belonged to the disk that went
    EXPECT_EQ(m_list.seen, (std::vector<std::string>{"target", "none"}));
}

}  // namespace
}  // namespace tavik
