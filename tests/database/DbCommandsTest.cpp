// The "tavik-cli db" commands, run in-process on real files.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/PcFile.h"
#include "support/CliRun.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik::test {
namespace {

CliResult Cli(const std::vector<std::string>& words) {
    return RunCliWords(words);
}

// A sector dump, or with `suffix` ".pc99" or ".hfe" a track image, of one file.
std::string Image(const std::string& folder, const std::string& name, const std::string& file,
                  uint8_t fill = 7, const std::string& suffix = ".dsk") {
    CImageBuilder b(360);
    b.SetName(name);
    b.AddFile(BuiltFile::Program(file, std::vector<uint8_t>(300, fill)));
    const std::string path = folder + "/" + name + suffix;
    EXPECT_TRUE(WriteWholeFile(path, suffix == ".hfe"    ? b.HfeImage()
                                     : suffix == ".pc99" ? b.Pc99Image()
                                                         : b.Image()));
    return path;
}

TEST(DbCommandsTest, CreateAddQueryRemove) {
    const std::string folder = TempFolder();
    const std::string db = folder + "/Floppies.db";
    EXPECT_EQ(Cli({"db", "create", db}).code, 0);
    const std::string a = Image(folder, "GAMES", "LOADER");
    const std::string b = Image(folder, "TOOLS", "LOADER");

    // TOOLS holds the same file as GAMES: a disk duplicate by file contents, added anyway.
    CliResult add =
        Cli({"db", "add", db, a, b, "--duplicates", "reuse", "--duplicate-disks", "new"});
    EXPECT_EQ(add.code, 0) << add.err;
    EXPECT_NE(add.out.find("added as disk 1"), std::string::npos);
    EXPECT_NE(add.out.find("added as disk 2"), std::string::npos);
    // The same disk again is skipped unless asked for.
    CliResult again = Cli({"db", "add", db, a});
    EXPECT_EQ(again.code, 0);
    EXPECT_NE(again.out.find("not added"), std::string::npos);
    EXPECT_EQ(Cli({"db", "add", db, a, "--duplicate-disks", "new", "--duplicates", "new"}).code, 0);
    EXPECT_NE(again.out.find("Found disk(s) with identical (used) sectors: 1"), std::string::npos);

    CliResult rows =
        Cli({"db", "sql", db, "SELECT [ID], [Disk name], [DS] FROM [Disks] ORDER BY [ID]"});
    EXPECT_EQ(rows.code, 0) << rows.err;
    EXPECT_EQ(rows.out,
              "ID\tDisk name\tDS\n1\tGAMES     \tNo\n2\tTOOLS     \tNo\n3\tGAMES     \tNo\n");
    CliResult json = Cli({"db", "sql", db, "SELECT Count(*) AS [n] FROM [Files]", "--json"});
    EXPECT_NE(json.out.find("\"n\": 2"), std::string::npos) << json.out;
    CliResult update = Cli({"db", "sql", db, "UPDATE [Disks] SET [Info1] = \"x\" WHERE [ID] > 1"});
    EXPECT_EQ(update.out, "Modified 2 records\n");
    CliResult bad = Cli({"db", "sql", db, "SELECT * FROM [Nowhere]"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_FALSE(bad.err.empty());
    CliResult parameter = Cli({"db", "sql", db, "SELECT * FROM [Disks] WHERE [ID] = [Which]"});
    EXPECT_EQ(parameter.code, 1);
    EXPECT_NE(parameter.err.find("[Which]"), std::string::npos);

    EXPECT_EQ(Cli({"db", "rescan", db, b, "--id", "2"}).code, 0);
    EXPECT_EQ(Cli({"db", "rescan", db, b}).code, 2);
    EXPECT_EQ(Cli({"db", "remove", db, "1", "3"}).code, 0);
    EXPECT_EQ(Cli({"db", "sql", db, "SELECT [ID] FROM [Disks]"}).out, "ID\n2\n");
}

TEST(DbCommandsTest, RefusesWhatItCannotDo) {
    const std::string folder = TempFolder();
    const std::string db = folder + "/Floppies.db";
    ASSERT_EQ(Cli({"db", "create", db}).code, 0);
    // Tests run without a terminal on standard input.
    CliResult ask = Cli({"db", "add", db, Image(folder, "A", "F"), "--duplicates", "ask"});
    EXPECT_EQ(ask.code, 2);
    EXPECT_NE(ask.err.find("terminal"), std::string::npos);
    EXPECT_EQ(Cli({"db", "add", db, folder + "/missing.dsk"}).code, 1);
    EXPECT_EQ(Cli({"db", "frobnicate", db}).code, 2);
    EXPECT_EQ(Cli({"db", "sql", folder + "/missing.db", "SELECT * FROM [Disks]"}).code, 1);
}

// db add takes any number of images, folders (searched below, images told by their content)
// and "-" for names on standard input, and records whole paths; db remove of an unknown ID
// fails; db sql resolves parameters as the desktop program does.
TEST(DbCommandsTest, AddsCollectionsAndResolvesParameters) {
    namespace fs = std::filesystem;
    const std::string folder = TempFolder();
    const std::string db = folder + "/Floppies.db";
    ASSERT_EQ(Cli({"db", "create", db}).code, 0);
    fs::create_directories(folder + "/in/deeper");
    const std::string a = Image(folder + "/in", "GAMES", "LOADER", 1);
    fs::rename(a, folder + "/in/games-without-extension");
    Image(folder + "/in/deeper", "TOOLS", "EDITOR", 2);
    Image(folder + "/in/deeper", "TRACKS", "T", 4, ".hfe");
    Image(folder + "/in/deeper", "UTILS", "U", 5, ".pc99");
    ASSERT_TRUE(WriteWholeFile(folder + "/in/notes.dsk", std::vector<uint8_t>(300, 'x')));
    const std::string listed = Image(folder, "LISTED", "README", 3);
    std::istringstream names("in\n" + listed + "\n");
    std::streambuf* keep = std::cin.rdbuf(names.rdbuf());
    const auto before = fs::current_path();
    fs::current_path(folder);
    CliResult add = Cli({"db", "add", db, "-"});
    fs::current_path(before);
    std::cin.rdbuf(keep);
    EXPECT_EQ(add.code, 0) << add.err;
    CliResult rows = Cli({"db", "sql", db, "SELECT [Disk name], [Drive] FROM [Disks]"});
    EXPECT_EQ(rows.out, "Disk name\tDrive\nTOOLS     \t" + folder +
                            "/in/deeper/TOOLS.dsk\nTRACKS    \t" + folder +
                            "/in/deeper/TRACKS.hfe\nUTILS     \t" + folder +
                            "/in/deeper/UTILS.pc99\nGAMES     \t" + folder +
                            "/in/games-without-extension\nLISTED    \t" + listed + "\n");
    // A file named on its own must hold a disk.
    EXPECT_EQ(Cli({"db", "add", db, folder + "/in/notes.dsk"}).code, 1);
    // More than a thousand at once.
    std::vector<std::string> many = {"db", "add", db};
    many.insert(many.end(), 1200, listed);
    CliResult again = Cli(many);
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(Cli({"db", "sql", db, "SELECT Count(*) AS [n] FROM [Disks]"}).out, "n\n5\n");

    EXPECT_EQ(Cli({"db", "remove", db, "4", "99"}).code, 1);
    EXPECT_EQ(Cli({"db", "sql", db, "SELECT [ID] FROM [Disks] WHERE [ID] > 3"}).out, "ID\n4\n5\n");

    ASSERT_EQ(Cli({"db", "sql", db,
                   "INSERT INTO [Params] ([Name], [Type], [Value]) VALUES (\"Big\", 4, \"2\")"})
                  .code,
              0);
    CliResult resolved = Cli({"db", "sql", db,
                              "SELECT [ID] FROM [Disks] WHERE [ID] >= [Big] AND [Disk name] LIKE "
                              "[Pattern] AND [Archived date] <= [Today]",
                              "Pattern=L*"});
    EXPECT_EQ(resolved.code, 0) << resolved.err;
    EXPECT_EQ(resolved.out, "ID\n5\n");
    EXPECT_EQ(
        Cli({"db", "sql", db, "SELECT [ID] FROM [Disks] WHERE [ID] = [Which]", "Which=2"}).out,
        "ID\n2\n");
    EXPECT_EQ(Cli({"db", "sql", db, "SELECT 1", "Which"}).code, 2);
}

// The peer disks with one of them twice under another path: the report finds exactly that disk
// and its files, whether the second scan recorded the files again or reused their rows.
TEST(DbCommandsTest, DuplicatesOfThePeerDisks) {
    namespace fs = std::filesystem;
    TAVIK_REQUIRE_TESTDATA(peer, "peer");
    for (const char* policy : {"new", "reuse"}) {
        SCOPED_TRACE(policy);
        const std::string folder = TempFolder();
        const std::string db = folder + "/Floppies.db";
        ASSERT_EQ(Cli({"db", "create", db}).code, 0);
        for (const char* image : {"disks", "basic/basic1.dsk", "archives/ark2.dsk"})
            ASSERT_EQ(Cli({"db", "add", db, peer + "/" + image, "--duplicates", policy}).code, 0);
        const std::string copy = folder + "/frag copy.dsk";
        fs::copy_file(peer + "/disks/frag.dsk", copy);
        CliResult none = Cli({"db", "duplicates", db});
        EXPECT_EQ(none.out, "0 groups of disks, 0 groups of files\n") << none.err;
        ASSERT_EQ(
            Cli({"db", "add", db, copy, "--duplicates", policy, "--duplicate-disks", "new"}).code,
            0);

        CliResult r = Cli({"db", "duplicates", db, "--json"});
        ASSERT_EQ(r.code, 0) << r.err;
        const auto report = nlohmann::json::parse(r.out);
        ASSERT_EQ(report["disks"].size(), 1u) << r.out;
        const auto& copies = report["disks"][0]["copies"];
        EXPECT_EQ(report["disks"][0]["same"], "sectors");
        ASSERT_EQ(copies.size(), 2u);
        EXPECT_EQ(copies[0]["drive"], peer + "/disks/frag.dsk");
        EXPECT_EQ(copies[1]["drive"], copy);
        EXPECT_EQ(copies[0]["name"], copies[1]["name"]);
        const int fragFiles =
            std::stoi(Cli({"db", "sql", db,
                           "SELECT [Files] FROM [Disks] WHERE [ID] = " + copies[1]["id"].dump()})
                          .out.substr(6));
        EXPECT_EQ(report["files"].size(), static_cast<size_t>(fragFiles));
        for (const auto& group : report["files"]) {
            ASSERT_EQ(group["copies"].size(), 2u) << group.dump();
            EXPECT_EQ(group["copies"][1]["drive"], copy);
        }
    }
    EXPECT_EQ(Cli({"db", "duplicates", TempFolder() + "/missing.db"}).code, 1);
}

// When the catalogue's files cannot grow, the engine undoes the disks it had not saved yet:
// those are told as not kept, the command fails, and every disk told as added is there.
TEST(DbCommandsTest, DisksTheCatalogueCouldNotSaveAreToldAsNotKept) {
    const std::string folder = TempFolder();
    const std::string db = folder + "/Floppies.db";
    ASSERT_EQ(Cli({"db", "create", db}).code, 0);
    std::filesystem::create_directories(folder + "/in");
    for (int n = 0; n < 60; ++n) {
        CImageBuilder b(1440, true);
        b.SetName("D" + std::to_string(n));
        for (int f = 0; f < 20; ++f)
            b.AddFile(BuiltFile::Program("F" + std::to_string(f),
                                         std::vector<uint8_t>(1000, static_cast<uint8_t>(n + f))));
        ASSERT_TRUE(WriteWholeFile(folder + "/in/D" + std::to_string(n) + ".dsk", b.Image()));
    }
    rlimit keep{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &keep), 0);
    rlimit small = keep;
    small.rlim_cur = 126 * 1024;  // room for a few disks' pages, not for sixty
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const CliResult add = Cli({"db", "add", db, folder + "/in"});
    setrlimit(RLIMIT_FSIZE, &keep);
    std::signal(SIGXFSZ, signal);
    EXPECT_EQ(add.code, 1);
    std::set<std::string> told;
    std::istringstream out(add.out), err(add.err);
    for (std::string line; std::getline(out, line);)
        if (line.find(": added as disk") != std::string::npos)
            told.insert(line.substr(0, line.find(": ")));
    size_t notKept = 0;
    for (std::string line; std::getline(err, line);)
        if (line.size() > 10 && line.compare(line.size() - 10, 10, ": not kept") == 0)
            notKept += told.erase(line.substr(0, line.size() - 10));
    EXPECT_GT(notKept, 0u) << add.err;
    std::string kept = "Drive\n";
    for (const std::string& path : told)
        kept += path + "\n";
    EXPECT_EQ(Cli({"db", "sql", db, "SELECT [Drive] FROM [Disks] ORDER BY [Drive]"}).out, kept);
}

TEST(DbCommandsTest, ImportMdbRefusesAForeignJetFile) {
    TAVIK_REQUIRE_TESTDATA(mdb, "mdb");
    const std::string folder = TempFolder();
    CliResult r = Cli({"db", "import-mdb", mdb + "/nwind.mdb", folder + "/n.db"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no TAVIK catalogue"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder + "/n.db"));
}

}  // namespace
}  // namespace tavik::test
