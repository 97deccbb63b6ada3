// The drive tree's operations on the tree model without a window: alpha sort and the clip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TreeOperations.h"

namespace tavik {
namespace {

std::vector<std::string> Texts(const CTreeItem* parent) {
    std::vector<std::string> texts;
    for (int i = 0; i < parent->ChildCount(); ++i)
        texts.push_back(parent->Child(i)->Text());
    return texts;
}

TEST(AlphaSortTest, DiskNamesGoIntoTheirRangeFoldersThenChildrenAreSorted) {
    CTreeModel tree;
    tree.CreateRoots();
    CTreeItem* pc = tree.PcRootItem();
    for (const char* name : {"zebra", "BRAVO", "GOLF", "ALPHA"})
        tree.Insert(pc, CTreeNode(NodeKind::SectorImage, "", name), name);
    CTreeItem* af = tree.Insert(pc, CTreeNode(NodeKind::DummyFolder, "", "A-F"), "A-F");
    CTreeItem* g = tree.Insert(pc, CTreeNode(NodeKind::DummyFolder, "", "G-"), "G-");
    tree.Insert(pc, CTreeNode(NodeKind::DummyFolder, "", "Misc"), "Misc");
    AlphaSort(tree, pc);
    EXPECT_EQ(Texts(af), (std::vector<std::string>{"BRAVO", "ALPHA"}));
    // Lower-case letters sort above all capitals, and an empty high bound is open.
    EXPECT_EQ(Texts(g), (std::vector<std::string>{"zebra", "GOLF"}));
    EXPECT_EQ(Texts(pc), (std::vector<std::string>{"A-F", "G-", "Misc"}));
}

TEST(AlphaSortTest, BoundsAreTrimmedAndInclusive) {
    CTreeModel tree;
    tree.CreateRoots();
    CTreeItem* pc = tree.PcRootItem();
    CTreeItem* range = tree.Insert(pc, CTreeNode(NodeKind::DummyFolder, "", "C  -  D"), "C  -  D");
    for (const char* name : {"C", "D", "DA", "B"})
        tree.Insert(pc, CTreeNode(NodeKind::SectorImage, "", name), name);
    AlphaSort(tree, pc);
    EXPECT_EQ(Texts(range), (std::vector<std::string>{"C", "D"}));
    EXPECT_EQ(Texts(pc), (std::vector<std::string>{"B", "C  -  D", "DA"}));
}

TEST(TreeClip, SourceNumberIsReadFromTheLeadingAngleBrackets) {
    EXPECT_EQ(ClipSourceNumber("<12> Disk: ONE"), 12);
    EXPECT_EQ(ClipSourceNumber("<0x10> Sector: 3"), 16);
    EXPECT_EQ(ClipSourceNumber("12> Disk"), -1);
    EXPECT_EQ(ClipSourceNumber("<12 Disk"), -1);
    EXPECT_EQ(ClipSourceNumber(""), -1);
}

}  // namespace
}  // namespace tavik
