// The remote drives of the tree without any window: device grouping, the remote drive text, and
// the connection's scans and unhooking against a virtual TI-99/4A on a pseudo-terminal and the
// emulator peer on the local-socket channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "EmulatorPeer.h"
#include "PtyPeer.h"
#include "VirtualTi.h"
#include "app/RemoteConnection.h"
#include "app/RemoteTree.h"
#include "base/PcFile.h"
#include "remote/LocalSocketChannel.h"
#include "remote/RemoteTi.h"
#include "support/ImageBuilder.h"
#include "support/ScriptedPrompt.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;

std::vector<std::string> Texts(const CTreeItem* parent) {
    std::vector<std::string> texts;
    for (int i = 0; i < parent->ChildCount(); ++i)
        texts.push_back(parent->Child(i)->Text());
    return texts;
}

// Records which items the model asked the view to expand.
class CExpandLog : public CTreeObserver {
public:
    void ExpandRequested(CTreeItem* item) override { expanded.push_back(item->Text()); }
    bool Has(const std::string& text) const {
        return std::find(expanded.begin(), expanded.end(), text) != expanded.end();
    }
    std::vector<std::string> expanded;
};

struct TextCase {
    const char* text;
    const char* name;
    const char* expected;
};

class RemoteDriveTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(RemoteDriveTextTest, CutsBeforeTheBracketAndAppendsTheName) {
    const TextCase& c = GetParam();
    EXPECT_EQ(RemoteDriveText(c.text, c.name), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RemoteDriveTextTest,
                         testing::Values(TextCase{"DSK1", "MYDISK    ", "DSK1 [MYDISK]"},
                                         TextCase{"DSK1 [OLDNAME]", "NEW", "DSK1 [NEW]"},
                                         TextCase{"DSK2   [A] [B]", "C D", "DSK2 [C D]"},
                                         TextCase{"DSK3 [GONE]", "",
                                                  "DSK3"},  // unreadable disk: no brackets
                                         TextCase{"DSK3 [GONE]", "   ", "DSK3"},
                                         TextCase{"Renamed", "X", "Renamed [X]"}));

// A TI-99/4A and emulator root with drives inserted by hand, keyed as scans key them.
class DeviceNodes : public testing::Test {
protected:
    DeviceNodes() {
        tree.CreateRoots();
        tree.AddObserver(&log);
    }
    ~DeviceNodes() override { tree.RemoveObserver(&log); }
    CTreeItem* Drive(CTreeItem* parent, NodeKind kind, const std::string& text, int key) {
        CTreeNode node(kind, {}, text);
        node.deviceKey = key;
        return tree.Insert(parent, std::move(node), text);
    }
    CTreeModel tree;
    CExpandLog log;
};

TEST_F(DeviceNodes, GroupingByKeyAndBackKeepsTheOrderAndDropsEmptyNodes) {
    CTreeItem* ti = tree.TiRootItem();
    CTreeItem* emu = tree.EmulatorRootItem();
    Drive(ti, NodeKind::RemoteDrive, "DSK1", 0x1100);
    Drive(ti, NodeKind::RemoteDrive, "DSKR", 0x1000);
    Drive(ti, NodeKind::RemoteDrive, "DSK2", 0x1100);
    Drive(emu, NodeKind::EmulatorDisk, "DSK1 [A]", 1);
    AddFloppies(tree, emu, "a.dsk\r\nb.dsk\r\n");
    Drive(emu, NodeKind::EmulatorDisk, "DSK2 [B]", 2);
    Drive(emu, NodeKind::EmulatorDisk, "DSK3 [C]", 3);
    Drive(emu, NodeKind::EmulatorDisk, "DSK4 [D]", 4);

    ShowDeviceNodes(tree, true);
    EXPECT_EQ(Texts(ti), (std::vector<std::string>{"CRU >1100", "CRU >1000"}));
    EXPECT_EQ(Texts(ti->Child(0)), (std::vector<std::string>{"DSK1", "DSK2"}));
    EXPECT_EQ(ti->Child(0)->Kind(), NodeKind::RemoteDevice);
    EXPECT_EQ(ti->Child(1)->Node().deviceKey, 0x1000);
    // "Floppies" is no drive and stays; device nodes are appended after it.
    EXPECT_EQ(Texts(emu), (std::vector<std::string>{"Floppies", "Ramdisk", "Dravel card",
                                                    "Varnel card", "Device 4"}));
    EXPECT_TRUE(log.Has("CRU >1100") && log.Has("CRU >1000") && log.Has("Device 4"));

    ShowDeviceNodes(tree, true);  // already grouped: nothing changes
    EXPECT_EQ(Texts(ti), (std::vector<std::string>{"CRU >1100", "CRU >1000"}));

    ShowDeviceNodes(tree, false);
    EXPECT_EQ(Texts(ti), (std::vector<std::string>{"DSK1", "DSK2", "DSKR"}));
    EXPECT_EQ(Texts(emu), (std::vector<std::string>{"Floppies", "DSK1 [A]", "DSK2 [B]", "DSK3 [C]",
                                                    "DSK4 [D]"}));
    EXPECT_EQ(Texts(emu->Child(0)), (std::vector<std::string>{"a.dsk", "b.dsk"}));
}

TEST_F(DeviceNodes, ClearingARootTakesEverythingAndResetsItsKind) {
    CTreeItem* ti = tree.TiRootItem();
    tree.SetKind(ti, NodeKind::TiRootActive);
    Drive(ti, NodeKind::RemoteDrive, "DSK1", 0x1100);
    ShowDeviceNodes(tree, true);
    ClearRootDrives(tree, ti);
    EXPECT_EQ(ti->ChildCount(), 0);
    EXPECT_EQ(ti->Kind(), NodeKind::TiRoot);
    ClearRootDrives(tree, tree.EmulatorRootItem());
    EXPECT_EQ(tree.EmulatorRootItem()->Kind(), NodeKind::EmulatorRoot);
}

TEST(TextLinesTest, SplitsOnEitherLineEndAndSkipsEmptyLines) {
    EXPECT_EQ(TextLines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(TextLines("").empty());
    EXPECT_TRUE(TextLines("\r\n").empty());
}

// ---- The cabled TI-99/4A on a pseudo-terminal -------------------------------------------------

class RemoteConnectionTi : public testing::Test {
protected:
    RemoteConnectionTi()
        : folder(test::TempFolder()),
          pty(vti, vti.Mutex()),
          channel(folder),
          connection(prompt, channel) {
        test::CImageBuilder one(64);
        one.SetName("CABLED");
        one.AddFile(test::BuiltFile::Program("HELLO", Bytes(300, 0x5A)));
        EXPECT_TRUE(WriteWholeFile(folder + "/one.dsk", one.Image()));
        test::VirtualCard card;
        card.drives[1].imagePath = folder + "/one.dsk";
        vti.AddCard(card);
        tree.CreateRoots();
        options.contact = 0;
        options.serial = true;
        options.portName = pty.SlavePath();
        options.baudRate = 38400;
        options.timeout = 300;
    }
    template <class Fn>
    auto WithTi(Fn fn) {
        std::lock_guard<std::mutex> lock(vti.Mutex());
        return fn(vti);
    }
    // Commands without an answer are still on their way through the terminal when the call
    // returns.
    bool ResumedSoon() {
        for (int i = 0; i < 300; ++i) {
            if (WithTi([](test::CVirtualTi& t) { return t.Resumed(); })) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::string folder;
    test::CVirtualTi vti;
    test::CPtyPeer pty;
    CLocalSocketChannel channel;
    test::CScriptedPrompt prompt;
    CRemoteConnection connection;
    CTreeModel tree;
    RemoteOptionValues options;
};

TEST_F(RemoteConnectionTi, ScanReplacesTheDrivesAndUnhookGivesTheTiBack) {
    CTreeItem* ti = tree.TiRootItem();
    options.showDevices = false;
    ASSERT_TRUE(connection.ScanRemote(tree, options)) << testing::PrintToString(prompt.messages);
    EXPECT_EQ(ti->Kind(), NodeKind::TiRootActive);
    EXPECT_EQ(Texts(ti), (std::vector<std::string>{"DSK1", "DSK2", "DSK3"}));
    CTreeItem* dsk1 = ti->Child(0);
    EXPECT_EQ(dsk1->Kind(), NodeKind::RemoteDrive);
    EXPECT_EQ(dsk1->Node().deviceKey, 0x1100);
    ASSERT_NE(dsk1->Drive(), nullptr);
    EXPECT_EQ(dsk1->Drive()->CacheLevelSetting(), 2);
    RefreshRemoteDriveText(tree, dsk1);  // reads the disk through the DSR
    EXPECT_EQ(dsk1->Text(), "DSK1 [CABLED]");
    EXPECT_GT(WithTi([](test::CVirtualTi& t) { return t.SubroutineCalls(); }), 0);

    // A second scan, now with devices: the old items are gone, the new ones grouped.
    const ItemId oldId = dsk1->Id();
    options.showDevices = true;
    options.cacheLevel = 0;
    ASSERT_TRUE(connection.ScanRemote(tree, options));
    EXPECT_EQ(tree.Find(oldId), nullptr);
    EXPECT_EQ(Texts(ti), (std::vector<std::string>{"CRU >1100"}));
    EXPECT_EQ(Texts(ti->Child(0)), (std::vector<std::string>{"DSK1", "DSK2", "DSK3"}));
    EXPECT_EQ(ti->Child(0)->Child(0)->Drive()->CacheLevelSetting(), 0);

    ASSERT_TRUE(connection.Unhook(tree, options));
    EXPECT_EQ(ti->ChildCount(), 0);
    EXPECT_EQ(ti->Kind(), NodeKind::TiRoot);
    ASSERT_TRUE(ResumedSoon());
    WithTi([](test::CVirtualTi& t) {
        EXPECT_EQ(t.ResumedAt(), test::CVirtualTi::kProgramResume);
        EXPECT_EQ(t.CpuWord(test::CVirtualTi::kHookLocation + 4), kJumpNext);
    });
    EXPECT_TRUE(prompt.messages.empty()) << testing::PrintToString(prompt.messages);
}

TEST_F(RemoteConnectionTi, UnhookWithoutAScanFirstAsksTheHookWhereItIs) {
    // Nothing in this run has asked "Where" yet: the hook state must not be taken as zero.
    ASSERT_TRUE(connection.Unhook(tree, options));
    ASSERT_TRUE(ResumedSoon());
    WithTi([](test::CVirtualTi& t) { EXPECT_EQ(t.ResumedAt(), test::CVirtualTi::kProgramResume); });
}

TEST_F(RemoteConnectionTi, ASilentTiLeavesTheTreeAsItWas) {
    ASSERT_TRUE(connection.ScanRemote(tree, options));
    WithTi([](test::CVirtualTi& t) { t.SetSilent(true); });
    ASSERT_FALSE(connection.ScanRemote(tree, options));
    // The serial port's own report of the time-out comes first.
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages.back(), "No DSKx DSR found");
    CTreeItem* ti = tree.TiRootItem();
    EXPECT_EQ(ti->Kind(), NodeKind::TiRootActive);
    ASSERT_EQ(ti->ChildCount(), 1);
    EXPECT_EQ(ti->Child(0)->ChildCount(), 3);

    prompt.messages.clear();
    EXPECT_FALSE(connection.Unhook(tree, options));
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages.back(), "Transmission error");
    EXPECT_EQ(ti->ChildCount(), 1);
}

TEST_F(RemoteConnectionTi, APortThatCannotBeOpenedShowsTheLinkError) {
    options.portName = folder + "/no-such-port";
    EXPECT_FALSE(connection.ScanRemote(tree, options));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].rfind("Cannot access serial port ", 0), 0u) << prompt.messages[0];
    EXPECT_EQ(tree.TiRootItem()->Kind(), NodeKind::TiRoot);
}

TEST_F(RemoteConnectionTi, HookUploadThenScan) {
    WithTi([](test::CVirtualTi& t) {
        t.RemoveHook();
        t.StartLoader();
    });
    const Bytes file = test::LoaderHookFile();
    ASSERT_TRUE(WriteWholeFile(folder + "/HOOK.DF80", file));
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(connection.UploadHook(folder + "/HOOK.DF80", options), UploadOutcome::ScanRequested);
    EXPECT_EQ(prompt.questions,
              (std::vector<std::string>{"Hook uploaded. Scan remote TI-99/4A for drives?"}));
    WithTi([](test::CVirtualTi& t) {
        EXPECT_TRUE(t.HookInstalled());
        EXPECT_EQ(t.Loaded().size(), 160u);
    });

    ASSERT_TRUE(WriteWholeFile(folder + "/short.DF80", Bytes(207, 0)));
    EXPECT_EQ(connection.UploadHook(folder + "/short.DF80", options), UploadOutcome::Failed);
    EXPECT_EQ(prompt.messages.back(), "Bad file format");
}

// ---- The emulator on the local-socket channel ---------------------------------------------------

class RemoteConnectionEmulator : public testing::Test {
protected:
    RemoteConnectionEmulator()
        : folder(test::TempFolder()), channel(folder), peer(folder), connection(prompt, channel) {
        test::CImageBuilder one;
        one.SetName("EMUONE");
        EXPECT_TRUE(WriteWholeFile(folder + "/one.dsk", one.Image()));
        test::CImageBuilder two;
        two.SetName("EMUTWO");
        EXPECT_TRUE(WriteWholeFile(folder + "/two.dsk", two.Image()));
        peer.drives['1'] = {folder + "/one.dsk", 1};
        peer.drives['2'] = {folder + "/two.dsk", 1};
        peer.floppies = "one.dsk\r\ntwo.dsk\r\n";
        EXPECT_TRUE(channel.Listen());
        tree.CreateRoots();
        options.showDevices = false;
    }

    std::string folder;
    CLocalSocketChannel channel;
    test::CEmulatorPeer peer;
    test::CScriptedPrompt prompt;
    CRemoteConnection connection;
    CTreeModel tree;
    RemoteOptionValues options;
};

TEST_F(RemoteConnectionEmulator, ScanShowsDrivesWithTheirNamesAndTheFloppies) {
    EXPECT_FALSE(connection.ScanEmulator(tree, options));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Zantu not found"}));
    EXPECT_EQ(tree.EmulatorRootItem()->ChildCount(), 0);
    EXPECT_EQ(tree.EmulatorRootItem()->Kind(), NodeKind::EmulatorRoot);

    ASSERT_TRUE(peer.Start(true, false));
    ASSERT_TRUE(connection.ScanEmulator(tree, options));
    CTreeItem* emu = tree.EmulatorRootItem();
    EXPECT_EQ(emu->Kind(), NodeKind::EmulatorRootActive);
    EXPECT_EQ(Texts(emu), (std::vector<std::string>{"DSK1 [EMUONE]", "DSK2 [EMUTWO]", "Floppies"}));
    EXPECT_EQ(emu->Child(0)->Kind(), NodeKind::EmulatorDisk);
    EXPECT_EQ(emu->Child(0)->Node().deviceKey, 1);
    EXPECT_EQ(emu->Child(2)->Kind(), NodeKind::DummyFolder);
    EXPECT_EQ(Texts(emu->Child(2)), (std::vector<std::string>{"one.dsk", "two.dsk"}));

    options.showDevices = true;
    ASSERT_TRUE(connection.ScanEmulator(tree, options));
    EXPECT_EQ(Texts(emu), (std::vector<std::string>{"Ramdisk", "Floppies"}));
    EXPECT_EQ(Texts(emu->Child(0)), (std::vector<std::string>{"DSK1 [EMUONE]", "DSK2 [EMUTWO]"}));
}

TEST_F(RemoteConnectionEmulator, AFailedDriveListShowsTheDriveErrorText) {
    peer.silent = true;
    ASSERT_TRUE(peer.Start(true, false));
    EXPECT_FALSE(connection.ScanEmulator(tree, options));
    EXPECT_EQ(prompt.messages, (std::vector<std::string>{"Problem with Zantu"}));
    EXPECT_EQ(tree.EmulatorRootItem()->ChildCount(), 0);
}

}  // namespace
}  // namespace tavik
