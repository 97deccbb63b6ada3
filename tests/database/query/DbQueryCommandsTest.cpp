#include <gtest/gtest.h>

#include <sstream>

#include "base/PcFile.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

namespace tavik::cli {
namespace {

int Cli(const std::vector<std::string>& words, std::string* out = nullptr) {
    const test::CliResult r = test::RunCliWords(words);
    if (out) *out = r.out + r.err;
    return r.code;
}

TEST(DbQueryCommands, ExportMergeUpdateAndProperties) {
    const std::string dir = test::TempFolder();
    const std::string a = dir + "/a.db", b = dir + "/b.db", text = dir + "/a.txt";
    ASSERT_EQ(Cli({"db", "create", a}), kExitOk);
    ASSERT_EQ(Cli({"db", "sql", a,
                   "INSERT INTO [Disks] ([Disk name], [CRC-S]) VALUES (\"ONE\", \"00000001\")"}),
              kExitOk);
    std::string output;
    ASSERT_EQ(Cli({"db", "update", a, "--table", "Disks", "--set", "[Info1] = \"x\""}, &output),
              kExitOk);
    EXPECT_NE(output.find("Done. Modified 1 records"), std::string::npos);
    EXPECT_EQ(Cli({"db", "update", a, "--table", "Tapes", "--set", "[Info1] = 1"}), kExitUsage);
    EXPECT_EQ(Cli({"db", "update", a, "--table", "Files", "--set", "[Info1] = [Unknown]"}),
              kExitFailed);

    ASSERT_EQ(Cli({"db", "export", a, text, "--files", "none", "--field-sep", ";", "--record-sep",
                   "lf", "--table-sep", "###"}),
              kExitOk);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(text, bytes));
    const std::string exported(bytes.begin(), bytes.end());
    EXPECT_EQ(exported.rfind("Disks\nDisk name;ID;Size;", 0), 0u);
    EXPECT_EQ(exported.substr(exported.size() - 3), "###");

    ASSERT_EQ(Cli({"db", "create", b}), kExitOk);
    EXPECT_EQ(Cli({"db", "merge", b, text, "--field-sep", "null"}), kExitFailed);
    EXPECT_EQ(Cli({"db", "merge", b, text, "--disks", "sometimes"}), kExitUsage);
    ASSERT_EQ(Cli({"db", "merge", b, text, "--field-sep", ";", "--record-sep", "lf", "--table-sep",
                   "###"},
                  &output),
              kExitOk);
    EXPECT_NE(output.find("disks added 1"), std::string::npos) << output;
    ASSERT_EQ(Cli({"db", "properties", b}, &output), kExitOk);
    EXPECT_NE(output.find("Disk entries: 1\nFile entries: 0\n"), std::string::npos) << output;
    // The other db subcommands still answer.
    EXPECT_EQ(Cli({"db", "frob", b}), kExitUsage);
}

// By default the export is the whole catalogue: merged into a new one it gives the disks back
// with their files and links; --tables narrows it.
TEST(DbQueryCommands, TheDefaultExportIsTheWholeCatalogue) {
    const std::string dir = test::TempFolder();
    const std::string a = dir + "/a.db", b = dir + "/b.db", text = dir + "/a.txt";
    ASSERT_EQ(Cli({"db", "create", a}), kExitOk);
    ASSERT_EQ(Cli({"db", "create", b}), kExitOk);
    for (const char* sql :
         {"INSERT INTO [Disks] ([Disk name], [CRC-S]) VALUES (\"ONE\", \"00000001\")",
          "INSERT INTO [Files] ([File name], [CRC]) VALUES (\"F\", \"00000002\")",
          "INSERT INTO [DiskFileMM] ([DiskID], [FileID]) VALUES (1, 1)",
          "INSERT INTO [Params] ([Name], [Type], [Value]) VALUES (\"P\", 10, \"v\")"})
        ASSERT_EQ(Cli({"db", "sql", a, sql}), kExitOk) << sql;
    ASSERT_EQ(Cli({"db", "export", a, text}), kExitOk);
    std::string output;
    // Cut short, the text merges nothing and says so.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(text, bytes));
    const std::string half = dir + "/half.txt";
    ASSERT_TRUE(WriteWholeFile(
        half, std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() / 2)));
    EXPECT_EQ(Cli({"db", "merge", b, half}, &output), kExitFailed);
    EXPECT_NE(output.find("nothing was merged"), std::string::npos) << output;
    ASSERT_EQ(Cli({"db", "properties", b}, &output), kExitOk);
    EXPECT_NE(output.find("Disk entries: 0\nFile entries: 0\n"), std::string::npos) << output;
    ASSERT_EQ(Cli({"db", "merge", b, text}, &output), kExitOk) << output;
    ASSERT_EQ(Cli({"db", "properties", b}, &output), kExitOk);
    EXPECT_NE(output.find("Disk entries: 1\nFile entries: 1\nSaved queries: 0\nSaved params: 1"),
              std::string::npos)
        << output;
    ASSERT_EQ(Cli({"db", "export", a, text, "--tables", "disks,params"}), kExitOk);
    ASSERT_TRUE(ReadWholeFile(text, bytes));
    const std::string exported(bytes.begin(), bytes.end());
    EXPECT_EQ(exported.find("Files\r\n"), std::string::npos);
    EXPECT_NE(exported.find("\fParams\r\n"), std::string::npos);
    EXPECT_EQ(Cli({"db", "export", a, text, "--tables", "disks,tapes"}), kExitUsage);
}

}  // namespace
}  // namespace tavik::cli
