#include <gtest/gtest.h>

#include "DriveFixture.h"
#include "disk/DiskPropertiesForm.h"
#include "disk/FilePropertiesForm.h"
#include "disk/HfeImage.h"
#include "disk/TiDateTime.h"

namespace tavik {
namespace {

using namespace layout;

FilePropertiesForm GoodFileForm() {
    FilePropertiesForm f;
    f.name = "  MYFILE ";
    f.type = "DV0x50";
    f.isProtected = true;
    f.sectors = "12";
    f.records = "0x0C";
    f.lastByte = "017";
    f.recordsPerSector = "3";
    f.creationDate = "31/12/99";
    f.creationTime = "23:59:58";
    return f;
}

TEST(FilePropertiesForm, ChecksInOrderWithTheirMessages) {
    struct Row {
        const char* what;
        void (*change)(FilePropertiesForm&);
        const char* message;
    };
    const Row rows[] = {
        {"blank name", [](FilePropertiesForm& f) { f.name = "   "; }, "Invalid file name"},
        {"name checked first",
         [](FilePropertiesForm& f) {
             f.name = "";
             f.sectors = "x";
         },
         "Invalid file name"},
        {"sectors", [](FilePropertiesForm& f) { f.sectors = "twelve"; }, "Invalid number: size"},
        {"records", [](FilePropertiesForm& f) { f.records = ""; }, "Invalid number: record/sector"},
        {"last byte", [](FilePropertiesForm& f) { f.lastByte = "-"; }, "Invalid number: last byte"},
        {"records per sector", [](FilePropertiesForm& f) { f.recordsPerSector = "x3"; },
         "Invalid number: records per sector"},
        {"type", [](FilePropertiesForm& f) { f.type = "dv80"; }, "Invalid file type"},
        {"type without number", [](FilePropertiesForm& f) { f.type = "DF"; }, "Invalid file type"},
        {"creation date", [](FilePropertiesForm& f) { f.creationDate = "2012/05/13"; },
         "Invalid creation date (dd/mm/yy)"},
        {"modification date", [](FilePropertiesForm& f) { f.updateDate = "0/0/0"; },
         "Invalid modification date (dd/mm/yy)"},
        {"creation time", [](FilePropertiesForm& f) { f.creationTime = "24:00:00"; },
         "Invalid creation time (hh:mm:ss)"},
        {"modification time", [](FilePropertiesForm& f) { f.updateTime = "noon"; },
         "Invalid modification time (hh:mm:ss)"},
        {"dates before times",
         [](FilePropertiesForm& f) {
             f.creationTime = "bad";
             f.updateDate = "bad";
         },
         "Invalid modification date (dd/mm/yy)"},
    };
    for (const Row& r : rows) {
        FilePropertiesForm form = GoodFileForm();
        r.change(form);
        FileProperties record;
        record.sectors = 99;
        EXPECT_EQ(ReadFilePropertiesForm(form, record), r.message) << r.what;
        EXPECT_EQ(record.sectors, 99) << r.what;
    }
}

TEST(FilePropertiesForm, ReadsTheFieldsIntoTheRecord) {
    FileProperties record;
    record.extra = {7, 8};
    record.fdrSector = 40;
    record.clusters = {FileProperties::Cluster(1, 2)};
    ASSERT_EQ(ReadFilePropertiesForm(GoodFileForm(), record), "");
    EXPECT_EQ(std::string(record.name.begin(), record.name.end()), "MYFILE    ");
    EXPECT_EQ(record.status, 0x88);
    EXPECT_EQ(record.recordLength, 80);
    EXPECT_EQ(record.sectors, 12);
    EXPECT_EQ(record.records, 12);
    EXPECT_EQ(record.eofOffset, 15);  // 017 is octal
    EXPECT_EQ(record.recordsPerSector, 3);
    EXPECT_EQ(record.creationDate, PackDate(31, 12, 99));
    EXPECT_EQ(record.creationTime, PackTime(23, 59, 58));
    EXPECT_EQ(record.updateDate, 0);
    EXPECT_EQ(record.extra[0], 7);
    EXPECT_EQ(record.fdrSector, 40);
    EXPECT_TRUE(record.clusters.empty());  // unchanged text: the FDR keeps its clusters

    FilePropertiesForm form = GoodFileForm();
    form.type = "Prog";
    form.isProtected = false;
    form.clustersChanged = true;
    form.clusters = "34-40\r\n0x40\n 50- 52\n60 -70\n\n80-90";
    ASSERT_EQ(ReadFilePropertiesForm(form, record), "");
    EXPECT_EQ(record.status, 0x01);
    EXPECT_EQ(record.recordLength, 0);
    EXPECT_EQ(
        record.clusters,
        (std::vector<uint32_t>{FileProperties::Cluster(34, 40), FileProperties::Cluster(64, 64),
                               FileProperties::Cluster(50, 52), FileProperties::Cluster(60, 60)}));
}

TEST(CreateFileForm, CreatesWithTheTypedValues) {
    test::MemDrive d(test::EmptyDisk());
    FilePropertiesForm form;
    form.name = "NOTES";
    form.type = "DF80";
    form.recordsPerSector = "3";
    form.creationDate = "01/02/03";
    std::string message;
    const int fdr = CreateFileFromForm(d.drive, form, message);
    ASSERT_EQ(fdr, 2) << message;
    const uint8_t* f = d.SectorBytes(fdr);
    EXPECT_EQ(f[kFdrStatus], 0x00);
    EXPECT_EQ(f[kFdrRecordLength], 80);
    EXPECT_EQ(f[kFdrRecordsPerSector], 3);
    EXPECT_EQ(Be16(f + kFdrCreationDate), PackDate(1, 2, 3));
    EXPECT_EQ(Be16(f + kFdrUpdateDate), 0);

    form.type = "DIS/FIX 80";
    EXPECT_EQ(CreateFileFromForm(d.drive, form, message), 0);
    EXPECT_EQ(message, "Invalid file type");
    form.type = "Prog";
    form.recordsPerSector = "";
    EXPECT_EQ(CreateFileFromForm(d.drive, form, message), 0);
    EXPECT_EQ(message, "Invalid number: records per sector");
    EXPECT_EQ(d.Files(), 1);

    form.recordsPerSector = "0";
    for (int k = 0; k < 127; ++k) {
        form.name = "F" + std::to_string(k);
        ASSERT_GE(CreateFileFromForm(d.drive, form, message), 2) << message;
    }
    form.name = "FULL";
    EXPECT_EQ(CreateFileFromForm(d.drive, form, message), 0);
    EXPECT_EQ(message, "Max number of files reached");
}

DiskPropertiesForm GoodDiskForm() {
    DiskPropertiesForm f;
    f.name = "WORK";
    f.doubleSided = true;
    f.sectors = "720";
    f.tracksPerSide = "40";
    f.sectorsPerTrack = "9";
    f.creationDate = "13/05/12";
    f.creationTime = "12:30:00 pm";
    return f;
}

TEST(DiskPropertiesForm, ChecksInOrderWithTheirMessages) {
    struct Row {
        void (*change)(DiskPropertiesForm&);
        const char* message;
    };
    const Row rows[] = {
        {[](DiskPropertiesForm& f) { f.name = " "; }, "Invalid disk name"},
        {[](DiskPropertiesForm& f) { f.sectors = "size"; }, "Invalid number: size"},
        {[](DiskPropertiesForm& f) { f.tracksPerSide = ""; }, "Invalid number: tracks per side"},
        {[](DiskPropertiesForm& f) { f.sectorsPerTrack = "?"; },
         "Invalid number: sectors per track"},
        {[](DiskPropertiesForm& f) { f.creationDate = "32/13/99"; },
         "Invalid creation date (dd/mm/yy)"},
        {[](DiskPropertiesForm& f) { f.updateTime = "1:2"; },
         "Invalid modification time (hh:mm:ss)"},
    };
    for (const Row& r : rows) {
        DiskPropertiesForm form = GoodDiskForm();
        r.change(form);
        DiskProperties record;
        EXPECT_EQ(ReadDiskPropertiesForm(form, record), r.message);
    }
    EXPECT_EQ(SizeButtonSectors(false, false), 360);
    EXPECT_EQ(SizeButtonSectors(true, false), 720);
    EXPECT_EQ(SizeButtonSectors(false, true), 720);
    EXPECT_EQ(SizeButtonSectors(true, true), 1440);
}

TEST(DiskPropertiesForm, FormatAndPropertiesCommands) {
    test::MemDrive d(std::vector<uint8_t>(368640, 0xE5));
    DiskPropertiesForm form = GoodDiskForm();
    form.sectors = "0";  // the default for the sides and density
    form.isProtected = true;
    std::string message;
    ASSERT_EQ(FormatFromForm(d.drive, form, message), 1) << message;
    const uint8_t* v = d.Vib();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(v), 16),
              "WORK      \x02\xd0\x09"
              "DSK");
    EXPECT_EQ(v[kVibProtection], 0x50);
    EXPECT_EQ(v[kVibSides], 2);
    EXPECT_EQ(v[kVibDensity], 1);
    EXPECT_EQ(Be16(v + kVibCreationDate), PackDate(13, 5, 12));
    EXPECT_EQ(Be16(v + kVibUpdateDate), PackDate(13, 5, 12));  // taken from the creation date
    EXPECT_EQ(Be16(v + kVibUpdateTime), PackTime(12, 30, 0));
    EXPECT_EQ(v[kVibBitmap + 89], 0x00);
    EXPECT_EQ(v[kVibBitmap + 90], 0xFF);

    // The properties command changes the VIB fields only, never the bitmap or the files.
    ASSERT_GE(d.drive.CreateFile("KEEP", 1, 0), 2);
    const std::vector<uint8_t> bitmap(v + kVibBitmap, v + 256);
    form.name = "RENAMED";
    form.sectors = "1440";
    form.doubleDensity = true;
    form.isProtected = false;
    ASSERT_EQ(SetDiskPropertiesFromForm(d.drive, form, message), 1) << message;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(v), 10), "RENAMED   ");
    EXPECT_EQ(Be16(v + kVibTotal), 1440);
    EXPECT_EQ(v[kVibProtection], 0x20);
    EXPECT_EQ(std::vector<uint8_t>(v + kVibBitmap, v + 256), bitmap);
    EXPECT_EQ(d.Files(), 1);

    form.sectors = "1600";
    EXPECT_EQ(FormatFromForm(d.drive, form, message), 0);
    EXPECT_EQ(message, "Past end of drive");
}

// A blank image's format dialog follows the length of a sector dump, the tracks of an HFE image.
TEST(DiskPropertiesForm, BlankImagesPresetTheirOwnLayout) {
    struct Row {
        std::vector<uint8_t> image;
        bool ds, dd;
        const char* sectors;
        const char* tracks;
    } rows[] = {
        {std::vector<uint8_t>(184320, 0), true, false, "720", "40"},
        {BuildHfeImage({40, 1, true}), false, true, "720", "40"},
        {BuildHfeImage({80, 2, false}), true, false, "1440", "80"},
        {BuildHfeImage({80, 2, true}), true, true, "1600", "80"},
    };
    for (const Row& r : rows) {
        CVirtualDrive drive;
        ASSERT_NE(drive.MountFile(std::make_unique<CMemFile>(r.image), 0, 0, -1), 0);
        const DiskPropertiesForm f = BlankImageForm(drive);
        EXPECT_EQ(f.doubleSided, r.ds) << r.sectors;
        EXPECT_EQ(f.doubleDensity, r.dd) << r.sectors;
        EXPECT_EQ(f.sectors, r.sectors);
        EXPECT_EQ(f.tracksPerSide, r.tracks);
        EXPECT_EQ(f.sectorsPerTrack, r.dd ? "18" : "9");
    }
}

}  // namespace
}  // namespace tavik
