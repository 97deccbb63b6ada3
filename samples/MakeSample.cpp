// Writes the demo disk the README's start command opens: a double-sided, single-density disk
// with a few files of every kind (program, DIS/VAR, DIS/FIX, INT/FIX, INT/VAR, a file in two
// clusters, a protected one). The disk is made by the drive's own operations (create, format,
// create file, append sectors); the stamps are then fixed so that every build writes the same
// bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "ImageBuilder.h"
#include "disk/TiDateTime.h"
#include "disk/VirtualDrive.h"

using tavik::CVirtualDrive;
using tavik::PackDate;
using tavik::PackTime;
using tavik::test::BuiltFile;

namespace {

BuiltFile Stamped(BuiltFile file, int day, int hour) {
    file.creationDate = PackDate(day, 3, 1984);
    file.creationTime = PackTime(hour, 15, 0);
    file.updateDate = PackDate(day + 1, 3, 1984);
    file.updateTime = PackTime(hour + 1, 45, 30);
    return file;
}

// A memory-image program: flag word (0 = last file), length, load address, then code.
std::vector<uint8_t> ProgramImage() {
    std::vector<uint8_t> bytes = {0x00, 0x00, 0x03, 0x00, 0xA0, 0x00};
    for (int i = 0; bytes.size() < 0x300; ++i) {
        bytes.push_back(static_cast<uint8_t>(0x04 + (i % 7)));
        bytes.push_back(static_cast<uint8_t>(0xE0 ^ i));
    }
    return bytes;
}

bool Fail(CVirtualDrive& drive, const char* what) {
    std::fprintf(stderr, "tavik-make-sample: %s: %s\n", what, drive.ErrorText().c_str());
    return false;
}

// Appends `count` sectors of the file's data, starting at data sector `from`.
bool AppendData(CVirtualDrive& drive, int fdr, const BuiltFile& file, int from, int count) {
    for (int i = from; i < from + count; ++i) {
        const int n = drive.AppendSector(fdr);
        if (n < 0) return Fail(drive, file.name.c_str());
        tavik::Sector data{};
        const size_t at = static_cast<size_t>(i) * tavik::kSectorSize;
        std::copy(file.data.begin() + static_cast<long>(at),
                  file.data.begin() + static_cast<long>(std::min(at + 256, file.data.size())),
                  data.begin());
        if (!drive.WriteSector(n, data.data())) return Fail(drive, file.name.c_str());
    }
    return true;
}

// The fields the data decides (records, end-of-file offset, records per sector) and the stamps.
bool Finish(CVirtualDrive& drive, int fdr, const BuiltFile& file) {
    tavik::FileProperties p;
    if (!drive.GetFileProperties(fdr, p)) return Fail(drive, file.name.c_str());
    p.status = file.status;
    p.recordsPerSector = file.recordsPerSector;
    p.eofOffset = file.eofOffset;
    p.records = static_cast<uint16_t>(file.records >= 0 ? file.records : p.sectors);
    p.creationDate = file.creationDate;
    p.creationTime = file.creationTime;
    p.updateDate = file.updateDate;
    p.updateTime = file.updateTime;
    p.clusters.clear();  // kept as they stand
    return drive.SetFileProperties(fdr, p) ? true : Fail(drive, file.name.c_str());
}

bool AddFile(CVirtualDrive& drive, const BuiltFile& file) {
    const int fdr = drive.CreateFile(file.name, file.status & 0x83, file.recordLength);
    if (fdr < 2) return Fail(drive, file.name.c_str());
    return AppendData(drive, fdr, file, 0, static_cast<int>(file.data.size() + 255) / 256) &&
           Finish(drive, fdr, file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavik-make-sample OUTPUT\n");
        return 2;
    }
    CVirtualDrive drive;
    if (!drive.CreateImage(argv[1], true, false, false)) return Fail(drive, argv[1]), 1;
    if (!drive.Format("SAMPLE", true, false, 720, 40)) return Fail(drive, "format"), 1;

    std::vector<BuiltFile> files;
    files.push_back(Stamped(BuiltFile::Program("HELLO", ProgramImage()), 1, 9));
    files.push_back(
        Stamped(BuiltFile::Variable(
                    "README", false, 80,
                    {"TAVIK SAMPLE DISK", "",
                     "A few files of every kind to look at:", "HELLO    a program image",
                     "README   this text (DIS/VAR 80)", "TABLE    fixed records (DIS/FIX 80)",
                     "SCORES   internal fixed records", "NOTES    internal variable records",
                     "STORY    a file in two pieces", "LOCKED   a protected file"}),
                2, 10));
    std::vector<std::string> table;
    for (int i = 1; i <= 12; ++i)
        table.push_back("ROW " + std::to_string(i * 111));
    files.push_back(Stamped(BuiltFile::Fixed("TABLE", false, 80, table), 3, 11));
    std::vector<std::string> scores;
    for (int i = 0; i < 20; ++i)
        scores.push_back(std::string("\x08PLAYER ") + static_cast<char>('A' + i));
    files.push_back(Stamped(BuiltFile::Fixed("SCORES", true, 32, scores), 4, 12));
    files.push_back(Stamped(BuiltFile::Variable("NOTES", true, 254,
                                                {std::string(200, '\x11'), std::string(120, '\x22'),
                                                 std::string(30, '\x33')}),
                            5, 13));
    for (const BuiltFile& f : files)
        if (!AddFile(drive, f)) return 1;

    // STORY grows on both sides of LOCKED, so it lies in two clusters.
    std::vector<std::string> story;
    for (int i = 0; i < 12; ++i)
        story.push_back("Line " + std::to_string(i + 1) +
                        " of a story that does not fit in one sector.");
    const BuiltFile pieces = Stamped(BuiltFile::Variable("STORY", false, 80, story), 6, 14);
    BuiltFile locked = BuiltFile::Program("LOCKED", std::vector<uint8_t>(100, 0x5A));
    locked.status |= 0x08;  // protected, never stamped
    const int storyFdr = drive.CreateFile(pieces.name, pieces.status, pieces.recordLength);
    if (storyFdr < 2 || !AppendData(drive, storyFdr, pieces, 0, 2)) return Fail(drive, "STORY"), 1;
    if (!AddFile(drive, locked)) return 1;
    if (!AppendData(drive, storyFdr, pieces, 2, pieces.records - 2) ||
        !Finish(drive, storyFdr, pieces))
        return 1;

    tavik::DiskProperties disk;
    if (!drive.GetDiskProperties(disk)) return Fail(drive, "disk"), 1;
    disk.creationTime = PackTime(9, 0, 0);
    disk.creationDate = PackDate(1, 3, 1984);
    disk.updateTime = PackTime(18, 30, 0);
    disk.updateDate = PackDate(12, 3, 1984);
    if (!drive.SetDiskProperties(disk)) return Fail(drive, "disk"), 1;
    drive.Close();
    return 0;
}
