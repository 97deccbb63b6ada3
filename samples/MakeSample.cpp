// Writes the demo disk the README's start command opens: a double-sided, single-density disk
// with a few files of every kind (program, DIS/VAR, DIS/FIX, INT/FIX, INT/VAR, a file in two
// clusters, a protected one). Stamps are fixed so that every build writes the same bytes.
#include <cstdio>
#include <string>
#include <vector>

#include "ImageBuilder.h"
#include "base/PcFile.h"
#include "disk/TiDateTime.h"

using tavik::PackDate;
using tavik::PackTime;
using tavik::test::BuiltFile;
using tavik::test::CImageBuilder;

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavik-make-sample OUTPUT\n");
        return 2;
    }
    CImageBuilder disk(720, true, false);
    disk.SetName("SAMPLE").SetStamps(PackTime(9, 0, 0), PackDate(1, 3, 1984), PackTime(18, 30, 0),
                                     PackDate(12, 3, 1984));

    disk.AddFile(Stamped(BuiltFile::Program("HELLO", ProgramImage()), 1, 9));
    disk.AddFile(
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
    disk.AddFile(Stamped(BuiltFile::Fixed("TABLE", false, 80, table), 3, 11));
    std::vector<std::string> scores;
    for (int i = 0; i < 20; ++i)
        scores.push_back(std::string("\x08PLAYER ") + static_cast<char>('A' + i));
    disk.AddFile(Stamped(BuiltFile::Fixed("SCORES", true, 32, scores), 4, 12));
    disk.AddFile(Stamped(BuiltFile::Variable("NOTES", true, 254,
                                             {std::string(200, '\x11'), std::string(120, '\x22'),
                                              std::string(30, '\x33')}),
                         5, 13));
    std::vector<std::string> story;
    for (int i = 0; i < 12; ++i)
        story.push_back("Line " + std::to_string(i + 1) +
                        " of a story that does not fit in one sector.");
    BuiltFile pieces = BuiltFile::Variable("STORY", false, 80, story);
    pieces.clusterSizes = {2, pieces.records - 2};
    disk.AddFile(Stamped(pieces, 6, 14));
    BuiltFile locked = BuiltFile::Program("LOCKED", std::vector<uint8_t>(100, 0x5A));
    locked.status |= 0x08;
    disk.AddFile(locked);  // never stamped

    if (!tavik::WriteWholeFile(argv[1], disk.Image())) {
        std::fprintf(stderr, "tavik-make-sample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
