#include "app/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavik;

namespace {
// Builds archive bytes by hand, independently of CArchive.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& I32(int32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Bytes& U16(uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& Str(const std::string& s) {
        b.push_back(static_cast<uint8_t>(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
};

std::vector<uint8_t> Store(COptions& options) {
    CMemFile file;
    CArchive ar(file, CArchive::Mode::Store);
    EXPECT_TRUE(options.Serialise(ar));
    EXPECT_TRUE(ar.Flush());
    return file.Bytes();
}

bool Load(const std::vector<uint8_t>& bytes, COptions& options) {
    CMemFile file(bytes);
    CArchive ar(file, CArchive::Mode::Load);
    return options.Serialise(ar);
}

// Every field set to a value of its own, none equal to its default, so that a field read into
// the wrong place shows.
COptions Distinct() {
    COptions o;
    int32_t n = 1000;
    o.linkPortName = "COM2";
    for (int32_t* f : {&o.linkMode,
                       &o.linkTimeout,
                       &o.handshakeIn,
                       &o.handshakeOut,
                       &o.ctsLine,
                       &o.baudRate,
                       &o.stopBits,
                       &o.parity,
                       &o.breakpointXop,
                       &o.contact,
                       &o.pauseBeforeEachByte,
                       &o.fullFolderNames,
                       &o.showRemoteDevices,
                       &o.advancedView,
                       &o.sectorsPerLine,
                       &o.showBeyondDiskSize,
                       &o.saveOnExit,
                       &o.remoteBuffer,
                       &o.saveVdpMemory,
                       &o.openDatabaseOnStartup,
                       &o.reviewDiskInfo,
                       &o.reviewFileInfo,
                       &o.fileDuplicates,
                       &o.unlockEditing,
                       &o.windowPlacement.showState,
                       &o.topRowHeight,
                       &o.bottomRowHeight,
                       &o.treeWidth,
                       &o.listWidth,
                       &o.mapWidth,
                       &o.editorWidth,
                       &o.createTabsOnExport,
                       &o.replaceTabsOnImport,
                       &o.truncateOverlongLines,
                       &o.crLfOnExport,
                       &o.desktopViewer})
        *f = n++;
    o.hookAddress = 0x1234;
    o.hookWorkspace = 0x5678;
    o.windowPlacement.minimisedPosition = {n++, n++};
    o.windowPlacement.maximisedPosition = {n++, n++};
    o.windowPlacement.normalRectangle = {n++, n++, n++, n++};
    o.databasePath = "/data/cat.db";
    o.tabList = {4, 8};
    o.lastMountFolder = "/m";
    o.lastExchangeFolder = "/x";
    o.lastDatabaseFolder = "/d";
    o.mountFileHistory = {"/m/a.dsk", "/m/b.dsk"};
    o.exportHistory = {"/x/e"};
    return o;
}
}  // namespace

TEST(Options, DefaultsOfAFreshStart) {
    COptions o;
    EXPECT_EQ(o.contact, ContactEmulator);
    EXPECT_EQ(o.baudRate, 9600);
    EXPECT_EQ(o.linkPortName, "LPT1");
    EXPECT_EQ(o.tabList, (std::vector<uint16_t>{7, 12, 25}));
    EXPECT_EQ(o.sectorsPerLine, 18);
    EXPECT_EQ(o.treeWidth, -1);
    EXPECT_EQ(o.breakpointXop, 0x2C40);
    EXPECT_EQ(o.databasePath, "Floppies");
    EXPECT_EQ(o.displaySpecs[CatalogList].substr(0, 29), "[File name] [Type] [Size]<rig");
    EXPECT_EQ(o.columnWidths[FreeSqlList], std::vector<uint16_t>{60});
    o.SetInitialRowHeights(600);
    EXPECT_EQ(o.topRowHeight, 360);
    EXPECT_EQ(o.bottomRowHeight, 240);
}

TEST(Options, DefaultRecordIsWrittenByteForByte) {
    COptions o;
    o.windowPlacement = {1, {-1, -1}, {-8, -30}, {10, 20, 810, 620}};
    o.topRowHeight = 400;
    o.bottomRowHeight = 200;
    o.treeWidth = 150;
    o.listWidth = 450;
    o.mapWidth = 300;
    o.editorWidth = 300;
    Bytes e;
    e.Str("LPT1").I32(0).I32(4096).I32(0).I32(0).I32(0).I32(9600).I32(0).I32(0).I32(0x2C40);
    e.U16(0xA000).U16(0xA180).I32(1).I32(0);
    e.I32(1).I32(1).I32(0).I32(18).I32(0).I32(0).I32(2).I32(1);
    e.I32(0).I32(0).I32(0).Str("").Str("").Str("");
    e.Str("Floppies").I32(1).I32(1).I32(1).I32(0).I32(0);
    e.I32(1).I32(-1).I32(-1).I32(-8).I32(-30).I32(10).I32(20).I32(810).I32(620);
    e.I32(400).I32(200).I32(150).I32(450).I32(300).I32(300);
    e.I32(0).I32(0).I32(0).I32(3).U16(7).U16(12).U16(25);
    e.Str("").Str("").Str("").I32(0).I32(0);
    EXPECT_EQ(Store(o), e.b);
}

TEST(Options, EveryFieldRoundTripsIntoItsOwnField) {
    COptions written = Distinct();
    const auto bytes = Store(written);
    COptions read;
    ASSERT_TRUE(Load(bytes, read));
    EXPECT_EQ(read, written);
    EXPECT_EQ(read.truncateOverlongLines, written.truncateOverlongLines);
    EXPECT_EQ(read.advancedView, written.advancedView);
}

TEST(Options, ReservedFieldsAreReadAndDiscarded) {
    COptions written;
    auto bytes = Store(written);
    // Replace the three empty reserved strings by non-empty ones, as another writer might.
    const size_t at = 5 + 9 * 4 + 2 * 2 + 2 * 4 + 8 * 4 + 3 * 4;
    ASSERT_EQ(bytes[at], 0);
    bytes.erase(bytes.begin() + at, bytes.begin() + at + 3);
    const std::vector<uint8_t> filled = {2, 'a', 'b', 0, 1, 'c'};
    bytes.insert(bytes.begin() + at, filled.begin(), filled.end());
    COptions read;
    read.databasePath = "other";
    ASSERT_TRUE(Load(bytes, read));
    EXPECT_EQ(read, written);
}

TEST(Options, HistoriesKeepTheNewestTenWithoutDuplicates) {
    COptions o;
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(AddToHistory(o.mountFileHistory, "/img/" + std::to_string(i)));
    EXPECT_FALSE(AddToHistory(o.mountFileHistory, "/img/3"));
    EXPECT_TRUE(AddToHistory(o.mountFileHistory, "/IMG/3"));  // case-sensitive comparison
    ASSERT_EQ(o.mountFileHistory.size(), 16u);
    EXPECT_EQ(o.mountFileHistory[0], "/IMG/3");
    EXPECT_EQ(o.mountFileHistory[1], "/img/14");
    o.exportHistory = o.mountFileHistory;

    const auto bytes = Store(o);
    COptions read;
    ASSERT_TRUE(Load(bytes, read));
    ASSERT_EQ(read.mountFileHistory.size(), 10u);
    ASSERT_EQ(read.exportHistory.size(), 10u);
    EXPECT_EQ(read.mountFileHistory.front(), "/IMG/3");
    EXPECT_EQ(read.mountFileHistory.back(), "/img/6");
    EXPECT_EQ(read.exportHistory, read.mountFileHistory);
}

TEST(Options, ATruncatedRecordKeepsWhatWasRead) {
    COptions written = Distinct();
    auto bytes = Store(written);
    bytes.resize(5 + 4 + 2);  // the port name, linkMode and half of linkTimeout
    COptions read;
    EXPECT_FALSE(Load(bytes, read));
    EXPECT_EQ(read.linkPortName, "COM2");
    EXPECT_EQ(read.linkMode, written.linkMode);
    EXPECT_EQ(read.linkTimeout, 4096);
    EXPECT_EQ(read.tabList, (std::vector<uint16_t>{7, 12, 25}));
}
