#include <gtest/gtest.h>

#include "base/PcFile.h"
#include "cli/CliCommand.h"
#include "support/CliRun.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using Result = test::CliResult;
constexpr auto Cli = test::RunCliWords;

std::string Write(const std::string& path, const std::string& text) {
    EXPECT_TRUE(WriteWholeFile(path, std::vector<uint8_t>(text.begin(), text.end())));
    return path;
}

std::vector<uint8_t> Read(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return bytes;
}

TEST(BasicCommands, CreateListAndRefuse) {
    const std::string dir = test::TempFolder();
    std::string text;
    for (int n = 10; n <= 300; n += 10)
        text += std::to_string(n) + " PRINT \"é\";" + std::to_string(n) + " :: GOTO 10\n";
    const std::string listing = Write(dir + "/prog.txt", text);
    const std::string image = dir + "/a.dsk";
    ASSERT_TRUE(WriteWholeFile(image, test::CImageBuilder().Image()));

    for (const char* form : {"", "--long", "--merge"}) {
        SCOPED_TRACE(form);
        const std::string name = std::string("P") + (*form ? form + 2 : "");
        std::vector<std::string> words = {"basic", "--create", listing, image, name};
        if (*form) words.push_back(form);
        EXPECT_EQ(Cli(words).code, cli::kExitOk);
        const Result r = Cli({"basic", image, name});
        EXPECT_EQ(r.code, cli::kExitOk) << r.err;
        EXPECT_EQ(r.out, text);
    }
    EXPECT_EQ(Cli({"basic", "--create", listing, image, "LOCKED", "--protect"}).code, cli::kExitOk);
    EXPECT_NE(Cli({"basic", image, "LOCKED"}).err.find("protected program"), std::string::npos);

    // A PC file, with a header and without.
    EXPECT_EQ(Cli({"export", image, "Plong", dir + "/p.tfi"}).code, cli::kExitOk);
    EXPECT_EQ(Cli({"export", image, "P", dir + "/p.bin", "--as", "none"}).code, cli::kExitOk);
    EXPECT_EQ(Cli({"basic", dir + "/p.tfi"}).out, text);
    EXPECT_EQ(Cli({"basic", dir + "/p.bin"}).out, text);

    // Nothing on the disk changes when the file cannot be made whole: a name in use, a disk
    // too full, a listing with an error.
    const std::vector<uint8_t> before = Read(image);
    Result r = Cli({"basic", "--create", listing, image, "P"});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.err.find("Name already exists"), std::string::npos);
    r = Cli({"basic", "--create", Write(dir + "/bad.txt", "10 PRINT \"A\n"), image, "BAD"});
    EXPECT_NE(r.err.find("Text line 1: line 10: a string without its closing quote"),
              std::string::npos);
    EXPECT_EQ(Read(image), before);
    const std::string small = dir + "/small.dsk";
    ASSERT_TRUE(WriteWholeFile(small, test::CImageBuilder(6).Image()));
    const std::string emptyDir = Cli({"dir", small}).out;
    r = Cli({"basic", "--create", listing, small, "BIG", "--long"});
    EXPECT_EQ(r.code, cli::kExitFailed);
    EXPECT_NE(r.err.find("Disk is full"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"dir", small}).out, emptyDir);
    EXPECT_EQ(Cli({"check", small}).code, cli::kExitOk);

    EXPECT_EQ(Cli({"basic", image, "NONE"}).code, cli::kExitFailed);
    EXPECT_EQ(Cli({"basic", "--create", listing, image, "X", "--long", "--merge"}).code,
              cli::kExitUsage);
    EXPECT_EQ(Cli({"basic", image, "P", "--long"}).code, cli::kExitUsage);
}

}  // namespace
}  // namespace tavik
