// The drive tree's operations on the tree model without a window: alpha sort, the clip and the
// files a clip copies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageBuilder.h"
#include "ScriptedPrompt.h"
#include "app/TreeOperations.h"
#include "base/PcFile.h"
#include "disk/VirtualDrive.h"

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

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;

// A drive on an image in memory; `bytes` watches the image the drive writes.
struct MemDrive {
    CVirtualDrive drive;
    const CMemFile* bytes = nullptr;
    explicit MemDrive(const CImageBuilder& image) {
        auto file = image.MemFile();
        bytes = file.get();
        drive.MountFile(std::move(file), 0, 0, -1);
    }
    std::vector<uint8_t> Image() const { return bytes->Bytes(); }
    std::vector<uint8_t> FileData(const std::string& name) { return test::FileBytes(drive, name); }
};

CImageBuilder SourceDisk() {
    CImageBuilder image;
    image.AddFile(BuiltFile::Program("ALPHA", std::vector<uint8_t>(600, 0x11)));
    image.AddFile(BuiltFile::Program("BETA", std::vector<uint8_t>(300, 0x22)));
    return image;
}

TEST(CopyFilesOnto, ANameClashAsksAndTheAnswerDecides) {
    const struct {
        PromptAnswer answer;
        int result;
        bool alphaCopied, betaReplaced;
    } cases[] = {{PromptAnswer::Yes, 1, true, true},
                 {PromptAnswer::No, 1, true, false},
                 {PromptAnswer::Cancel, -1, false, false}};
    for (const auto& c : cases) {
        MemDrive source(SourceDisk());
        CImageBuilder target;
        target.AddFile(BuiltFile::Program("BETA", std::vector<uint8_t>(100, 0x33)));
        MemDrive to(target);
        const std::vector<uint8_t> before = to.Image();
        test::CScriptedPrompt prompt;
        prompt.answers = {c.answer};
        std::string error;
        const std::vector<int> fdrs = {source.drive.FindFile("ALPHA"),
                                       source.drive.FindFile("BETA")};
        EXPECT_EQ(CopyFilesOnto(source.drive, to.drive, fdrs, prompt, error), c.result);
        EXPECT_EQ(prompt.questions, (std::vector<std::string>{
                                        "BETA already exists on the target disk.\nDo you want to "
                                        "replace it?"}));
        EXPECT_EQ(to.FileData("ALPHA").empty(), !c.alphaCopied);
        EXPECT_EQ(to.FileData("BETA") == source.FileData("BETA"), c.betaReplaced);
        if (c.answer == PromptAnswer::Cancel) {
            EXPECT_EQ(to.Image(), before);
        }
    }
}

TEST(CopyFilesOnto, AFailureMidwayLeavesTheTargetAsItWas) {
    MemDrive source(SourceDisk());
    CImageBuilder target;
    // Room for ALPHA (an FDR and three sectors), not for BETA after it.
    target.AddFile(BuiltFile::Program("FILLER", std::vector<uint8_t>(256 * 351, 0x44)));
    MemDrive to(target);
    ASSERT_TRUE(to.drive.ReadVib());
    ASSERT_EQ(to.drive.CountFreeSectors(), 6);
    const std::vector<uint8_t> before = to.Image();
    test::CScriptedPrompt prompt;
    std::string error;
    EXPECT_EQ(CopyFilesOnto(source.drive, to.drive,
                            {source.drive.FindFile("ALPHA"), source.drive.FindFile("BETA")}, prompt,
                            error),
              0);
    EXPECT_EQ(error, "Disk is full");
    EXPECT_EQ(to.Image(), before);
    // Onto its own disk there is nothing to copy and nothing to ask.
    EXPECT_EQ(
        CopyFilesOnto(source.drive, source.drive, {source.drive.FindFile("ALPHA")}, prompt, error),
        1);
    EXPECT_TRUE(prompt.questions.empty());
}

}  // namespace
}  // namespace tavik
