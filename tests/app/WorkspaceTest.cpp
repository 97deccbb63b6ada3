#include "app/Workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "base/AtomicFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

using namespace tavik;
namespace fs = std::filesystem;

namespace {
// A single-sided sector dump of 360 sectors with the disk name in its VIB.
std::string MakeImage(const fs::path& path, const std::string& name) {
    std::vector<uint8_t> bytes(256 * 360, 0);
    std::string padded = (name + "          ").substr(0, 10);
    std::copy(padded.begin(), padded.end(), bytes.begin());
    bytes[10] = 0x01;
    bytes[11] = 0x68;
    bytes[12] = 9;
    bytes[13] = 'D';
    bytes[14] = 'S';
    bytes[15] = 'K';
    bytes[16] = ' ';
    bytes[17] = 40;
    bytes[18] = 1;
    bytes[19] = 1;
    EXPECT_TRUE(WriteWholeFile(path.string(), bytes));
    return path.string();
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

std::vector<std::string> Texts(const CTreeItem* parent) {
    std::vector<std::string> out;
    for (int i = 0; i < parent->ChildCount(); ++i)
        out.push_back(parent->Child(i)->Text());
    return out;
}

// One program's state: options, tree, prompt and the workspace over them.
struct Session {
    COptions options;
    CTreeModel tree;
    test::CScriptedPrompt prompt;
    CWorkspace workspace{options, tree, prompt};
    Session() { tree.CreateRoots(); }
    CTreeItem* Pc() { return tree.PcRootItem(); }
    CTreeItem* Add(CTreeItem* parent, NodeKind kind, const std::string& path,
                   const std::string& label) {
        return tree.Insert(parent, CTreeNode(kind, path, label), label);
    }
};

class Workspace : public ::testing::Test {
protected:
    fs::path dir = test::TempFolder();
    std::string file = (dir / "saved.TVK").string();
};
}  // namespace

TEST_F(Workspace, FreshWorkspaceEndsWithThreeZeroCounts) {
    Session s;
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
    const auto bytes = FileBytes(file);
    CMemFile record;
    {
        CArchive ar(record, CArchive::Mode::Store);
        ar.WriteString("TAVIKWrk2.2");
        COptions fresh;
        fresh.Serialise(ar);
    }
    // The empty export history closing the options, the empty PC list, the closing 0.
    ASSERT_EQ(bytes.size(), record.Bytes().size() + 8);
    EXPECT_TRUE(std::equal(record.Bytes().begin(), record.Bytes().end(), bytes.begin()));
    EXPECT_EQ(bytes[0], 0x0B);
    EXPECT_TRUE(std::all_of(bytes.end() - 12, bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(Workspace, TreeSurvivesSaveAndLoad) {
    const fs::path folder = dir / "discs";
    fs::create_directory(folder);
    const std::string inFolder = MakeImage(folder / "a.dsk", "ALPHA");
    const std::string loose = MakeImage(dir / "b.dsk", "BETA");

    Session s;
    s.options.fullFolderNames = 0;
    CTreeItem* f = s.Add(s.Pc(), NodeKind::PcFolder, folder.string() + "/", "discs");
    s.Add(f, NodeKind::SectorImage, inFolder, "stale label");
    CTreeItem* dummy = s.Add(f, NodeKind::DummyFolder, {}, "Dummy folder");
    s.Add(dummy, NodeKind::TrackImage, loose, "x");  // dummy folders keep any image
    const std::string track = (dir / "c.pc99").string();
    ASSERT_NE(CVirtualDrive().CreateImage(track, false, false, true), 0);
    s.Add(dummy, NodeKind::SectorImage, track, "y");
    s.Add(dummy, NodeKind::ArchiveFile, {}, "ARK");  // archive folders are never read back
    s.tree.SetKind(s.tree.DatabaseRootItem(), NodeKind::DatabaseOpen);
    CTreeNode query(NodeKind::FileQuery, {}, "Big files");
    query.where = "[Size] > 100";
    query.columns = {0x00640000, 0x40000003};
    query.spareText = "kept";
    query.deviceKey = 77;
    CTreeItem* q = s.tree.Insert(s.tree.DatabaseRootItem(), std::move(query), "Big files");
    s.Add(q, NodeKind::DiskQuery, {}, "child query");  // children of queries are not kept
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);

    Session t;
    t.Add(t.Pc(), NodeKind::DummyFolder, {}, "replaced by the load");
    ASSERT_EQ(t.workspace.LoadWorkspace(file), 1);
    EXPECT_TRUE(t.prompt.messages.empty());
    ASSERT_EQ(Texts(t.Pc()), std::vector<std::string>{"discs"});
    CTreeItem* tf = t.Pc()->Child(0);
    EXPECT_EQ(tf->Kind(), NodeKind::PcFolder);
    EXPECT_EQ(tf->Node().path, folder.string());  // one trailing separator removed
    ASSERT_EQ(Texts(tf), (std::vector<std::string>{"ALPHA     ", "Dummy folder"}));
    CTreeItem* image = tf->Child(0);
    EXPECT_EQ(image->Kind(), NodeKind::SectorImage);
    ASSERT_NE(image->Drive(), nullptr);
    EXPECT_EQ(image->Drive()->Kind(), DriveKind::DoadImage);
    EXPECT_EQ(image->Node().label, "ALPHA     ");
    CTreeItem* td = tf->Child(1);
    ASSERT_EQ(td->ChildCount(), 2);
    EXPECT_EQ(td->Child(0)->Kind(), NodeKind::SectorImage);  // what the image really is
    EXPECT_EQ(td->Child(1)->Kind(), NodeKind::TrackImage);
    EXPECT_EQ(td->Child(0)->Text(), "BETA      ");

    CTreeItem* db = t.tree.DatabaseRootItem();
    ASSERT_EQ(Texts(db), (std::vector<std::string>{"Saved queries", "Parameters", "Big files"}));
    const CTreeNode& tq = db->Child(2)->Node();
    EXPECT_EQ(tq.kind, NodeKind::FileQuery);
    EXPECT_EQ(tq.where, "[Size] > 100");
    EXPECT_EQ(tq.columns, (std::vector<int32_t>{0x00640000, 0x40000003}));
    EXPECT_EQ(tq.spareText, "kept");
    EXPECT_EQ(tq.deviceKey, 77);
    EXPECT_EQ(db->Child(2)->ChildCount(), 0);
}

TEST_F(Workspace, NothingIsWrittenForAClosedDatabase) {
    Session s;
    s.Add(s.tree.DatabaseRootItem(), NodeKind::DiskQuery, {}, "q");
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
    Session t;
    ASSERT_EQ(t.workspace.LoadWorkspace(file), 1);
    EXPECT_EQ(Texts(t.tree.DatabaseRootItem()),
              (std::vector<std::string>{"Saved queries", "Parameters"}));
}

TEST_F(Workspace, VanishedImagesAndFoldersAndMisplacedImages) {
    const fs::path a = dir / "A";
    const fs::path b = dir / "B";
    fs::create_directory(a);
    fs::create_directory(b);
    const std::string gone = MakeImage(dir / "gone.dsk", "GONE");
    const std::string inA = MakeImage(a / "x.dsk", "XRAY");
    const std::string inB = MakeImage(b / "y.dsk", "YANKEE");

    Session s;
    s.options.fullFolderNames = 1;
    CTreeItem* goneImage = s.Add(s.Pc(), NodeKind::SectorImage, gone, "GONE");
    s.Add(goneImage, NodeKind::DummyFolder, {}, "inside the vanished image");
    CTreeItem* fb = s.Add(s.Pc(), NodeKind::PcFolder, b.string(), "B");
    s.Add(fb, NodeKind::SectorImage, inA, "XRAY");  // saved in A, now under B
    s.Add(fb, NodeKind::SectorImage, inB, "YANKEE");
    CTreeItem* vanished = s.Add(s.Pc(), NodeKind::PcFolder, (dir / "C").string() + "/", "C");
    s.Add(vanished, NodeKind::SectorImage, inA, "XRAY");
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
    fs::remove(gone);

    Session t;
    t.options.fullFolderNames = 0;  // the file's value (1) wins
    ASSERT_EQ(t.workspace.LoadWorkspace(file), 1);
    EXPECT_TRUE(t.prompt.messages.empty());
    ASSERT_EQ(Texts(t.Pc()),
              (std::vector<std::string>{b.string(), "XRAY      ", (dir / "C").string()}));
    CTreeItem* tb = t.Pc()->Child(0);
    EXPECT_EQ(tb->Node().label, "B");  // the short name stays in the node
    EXPECT_EQ(Texts(tb), std::vector<std::string>{"YANKEE    "});
    CTreeItem* tc = t.Pc()->Child(2);
    EXPECT_EQ(tc->Kind(), NodeKind::DummyFolder);
    EXPECT_EQ(tc->Node().path, (dir / "C").string());
    EXPECT_EQ(Texts(tc), std::vector<std::string>{"XRAY      "});  // a dummy folder keeps it
}

TEST_F(Workspace, ShortFolderLabelsWithoutFullFolderNames) {
    const fs::path a = dir / "A";
    fs::create_directory(a);
    Session s;
    s.options.fullFolderNames = 0;
    s.Add(s.Pc(), NodeKind::PcFolder, a.string(), "A");
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
    Session t;
    ASSERT_EQ(t.workspace.LoadWorkspace(file), 1);
    EXPECT_EQ(Texts(t.Pc()), std::vector<std::string>{"A"});
}

TEST_F(Workspace, FailuresLeaveEverythingAsItWas) {
    Session s;
    s.options.sectorsPerLine = 33;
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);

    auto bytes = FileBytes(file);
    bytes[1 + 10] = '3';  // "TAVIKWrk2.3"
    const std::string other = (dir / "other.TVK").string();
    ASSERT_TRUE(WriteWholeFile(other, bytes));

    Session t;
    t.Add(t.Pc(), NodeKind::DummyFolder, {}, "mine");
    EXPECT_EQ(t.workspace.LoadWorkspace(other), 0);
    EXPECT_EQ(t.workspace.LoadWorkspace((dir / "none.TVK").string()), 0);
    t.workspace.SetDefaultPath((dir / "Workspace.TVK").string());
    EXPECT_EQ(t.workspace.LoadWorkspace(), 0);  // missing default: no message
    EXPECT_EQ(t.workspace.SaveWorkspace((dir / "no" / "such.TVK").string()), 0);
    EXPECT_EQ(t.prompt.messages,
              (std::vector<std::string>{
                  "Wrong file format " + other,
                  "Can't open file " + (dir / "none.TVK").string() + "\nNo such file or directory",
                  "Can't create file " + (dir / "no" / "such.TVK").string() +
                      "\nNo such file or directory"}));
    EXPECT_EQ(t.options, COptions());
    EXPECT_EQ(Texts(t.Pc()), std::vector<std::string>{"mine"});

    // A save that fails just before the new file replaces the old leaves the old one whole.
    const auto before = FileBytes(file);
    FailNextReplacementForTesting();
    EXPECT_EQ(t.workspace.SaveWorkspace(file), 0);
    EXPECT_EQ(FileBytes(file), before);
}

TEST_F(Workspace, EveryTruncationStopsCleanly) {
    const std::string image = MakeImage(dir / "a.dsk", "ALPHA");
    Session s;
    CTreeItem* d = s.Add(s.Pc(), NodeKind::DummyFolder, {}, "D");
    s.Add(d, NodeKind::SectorImage, image, "ALPHA");
    s.tree.SetKind(s.tree.DatabaseRootItem(), NodeKind::DatabaseOpen);
    s.Add(s.tree.DatabaseRootItem(), NodeKind::SqlQuery, {}, "q");
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
    const auto bytes = FileBytes(file);
    const std::string cut = (dir / "cut.TVK").string();
    // The last four bytes (the closing 0 after the database list) are never needed.
    for (size_t n = 0; n + 4 < bytes.size(); ++n) {
        ASSERT_TRUE(WriteWholeFile(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + n)));
        Session t;
        EXPECT_EQ(t.workspace.LoadWorkspace(cut), 0) << n;
        ASSERT_EQ(t.prompt.messages.size(), 1u) << n;
        EXPECT_EQ(t.prompt.messages[0],
                  (n < 12 ? "Wrong file format " : "Damaged workspace file ") + cut)
            << n;
    }
}

TEST_F(Workspace, LayoutIsCapturedBeforeWritingAndAppliedAfterLoading) {
    struct Host : CLayoutHost {
        std::vector<std::string> calls;
        void CaptureLayout(COptions& o) override {
            calls.push_back("capture");
            o.treeWidth = 222;
        }
        void ApplyLayout(COptions& o) override {
            calls.push_back("apply " + std::to_string(o.treeWidth));
        }
    } host;
    Session s;
    s.workspace.SetLayoutHost(&host);
    std::vector<std::string> linked;
    s.workspace.SetLinkSettingsHandler(
        [&](const COptions& o) { linked.push_back(o.linkPortName); });
    ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
    s.options.treeWidth = -1;
    s.options.linkPortName = "before";
    ASSERT_EQ(s.workspace.LoadWorkspace(file), 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"capture", "apply 222"}));
    EXPECT_EQ(linked, std::vector<std::string>{"LPT1"});
}

// Settings added after the format was fixed ride in sections behind the closing 0: older files
// load with their defaults, the sections survive with and without a database list, a section
// a later version adds is skipped, and a damaged one changes nothing it holds.
TEST_F(Workspace, ExtensionSectionsKeepOlderFilesLoadable) {
    Session plain;
    ASSERT_EQ(plain.workspace.SaveWorkspace(file), 1);
    const auto withoutSections = FileBytes(file);

    for (const bool databaseOpen : {false, true}) {
        Session s;
        if (databaseOpen) s.tree.SetKind(s.tree.DatabaseRootItem(), NodeKind::DatabaseOpen);
        SetUserColumnWidth(s.options.userColumnWidths[CatalogList], 0, 140);
        SetUserColumnWidth(s.options.userColumnWidths[FreeSqlList], 3, 77);
        s.options.fileNameOnNameClash = 0;
        ASSERT_EQ(s.workspace.SaveWorkspace(file), 1);
        const auto bytes = FileBytes(file);
        if (!databaseOpen) {  // what an older reader reads is the layout it knows
            EXPECT_TRUE(std::equal(withoutSections.begin(), withoutSections.end(), bytes.begin()));
        }

        Session t;
        SetUserColumnWidth(t.options.userColumnWidths[CatalogList], 1, 99);
        ASSERT_EQ(t.workspace.LoadWorkspace(file), 1) << databaseOpen;
        EXPECT_EQ(t.options.userColumnWidths, s.options.userColumnWidths);
        EXPECT_EQ(t.options.fileNameOnNameClash, 0);
        // An older file brings the defaults back.
        ASSERT_TRUE(WriteWholeFile(file, withoutSections));
        ASSERT_EQ(t.workspace.LoadWorkspace(file), 1);
        EXPECT_FALSE(t.options.HasUserColumnWidths());
        EXPECT_EQ(t.options.fileNameOnNameClash, 1);

        // An unknown section is skipped; a damaged one is reported and leaves its settings.
        for (const bool damaged : {false, true}) {
            std::vector<uint8_t> extended = bytes;
            const std::string name = damaged ? "Columns" : "Later";
            extended.push_back(static_cast<uint8_t>(name.size()));
            extended.insert(extended.end(), name.begin(), name.end());
            extended.insert(extended.end(), {3, 1, 0, 0});  // a count, then too few bytes
            ASSERT_TRUE(WriteWholeFile(file, extended));
            Session u;
            EXPECT_EQ(u.workspace.LoadWorkspace(file), damaged ? 0 : 1) << damaged;
            EXPECT_EQ(u.options.userColumnWidths, s.options.userColumnWidths);
            EXPECT_EQ(u.prompt.messages.size(), damaged ? 1u : 0u);
        }
    }
}
