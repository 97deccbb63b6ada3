#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/PcFile.h"
#include "cli/CliCommand.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result Cli(const std::vector<std::string>& words) {
    std::ostringstream out, err;
    const int code = cli::RunCli(words, out, err);
    return {code, out.str(), err.str()};
}

std::string Read(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return {bytes.begin(), bytes.end()};
}

TEST(ExchangeCommands, ExportImportClassifyCatHexdump) {
    const std::string dir = test::TempFolder();
    test::CImageBuilder b;
    b.AddFile(test::BuiltFile::Variable("NOTES", false, 80, {"ONE", "A       B"}));
    const std::string image = dir + "/a.dsk";
    ASSERT_TRUE(WriteWholeFile(image, b.Image()));
    ASSERT_TRUE(WriteWholeFile(dir + "/b.dsk", test::CImageBuilder().Image()));

    EXPECT_EQ(Cli({"cat", image, "NOTES"}).out, "ONE\nA       B\n");
    EXPECT_EQ(Cli({"cat", image, "NOTES", "--crlf"}).out, "ONE\r\nA       B\r\n");
    EXPECT_EQ(Cli({"hexdump", image, "NOTES"}).out.substr(0, 12), "0000: 03 4F ");
    Result r = Cli({"cat", image, "NONE"});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.err.find("File not found"), std::string::npos);

    EXPECT_EQ(Cli({"export", image, "NOTES", dir + "/notes.tfi"}).code, cli::kExitOk);
    EXPECT_EQ(
        Cli({"export", image, "NOTES", dir + "/notes.txt", "--as", "text-tabs", "--crlf"}).code,
        cli::kExitOk);
    EXPECT_EQ(Read(dir + "/notes.txt"), "ONE\r\nA\t B\r\n");
    EXPECT_EQ(Cli({"export", image, "NOTES", dir + "/lf.txt", "--as", "text"}).code, cli::kExitOk);
    EXPECT_EQ(Read(dir + "/lf.txt"), "ONE\nA       B\n");
    EXPECT_EQ(Cli({"export", image, "NOTES", dir + "/x", "--as", "zip"}).code, cli::kExitUsage);
    // Into a folder the file is named after the TI file.
    const std::string folder = dir + "/into";
    std::filesystem::create_directory(folder);
    EXPECT_EQ(Cli({"export", image, "NOTES", folder}).code, cli::kExitOk);
    EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/NOTES"));

    r = Cli({"classify", dir + "/notes.tfi", dir + "/b.dsk", "--json"});
    EXPECT_EQ(r.code, cli::kExitOk);
    for (const char* part : {"\"TIFILES\"", "\"NOTES\"", "\"DV80\"", "\"DOAD\"", "\"SS SD\""})
        EXPECT_NE(r.out.find(part), std::string::npos) << r.out;

    const std::string target = dir + "/b.dsk";
    EXPECT_EQ(Cli({"import", target, dir + "/notes.tfi"}).code, cli::kExitOk);
    // A header field the data overrule: the import goes on and says so.
    std::vector<uint8_t> lying;
    ASSERT_TRUE(ReadWholeFile(dir + "/notes.tfi", lying));
    lying[11] = 7;
    ASSERT_TRUE(WriteWholeFile(dir + "/lying.tfi", lying));
    r = Cli({"import", target, dir + "/lying.tfi", "--name", "LYING"});
    EXPECT_EQ(r.code, cli::kExitOk);
    EXPECT_EQ(r.err, dir + "/lying.tfi: records per sector 7 in the header, 3 used\n");
    EXPECT_EQ(Cli({"import", target, dir + "/notes.txt", "--name", "TEXT", "--tabs"}).code,
              cli::kExitOk);
    EXPECT_EQ(Cli({"import", target, dir + "/lf.txt", "--name", "LF"}).code, cli::kExitOk);
    EXPECT_EQ(Cli({"cat", target, "NOTES"}).out, "ONE\nA       B\n");
    // The TAB goes back to the stop at column 7.
    EXPECT_EQ(Cli({"cat", target, "TEXT"}).out, "ONE\nA       B\n");
    EXPECT_EQ(Cli({"cat", target, "LF"}).out, "ONE\nA       B\n");
    r = Cli({"import", target, dir + "/a.dsk"});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.err.find("This file contains a whole TI-99/4A disk"), std::string::npos);
}

TEST(ArchiveCommands, CreateListExtractExportAddRemove) {
    const std::string dir = test::TempFolder();
    test::CImageBuilder b;
    b.AddFile(test::BuiltFile::Variable("NOTES", false, 80, {"ONE", "TWO"}));
    b.AddFile(test::BuiltFile::Program("PROG", std::vector<uint8_t>(600, 0x41)));
    const std::string image = dir + "/a.dsk", target = dir + "/b.dsk";
    ASSERT_TRUE(WriteWholeFile(image, b.Image()));
    ASSERT_TRUE(WriteWholeFile(target, test::CImageBuilder().Image()));

    EXPECT_EQ(Cli({"archive", "create", image, "ALL", "PROG", "NOTES"}).code, cli::kExitOk);
    Result r = Cli({"archive", "list", image, "ALL", "--json"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["archive"]["compressed"], true);
    ASSERT_EQ(j["files"].size(), 2u);
    EXPECT_EQ(j["files"][0]["name"], "NOTES");
    EXPECT_EQ(j["files"][0]["type"], "DV80");
    EXPECT_EQ(j["files"][1]["name"], "PROG");
    EXPECT_EQ(j["files"][1]["sectors"], 3);
    EXPECT_EQ(j["files"][1]["records"], 0);
    EXPECT_NE(Cli({"archive", "list", image, "ALL"}).out.find("PROG        Prog"),
              std::string::npos);

    EXPECT_EQ(Cli({"archive", "extract", image, "ALL", target, "NOTES"}).code, cli::kExitOk);
    EXPECT_EQ(Cli({"cat", target, "NOTES"}).out, "ONE\nTWO\n");
    r = Cli({"archive", "extract", image, "ALL", target});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_EQ(r.err, target + ": NOTES: Name already exists\n");
    EXPECT_EQ(Cli({"archive", "extract", image, "ALL", target, "--replace"}).code, cli::kExitOk);
    EXPECT_EQ(
        Cli({"archive", "export", image, "ALL", "NOTES", dir + "/n.txt", "--as", "text"}).code,
        cli::kExitOk);
    std::vector<uint8_t> text;
    EXPECT_TRUE(ReadWholeFile(dir + "/n.txt", text));
    EXPECT_EQ(std::string(text.begin(), text.end()), "ONE\nTWO\n");
    EXPECT_EQ(
        Cli({"archive", "export", image, "ALL", "NOTES", dir + "/n.txt", "--as", "text", "--crlf"})
            .code,
        cli::kExitOk);
    EXPECT_TRUE(ReadWholeFile(dir + "/n.txt", text));
    EXPECT_EQ(std::string(text.begin(), text.end()), "ONE\r\nTWO\r\n");

    EXPECT_EQ(Cli({"archive", "remove", image, "ALL", "NOTES"}).code, cli::kExitOk);
    EXPECT_EQ(Cli({"archive", "add", image, "ALL", "NOTES"}).code, cli::kExitOk);
    EXPECT_EQ(Cli({"archive", "add", image, "ALL", "NOTES"}).code, cli::kExitFailed);

    const struct {
        std::vector<std::string> words;
        int code;
        std::string err;
    } failures[] = {
        {{"archive", "list", image, "NOTES"},
         cli::kExitFailed,
         image + ": NOTES: This is no Archiver file\n"},
        {{"archive", "list", image, "NONE"}, cli::kExitFailed, image + ": NONE: File not found\n"},
        {{"archive", "remove", image, "ALL", "NONE"},
         cli::kExitFailed,
         image + ": NONE: File not found\n"},
        {{"archive", "create", image, "TOO_LONG_NAME", "NOTES"},
         cli::kExitFailed,
         image + ": TOO_LONG_NAME: Illegal file name\n"},
        {{"archive", "unpack", image, "ALL"}, cli::kExitUsage, ""},
        {{"archive", "list", image, "ALL", "EXTRA"}, cli::kExitUsage, ""},
    };
    for (const auto& f : failures) {
        r = Cli(f.words);
        EXPECT_EQ(r.code, f.code) << f.words[1];
        EXPECT_TRUE(f.err.empty() || r.err == f.err) << r.err;
    }
}

}  // namespace
}  // namespace tavik
