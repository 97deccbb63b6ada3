// Drives on images in memory, the records of a TI file as a reader of the disk sees them, and a
// file-name dialog that answers from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/Layout.h"
#include "disk/VirtualDrive.h"
#include "exchange/ImportCommand.h"
#include "exchange/SectorFeed.h"
#include "support/ImageBuilder.h"

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

inline TiContent ContentOf(CVirtualDrive& d, int fdr) {
    TiContent c;
    EXPECT_TRUE(d.ReadFdr(fdr));
    Sector f{};
    std::copy(d.FdrBuffer(), d.FdrBuffer() + 256, f.begin());
    c.type = f[12] & kTypeMask;
    c.recordLength = f[17];
    const auto sectors = FileSectors(d, fdr);
    const int count = layout::Be16(f.data() + 14);
    if (c.type == kStatusProgram) {
        std::string bytes;
        for (int k = 0; k < count && k < static_cast<int>(sectors.size()); ++k)
            bytes.append(sectors[k].begin(),
                         sectors[k].begin() + (k + 1 < count || f[16] == 0 ? 256 : f[16]));
        c.records.push_back(bytes);
    } else if (c.type & kStatusVariable) {
        for (const auto& s : sectors) {
            int length = 0;
            for (int at = 0; at < 256 && VariableRecordAt(s.data(), at, f[17], length);
                 at += length + 1)
                c.records.emplace_back(reinterpret_cast<const char*>(s.data()) + at + 1, length);
        }
    } else {
        const int l = f[17] ? f[17] : 256, n = 256 / l;
        const int records = layout::Le16(f.data() + 18);
        for (int i = 0; i < records && i / n < static_cast<int>(sectors.size()); ++i)
            c.records.emplace_back(
                reinterpret_cast<const char*>(sectors[i / n].data()) + (i % n) * l, l);
    }
    return c;
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
