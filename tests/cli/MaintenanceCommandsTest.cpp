#include <gtest/gtest.h>

#include <filesystem>

#include "base/PcFile.h"
#include "cli/CliCommand.h"
#include "disk/VirtualDrive.h"
#include "support/CliRun.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

using test::BuiltFile;

using Result = test::CliResult;

constexpr auto Cli = test::RunCliWords;

std::string Fragmented(const std::string& folder) {
    test::CImageBuilder b(360);
    for (const char* name : {"ZULU", "ALPHA", "MIKE"}) {
        BuiltFile f = BuiltFile::Program(name, std::vector<uint8_t>(7 * 256, name[0]));
        f.clusterSizes = {2, 3, 2};
        b.AddFile(f);
    }
    BuiltFile locked = BuiltFile::Program("LOCKED", {1, 2, 3});
    locked.status |= kStatusProtected;
    b.AddFile(locked);
    const std::string path = folder + "/frag.dsk";
    EXPECT_TRUE(WriteWholeFile(path, b.Image()));
    return path;
}

// The data sectors of a file on an image (or on the volume at start), empty when it is absent.
std::vector<uint8_t> FileData(const std::string& path, const std::string& name, int64_t start = 0) {
    CVirtualDrive drive;
    std::vector<uint8_t> bytes;
    if (!drive.MountFile(CDiskFile::Open(path, OpenMode::ReadOnly), start, start ? 409600 : 0, -1))
        return bytes;
    const int fdr = drive.FindFile(name);
    Sector s{};
    for (int k = 0; fdr > 0 && drive.FileToDiskSector(fdr, k, s.data()) > 0; ++k)
        bytes.insert(bytes.end(), s.begin(), s.end());
    return bytes;
}

int FileCount(const std::string& path) {
    CVirtualDrive drive;
    DiskInfo info;
    if (!drive.OpenImage(path) || !drive.GetDiskInfo(info)) return -1;
    return info.files;
}

TEST(CliMaintenance, CheckDefragAndItsExitStatus) {
    const std::string folder = test::TempFolder();
    const std::string path = Fragmented(folder);
    Result r = Cli({"check", path});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "No problems found\n");

    std::vector<uint8_t> image;
    ASSERT_TRUE(ReadWholeFile(path, image));
    image[56 + 34 / 8] &= static_cast<uint8_t>(~(1 << (34 % 8)));  // a used sector marked free
    ASSERT_TRUE(WriteWholeFile(path, image));
    r = Cli({"check", path});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.out, "1 sectors marked as free but used by file(s)\n");

    EXPECT_EQ(Cli({"defrag", path}).code, 0);
    r = Cli({"check", path});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(Cli({"check", folder + "/none.dsk"}).err,
              folder + "/none.dsk: Can't open file on PC\n");
}

TEST(CliMaintenance, FileCommands) {
    const std::string path = Fragmented(test::TempFolder());
    Result r = Cli({"rm", path, "LOCKED"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("protected"), std::string::npos);
    EXPECT_EQ(Cli({"rm", path, "LOCKED", "--force"}).code, 0);
    EXPECT_EQ(FileCount(path), 3);
    r = Cli({"undelete", path, "LOCKED", "--type", "DV80"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, path + ": Not found, sorry\n");
    EXPECT_EQ(Cli({"undelete", path, "LOCKED", "--type", "Prog"}).code, 0);
    EXPECT_EQ(FileCount(path), 4);

    r = Cli({"rename", path, "ALPHA", "MIKE"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, path + ": Name already exists\n");
    EXPECT_EQ(Cli({"rename", path, "NOSUCH", "X"}).code, 1);
    EXPECT_EQ(Cli({"rename", path, "ALPHA", "ZZTOP"}).code, 0);
    EXPECT_EQ(Cli({"protect", path}).code, 0);
    EXPECT_EQ(Cli({"purge", path, "ZZTOP"}).code, 0);
    EXPECT_EQ(Cli({"purge", path}).code, 2);
    EXPECT_EQ(Cli({"purge", path, "--disk"}).code, 0);
    EXPECT_EQ(FileCount(path), 0);
    EXPECT_EQ(Cli({"resort", path}).code, 0);
}

TEST(CliMaintenance, CreateFormatCopyAndConvert) {
    const std::string folder = test::TempFolder();
    const std::string source = Fragmented(folder);
    const std::string target = folder + "/new.dsk";
    EXPECT_EQ(Cli({"create", target, "--sides", "3"}).code, 2);
    ASSERT_EQ(Cli({"create", target, "--sides", "2", "--pc99"}).code, 0);
    Result r = Cli({"format", target, "--name", "NEW", "--sectors", "1440"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, target + ": Past end of drive\n");
    ASSERT_EQ(Cli({"format", target, "--name", "NEW"}).code, 0);

    ASSERT_EQ(Cli({"copy-disk", source, target, "--mode", "3"}).code, 0);
    EXPECT_EQ(FileCount(target), 4);
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(target), DriveKind::Pc99Fm);
    EXPECT_EQ(drive.GetDiskName(), "NEW       ");

    // A target that does not exist yet takes the source's format.
    const std::string copy = folder + "/copy.dsk";
    ASSERT_EQ(Cli({"copy-disk", source, copy}).code, 0);
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(ReadWholeFile(source, a) && ReadWholeFile(copy, b));
    EXPECT_EQ(a, b);

    drive.Close();  // a file a drive shows is not converted under it
    ASSERT_EQ(Cli({"convert", copy, "--to", "pc99"}).code, 0);
    ASSERT_EQ(drive.OpenImage(copy), DriveKind::Pc99Fm);
    EXPECT_EQ(FileCount(copy), 4);
    drive.Close();
    EXPECT_EQ(Cli({"convert", copy, "--to", "floppy"}).code, 2);
    ASSERT_EQ(Cli({"convert", copy, "--to", "doad", "--density", "2"}).code, 0);
    ASSERT_TRUE(ReadWholeFile(copy, b));
    EXPECT_EQ(b.size(), 184320u);
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin()));
}

TEST(CliMaintenance, CopyFilesBetweenImagesOfAnyKind) {
    const std::string folder = test::TempFolder();
    const std::string source = Fragmented(folder);
    test::CImageBuilder older;
    older.AddFile(BuiltFile::Program("ALPHA", {9, 9, 9}));
    const std::string pc99 = folder + "/t.pc99";
    ASSERT_TRUE(WriteWholeFile(pc99, older.Pc99Image()));
    const std::vector<uint8_t> alpha = FileData(source, "ALPHA");

    // A file of the same name is kept unless told otherwise; the others are copied.
    Result r = Cli({"copy", source, pc99, "ALPHA", "MIKE", "NOSUCH"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("ALPHA: Name already exists"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("NOSUCH: File not found"), std::string::npos) << r.err;
    EXPECT_EQ(FileData(pc99, "ALPHA").size(), 256u);
    EXPECT_EQ(FileData(pc99, "MIKE"), FileData(source, "MIKE"));
    EXPECT_EQ(Cli({"copy", source, pc99, "ALPHA", "--force"}).code, 0);
    EXPECT_EQ(FileData(pc99, "ALPHA"), alpha);

    // From one volume of a CF card to the next; onto the same volume under its own name
    // there is nothing to do.
    std::vector<uint8_t> card = test::CImageBuilder(1600, true, true).Image();
    std::vector<uint8_t> image;
    ASSERT_TRUE(ReadWholeFile(source, image));
    std::copy(image.begin(), image.end(), card.begin());
    card.resize(2 * 409600);
    std::copy_n(test::CImageBuilder(1600, true, true).Image().begin(), 409600,
                card.begin() + 409600);
    const std::string cf = folder + "/card.cf";
    ASSERT_TRUE(WriteWholeFile(cf, card));
    EXPECT_EQ(Cli({"copy", cf, cf, "ZULU", "--size", "92160", "--to-start", "0x64000", "--to-size",
                   "409600"})
                  .code,
              0);
    EXPECT_EQ(FileData(cf, "ZULU", 409600), FileData(source, "ZULU"));
    std::vector<uint8_t> before;
    ASSERT_TRUE(ReadWholeFile(source, before));
    EXPECT_EQ(
        Cli({"copy", source,
             folder + "/../" + std::filesystem::path(folder).filename().string() + "/frag.dsk",
             "ZULU"})
            .code,
        0);
    ASSERT_TRUE(ReadWholeFile(source, image));
    EXPECT_EQ(image, before);
}

// A sector dump another tool made becomes an HFE image and comes back byte for byte; a new HFE
// image of 80 tracks formats and checks as any disk.
TEST(CliMaintenance, ConvertsToHfeAndBackAndCreatesHfeImages) {
    TAVIK_REQUIRE_TESTDATA(peer, "peer/hfe");
    const std::string folder = test::TempFolder();
    std::vector<uint8_t> dump, back;
    ASSERT_TRUE(ReadWholeFile(peer + "/hfedisk.dsk", dump));
    const std::string path = folder + "/hfedisk.dsk";
    ASSERT_TRUE(WriteWholeFile(path, dump));
    for (const char* to : {"hfe", "pc99", "hfe", "doad"})
        ASSERT_EQ(Cli({"convert", path, "--to", to}).code, 0) << to;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, dump);
    ASSERT_EQ(Cli({"convert", path, "--to", "hfe"}).code, 0);
    Result r = Cli({"info", path});
    EXPECT_NE(r.out.find("HFE"), std::string::npos) << r.out;

    const std::string fresh = folder + "/new.hfe";
    EXPECT_EQ(Cli({"create", fresh, "--tracks", "80"}).code, 2);
    EXPECT_EQ(Cli({"create", fresh, "--hfe", "--pc99"}).code, 2);
    ASSERT_EQ(Cli({"create", fresh, "--hfe", "--sides", "2", "--density", "2"}).code, 0);
    r = Cli({"format", fresh, "--name", "NEW"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(Cli({"copy-disk", path, fresh, "--mode", "3"}).code, 0);
    r = Cli({"check", fresh});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(FileCount(fresh), FileCount(path));

    const std::string eighty = folder + "/eighty.hfe";
    ASSERT_EQ(Cli({"create", eighty, "--hfe", "--sides", "2", "--tracks", "80"}).code, 0);
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(eighty), DriveKind::HfeImage);
    EXPECT_EQ(drive.Size(), 1440 * 256);
}

}  // namespace
}  // namespace tavik
