#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/PcFile.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/ExportCommand.h"
#include "exchange/FileView.h"
#include "exchange/ImportCommand.h"
#include "exchange/PcFileKind.h"
#include "exchange/PcName.h"
#include "exchange/TiFileChooser.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

TEST(TiFileChooser, PatternsAndWildcards) {
    EXPECT_EQ(ChooserPattern("", 0), "*.*");
    EXPECT_EQ(ChooserPattern("", 2), "*.PC9*");
    EXPECT_EQ(ChooserPattern("GAME*.dsk", 2), "GAME*.dsk");
    EXPECT_EQ(ChooserPattern("plain.dsk", 12), "*.o");
    EXPECT_EQ(ChooserFilters().size(), 13u);
    struct Row {
        const char* name;
        const char* pattern;
        bool match;
    } rows[] = {
        {"a.dsk", "*.DSK", true},         {"A.DSK", "*.dsk", true},
        {"a.dsk.bak", "*.DSK", false},    {"noext", "*.*", true},
        {"x.pc99", "*.PC9*", true},       {"x.pc", "*.PC9*", false},
        {"disk1.dsk", "disk?.dsk", true}, {"disk12.dsk", "disk?.dsk", false},
        {"a.txt", "*.s; *.txt", true},    {"aaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*c", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(MatchesWildcard(r.name, r.pattern), r.match) << r.name << " " << r.pattern;
    for (const char* hidden : {".git", "x~", "a.TMP", ".swp.swp"})
        EXPECT_TRUE(HiddenOrTemporary(hidden)) << hidden;
    EXPECT_FALSE(HiddenOrTemporary("GAME.DSK"));
    EXPECT_EQ(WithTrailingSeparator("/home/x"), "/home/x/");
    EXPECT_EQ(WithTrailingSeparator("/home/x/"), "/home/x/");
}

TEST(TiFileChooser, ModesStartWithTheirContent) {
    EXPECT_TRUE(ChooserModeOf(ChooseMount).mountFolderBox);
    EXPECT_TRUE(ChooserModeOf(ChooseMount).tiDisk);
    EXPECT_TRUE(ChooserModeOf(ChooseExport).exportFormats);
    EXPECT_TRUE(ChooserModeOf(ChooseExport).singleSelection);
    EXPECT_EQ(ChooserModeOf(ChooseImport).title, "Select file(s) containing TI file data");
    for (int mode : {ChooseImport, ChooseExport, ChooseUpload})
        EXPECT_TRUE(ChooserModeOf(mode).tiFile) << mode;
    for (int mode : {ChooseMount, ChooseCopy, ChooseCreate})
        EXPECT_FALSE(ChooserModeOf(mode).tiFile) << mode;
}

TEST(TiFileChooser, ListsFoldersFirstAndClassifiesFiles) {
    const std::string dir = test::TempFolder();
    namespace fs = std::filesystem;
    fs::create_directory(fs::path(dir) / "sub");
    fs::create_directory(fs::path(dir) / ".hidden");
    std::vector<uint8_t> vib(256 * 360, 0);
    std::memcpy(vib.data(), "WORK      ", 10);
    vib[10] = 0x01;
    vib[11] = 0x68;
    std::memcpy(vib.data() + 13, "DSK", 3);
    vib[18] = 1;
    vib[19] = 2;
    ASSERT_TRUE(WriteWholeFile(dir + "/work.dsk", vib));
    std::vector<uint8_t> tif(128 + 256, 0);
    std::memcpy(tif.data(), "\x07TIFILES", 8);
    tif[9] = 1;
    tif[10] = 0x80;
    tif[13] = 80;
    std::memcpy(tif.data() + 16, "NOTES     ", 10);
    ASSERT_TRUE(WriteWholeFile(dir + "/notes.tfi", tif));
    ASSERT_TRUE(WriteWholeFile(dir + "/readme.txt", {'h', 'i'}));
    ASSERT_TRUE(WriteWholeFile(dir + "/backup.dsk~", vib));

    const auto all = ListChooserFolder(dir, "*.*", {true, true, true});
    ASSERT_EQ(all.size(), 4u);
    EXPECT_TRUE(all[0].folder);
    EXPECT_EQ(all[0].pcName, "sub");
    EXPECT_EQ(all[1].pcName, "notes.tfi");
    EXPECT_EQ(all[1].format, "TIFILES");
    EXPECT_EQ(all[1].tiName, "NOTES");
    EXPECT_EQ(all[1].type, "DV80");
    EXPECT_EQ(all[1].size, "1");
    EXPECT_EQ(all[2].pcName, "readme.txt");
    EXPECT_EQ(all[2].format, "");
    EXPECT_EQ(all[2].size, "");
    EXPECT_EQ(all[3].format, "DOAD");
    EXPECT_EQ(all[3].type, "SS DD");
    EXPECT_EQ(all[3].size, "360");

    const auto disks = ListChooserFolder(dir, "*.*", {true, false, false});
    ASSERT_EQ(disks.size(), 2u);
    EXPECT_EQ(disks[1].pcName, "work.dsk");
    EXPECT_EQ(ListChooserFolder(dir, "*.txt", {false, false, true}).size(), 2u);
}

TEST(ImportDecisions, TypeTextsAndNames) {
    struct Row {
        const char* text;
        bool ok;
        bool raw;
        uint8_t status;
        int rl;
    } rows[] = {
        {"Prog", true, false, 0x01, 0},   {"EA5", true, false, 0x01, 0},
        {"RProg", true, true, 0x01, 0},   {"DV80", true, false, 0x80, 80},
        {"DF080", true, false, 0x00, 80}, {"RDF80", true, true, 0x00, 80},
        {"dv010", true, false, 0x80, 10}, {"df0x50", false, false, 0, 0},
        {"IF32", true, false, 0x02, 32},  {"IV254", true, false, 0x82, 254},
        {"DF", false, false, 0, 0},       {"Any", false, false, 0, 0},
        {"", false, false, 0, 0},
    };
    for (const Row& r : rows) {
        ImportType t;
        EXPECT_EQ(ParseImportType(r.text, t), r.ok) << r.text;
        if (!r.ok) continue;
        EXPECT_EQ(t.raw, r.raw) << r.text;
        EXPECT_EQ(t.status, r.status) << r.text;
        EXPECT_EQ(t.recordLength, r.rl) << r.text;
    }
    EXPECT_EQ(TextImportName("/home/u/READ.ME.TXT"), "READ/ME");
    EXPECT_EQ(TextImportName("notes.txt"), "NOTES");
    EXPECT_EQ(UnquotedPcName("\"my file.txt\""), "my file.txt");
    EXPECT_EQ(UnquotedPcName("plain.txt"), "plain.txt");
    std::vector<std::string> recent = {"/a/", "/b/"};
    AddRecentFolder(recent, "/b/");
    AddRecentFolder(recent, "/c/", 2);
    EXPECT_EQ(recent, (std::vector<std::string>{"/c/", "/a/"}));
}

TEST(PcNames, TiNamesMapToPcNamesAndBack) {
    const struct {
        const char* ti;
        const char* pc;
    } rows[] = {
        {"PLAIN     ", "PLAIN"},      {"A/B", "A%2FB"},       {"A\\B", "A%5CB"},
        {"V1.2", "V1%2E2"},           {"50%", "50%25"},       {"\x01\x7F\xE9", "%01%7F%E9"},
        {"WHAT?*", "WHAT%3F%2A"},     {"A:B|C", "A%3AB%7CC"}, {"<\">", "%3C%22%3E"},
        {"lower case", "lower case"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(PcNameOf(r.ti), r.pc) << r.ti;
        std::string ti = r.ti;
        while (ti.back() == ' ')
            ti.pop_back();
        EXPECT_EQ(TiNameOf(r.pc), ti) << r.pc;
    }
    // A '%' without two hexadecimal digits stands as it is; the digits may be lower case.
    EXPECT_EQ(TiNameOf("100%"), "100%");
    EXPECT_EQ(TiNameOf("%2g%2f"), "%2g/");
    // The name comes back wherever a TI name is read from a PC file's name.
    EXPECT_EQ(TextImportName("/x/A%2FB.txt"), "A/B");
    const uint8_t none[1] = {0};
    EXPECT_EQ(ClassifyPcBytes(none, 0, "/x/v1%2e2.df80").tiName, "V1.2");
}

TEST(ExportFormats, CaptionsAndHeaderKinds) {
    EXPECT_EQ(ExportFormatText(TifilesHeader), "Add TIFILES header");
    EXPECT_EQ(ExportFormatText(TextWithTabs), "Convert to text + tabs");
    EXPECT_EQ(HeaderKindOf(TifilesPacked), 2);
    EXPECT_EQ(HeaderKindOf(FiadPacked), 1);
    EXPECT_TRUE(IsWholeSectors(TifilesHeader) && IsWholeSectors(FiadHeader));
    EXPECT_FALSE(IsWholeSectors(TifilesPacked) || IsWholeSectors(NoHeader));
    EXPECT_EQ(HeaderKindOf(Text), -1);
    EXPECT_EQ(FormatText(TrackImageDouble), "PC99");
    EXPECT_EQ(FormatText(PlainFile), "");
}

TEST(ViewFiles, ArePrivateAndGoAway) {
    const std::string dir = test::TempFolder();
    std::string first, second;
    {
        CViewFiles files(dir);
        first = files.Create("one");
        second = files.Create("two");
        ASSERT_FALSE(first.empty());
        EXPECT_NE(first, second);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(first, bytes));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "one");
        const auto perms = std::filesystem::status(first).permissions();
        EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
                  std::filesystem::perms::none);
    }
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(second));
    CViewFiles nowhere("/nonexistent/folder");
    EXPECT_EQ(nowhere.Create("x"), "");
}

TEST(ViewText, IsSavedWholeOrNotAtAllAndAFailureSaysWhy) {
    const std::string dir = test::TempFolder();
    const std::string saved = dir + "/view.txt";
    struct Row {
        std::string path;
        bool failBeforeRename;
        const char* reason;  // empty: saved
    };
    const Row rows[] = {{saved, false, ""},
                        {saved, true, "the file could not be written"},
                        {dir, false, "it is a folder"},
                        {"/dev/null", false, "it is no regular file"},
                        {dir + "/missing/view.txt", false, "No such file or directory"}};
    for (const Row& row : rows) {
        if (row.failBeforeRename) FailNextReplacementForTesting();
        std::string reason;
        const std::string text = row.failBeforeRename ? "lost text" : "new text\r\n";
        EXPECT_EQ(SaveViewText(row.path, text, reason), *row.reason == 0) << row.path;
        EXPECT_EQ(reason, row.reason) << row.path;
    }
    // The failed replacement left the first save as it was.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(saved, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new text\r\n");
}

}  // namespace
}  // namespace tavik
