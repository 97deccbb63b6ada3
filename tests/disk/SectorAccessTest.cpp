#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/PcFile.h"
#include "disk/ImageConversion.h"
#include "disk/Pc99Image.h"
#include "disk/VirtualDrive.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik {
namespace {

Sector Filled(uint8_t value) {
    Sector s;
    s.fill(value);
    return s;
}

// A sector dump whose sector n holds the byte n & 0xFF throughout.
std::vector<uint8_t> NumberedSectors(int count) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count) * kSectorSize);
    for (int n = 0; n < count; ++n)
        std::fill_n(bytes.begin() + static_cast<long>(n) * kSectorSize, kSectorSize,
                    static_cast<uint8_t>(n));
    return bytes;
}

CMemFile& MemFileOf(CVirtualDrive& drive) {
    return dynamic_cast<CMemFile&>(*drive.File());
}

int Mount(CVirtualDrive& drive, std::vector<uint8_t> bytes, int64_t start = 0, int64_t size = 0,
          int64_t maxSize = -1) {
    return drive.MountFile(std::make_unique<CMemFile>(std::move(bytes)), start, size, maxSize);
}

TEST(DoadSectors, BoundsOfTheVolumeAndOfTheFile) {
    CVirtualDrive drive;
    ASSERT_EQ(Mount(drive, NumberedSectors(1600)), DriveKind::DoadImage);
    EXPECT_EQ(drive.CacheLevelSetting(), CacheNothing);
    Sector s{};
    ASSERT_TRUE(drive.ReadSector(1599, s.data()));
    EXPECT_EQ(s[0], 1599 & 0xFF);
    for (int n : {1600, -1, 100000}) {
        EXPECT_FALSE(drive.ReadSector(n, s.data())) << n;
        EXPECT_EQ(drive.ErrorText(), "Past end of drive");
        EXPECT_FALSE(drive.WriteSector(n, s.data())) << n;
    }

    // The file shrinks below the recorded size: the missing sectors are past the end.
    ASSERT_TRUE(MemFileOf(drive).SetLength(10 * kSectorSize + 100));
    EXPECT_TRUE(drive.ReadSector(9, s.data()));
    EXPECT_FALSE(drive.ReadSector(10, s.data()));
    EXPECT_EQ(drive.LastError(), DiskError::PastEnd);
    EXPECT_FALSE(drive.WriteSector(10, s.data()));
    EXPECT_EQ(MemFileOf(drive).Length(), 10 * kSectorSize + 100);  // nothing was appended
}

TEST(DoadSectors, VolumeInsideALargerFile) {
    CVirtualDrive drive;
    const int64_t start = 3 * kSectorSize;
    ASSERT_EQ(Mount(drive, NumberedSectors(20), start, 8 * kSectorSize), DriveKind::DoadImage);
    Sector s{};
    ASSERT_TRUE(drive.ReadSector(0, s.data()));
    EXPECT_EQ(s[0], 3);
    ASSERT_TRUE(drive.ReadSector(7, s.data()));
    EXPECT_EQ(s[0], 10);
    EXPECT_FALSE(drive.ReadSector(8, s.data()));  // past the volume, inside the file
    const Sector mark = Filled(0xAB);
    ASSERT_TRUE(drive.WriteSector(7, mark.data()));
    const auto& bytes = MemFileOf(drive).Bytes();
    EXPECT_EQ(bytes[10 * kSectorSize], 0xAB);
    EXPECT_EQ(bytes[11 * kSectorSize], 11);  // the sector after the volume is untouched
    EXPECT_EQ(bytes[10 * kSectorSize - 1], 9);
}

TEST(Mounting, SizesThatCannotBeMounted) {
    struct Row {
        const char* what;
        size_t length;
        int64_t start, size, maxSize;
        int result;  // kind, or 0 with "Past end of drive"
    } rows[] = {
        {"shorter than a sector", 255, 0, 0, -1, 0},
        {"one sector", 256, 0, 0, -1, DriveKind::DoadImage},
        {"less than a sector after the start", 1000, 800, 0, -1, 0},
        {"start past the end", 1000, 1001, 0, -1, 0},
        {"size past the end", 4096, 0, 4097, -1, 0},
        {"size above the max size", 4096, 0, 4096, 2048, 0},
        {"size below a sector", 4096, 0, 200, -1, 0},
        {"max size cuts the rest", 4096, 0, 0, 1024, DriveKind::DoadImage},
    };
    for (const Row& r : rows) {
        CVirtualDrive drive;
        EXPECT_EQ(Mount(drive, std::vector<uint8_t>(r.length, 0x11), r.start, r.size, r.maxSize),
                  r.result)
            << r.what;
        if (r.result == 0) {
            EXPECT_EQ(drive.ErrorText(), "Past end of drive") << r.what;
            EXPECT_EQ(drive.Kind(), DriveKind::None) << r.what;
        }
    }
    CVirtualDrive drive;
    ASSERT_TRUE(Mount(drive, std::vector<uint8_t>(4096), 0, 0, 1024));
    EXPECT_EQ(drive.Size(), 1024);
    Sector s{};
    EXPECT_FALSE(drive.ReadSector(4, s.data()));

    EXPECT_FALSE(drive.MountFile(nullptr, 0, 0, -1));
    EXPECT_EQ(drive.ErrorText(), "No drive assigned");
}

TEST(Mounting, RecognitionLooksAtTheStartOfTheFileWhateverTheVolumeStart) {
    // A sector dump that happens to begin like an FM track image is taken for one.
    std::vector<uint8_t> dump = NumberedSectors(360);
    std::fill_n(dump.begin(), 22, 0x00);
    dump[22] = 0xFE;
    CVirtualDrive drive;
    EXPECT_EQ(Mount(drive, dump), DriveKind::Pc99Fm);

    std::vector<uint8_t> file(1024 + 92160, 0);
    std::fill_n(file.begin(), 40, 0x4E);  // the volume at 1024 is a plain dump
    EXPECT_EQ(Mount(drive, file, 1024), DriveKind::Pc99Mfm);
}

TEST(Caches, LevelsDecideWhatIsReadAgain) {
    test::CImageBuilder builder;
    const int fdr = builder.AddFile(test::BuiltFile::Program("A", std::vector<uint8_t>(300, 1)));
    CVirtualDrive drive;
    ASSERT_TRUE(drive.MountFile(builder.MemFile(), 0, 0, -1));

    auto readsFor = [&](auto&& operation) {
        const uint64_t before = drive.SectorsRead();
        operation();
        return drive.SectorsRead() - before;
    };
    auto everything = [&] {
        EXPECT_TRUE(drive.ReadVib());
        EXPECT_TRUE(drive.ReadIndex());
        EXPECT_TRUE(drive.ReadFdr(fdr));
    };
    EXPECT_EQ(readsFor(everything), 3u);
    EXPECT_EQ(readsFor(everything), 3u);  // cache level 0: every use reads

    drive.SetConversion(-1, -1, -1, -1, CacheSystemSectors);
    EXPECT_EQ(readsFor(everything), 0u);
    EXPECT_EQ(readsFor([&] { EXPECT_TRUE(drive.ReadVib(true)); }), 1u);
    drive.Refresh();
    EXPECT_EQ(readsFor(everything), 3u);

    EXPECT_FALSE(drive.ReadFdr(0));
    EXPECT_EQ(drive.LastError(), DiskError::NotAnFdrSector);
    EXPECT_EQ(drive.ErrorText(), "Unknown error");
    EXPECT_FALSE(drive.ReadFdr(1));
    EXPECT_FALSE(drive.WriteFdr(1));
    EXPECT_EQ(drive.LastError(), DiskError::NotAnFdrSector);
}

TEST(Caches, WritesThroughOtherBuffersKeepTheCopiesCoherent) {
    test::CImageBuilder builder;
    const int fdr = builder.AddFile(test::BuiltFile::Program("A", std::vector<uint8_t>(300, 1)));
    CVirtualDrive drive;
    ASSERT_TRUE(drive.MountFile(builder.MemFile(), 0, 0, -1));
    drive.SetConversion(-1, -1, -1, -1, CacheSystemSectors);
    ASSERT_TRUE(drive.ReadVib() && drive.ReadIndex() && drive.ReadFdr(fdr));

    const Sector vib = Filled(0x10), index = Filled(0x20), fdrData = Filled(0x30);
    ASSERT_TRUE(drive.WriteSector(0, vib.data()));
    ASSERT_TRUE(drive.WriteSector(1, index.data()));
    ASSERT_TRUE(drive.WriteSector(fdr, fdrData.data()));
    const uint64_t before = drive.SectorsRead();
    ASSERT_TRUE(drive.ReadVib() && drive.ReadIndex() && drive.ReadFdr(fdr));
    EXPECT_EQ(drive.SectorsRead(), before);
    EXPECT_TRUE(std::equal(vib.begin(), vib.end(), drive.VibBuffer()));
    EXPECT_TRUE(std::equal(index.begin(), index.end(), drive.IndexBuffer()));
    EXPECT_TRUE(std::equal(fdrData.begin(), fdrData.end(), drive.FdrBuffer()));

    // Writing the FDR buffer to another sector moves the cached number there.
    ASSERT_TRUE(drive.WriteFdr(fdr + 5));
    EXPECT_EQ(drive.CachedFdr(), fdr + 5);
    EXPECT_EQ(MemFileOf(drive).Bytes()[size_t{kSectorSize} * (fdr + 5)], 0x30);
}

// A remote or emulator link that serves sectors from memory and counts its traffic.
class CFakeSource : public CSectorSource {
public:
    std::vector<uint8_t> disk = NumberedSectors(1600);
    std::map<int, int> reads;
    int failWith = 0;
    bool remote = true;
    bool record = false;
    std::vector<std::string> log;

    int ReadSector(CVirtualDrive&, int sector, uint8_t* buffer) override {
        if (failWith) return failWith;
        ++reads[sector];
        std::copy_n(disk.begin() + sector * kSectorSize, kSectorSize, buffer);
        return 0;
    }
    int WriteSector(CVirtualDrive&, int sector, const uint8_t* buffer) override {
        if (failWith) return failWith;
        std::copy_n(buffer, kSectorSize, disk.begin() + sector * kSectorSize);
        return 0;
    }
    int ConfirmDrive(CVirtualDrive&) override { return failWith; }
    bool HasErrorRecord() const override { return record; }
    int ErrorNumber1() const override { return 3; }
    int ErrorNumber2() const override { return 4; }
    int ErrorCode() const override { return 0x2C; }
    void LogLine(const std::string& line) override { log.push_back(line); }
    bool IsRemoteLink() const override { return remote; }
};

TEST(RemoteSectors, WholeDiskCacheGoesToTheCableOnce) {
    CFakeSource link;
    CVirtualDrive drive;
    ASSERT_EQ(drive.MountRemote(1, &link), DriveKind::RemoteTi);
    EXPECT_EQ(drive.CacheLevelSetting(), CacheWholeDisk);
    EXPECT_EQ(drive.Size(), kMaxVolumeBytes);
    Sector s{};
    ASSERT_TRUE(drive.ReadSector(77, s.data()));
    ASSERT_TRUE(drive.ReadSector(77, s.data()));
    EXPECT_EQ(link.reads[77], 1);
    EXPECT_EQ(s[0], 77);
    drive.Refresh();
    ASSERT_TRUE(drive.ReadSector(77, s.data()));
    EXPECT_EQ(link.reads[77], 2);

    // A written sector is served from memory; a failed write is not.
    const Sector mark = Filled(0x5A);
    ASSERT_TRUE(drive.WriteSector(80, mark.data()));
    ASSERT_TRUE(drive.ReadSector(80, s.data()));
    EXPECT_EQ(link.reads[80], 0);
    EXPECT_EQ(s[0], 0x5A);
    link.failWith = DiskError::RemoteIoError;
    EXPECT_FALSE(drive.WriteSector(81, mark.data()));
    link.failWith = 0;
    ASSERT_TRUE(drive.ReadSector(81, s.data()));
    EXPECT_EQ(link.reads[81], 1);
    EXPECT_EQ(s[0], 81);

    drive.SetConversion(-1, -1, -1, -1, CacheSystemSectors);
    ASSERT_TRUE(drive.ReadSector(77, s.data()));
    EXPECT_EQ(link.reads[77], 3);
}

TEST(RemoteSectors, RefusedDrivesStayUnmounted) {
    CFakeSource link;
    link.failWith = DiskError::TiIoError0;
    CVirtualDrive drive;
    EXPECT_FALSE(drive.MountRemote(1, &link));
    EXPECT_EQ(drive.Kind(), DriveKind::None);
    link.remote = false;
    EXPECT_FALSE(drive.MountEmulator('1', &link, "DSK1", 0));
    EXPECT_EQ(drive.ErrorText(), "Problem with Zantu");
    // The at sign needs no confirmation.
    ASSERT_EQ(drive.MountEmulator('@', &link, "X", 2), DriveKind::EmulatorDrive);
    EXPECT_EQ(drive.m_emulatorDrive, 16);
    EXPECT_EQ(drive.CacheLevelSetting(), CacheSystemSectors);
    Sector s{};
    EXPECT_FALSE(drive.ReadSector(0, s.data()));
    EXPECT_EQ(drive.LastError(), DiskError::EmulatorProblem);
}

TEST(ErrorTexts, EveryCode) {
    const std::pair<int, const char*> rows[] = {
        {-1, "No drive assigned"},
        {-2, "Past end of drive"},
        {-3, "Error reading from virtual drive"},
        {-4, "File not found"},
        {-5, "Can't open file on PC"},
        {-6, "File fractured in too many clusters"},
        {-7, "Max number of files reached"},
        {-8, "Unknown error"},
        {-9, "Bad PC99 format"},
        {-10, "Problem with remote TI-99/4A."},
        {-11, "Disk is full"},
        {-12, "TI-99/4A I/O error"},
        {-13, "TI-99/4A I/O error 7 (File error)"},
        {-14, "TI-99/4A I/O error 6 (Device error)"},
        {-15, "TI-99/4A I/O error 5 (End-of-file reached)"},
        {-16, "TI-99/4A I/O error 4 (Memory full)"},
        {-17, "TI-99/4A I/O error 3 (Illegal operation)"},
        {-18, "TI-99/4A I/O error 2 (Bad attribute)"},
        {-19, "TI-99/4A I/O error 1 (Write protected)"},
        {-20, "TI-99/4A I/O error 0 (DSR not found)"},
        {-21, "Problem with Zantu"},
        {-22, "Name already exists"},
        {-23, "User aborted operation"},
        {-24, "Unrecognized format specifications"},
        {-25, "Source and target are the same file"},
        {-26, "The PC file is the image of a mounted disk"},
        {-27, "The disk does not fit on the target"},
        {-28, "Not a regular file"},
        {-29, "The file list is damaged: check the disk first"},
        {0, "Unknown error"},
        {-30, "Unknown error"},
        {7, "Unknown error"},
    };
    CVirtualDrive drive;
    for (auto [code, text] : rows) {
        drive.SetLastError(code);
        EXPECT_EQ(drive.ErrorText(), text) << code;
    }
}

TEST(ErrorTexts, RemoteLinkAddsItsRecordAndLogsEveryText) {
    CFakeSource link;
    CVirtualDrive drive;
    ASSERT_TRUE(drive.MountRemote(1, &link));
    link.record = true;
    drive.SetLastError(DiskError::RemoteProblem);
    EXPECT_EQ(drive.ErrorText(), "Problem with remote TI-99/4A.Error #3.4");
    drive.SetLastError(DiskError::RemoteIoError);
    EXPECT_EQ(drive.ErrorText(), "TI-99/4A I/O error code 2C");
    drive.SetLastError(DiskError::DiskFull);
    EXPECT_EQ(drive.ErrorText(), "Disk is full");
    ASSERT_EQ(link.log.size(), 3u);
    EXPECT_EQ(link.log[0], "Error 10 IO#3.4");
    EXPECT_EQ(link.log[2], "Error 11 IO#3.4");
}

TEST(Pc99Sectors, ReadWriteThroughTheTrackImage) {
    const std::string path = test::TempFolder() + "/fm.dsk";
    CVirtualDrive drive;
    ASSERT_EQ(drive.CreateImage(path, true, false, true), DriveKind::Pc99Fm);
    EXPECT_EQ(std::filesystem::file_size(path), 260240u);
    Sector s{};
    ASSERT_TRUE(drive.ReadSector(0, s.data()));
    EXPECT_EQ(s, Filled(0xE5));  // not formatted

    std::vector<uint8_t> before;
    ASSERT_TRUE(ReadWholeFile(path, before));
    const Sector mark = Filled(0x3C);
    ASSERT_TRUE(drive.WriteSector(360, mark.data()));
    std::vector<uint8_t> after;
    ASSERT_TRUE(ReadWholeFile(path, after));
    ASSERT_EQ(before.size(), after.size());
    size_t changed = 0, first = after.size();
    for (size_t i = 0; i < after.size(); ++i)
        if (before[i] != after[i]) {
            ++changed;
            first = std::min(first, i);
        }
    EXPECT_EQ(changed, 256u);
    EXPECT_GE(first, after.size() - 3253);  // side 1, track 39 is the image's last track
    ASSERT_TRUE(drive.ReadSector(360, s.data()));
    EXPECT_EQ(s, mark);
    EXPECT_FALSE(drive.ReadSector(720, s.data()));
    EXPECT_EQ(drive.ErrorText(), "Past end of drive");
}

TEST(Pc99Sectors, DamagedAndTruncatedImages) {
    std::vector<uint8_t> image = BlankPc99Image(false, true);
    const Pc99Geometry& g = Pc99Layout(true);
    image[static_cast<size_t>(g.preamble + g.idSectorOffset)] = 0x33;  // slot 0: sector 0
    image.resize(image.size() - 100);                                  // track 39 is cut
    CVirtualDrive drive;
    ASSERT_EQ(Mount(drive, image), DriveKind::Pc99Mfm);
    Sector s{};
    EXPECT_FALSE(drive.ReadSector(0, s.data()));
    EXPECT_EQ(drive.ErrorText(), "Bad PC99 format");
    EXPECT_TRUE(drive.ReadSector(1, s.data()));
    EXPECT_TRUE(drive.ReadSector(38 * 18 + 17, s.data()));
    EXPECT_FALSE(drive.ReadSector(39 * 18, s.data()));
    EXPECT_EQ(drive.ErrorText(), "Past end of drive");
}

TEST(ImageFiles, CreateOpenAndDriveProperties) {
    const std::string dir = test::TempFolder();
    struct Row {
        bool ds, dd;
        uintmax_t bytes;
    } rows[] = {
        {false, false, 92160}, {true, false, 184320}, {false, true, 184320}, {true, true, 368640}};
    for (const Row& r : rows) {
        CVirtualDrive drive;
        const std::string path = dir + "/d.dsk";
        ASSERT_EQ(drive.CreateImage(path, r.ds, r.dd, false), DriveKind::DoadImage);
        EXPECT_EQ(std::filesystem::file_size(path), r.bytes);
        EXPECT_EQ(drive.Size(), static_cast<int64_t>(r.bytes));
    }
    CVirtualDrive missing;
    EXPECT_FALSE(missing.OpenImage(dir + "/none.dsk"));
    EXPECT_EQ(missing.ErrorText(),
              "Can't open file on PC\n" + dir + "/none.dsk: No such file or directory");
    EXPECT_FALSE(missing.CreateImage(dir + "/no/such/folder.dsk", false, false, false));
    EXPECT_EQ(missing.ErrorText(),
              "Can't open file on PC\n" + dir + "/no/such/folder.dsk: No such file or directory");
}

TEST(ImageFiles, DrivePropertiesNeverCutDataOutsideAVolume) {
    const std::string path = test::TempFolder() + "/cf.img";
    ASSERT_TRUE(WriteWholeFile(path, NumberedSectors(1600 * 3)));
    CVirtualDrive drive;
    ASSERT_TRUE(drive.OpenImage(path));
    DriveProperties p;
    ASSERT_TRUE(drive.GetDriveProperties(p));
    EXPECT_EQ(p.kind, DriveKind::DoadImage);
    EXPECT_EQ(p.path, path);

    // The second volume of a CF card: the third stays.
    p.start = kMaxVolumeBytes;
    p.size = kMaxVolumeBytes;
    ASSERT_TRUE(drive.SetDriveProperties(p));
    EXPECT_EQ(std::filesystem::file_size(path), 3u * kMaxVolumeBytes);
    Sector s{};
    ASSERT_TRUE(drive.ReadSector(0, s.data()));
    EXPECT_EQ(s[0], 1600 & 0xFF);
    p.size = kSectorSize * 10;
    ASSERT_TRUE(drive.SetDriveProperties(p));
    EXPECT_EQ(std::filesystem::file_size(path), 3u * kMaxVolumeBytes);
    EXPECT_FALSE(drive.ReadSector(10, s.data()));

    // At start 0 the file takes the new size.
    p.start = 0;
    p.size = 720 * kSectorSize;
    ASSERT_TRUE(drive.SetDriveProperties(p));
    EXPECT_EQ(std::filesystem::file_size(path), 720u * kSectorSize);
    ASSERT_TRUE(drive.ReadSector(719, s.data()));
    EXPECT_EQ(s[0], 719 & 0xFF);

    p.kind = DriveKind::Pc99Fm;
    EXPECT_FALSE(drive.SetDriveProperties(p));
    p.kind = 9;
    EXPECT_FALSE(drive.SetDriveProperties(p));
}

TEST(ImageFiles, ABadSectorMapAfterASectorDumpIsLeftAlone) {
    const std::string path = test::TempFolder() + "/mapped.dsk";
    std::vector<uint8_t> bytes = test::CImageBuilder(360).Image();
    const std::vector<uint8_t> map(768, 0xA5);
    bytes.insert(bytes.end(), map.begin(), map.end());
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    auto mapAt = [&](int64_t at) {
        std::vector<uint8_t> now;
        return ReadWholeFile(path, now) && static_cast<int64_t>(now.size()) == at + 768 &&
               std::equal(map.begin(), map.end(), now.begin() + at);
    };
    CVirtualDrive drive;
    ASSERT_EQ(drive.OpenImage(path), DriveKind::DoadImage);
    EXPECT_EQ(drive.Size(), 92160);
    EXPECT_EQ(drive.TrailerBytes(), 768);
    EXPECT_FALSE(PresetImageFormat(drive.Kind(), drive.Size()).doubleSided);
    Sector s{};
    EXPECT_FALSE(drive.ReadSector(360, s.data()));
    ASSERT_TRUE(drive.Format("MAPPED", false, false, 360, 40));
    EXPECT_TRUE(mapAt(92160));

    // Unchanged properties keep the file; a new size moves the map to the new end.
    DriveProperties p;
    ASSERT_TRUE(drive.GetDriveProperties(p));
    ASSERT_TRUE(drive.SetDriveProperties(p));
    EXPECT_TRUE(mapAt(92160));
    p.size = 184320;
    ASSERT_TRUE(drive.SetDriveProperties(p));
    EXPECT_TRUE(mapAt(184320));
    ASSERT_TRUE(drive.ReadSector(0, s.data()));
    EXPECT_EQ(std::string(s.begin(), s.begin() + 6), "MAPPED");

    // Only a map that follows exactly the sectors the VIB counts is one.
    bytes.resize(92160 + 512);
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    ASSERT_EQ(drive.OpenImage(path), DriveKind::DoadImage);
    EXPECT_EQ(drive.TrailerBytes(), 0);
    EXPECT_EQ(drive.Size(), 92160 + 512);
}

}  // namespace
}  // namespace tavik
