// Ordinary mistakes and failures that once lost data, each reproduced as a user met it: the
// command is refused or fails with its reason and leaves what the user had, or it now works.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "base/PcFile.h"
#include "cli/CatalogJson.h"
#include "disk/CheckReport.h"
#include "disk/Layout.h"
#include "disk/VirtualDrive.h"
#include "support/CliRun.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
constexpr auto Cli = test::RunCliWords;

std::vector<uint8_t> Bytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes));
    return bytes;
}

std::string Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    return path;
}

// A disk holding OLD, a program of `sectors` sectors, and free room of about `free` sectors.
CImageBuilder DiskWithOld(int sectors, int free) {
    CImageBuilder b(360);
    b.AddFile(BuiltFile::Program("OLD", test::Pattern(size_t(sectors) * 256, 3)));
    const int filler = 358 - (sectors + 1) - free - 1;
    if (filler > 0) b.AddFile(BuiltFile::Program("FILLER", test::Pattern(size_t(filler) * 256, 4)));
    return b;
}

// Each case is a scene in a fresh folder and what must hold; "" when it does.
struct Case {
    const char* what;
    std::function<std::string(const std::string& dir)> check;
};

// Collects the first broken expectation of a case.
struct Verdict {
    std::string text;
    void Expect(bool holds, const std::string& what) {
        if (!holds && text.empty()) text = what;
    }
};

std::string CheckReportOf(const std::string& path) {
    CVirtualDrive drive;
    int flags = 0;
    DiskUsage usage{};
    if (!drive.OpenImage(path) || !drive.CheckDisk(flags, usage)) return "unreadable";
    return CheckReport(flags, usage);
}

// A refused command: its exit status and message, and the image byte for byte as it was.
std::string Refused(const std::vector<std::string>& words, const std::string& image,
                    const std::string& message) {
    const std::vector<uint8_t> before = Bytes(image);
    const test::CliResult r = Cli(words);
    Verdict v;
    v.Expect(r.code == cli::kExitFailed, "exit status " + std::to_string(r.code));
    v.Expect(r.err.find(message) != std::string::npos, "message " + r.err);
    v.Expect(Bytes(image) == before, "the image changed");
    return v.text;
}

std::string CopyDiskOntoItself(const std::string& dir, const std::string& target,
                               const std::string& mode) {
    CImageBuilder b;
    b.AddFile(BuiltFile::Program("KEEP", test::Pattern(900, 1)));
    const std::string image = Write(dir + "/a.dsk", b.Image());
    std::filesystem::create_directory(dir + "/sub");
    std::filesystem::create_symlink(image, dir + "/link.dsk");
    return Refused({"copy-disk", image, dir + target, "--mode", mode}, image,
                   "Source and target are the same file");
}

const Case kCases[] = {
    {"1: copy-disk of a disk onto itself, files mode",
     [](const std::string& dir) { return CopyDiskOntoItself(dir, "/a.dsk", "3"); }},
    {"1: copy-disk onto itself, files and disk info",
     [](const std::string& dir) { return CopyDiskOntoItself(dir, "/a.dsk", "2"); }},
    {"1: copy-disk onto itself through a symbolic link",
     [](const std::string& dir) { return CopyDiskOntoItself(dir, "/link.dsk", "3"); }},
    {"1: copy-disk onto itself through another path",
     [](const std::string& dir) { return CopyDiskOntoItself(dir, "/sub/../a.dsk", "0"); }},

    {"2: copying a file over one of its name onto a disk that fills up",
     [](const std::string& dir) {
         CImageBuilder from;
         from.AddFile(BuiltFile::Program("OLD", test::Pattern(60 * 256, 7)));
         CVirtualDrive source, target;
         const std::string path = Write(dir + "/t.dsk", DiskWithOld(5, 20).Image());
         const std::vector<uint8_t> before = Bytes(path);
         Verdict v;
         v.Expect(source.MountFile(std::make_unique<CMemFile>(from.Image()), 0, 0, -1) != 0,
                  "mount");
         v.Expect(target.OpenImage(path) != 0, "open");
         v.Expect(source.CopyFile(target, source.FindFile("OLD"), "") == 0, "the copy succeeded");
         v.Expect(source.ErrorText() == "Disk is full", source.ErrorText());
         target.Close();
         v.Expect(Bytes(path) == before, "the target changed");
         return v.text;
     }},

    {"3: an import over a file of that name onto a disk that fills up",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", DiskWithOld(5, 20).Image());
         Write(dir + "/big.prg", test::Pattern(60 * 256, 8));
         return Refused({"import", image, dir + "/big.prg", "--name", "OLD"}, image,
                        "Disk is full");
     }},
    {"3: text refused for an internal type, over a file of that name",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", DiskWithOld(5, 100).Image());
         Write(dir + "/notes.txt", {'h', 'i', '\r', '\n'});
         return Refused({"import", image, dir + "/notes.txt", "--name", "OLD", "--type", "IF80"},
                        image, "Can't import text into an 'internal' file");
     }},

    {"4: export onto the image itself",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", DiskWithOld(5, 100).Image());
         return Refused({"export", image, "OLD", image}, image,
                        "Source and target are the same file");
     }},

    {"5, 6: import onto a disk whose index names a sector that holds no file",
     [](const std::string& dir) {
         CImageBuilder b = DiskWithOld(5, 300);
         b.SetIndex({2, 200});
         const std::string image = Write(dir + "/d.dsk", b.Image());
         const std::string report = CheckReportOf(image);
         Write(dir + "/new.prg", test::Pattern(300, 9));
         const test::CliResult r = Cli({"import", image, dir + "/new.prg"});
         Verdict v;
         v.Expect(r.code == cli::kExitOk, "import: " + r.err);
         const cli::Json files = cli::Json::parse(Cli({"dir", image, "--json"}).out)["files"];
         v.Expect(files.size() == 2 && files[0]["name"] == "NEW" && files[1]["name"] == "OLD",
                  "listing " + files.dump());
         v.Expect(CheckReportOf(image) == report, "the check now says " + CheckReportOf(image));
         v.Expect(report.find("holds no file") != std::string::npos, "check: " + report);
         return v.text;
     }},
    {"6: an index entry past the disk hides no file",
     [](const std::string& dir) {
         CImageBuilder b;
         const int a = b.AddFile(BuiltFile::Program("A", {1}));
         const int z = b.AddFile(BuiltFile::Program("Z", {2}));
         b.SetIndex({a, 400, z});
         const std::string image = Write(dir + "/d.dsk", b.Image());
         Verdict v;
         v.Expect(Cli({"dir", image, "--json"}).out.find("\"Z\"") != std::string::npos, "dir");
         v.Expect(Cli({"hexdump", image, "Z"}).code == cli::kExitOk, "lookup of Z");
         const std::string db = dir + "/c.db";
         v.Expect(Cli({"db", "create", db}).code == cli::kExitOk &&
                      Cli({"db", "add", db, image}).code == cli::kExitOk,
                  "db add");
         v.Expect(
             Cli({"db", "sql", db, "SELECT [File name] FROM [Files] ORDER BY [File name]"}).out ==
                 "File name\nA         \nZ         \n",
             "the catalogue's files");
         v.Expect(CheckReportOf(image).find("Illegal FDR number") != std::string::npos,
                  "check: " + CheckReportOf(image));
         return v.text;
     }},

    {"7: copy-disk of 1440 sectors onto a 360-sector image",
     [](const std::string& dir) {
         CImageBuilder big(1440, true, true);
         big.AddFile(BuiltFile::Program("SMALL", test::Pattern(700, 1)));
         const std::string source = Write(dir + "/big.dsk", big.Image());
         const std::string target = Write(dir + "/small.dsk", CImageBuilder(360).Image());
         Verdict v;
         v.Expect(
             Refused({"copy-disk", source, target, "--mode", "2"}, target, "does not fit").empty(),
             "mode 2 not refused");
         v.Expect(Cli({"copy-disk", source, target, "--mode", "3"}).code == cli::kExitOk,
                  "the files, which fit, were not copied");
         v.Expect(CheckReportOf(target).empty(), "check: " + CheckReportOf(target));
         return v.text;
     }},

    {"8: a FIFO given as an image or as a PC file to import",
     [](const std::string& dir) {
         const std::string fifo = dir + "/pipe";
         const std::string image = Write(dir + "/d.dsk", CImageBuilder().Image());
         Verdict v;
         v.Expect(::mkfifo(fifo.c_str(), 0600) == 0, "mkfifo");
         // Held open for writing, so that a reader that waits for a writer does not hang here.
         const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
         const test::CliResult r = Cli({"dir", fifo});
         v.Expect(r.code == cli::kExitFailed && r.err == fifo + ": Not a regular file\n",
                  "dir: " + r.err);
         v.Expect(Refused({"import", image, fifo}, image, fifo + ": Not a regular file").empty(),
                  "import not refused");
         ::close(writer);
         return v.text;
     }},

    {"9: a TIFILES file cut to 11 bytes",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", CImageBuilder().Image());
         std::vector<uint8_t> cut = {7, 'T', 'I', 'F', 'I', 'L', 'E', 'S', 0, 3, kStatusProgram};
         Write(dir + "/cut.tfi", cut);
         return Refused({"import", image, dir + "/cut.tfi"}, image,
                        "File is shorter than its header");
     }},

    {"10: a program imported over a data file can be deleted and undeleted",
     [](const std::string& dir) {
         CImageBuilder b;
         b.AddFile(BuiltFile::Fixed("DATA", false, 80, {"x"}));
         const std::string image = Write(dir + "/d.dsk", b.Image());
         Write(dir + "/p.prg", test::Pattern(300, 2));
         Verdict v;
         v.Expect(Cli({"import", image, dir + "/p.prg", "--name", "DATA"}).code == 0, "import");
         v.Expect(Cli({"rm", image, "DATA"}).code == 0, "rm");
         const test::CliResult r = Cli({"undelete", image, "DATA", "--type", "Prog"});
         v.Expect(r.code == 0, "undelete: " + r.err);
         return v.text;
     }},
    {"10: a DIS/FIX 1 file can be undeleted",
     [](const std::string& dir) {
         CImageBuilder b;
         BuiltFile one = BuiltFile::Fixed("ONES", false, 1, {"a", "b", "c"});
         one.recordsPerSector = 0;  // 256 records, as the byte holds them
         b.AddFile(one);
         const std::string image = Write(dir + "/d.dsk", b.Image());
         Verdict v;
         v.Expect(Cli({"rm", image, "ONES"}).code == 0, "rm");
         v.Expect(Cli({"undelete", image, "ONES"}).code == 0, "undelete");
         return v.text;
     }},
    {"10: type texts are decimal",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", CImageBuilder().Image());
         Write(dir + "/a.txt", {'a', 'b', '\r', '\n'});
         Verdict v;
         for (const auto& [typed, shown] : {std::pair{"DV010", "DV10"}, {"DF080", "DF80"}}) {
             const test::CliResult r =
                 Cli({"import", image, dir + "/a.txt", "--name", typed, "--type", typed});
             v.Expect(r.code == 0, std::string(typed) + ": " + r.err);
             v.Expect(Cli({"dir", image}).out.find(shown) != std::string::npos, shown);
         }
         return v.text;
     }},
    {"create onto a file that is there",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", CImageBuilder().Image());
         return Refused({"create", image}, image, "File already exists");
     }},
    {"10: format with more tracks than the disk can record",
     [](const std::string& dir) {
         const std::string image = Write(dir + "/d.dsk", CImageBuilder().Image());
         return Refused({"format", image, "--name", "X", "--tracks", "300"}, image,
                        "Unrecognized format specifications");
     }},
};

TEST(ReproducedFaults, EachIsRefusedOrNowWorks) {
    for (const Case& c : kCases)
        EXPECT_EQ(c.check(test::TempFolder()), "") << c.what;
}

}  // namespace
}  // namespace tavik
