#include "exchange/ExportLayout.h"

#include <algorithm>

#include "disk/DiskTypes.h"
#include "disk/Layout.h"
#include "exchange/TextExport.h"

namespace tavik {

using namespace layout;

namespace {

void Append(std::vector<uint8_t>& out, const uint8_t* from, int count) {
    out.insert(out.end(), from, from + count);
}

}  // namespace

bool BuildExportData(const uint8_t* fdr, CSectorFeed& feed, bool wholeSectors,
                     std::vector<uint8_t>& out) {
    Sector s{};
    const int type = fdr[kFdrStatus] & kTypeMask;
    const int count = feed.Count();
    if (wholeSectors) {
        const int n = std::min<int>(count, Be16(fdr + kFdrSectors));
        for (int k = 0; k < n; ++k) {
            if (!feed.Read(k, s.data())) return false;
            Append(out, s.data(), kSectorSize);
        }
        return true;
    }
    if (type == kStatusProgram) {
        const int n = Be16(fdr + kFdrSectors);
        const int eof = fdr[kFdrEofOffset] == 0 ? 256 : fdr[kFdrEofOffset];
        for (int k = 0; k < count; ++k) {
            if (!feed.Read(k, s.data())) return false;
            Append(out, s.data(), k + 1 < n ? kSectorSize : eof);
        }
        return true;
    }
    if (type & kStatusVariable) {
        const int rl = fdr[kFdrRecordLength];
        for (int k = 0; k < count; ++k) {
            if (!feed.Read(k, s.data())) return false;
            int length = 0;
            for (int at = 0; at < kSectorSize && VariableRecordAt(s.data(), at, rl, length);
                 at += length + 1)
                Append(out, s.data() + at, length + 1);
        }
        return true;
    }
    // Fixed records, packed.
    const int l = fdr[kFdrRecordLength] == 0 ? 256 : fdr[kFdrRecordLength];
    const int perSector = kSectorSize / l;
    int remaining = Le16(fdr + kFdrRecords);
    for (int k = 0; k < count && remaining > 0; ++k) {
        if (!feed.Read(k, s.data())) return false;
        const int take = std::min(perSector, remaining);
        Append(out, s.data(), take * l);
        remaining -= take;
    }
    return true;
}

bool BuildTextExport(const uint8_t* fdr, CSectorFeed& feed, bool tabs,
                     const std::vector<uint16_t>& tabStops, bool crLf, std::string& out) {
    Sector s{};
    const int status = fdr[kFdrStatus];
    const int l = fdr[kFdrRecordLength] == 0 ? 256 : fdr[kFdrRecordLength];
    const int count = feed.Count();
    int remaining = Le16(fdr + kFdrRecords);
    for (int k = 0; k < count; ++k) {
        if (!(status & kStatusVariable) && !(status & kStatusProgram) && remaining <= 0) break;
        if (!feed.Read(k, s.data())) return false;
        if (status & kStatusVariable) {
            int length = 0;
            for (int at = 0;
                 at < kSectorSize && VariableRecordAt(s.data(), at, fdr[kFdrRecordLength], length);
                 at += length + 1)
                AppendRecordLine(s.data() + at + 1, length, tabs, tabStops, crLf, out);
        } else if (status & kStatusProgram) {
            AppendRecordLine(s.data(), kSectorSize, tabs, tabStops, crLf, out);
        } else {
            for (int at = 0; at + l <= kSectorSize && remaining > 0; at += l, --remaining)
                AppendRecordLine(s.data() + at, l, tabs, tabStops, crLf, out);
        }
    }
    return true;
}

}  // namespace tavik
