#include "database/Checksum.h"

#include <algorithm>

#include "disk/Layout.h"
#include "disk/VirtualDrive.h"

namespace tavik {

namespace {

// The byte step's eight shifts, done once for each byte value; the second to eighth tables
// take eight bytes per round (each table is the first applied to one more zero byte).
struct StepTables {
    uint32_t t[8][256];
    StepTables() {
        for (uint32_t b = 0; b < 256; ++b) {
            uint32_t v = b;
            for (int k = 0; k < 8; ++k)
                v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
            t[0][b] = v;
        }
        for (int k = 1; k < 8; ++k)
            for (uint32_t b = 0; b < 256; ++b)
                t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
    }
};

const StepTables& Tables() {
    static const StepTables tables;
    return tables;
}

}  // namespace

uint32_t ChecksumStep(uint32_t crc, const uint8_t* bytes, size_t count) {
    const auto& t = Tables().t;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const uint32_t low = crc ^ (uint32_t{bytes[i]} | uint32_t{bytes[i + 1]} << 8 |
                                    uint32_t{bytes[i + 2]} << 16 | uint32_t{bytes[i + 3]} << 24);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^
              t[4][low >> 24] ^ t[3][bytes[i + 4]] ^ t[2][bytes[i + 5]] ^ t[1][bytes[i + 6]] ^
              t[0][bytes[i + 7]];
    }
    for (; i < count; ++i)
        crc = (crc >> 8) ^ t[0][(crc ^ bytes[i]) & 0xFF];
    return crc;
}

bool SectorChecksum(CVirtualDrive& drive, uint32_t& crc) {
    Sector sector;
    if (!drive.ReadSector(0, sector.data())) return false;
    const int total = layout::Be16(sector.data() + layout::kVibTotal);
    crc = 0;
    for (int n = 0; n < total; ++n) {
        if (!drive.ReadSector(n, sector.data())) return false;
        crc = ChecksumStep(crc, sector.data(), sector.size());
    }
    return true;
}

bool FileChecksum(CVirtualDrive& drive, int fdr, uint32_t& crc) {
    if (fdr < 2) {
        drive.SetLastError(DiskError::NotAnFdrSector);
        return false;
    }
    Sector descriptor;
    if (!drive.ReadSector(fdr, descriptor.data())) return false;
    const uint8_t* d = descriptor.data();
    int sectorsLeft = layout::Be16(d + layout::kFdrSectors);
    const int eof = d[layout::kFdrEofOffset] ? d[layout::kFdrEofOffset] : 256;
    int records = layout::Le16(d + layout::kFdrRecords);
    const int recordLength = d[layout::kFdrRecordLength];
    const int perSector = d[layout::kFdrRecordsPerSector];
    const uint8_t kind = d[layout::kFdrStatus] & kTypeMask;

    crc = 0;
    Sector data;
    int previousLast = -1;
    for (int at = layout::kFdrClusters; at + 2 <= 255; at += layout::kClusterEntrySize) {
        const uint8_t b0 = d[at], b1 = d[at + 1], b2 = d[at + 2];
        const int start = ((b1 & 0x0F) << 8) | b0;
        const int last = (b2 << 4) | (b1 >> 4);
        if (start == 0 && last == 0) break;
        for (int k = 0; k < last - previousLast; ++k) {
            if (!drive.ReadSector(start + k, data.data())) return false;
            if (kind == kStatusVariable) {
                // A record whose length byte points past the sector ends the sector (the 0xFF
                // end mark does so too); only whole records inside the sector are fed.
                int p = 0;
                while (p < kSectorSize) {
                    const int n = data[static_cast<size_t>(p)];
                    if (p + 1 + n > kSectorSize) break;
                    crc = ChecksumStep(crc, data.data() + p + 1, static_cast<size_t>(n));
                    p += 1 + n;
                }
            } else if (kind == kStatusProgram) {
                --sectorsLeft;
                crc = ChecksumStep(crc, data.data(),
                                   sectorsLeft > 0 ? 256 : static_cast<size_t>(eof));
            } else if (records > 0) {
                // Damaged FDRs may claim more record bytes than a sector holds.
                const int bytes =
                    std::min(std::min(records, perSector) * recordLength, kSectorSize);
                crc = ChecksumStep(crc, data.data(), static_cast<size_t>(bytes));
                records -= perSector;
            }
        }
        previousLast = last;
    }
    return true;
}

}  // namespace tavik
