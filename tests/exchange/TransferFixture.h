// Drives on images in memory, the records of a TI file as a reader of the disk sees them, and a
// file-name dialog that answers from a script.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/Layout.h"
#include "disk/VirtualDrive.h"
#include "exchange/ImportCommand.h"
#include "exchange/SectorFeed.h"
#include "support/ImageBuilder.h"
#include "support/TestSupport.h"

namespace tavik::test {

struct MemoryDisk {
    CVirtualDrive drive;
    CMemFile* file = nullptr;
    explicit MemoryDisk(std::vector<uint8_t> image) {
        auto memory = std::make_unique<CMemFile>(std::move(image));
        file = memory.get();
        EXPECT_EQ(drive.MountFile(std::move(memory), 0, 0, -1), DriveKind::DoadImage);
    }
    explicit MemoryDisk(const CImageBuilder& b) : MemoryDisk(b.Image()) {}
    explicit MemoryDisk(int total = 360)
        : MemoryDisk(CImageBuilder(total, total > 360, total > 720).Image()) {}
    std::vector<uint8_t> Bitmap() const {
        return {file->Bytes().begin() + 56, file->Bytes().begin() + 256};
    }
};

// The FDR sectors of a disk's files, in index order.
inline std::vector<int> FilesOf(CVirtualDrive& d) {
    std::vector<int> fdrs;
    int position = 0;
    for (int fdr; (fdr = d.NextFdr(position)) > 0;)
        fdrs.push_back(fdr);
    return fdrs;
}

inline std::string TrimmedName(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

struct PeerDisk {
    std::string path;
    std::vector<uint8_t> image;
};

// The sector dumps of the peer data folders that hold file systems, in name order; empty when
// the data are absent.
inline std::vector<PeerDisk> PeerDisks(const std::vector<std::string>& folders = {
                                           "peer/disks", "peer/basic", "peer/archives", "real"}) {
    std::vector<PeerDisk> disks;
    for (const std::string& folder : folders) {
        const std::string dir = TestData(folder);
        if (dir.empty()) continue;
        for (const auto& e : std::filesystem::directory_iterator(dir)) {
            if (e.path().extension() != ".dsk") continue;
            PeerDisk p{e.path().string(), {}};
            EXPECT_TRUE(ReadWholeFile(p.path, p.image));
            disks.push_back(std::move(p));
        }
    }
    std::sort(disks.begin(), disks.end(), [](auto& a, auto& b) { return a.path < b.path; });
    return disks;
}

// What a program on the TI reads from a file: its type, and its records (or, for a program,
// its bytes up to the end-of-file offset).
struct TiContent {
    uint8_t type = 0;
    uint8_t recordLength = 0;
    std::vector<std::string> records;
    bool operator==(const TiContent&) const = default;
};

inline std::vector<std::vector<uint8_t>> FileSectors(CVirtualDrive& d, int fdr) {
    std::vector<std::vector<uint8_t>> out;
    Sector s{};
    for (int k = 0; k < 4096; ++k) {
        const int n = d.FileToDiskSector(fdr, k, s.data());
        if (n <= 0) break;
        out.emplace_back(s.begin(), s.end());
    }
    return out;
}

// The fields of a file's FDR (or header) that say how its data sectors are read.
struct TiShape {
    uint8_t status = 0;
    uint8_t recordLength = 0;
    int sectors = 0;
    uint8_t eofOffset = 0;
    int records = 0;  // level-3 records
};

inline TiContent ContentOfSectors(const TiShape& shape,
                                  const std::vector<std::vector<uint8_t>>& sectors) {
    TiContent c;
    c.type = shape.status & kTypeMask;
    c.recordLength = shape.recordLength;
    if (c.type == kStatusProgram) {
        std::string bytes;
        for (int k = 0; k < shape.sectors && k < static_cast<int>(sectors.size()); ++k)
            bytes.append(
                sectors[k].begin(),
                sectors[k].begin() +
                    (k + 1 < shape.sectors || shape.eofOffset == 0 ? 256 : shape.eofOffset));
        c.records.push_back(bytes);
    } else if (c.type & kStatusVariable) {
        for (const auto& s : sectors) {
            int length = 0;
            for (int at = 0; at < 256 && VariableRecordAt(s.data(), at, shape.recordLength, length);
                 at += length + 1)
                c.records.emplace_back(reinterpret_cast<const char*>(s.data()) + at + 1, length);
        }
    } else {
        const int l = shape.recordLength ? shape.recordLength : 256, n = 256 / l;
        for (int i = 0; i < shape.records && i / n < static_cast<int>(sectors.size()); ++i)
            c.records.emplace_back(
                reinterpret_cast<const char*>(sectors[i / n].data()) + (i % n) * l, l);
    }
    return c;
}

inline TiContent ContentOf(CVirtualDrive& d, int fdr) {
    EXPECT_TRUE(d.ReadFdr(fdr));
    const uint8_t* f = d.FdrBuffer();
    const TiShape shape{f[12], f[17], layout::Be16(f + 14), f[16], layout::Le16(f + 18)};
    return ContentOfSectors(shape, FileSectors(d, fdr));
}

// A TIFILES file holding whole sectors, read as a TI would read the file it describes. Its
// record count is read high byte first when recordsHighFirst is set (as imgtool writes it).
inline TiContent ContentOfTifiles(const std::vector<uint8_t>& file, bool recordsHighFirst) {
    if (file.size() < 128) return {};
    const uint8_t* h = file.data();
    const TiShape shape{h[10], h[13], layout::Be16(h + 8), h[12],
                        recordsHighFirst ? layout::Be16(h + 14) : layout::Le16(h + 14)};
    std::vector<std::vector<uint8_t>> sectors;
    for (size_t at = 128; at + 256 <= file.size() && sectors.size() < size_t(shape.sectors);
         at += 256)
        sectors.emplace_back(file.begin() + at, file.begin() + at + 256);
    return ContentOfSectors(shape, sectors);
}

// How the content b differs from a, "" when it does not.
inline std::string ContentDifference(const TiContent& a, const TiContent& b) {
    if (a.type != b.type || a.recordLength != b.recordLength)
        return "type " + std::to_string(a.type) + "/" + std::to_string(a.recordLength) + " not " +
               std::to_string(b.type) + "/" + std::to_string(b.recordLength);
    for (size_t i = 0; i < std::min(a.records.size(), b.records.size()); ++i)
        if (a.records[i] != b.records[i])
            return "record " + std::to_string(i) + " \"" + a.records[i] + "\" not \"" +
                   b.records[i] + "\"";
    if (a.records.size() != b.records.size())
        return std::to_string(a.records.size()) + " records, not " +
               std::to_string(b.records.size());
    return "";
}

// Accepts the proposal unless a scripted change is queued; Cancel when told.
class CScriptedFileNames : public CFileNameAnswers {
public:
    struct Change {
        std::string name;  // empty: keep the proposal
        std::string type;
        int convertText = -1;
        int convertTabs = -1;
        int truncate = -1;
        bool cancel = false;
    };
    std::deque<Change> changes;
    std::vector<FileNameDialogState> shown;

    bool Confirm(int, FileNameDialogState& state) override {
        shown.push_back(state);
        if (changes.empty()) return true;
        const Change c = changes.front();
        changes.pop_front();
        if (c.cancel) return false;
        if (!c.name.empty()) state.name = c.name == "<empty>" ? "" : c.name;
        if (!c.type.empty()) state.type = c.type;
        if (c.convertText >= 0) state.convertText = c.convertText;
        if (c.convertTabs >= 0) state.convertTabs = c.convertTabs;
        if (c.truncate >= 0) state.truncate = c.truncate;
        return true;
    }
};

}  // namespace tavik::test
