// The on-disk layout of a TI-99/4A volume, as named offsets and accessors.
//
// Sector 0, the volume information block (VIB):
//   0-9 disk name (space padded)   10-11 total sectors (big-endian)   12 sectors per track
//   13-15 "DSK"   16 protection ('P' or ' ')   17 tracks per side   18 sides   19 density
//   20-27 creation time, creation date, update time, update date (packed, big-endian)
//   28-55 zero    56-255 allocation bitmap: bit b of byte 56+k is allocation unit 8k+b, set =
//   used. A unit is one sector, or two (sectors 2u and 2u+1) on disks of more than 1600 sectors.
// Sector 1, the file index: up to 128 big-endian FDR sector numbers in name order, ended by 0.
// A file descriptor record (FDR):
//   0-9 name   10-11 carried as they are   12 status   13 records per sector
//   14-15 data sectors (big-endian)   16 end-of-file offset   17 record length
//   18-19 records (little-endian!)   20-27 stamps as in the VIB   28-255 cluster list
// A cluster entry is 3 bytes b0 b1 b2: start = b0 | (b1 & 0x0F) << 8, last file-relative
// sector = b1 >> 4 | b2 << 4; an all-zero entry ends the list; at most 76 entries.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace tavik::layout {

constexpr int kVibName = 0;
constexpr int kVibTotal = 10;
constexpr int kVibSectorsPerTrack = 12;
constexpr int kVibDsk = 13;
constexpr int kVibProtection = 16;
constexpr int kVibTracksPerSide = 17;
constexpr int kVibSides = 18;
constexpr int kVibDensity = 19;
constexpr int kVibCreationTime = 20;
constexpr int kVibCreationDate = 22;
constexpr int kVibUpdateTime = 24;
constexpr int kVibUpdateDate = 26;
constexpr int kVibBitmap = 56;
constexpr int kBitmapBytes = 200;
constexpr int kBitmapBits = kBitmapBytes * 8;
constexpr int kFreeCountBytes = 180;  // units 1440-1599 are never counted free
constexpr uint8_t kProtectedMark = 0x50;
constexpr uint8_t kUnprotectedMark = 0x20;

constexpr int kIndexEntries = 128;

constexpr int kNameLength = 10;
constexpr int kFdrName = 0;
constexpr int kFdrExtra = 10;
constexpr int kFdrStatus = 12;
constexpr int kFdrRecordsPerSector = 13;
constexpr int kFdrSectors = 14;
constexpr int kFdrEofOffset = 16;
constexpr int kFdrRecordLength = 17;
constexpr int kFdrRecords = 18;
constexpr int kFdrCreationTime = 20;
constexpr int kFdrCreationDate = 22;
constexpr int kFdrUpdateTime = 24;
constexpr int kFdrUpdateDate = 26;
constexpr int kFdrClusters = 28;
constexpr int kClusterEntrySize = 3;
constexpr int kMaxClusters = 76;
constexpr int kLastClusterEntry = kFdrClusters + (kMaxClusters - 1) * kClusterEntrySize;  // 253

inline uint16_t Be16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
inline uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[1] << 8 | p[0]);
}
inline void SetBe16(uint8_t* p, unsigned v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline void SetLe16(uint8_t* p, unsigned v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Records per sector of a fixed-record file: 256 / length, which the byte holds as 0 for a
// length of 1.
inline int FixedRecordsPerSector(int recordLength) {
    return recordLength > 0 ? (256 / recordLength) & 0xFF : 0;
}

// The end-of-file offset of a fixed-record file: TI controllers leave it 0; several PC tools
// store the bytes the records take in the last sector (160 for a DF80 of 8 records). Either
// is a genuine file; any other value is not.
inline bool PlausibleFixedEof(const uint8_t* fdr) {
    const int eof = fdr[kFdrEofOffset];
    if (eof == 0) return true;
    const int length = fdr[kFdrRecordLength];
    const int perSector = length > 0 ? 256 / length : 0;
    const int records = Le16(fdr + kFdrRecords);
    if (perSector == 0 || records == 0 || fdr[kFdrRecordsPerSector] != (perSector & 0xFF))
        return false;
    return eof == (((records - 1) % perSector + 1) * length) % 256;
}

// Records per sector of a variable-record file as its writers store it: TI controllers count
// each record's length byte, 256 / (length + 1); earlier versions of this system wrote
// 256 / length; some PC tools leave room for the end mark, (254 / length) modulo 256.
inline bool PlausibleVariableRecordsPerSector(int perSector, int recordLength) {
    if (recordLength == 0) return true;
    return perSector == 256 / (recordLength + 1) || perSector == 256 / recordLength ||
           perSector == (254 / recordLength) % 256;
}

struct ClusterEntry {
    int start = 0;       // first disk sector
    int lastOffset = 0;  // file-relative number of the cluster's last sector
    int prevLast = -1;   // the previous entry's last offset (-1 before the first)
    int Length() const { return lastOffset - prevLast; }  // <= 0 for a damaged entry
};

inline ClusterEntry DecodeCluster(const uint8_t* e, int prevLast) {
    ClusterEntry c;
    c.start = e[0] | (e[1] & 0x0F) << 8;
    c.lastOffset = (e[1] >> 4) | e[2] << 4;
    c.prevLast = prevLast;
    return c;
}

inline void EncodeCluster(uint8_t* e, int start, int lastOffset) {
    e[0] = static_cast<uint8_t>(start & 0xFF);
    e[1] = static_cast<uint8_t>(((start >> 8) & 0x0F) | ((lastOffset & 0x0F) << 4));
    e[2] = static_cast<uint8_t>((lastOffset >> 4) & 0xFF);
}

// The cluster list of an FDR image, at most 76 entries, up to the all-zero end mark.
inline std::vector<ClusterEntry> ReadClusters(const uint8_t* fdr) {
    std::vector<ClusterEntry> list;
    int prev = -1;
    for (int at = kFdrClusters; at <= kLastClusterEntry; at += kClusterEntrySize) {
        const uint8_t* e = fdr + at;
        if (e[0] == 0 && e[1] == 0 && e[2] == 0) break;
        ClusterEntry c = DecodeCluster(e, prev);
        list.push_back(c);
        prev = c.lastOffset;
    }
    return list;
}

// Number of index entries before the first 0.
inline int IndexLength(const uint8_t* index) {
    int n = 0;
    while (n < kIndexEntries && Be16(index + 2 * n) != 0)
        ++n;
    return n;
}

// Sectors per bitmap bit: the bitmap's 1600 bits cover a larger disk in pairs of sectors, and
// every allocation takes whole units.
inline int AllocationUnit(const uint8_t* vib) {
    return Be16(vib + kVibTotal) > kBitmapBits ? 2 : 1;
}

// Free sectors of the volume: clear bitmap bits below the VIB's total and below unit 1440, a
// bit for each allocation unit. Some tools leave the bits past the total clear, which must not
// count as free space.
inline int FreeSectorCount(const uint8_t* vib) {
    const int unit = AllocationUnit(vib);
    const int limit = std::min<int>(Be16(vib + kVibTotal) / unit, kFreeCountBytes * 8);
    int free = 0;
    for (int k = 0; k < kFreeCountBytes && 8 * k < limit; ++k) {
        uint8_t b = vib[kVibBitmap + k];
        if (b == 0xFF) continue;
        if (8 * k + 8 > limit) b |= static_cast<uint8_t>(0xFF << (limit - 8 * k));
        free += 8 - std::popcount(static_cast<unsigned>(b));
    }
    return free * unit;
}

// A sector the bitmap has no bit for counts as used.
inline bool BitmapUsed(const uint8_t* vib, int sector) {
    const int unit = sector / AllocationUnit(vib);
    if (unit < 0 || unit >= kBitmapBits) return true;
    return (vib[kVibBitmap + unit / 8] >> (unit % 8)) & 1;
}

// Marks the whole unit that holds the sector.
inline void SetBitmapUsed(uint8_t* vib, int sector, bool used) {
    const int unit = sector / AllocationUnit(vib);
    if (unit < 0 || unit >= kBitmapBits) return;
    uint8_t& bits = vib[kVibBitmap + unit / 8];
    const auto mask = static_cast<uint8_t>(1 << (unit % 8));
    bits = used ? static_cast<uint8_t>(bits | mask) : static_cast<uint8_t>(bits & ~mask);
}

// Whether a sector the index names can be a file descriptor record at all: it has a name, and
// it is not a sector of one repeated byte (never written since formatting, or wiped).
inline bool LooksLikeFdr(const uint8_t* sector) {
    if (sector[kFdrName] == 0) return false;
    for (int k = 1; k < 256; ++k)
        if (sector[k] != sector[0]) return true;
    return false;
}

}  // namespace tavik::layout
