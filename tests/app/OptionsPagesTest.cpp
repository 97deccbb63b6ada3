#include "app/OptionsPages.h"

#include <gtest/gtest.h>

using namespace tavik;

TEST(OptionsPages, SectorsPerLineIsReadAsAnIntegerLiteral) {
    const struct {
        const char* text;
        int32_t expected;
    } rows[] = {{"0x10", 16}, {"24", 24}, {"012", 10}, {"abc", 18}, {"", 18}, {" 9 lines", 9}};
    for (const auto& row : rows) {
        COptions o;
        GeneralPage page = FillGeneralPage(o);
        EXPECT_EQ(page.sectorsPerLine, "18");
        page.sectorsPerLine = row.text;
        ApplyGeneralPage(page, o);
        EXPECT_EQ(o.sectorsPerLine, row.expected) << row.text;
    }
}

TEST(OptionsPages, GeneralAndDatabaseFlagsAreCopiedBack) {
    COptions o;
    GeneralPage g = FillGeneralPage(o);
    g.showRemoteDevices = false;
    g.fullFolderNames = false;
    g.showBeyondDiskSize = true;
    g.saveOnExit = SaveAskMe;
    g.remoteBuffer = 1;
    g.saveVdpMemory = false;
    ApplyGeneralPage(g, o);
    EXPECT_EQ(o.showRemoteDevices, 0);
    EXPECT_EQ(o.fullFolderNames, 0);
    EXPECT_EQ(o.showBeyondDiskSize, 1);
    EXPECT_EQ(o.saveOnExit, SaveAskMe);
    EXPECT_EQ(o.remoteBuffer, 1);
    EXPECT_EQ(o.saveVdpMemory, 0);

    DatabasePage d = FillDatabasePage(o);
    EXPECT_EQ(d.databasePath, "Floppies");
    d.databasePath = "elsewhere";
    d.openDatabaseOnStartup = false;
    d.reviewFileInfo = false;
    d.fileDuplicates = DuplicatesUpdateOld;
    d.unlockEditing = true;
    ApplyDatabasePage(d, o);
    EXPECT_EQ(o.databasePath, "Floppies");
    EXPECT_EQ(o.openDatabaseOnStartup, 0);
    EXPECT_EQ(o.reviewDiskInfo, 1);
    EXPECT_EQ(o.reviewFileInfo, 0);
    EXPECT_EQ(o.fileDuplicates, DuplicatesUpdateOld);
    EXPECT_EQ(o.unlockEditing, 1);
}

TEST(OptionsPages, TabListIsShownAsStopsAndReplacementWidth) {
    const struct {
        std::vector<uint16_t> list;
        const char* stops;
        const char* width;
    } rows[] = {{{7, 12, 25}, "7\r\n12\r\n", "25"}, {{4}, "", "4"}, {{}, "", ""}};
    for (const auto& row : rows) {
        COptions o;
        o.tabList = row.list;
        ConvertPage page = FillConvertPage(o);
        EXPECT_EQ(page.tabStops, row.stops);
        EXPECT_EQ(page.replaceWidth, row.width);
        o.tabList = {99};
        ApplyConvertPage(page, o);
        EXPECT_EQ(o.tabList, row.list) << row.stops;
    }
}

TEST(OptionsPages, TabStopsAreRebuiltFromTheText) {
    const struct {
        const char* stops;
        const char* width;
        std::vector<uint16_t> expected;
    } rows[] = {
        {"5\r\n10\r\n", "3", {5, 10, 3}},
        {"5\r\nten\r\n0x14", "", {5, 20}},   // a line that is no number is left out
        {"5\n10\n15", "2", {5, 10, 15, 2}},  // line feeds alone, as a text control hands them
        {"5\r10", "x", {5, 10}},
        {"\r\n\r\n", "8", {8}},
    };
    for (const auto& row : rows) {
        COptions o;
        ConvertPage page = FillConvertPage(o);
        page.tabStops = row.stops;
        page.replaceWidth = row.width;
        page.truncateOverlongLines = true;
        page.crLfOnExport = true;
        page.desktopViewer = true;
        ApplyConvertPage(page, o);
        EXPECT_EQ(o.tabList, row.expected) << row.stops;
        EXPECT_EQ(o.truncateOverlongLines, 1);
        EXPECT_EQ(o.crLfOnExport, 1);
        EXPECT_EQ(o.desktopViewer, 1);
    }
}

TEST(OptionsPages, RemotePageResetsTheBreakpointXop) {
    COptions o;
    o.breakpointXop = 0x2C80;
    RemotePage r = FillRemotePage(o);
    EXPECT_EQ(r.breakpointXop, "2");  // bits 6 to 9
    EXPECT_EQ(r.hookAddress, "0xA000");
    EXPECT_EQ(r.hookWorkspace, "0xA180");
    EXPECT_EQ(r.linkTimeout, "4096");
    r.linkPortName = "LPT2 two ports";
    r.linkMode = LinkSerial;
    r.baudRate = kBaudRates[1];
    r.hookAddress = "0xB000";
    r.hookWorkspace = "none";
    r.linkTimeout = "";
    r.contact = ContactCable;
    r.pauseBeforeEachByte = true;
    ApplyRemotePage(r, o);
    EXPECT_EQ(o.breakpointXop, 0x2C40);
    EXPECT_EQ(o.linkPortName, "LPT2 two ports");
    EXPECT_EQ(o.linkMode, LinkSerial);
    EXPECT_EQ(o.baudRate, 19200);
    EXPECT_EQ(o.hookAddress, 0xB000);
    EXPECT_EQ(o.hookWorkspace, 0xA180);
    EXPECT_EQ(o.linkTimeout, 4096);
    EXPECT_EQ(o.contact, ContactCable);
    EXPECT_EQ(o.pauseBeforeEachByte, 1);
    EXPECT_EQ(BaudRateIndex(9600), 2);
    EXPECT_EQ(BaudRateIndex(1234), -1);
}
