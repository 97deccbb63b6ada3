#include <gtest/gtest.h>

#include "base/PcFile.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "disk/TiDateTime.h"
#include "support/CliRun.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::BuiltFile;

using Result = test::CliResult;

constexpr auto RunCommand = test::RunCliWords;

std::string WriteImage(const std::vector<uint8_t>& bytes, const std::string& name = "d.dsk") {
    const std::string path = test::TempFolder() + "/" + name;
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    return path;
}

test::CImageBuilder SampleBuilder() {
    test::CImageBuilder b(720, true, false);
    b.SetName("DEMO  DISK").SetStamps(PackTime(8, 30, 0), PackDate(2, 1, 24), 0, 0);
    BuiltFile prog = BuiltFile::Program("HELLO", std::vector<uint8_t>(300, 7));
    prog.status |= 0x08;
    prog.creationTime = PackTime(23, 59, 58);
    prog.creationDate = PackDate(31, 12, 99);
    b.AddFile(prog);
    BuiltFile text = BuiltFile::Variable("N\xC4MES", false, 80, {"one", "two", "three"});
    text.clusterSizes = {};
    b.AddFile(text);
    BuiltFile odd = BuiltFile::Fixed("ODD", false, 64, {"x"});
    odd.status = 0x81;
    odd.clusterSizes = {};
    b.AddFile(odd);
    return b;
}

TEST(CliDir, JsonShapeOfTheCatalog) {
    const std::string path = WriteImage(SampleBuilder().Image());
    Result r = RunCommand({"dir", path, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const cli::Json j = cli::Json::parse(r.out);
    const cli::Json& disk = j["disk"];
    EXPECT_EQ(disk["name"], "DEMO  DISK");
    EXPECT_EQ(disk["kind"], "DOAD");
    EXPECT_EQ(disk["totalSectors"], 720);
    EXPECT_EQ(disk["freeSectors"], 720 - 2 - 3 - 2 - 1 - 1);
    EXPECT_EQ(disk["files"], 3);
    EXPECT_EQ(disk["sides"], 2);
    EXPECT_EQ(disk["density"], 1);
    EXPECT_EQ(disk["protected"], false);
    EXPECT_EQ(disk["created"], "2024/01/02 08:30:00");
    EXPECT_EQ(disk["modified"], "");

    const cli::Json& files = j["files"];
    ASSERT_EQ(files.size(), 3u);
    // Index order is name order; the name is converted from code page 1252.
    EXPECT_EQ(files[0]["name"], "HELLO");
    EXPECT_EQ(files[1]["name"], "N\xC3\x84MES");
    EXPECT_EQ(files[2]["name"], "ODD");
    const cli::Json& hello = files[0];
    EXPECT_EQ(hello["type"], "Prog");
    EXPECT_EQ(hello["sectors"], 2);
    EXPECT_EQ(hello["records"], 0);
    EXPECT_EQ(hello["lastByte"], 300 - 256);
    EXPECT_EQ(hello["protected"], true);
    EXPECT_EQ(hello["clusters"], cli::Json::parse("[[34, 35]]"));
    EXPECT_EQ(hello["created"], "1999/12/31 23:59:58");
    EXPECT_EQ(hello["modified"], "");
    EXPECT_EQ(files[1]["type"], "DV80");
    EXPECT_EQ(files[1]["recordLength"], 80);
    EXPECT_EQ(files[1]["recordsPerSector"], 3);
    EXPECT_EQ(files[2]["type"], "");
    const std::vector<std::string> keys = {"name",
                                           "fdr",
                                           "type",
                                           "sectors",
                                           "records",
                                           "lastByte",
                                           "recordsPerSector",
                                           "recordLength",
                                           "protected",
                                           "clusters",
                                           "created",
                                           "modified"};
    std::vector<std::string> actual;
    for (auto it = hello.begin(); it != hello.end(); ++it)
        actual.push_back(it.key());
    EXPECT_EQ(actual, keys);
}

TEST(CliDir, TextListingAndInfo) {
    const std::string path = WriteImage(SampleBuilder().Image());
    Result r = RunCommand({"dir", path});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("HELLO"), std::string::npos);
    EXPECT_NE(r.out.find("DV80"), std::string::npos);
    r = RunCommand({"info", "--json", path});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(cli::Json::parse(r.out)["totalSectors"], 720);
    r = RunCommand({"info", path});
    EXPECT_NE(r.out.find("Free sectors:  711"), std::string::npos) << r.out;
}

TEST(CliImages, VolumeInsideALargerFileAndPc99Images) {
    // Two CF volumes: the second is reached with --start.
    std::vector<uint8_t> card(2 * kMaxVolumeBytes, 0);
    test::CImageBuilder second(1600, true, true);
    second.SetName("SECOND").SetSectorsPerTrack(20);
    second.AddFile(BuiltFile::Program("INSIDE", {1, 2, 3}));
    const std::vector<uint8_t> volume = second.Image();
    std::copy(volume.begin(), volume.end(), card.begin() + kMaxVolumeBytes);
    const std::string path = WriteImage(card, "card.img");
    Result r = RunCommand({"dir", "--json", "--start", "0x64000", "--size=409600", path});
    ASSERT_EQ(r.code, 0) << r.err;
    cli::Json j = cli::Json::parse(r.out);
    EXPECT_EQ(j["disk"]["name"], "SECOND");
    EXPECT_EQ(j["files"][0]["name"], "INSIDE");

    const std::string pc99 = WriteImage(SampleBuilder().Pc99Image(), "fm.pc99");
    r = RunCommand({"dir", "--json", pc99});
    ASSERT_EQ(r.code, 0) << r.err;
    j = cli::Json::parse(r.out);
    EXPECT_EQ(j["disk"]["kind"], "PC99 FM");
    EXPECT_EQ(j["files"].size(), 3u);
}

TEST(CliSector, HexDumpAndJson) {
    const std::string path = WriteImage(SampleBuilder().Image());
    Result r = RunCommand({"sector", path, "0"});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.substr(0, 51), "00: 44 45 4D 4F 20 20 44 49 53 4B 02 D0 09 44 53 4B");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 16);
    r = RunCommand({"sector", "--json", path, "0x1"});
    ASSERT_EQ(r.code, 0);
    const cli::Json j = cli::Json::parse(r.out);
    EXPECT_EQ(j["sector"], 1);
    EXPECT_EQ(j["data"].get<std::string>().size(), 512u);
    EXPECT_EQ(j["data"].get<std::string>().substr(0, 4), "0002");
}

TEST(CliErrors, DriveErrorsAndUsage) {
    const std::string dir = test::TempFolder();
    struct Row {
        std::vector<std::string> words;
        int code;
        const char* err;  // part of the error output
    } rows[] = {
        {{"dir", dir + "/missing.dsk"}, 1, "Can't open file on PC"},
        {{"info", WriteImage(std::vector<uint8_t>(100), "tiny.dsk")}, 1, "Past end of drive"},
        {{"sector", WriteImage(std::vector<uint8_t>(512), "two.dsk"), "2"}, 1, "Past end of drive"},
        {{"sector", WriteImage(std::vector<uint8_t>(512), "two.dsk"), "-1"},
         1,
         "Past end of drive"},
        {{"sector", dir + "/x.dsk", "zwei"}, 2, "not a sector number"},
        {{"dir", dir + "/x.dsk", "--start", "ten"}, 2, "--start"},
        {{"dir", dir + "/x.dsk", "--bogus"}, 2, "unknown option --bogus"},
        {{"dir", dir + "/x.dsk", "--size"}, 2, "needs a value"},
        {{"dir", dir + "/x.dsk", "--json=1"}, 2, "takes no value"},
        {{"dir"}, 2, "usage: tavik-cli dir IMAGE"},
        {{"frobnicate"}, 2, "unknown command"},
        {{}, 2, "commands:"},
    };
    for (const Row& row : rows) {
        Result r = RunCommand(row.words);
        EXPECT_EQ(r.code, row.code) << row.err;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunCommand({"help"}).code, 0);
}

TEST(CliErrors, DamagedIndexEntriesAreSkippedAndReported) {
    test::CImageBuilder b;
    const int good = b.AddFile(BuiltFile::Program("GOOD", {1}));
    const int last = b.AddFile(BuiltFile::Program("LAST", {1}));
    b.SetIndex({good, 1600, last});
    const std::string path = WriteImage(b.Image());
    Result r = RunCommand({"dir", "--json", path});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(cli::Json::parse(r.out)["files"].size(), 2u);
    r = RunCommand({"check", path});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.out.find("Illegal FDR number found in file list"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tavik
