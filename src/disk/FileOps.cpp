// Operations on single files: allocation, create, extend, copy, purge, delete, undelete, rename,
// protection, properties, index order, time stamps and plausibility checks. Every change is
// written to its sector at once; nothing is held back.
#include <algorithm>
#include <cstring>

#include "disk/ClusterWalk.h"
#include "disk/Layout.h"
#include "disk/TiDateTime.h"
#include "disk/TiName.h"
#include "disk/VirtualDrive.h"

namespace tavik {

using namespace layout;

namespace {

constexpr int kMaxLastOffset = 0xFFF;  // 12 bits in a cluster entry

// Records per sector of a new file, as TI disk controllers write it: fixed records 256 / length
// (0 for a length of 1: the byte cannot hold 256); variable records count their length byte,
// 256 / (length + 1); programs have none.
uint8_t RecordsPerSector(uint8_t status, uint8_t recordLength) {
    if ((status & kStatusProgram) || recordLength == 0) return 0;
    if (status & kStatusVariable) return static_cast<uint8_t>(kSectorSize / (recordLength + 1));
    return static_cast<uint8_t>(FixedRecordsPerSector(recordLength));
}

// Fields of an internal record: length-prefixed runs that must fill the record exactly.
bool FieldsFillRecord(const uint8_t* record, int length) {
    int pos = 0;
    while (pos < length)
        pos += 1 + record[pos];
    return pos == length;
}

bool FixedInternalPlausible(const uint8_t* data, int recordLength) {
    if (recordLength == 0) return false;
    for (int r = 0; r + recordLength <= kSectorSize; r += recordLength) {
        const uint8_t* record = data + r;
        int pos = 0;
        while (pos < recordLength) {
            int length = record[pos];
            if (length == 0) break;  // the rest of the record is unused
            if (pos + 1 + length > recordLength) return false;
            pos += 1 + length;
        }
    }
    return true;
}

// Variable-length records: a length byte and the record; 0xFF marks the end of the sector.
bool VariablePlausible(const uint8_t* data, int recordLength, bool internal) {
    int pos = 0;
    while (pos < kSectorSize) {
        int length = data[pos];
        if (length == 0xFF) return true;
        if (length == 0 || length > recordLength || pos + 1 + length > kSectorSize) return false;
        if (internal && !FieldsFillRecord(data + pos + 1, length)) return false;
        pos += 1 + length;
    }
    return true;
}

}  // namespace

// ---- Allocation ---------------------------------------------------------------------------

int CVirtualDrive::AllocateSector() {
    if (!ReadVib()) return -1;
    const int total = VolumeTotal(m_vib.data());
    const int lastByte = std::min(kVibBitmap + total / 8, kSectorSize - 1);
    for (int at = kVibBitmap; at <= lastByte; ++at) {
        const uint8_t bits = m_vib[at];
        if (bits == 0xFF) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (bits & (1 << bit)) continue;
            const int sector = (at - kVibBitmap) * 8 + bit;
            // A damaged bitmap may show the VIB, the index or sectors past the end as free;
            // handing them out would overwrite the disk's own structure or fail later.
            if (sector < 2) continue;
            if (sector >= total) break;
            m_vib[at] = static_cast<uint8_t>(bits | (1 << bit));
            if (!WriteVib()) {
                m_vib[at] = bits;
                return -1;
            }
            return sector;
        }
    }
    Fail(DiskError::DiskFull);
    return -1;
}

int CVirtualDrive::MarkSector(int n, bool free) {
    if (n < 0 || n >= kMaxSectors) return Fail(DiskError::PastEnd);
    if (!ReadVib()) return 0;
    uint8_t& bits = m_vib[kVibBitmap + n / 8];
    const uint8_t old = bits;
    const uint8_t mask = static_cast<uint8_t>(1 << (n % 8));
    bits = free ? static_cast<uint8_t>(bits & ~mask) : static_cast<uint8_t>(bits | mask);
    if (!WriteVib()) {
        bits = old;
        return 0;
    }
    return 1;
}

// ---- Creating and extending ---------------------------------------------------------------

int CVirtualDrive::CreateFile(const std::string& name, uint8_t status, uint8_t recordLength) {
    const std::string padded = PadTiName(name);
    const uint8_t perSector = RecordsPerSector(status, recordLength);

    const int existing = FindFile(padded);
    if (existing < 0) return -1;
    if (existing >= 2) {
        // An existing file of that name is emptied and takes the new type.
        if (PurgeFile(existing) != 1) return -1;
        if (!ReadFdr(existing)) return -1;
        m_fdr[kFdrStatus] = status;
        m_fdr[kFdrRecordLength] = recordLength;
        if (perSector) m_fdr[kFdrRecordsPerSector] = perSector;
        if (!WriteFdr(existing)) return -1;
        return existing;
    }

    if (!ReadIndex()) return -1;
    const int slot = IndexLength(m_index.data());
    if (slot >= kIndexEntries) {
        Fail(DiskError::MaxFiles);
        return -1;
    }
    const int fdr = AllocateSector();
    if (fdr < 2) return -1;

    m_fdr.fill(0);
    std::memcpy(m_fdr.data() + kFdrName, padded.data(), kNameLength);
    m_fdr[kFdrStatus] = status;
    m_fdr[kFdrRecordLength] = recordLength;
    m_fdr[kFdrRecordsPerSector] = perSector;
    // The FDR goes to disk before the index names it, so that no moment has an index entry
    // pointing at a sector that is not yet an FDR.
    if (!WriteFdr(fdr)) {
        const int error = m_lastError;
        MarkSector(fdr, true);
        m_lastError = error;
        return -1;
    }
    SetBe16(m_index.data() + 2 * slot, static_cast<unsigned>(fdr));
    if (!WriteIndex()) {
        const int error = m_lastError;
        SetBe16(m_index.data() + 2 * slot, 0);
        m_indexValid = 0;
        MarkSector(fdr, true);
        m_lastError = error;
        return -1;
    }
    if (!StampTimes(fdr, true) || !SortIndex()) return -1;
    return fdr;
}

int CVirtualDrive::AppendSector(int fdr) {
    if (!ReadFdr(fdr)) return -1;
    const std::vector<ClusterEntry> clusters = ReadClusters(m_fdr.data());
    int start = -1, last = -1, previous = -1;
    if (!clusters.empty()) {
        start = clusters.back().start;
        last = clusters.back().lastOffset;
        previous = clusters.back().prevLast;
    }
    const int next = kFdrClusters + kClusterEntrySize * static_cast<int>(clusters.size());
    // No volume holds more sectors than a cluster entry can count.
    if (last + 1 > kMaxLastOffset) {
        Fail(DiskError::DiskFull);
        return -1;
    }

    const int n = AllocateSector();
    if (n < 0) return -1;
    // AllocateSector works on the VIB only: the FDR buffer still holds this file.
    if (!clusters.empty() && n == start + (last - previous)) {
        EncodeCluster(m_fdr.data() + next - kClusterEntrySize, start, last + 1);
    } else if (next > kLastClusterEntry) {
        // The sector cannot join the file: it goes back to the free pool.
        MarkSector(n, true);
        Fail(DiskError::TooManyClusters);
        return -1;
    } else {
        EncodeCluster(m_fdr.data() + next, n, last + 1);
    }
    const unsigned count = (Be16(m_fdr.data() + kFdrSectors) + 1u) & 0xFFFF;
    SetBe16(m_fdr.data() + kFdrSectors, count);
    if (m_fdr[kFdrStatus] & kStatusVariable) SetLe16(m_fdr.data() + kFdrRecords, count);
    if (!WriteFdr(fdr)) {
        const int error = m_lastError;
        m_cachedFdr = 0;  // the buffer no longer matches the disk
        MarkSector(n, true);
        m_lastError = error;
        return -1;
    }
    if (!StampTimes(fdr, false)) return -1;
    return n;
}

// ---- Copying ------------------------------------------------------------------------------

int CVirtualDrive::CopyFile(CVirtualDrive& target, int fdr, const std::string& newName) {
    FileInfo info;
    if (!GetFileInfo(fdr, info)) return 0;
    const Sector source = m_fdr;
    const std::string name = newName.empty() ? info.name : PadTiName(newName);
    // Onto itself under its own name: recreating it would empty the very file being copied.
    if (&target == this && name == info.name) return 1;

    Sector kept0, kept1;
    if (!target.ReadSector(0, kept0.data()) || !target.ReadSector(1, kept1.data())) {
        m_lastError = target.m_lastError;
        return 0;
    }
    // On any failure the target's VIB and index go back to what they were, so that the
    // half-copied file and its sectors vanish from it.
    auto fail = [&](int error) {
        target.WriteSector(0, kept0.data());
        target.WriteSector(1, kept1.data());
        m_lastError = error;
        return 0;
    };

    const int copy = target.CreateFile(name, info.status, info.recordLength);
    if (copy < 0) return fail(target.m_lastError);
    if (!target.ReadFdr(copy)) return fail(target.m_lastError);
    std::memcpy(target.m_fdr.data() + kFdrExtra, source.data() + kFdrExtra,
                kFdrClusters - kFdrExtra);
    SetBe16(target.m_fdr.data() + kFdrSectors, 0);
    if (!target.WriteFdr(copy)) return fail(target.m_lastError);

    Sector data;
    for (int k = 0; k < info.sectors; ++k) {
        const int from = FileToDiskSector(fdr, k, data.data());
        if (from < 0) return fail(m_lastError);
        // The sector count claims more than the cluster list holds.
        if (from == 0) return fail(DiskError::ReadFailed);
        const int to = target.AppendSector(copy);
        if (to < 0 || !target.WriteSector(to, data.data())) return fail(target.m_lastError);
    }
    return 1;
}

// ---- Emptying, deleting, undeleting -------------------------------------------------------

int CVirtualDrive::PurgeFile(int fdr) {
    if (!ReadFdr(fdr)) return 0;
    Sector image = m_fdr;
    if (!ReadVib()) return 0;
    const int total = VolumeTotal(m_vib.data());
    const bool freed = ForEachClusterSector(ReadClusters(image.data()), [&](int sector) {
        return !IsFileSector(sector, total) || MarkSector(sector, true);
    });
    if (!freed) return 0;
    std::memset(image.data() + kFdrClusters, 0, kSectorSize - kFdrClusters);
    SetBe16(image.data() + kFdrSectors, 0);
    image[kFdrEofOffset] = 0;
    SetLe16(image.data() + kFdrRecords, 0);
    m_fdr = image;
    if (!WriteFdr(fdr)) return 0;
    if (!StampTimes(fdr, false)) return -1;
    return 1;
}

int CVirtualDrive::DeleteFile(int fdr) {
    if (fdr < 2) return 1;
    if (!ReadFdr(fdr)) return 0;
    const Sector image = m_fdr;
    if (!ReadVib()) return 0;
    const int total = VolumeTotal(m_vib.data());
    const bool freed = ForEachClusterSector(ReadClusters(image.data()), [&](int sector) {
        return !IsFileSector(sector, total) || MarkSector(sector, true);
    });
    if (!freed || !MarkSector(fdr, true)) return 0;
    if (!ReadIndex()) return 0;
    uint8_t* index = m_index.data();
    for (int k = 0; k < kIndexEntries; ++k) {
        if (Be16(index + 2 * k) != fdr) continue;
        std::memmove(index + 2 * k, index + 2 * k + 2, 2 * (kIndexEntries - 1 - k));
        SetBe16(index + 2 * (kIndexEntries - 1), 0);
        break;
    }
    if (!WriteIndex()) return 0;
    return StampTimes(0, false);
}

int CVirtualDrive::UndeleteFile(const std::string& name, int type) {
    const std::string padded = PadTiName(name);
    if (!ReadVib() || !ReadIndex()) return -1;
    const int total = VolumeTotal(m_vib.data());
    Sector image;
    for (int d = 2; d < total; ++d) {
        if (!ReadSector(d, image.data())) return -1;
        if (std::memcmp(image.data() + kFdrName, padded.data(), kNameLength) != 0) continue;
        const int plausible = CheckFdr(image.data());
        if (plausible < 0) return -1;
        if (plausible != 1) continue;
        if (type != -1 && ((image[kFdrStatus] ^ type) & kTypeMask) != 0) continue;

        if (!ReadIndex()) return -1;
        const int files = IndexLength(m_index.data());
        for (int k = 0; k < files; ++k)
            if (Be16(m_index.data() + 2 * k) == d) return d;
        if (files >= kIndexEntries) {
            Fail(DiskError::MaxFiles);
            return -1;
        }
        SetBe16(m_index.data() + 2 * files, static_cast<unsigned>(d));
        if (!WriteIndex() || !SortIndex() || !MarkSector(d, false)) return -1;
        const bool claimed = ForEachClusterSector(ReadClusters(image.data()), [&](int sector) {
            return !IsFileSector(sector, total) || MarkSector(sector, false);
        });
        if (!claimed || !StampTimes(0, false)) return -1;
        return d;
    }
    return 0;
}

// ---- Names, protection, properties --------------------------------------------------------

int CVirtualDrive::RenameFile(int fdr, const std::string& newName) {
    const std::string padded = PadTiName(newName);
    const int found = FindFile(padded);
    if (found < 0) return 0;
    if (found == fdr) return 1;
    if (found != 0) return Fail(DiskError::NameExists);
    if (!ReadFdr(fdr)) return 0;
    std::memcpy(m_fdr.data() + kFdrName, padded.data(), kNameLength);
    if (!WriteFdr(fdr)) return 0;
    return SortIndex();
}

int CVirtualDrive::SetProtection(int fdr, int mode) {
    if (fdr == 0) {
        if (!ReadVib()) return 0;
        uint8_t& mark = m_vib[kVibProtection];
        if (mode == 1)
            mark = kProtectedMark;
        else if (mode == 0)
            mark = kUnprotectedMark;
        else
            mark = mark == kUnprotectedMark ? kProtectedMark : kUnprotectedMark;
        return WriteVib();
    }
    if (fdr < 2) return 1;
    if (!ReadFdr(fdr)) return 0;
    uint8_t& status = m_fdr[kFdrStatus];
    if (mode == 1)
        status |= kStatusProtected;
    else if (mode == 0)
        status &= static_cast<uint8_t>(~kStatusProtected);
    else
        status ^= kStatusProtected;
    return WriteFdr(fdr);
}

int CVirtualDrive::SetFileProperties(int fdr, const FileProperties& record) {
    // A typed cluster list must be one the FDR can hold; anything else would leave last offsets
    // that do not increase, which no reader of the list can follow.
    if (record.clusters.size() > static_cast<size_t>(kMaxClusters))
        return Fail(DiskError::TooManyClusters);
    int last = -1;
    for (uint32_t c : record.clusters) {
        const int first = FileProperties::ClusterFirst(c);
        const int end = FileProperties::ClusterLast(c);
        if (end < first || end >= kMaxSectors) return Fail(DiskError::PastEnd);
        last += end - first + 1;
        if (last > kMaxLastOffset) return Fail(DiskError::TooManyClusters);
    }

    if (!ReadFdr(fdr)) return 0;
    if (std::memcmp(m_fdr.data() + kFdrName, record.name.data(), kNameLength) != 0) {
        // Two files of one name would make one of them unreachable.
        const std::string name(reinterpret_cast<const char*>(record.name.data()), kNameLength);
        const int found = FindFile(name);
        if (found < 0) return 0;
        if (found != 0 && found != fdr) return Fail(DiskError::NameExists);
        if (!ReadFdr(fdr)) return 0;
    }

    uint8_t* f = m_fdr.data();
    std::memcpy(f + kFdrName, record.name.data(), kNameLength);
    std::memcpy(f + kFdrExtra, record.extra.data(), 2);
    f[kFdrStatus] = record.status;
    f[kFdrRecordsPerSector] = record.recordsPerSector;
    SetBe16(f + kFdrSectors, record.sectors);
    f[kFdrEofOffset] = record.eofOffset;
    f[kFdrRecordLength] = record.recordLength;
    SetLe16(f + kFdrRecords, record.records);
    SetBe16(f + kFdrCreationTime, record.creationTime);
    SetBe16(f + kFdrCreationDate, record.creationDate);
    SetBe16(f + kFdrUpdateTime, record.updateTime);
    SetBe16(f + kFdrUpdateDate, record.updateDate);
    if (!record.clusters.empty()) {
        int at = kFdrClusters;
        int offset = -1;
        for (uint32_t c : record.clusters) {
            const int first = FileProperties::ClusterFirst(c);
            offset += FileProperties::ClusterLast(c) - first + 1;
            EncodeCluster(f + at, first, offset);
            at += kClusterEntrySize;
        }
        std::memset(f + at, 0, static_cast<size_t>(kSectorSize - at));
        SetBe16(f + kFdrSectors, static_cast<unsigned>(offset + 1));
        if (record.status & kStatusVariable)
            SetLe16(f + kFdrRecords, static_cast<unsigned>(offset + 1));
    }
    if (!WriteFdr(fdr)) return 0;
    return SortIndex();
}

// ---- Index order --------------------------------------------------------------------------

int CVirtualDrive::SortIndex() {
    if (!ReadIndex()) return 0;
    const int files = IndexLength(m_index.data());
    std::vector<uint16_t> entries(static_cast<size_t>(files));
    std::vector<std::array<uint8_t, kNameLength>> names(static_cast<size_t>(files));
    for (int k = 0; k < files; ++k) {
        entries[k] = Be16(m_index.data() + 2 * k);
        if (!ReadFdr(entries[k])) return 0;
        if (m_fdr[kFdrName] == 0) return Fail(DiskError::NotAnFdrSector);
        std::memcpy(names[k].data(), m_fdr.data() + kFdrName, kNameLength);
    }
    // Bubble sort: stable, and it ends because only strictly lower names move up.
    bool changed = false;
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int k = 0; k + 1 < files; ++k) {
            if (CompareTiNames(names[k + 1].data(), names[k].data()) < 0) {
                std::swap(names[k], names[k + 1]);
                std::swap(entries[k], entries[k + 1]);
                swapped = changed = true;
            }
        }
    }
    if (!changed) return 1;
    if (!ReadIndex()) return 0;
    for (int k = 0; k < files; ++k)
        SetBe16(m_index.data() + 2 * k, entries[k]);
    return WriteIndex();
}

// ---- Time stamps --------------------------------------------------------------------------

int CVirtualDrive::StampTimes(int fdr, bool creating) {
    const uint16_t date = PackDate();
    const uint16_t time = PackTime();
    const int policy = m_stampPolicy;
    // The same rule for an FDR and the VIB: bytes 20-27 of both hold the four stamps.
    auto stamp = [&](uint8_t* b, bool created) {
        const bool due = policy == StampAlways ||
                         (policy == StampIfStamped && (created || Be16(b + kFdrUpdateDate) != 0));
        if (!due) return;
        SetBe16(b + kFdrUpdateTime, time);
        SetBe16(b + kFdrUpdateDate, date);
        if (created || Be16(b + kFdrCreationDate) == 0) {
            SetBe16(b + kFdrCreationTime, time);
            SetBe16(b + kFdrCreationDate, date);
        }
    };
    if (fdr > 0) {
        if (!ReadFdr(fdr)) return 0;
        stamp(m_fdr.data(), creating);
        if (!WriteFdr(fdr)) return 0;
    }
    if (!ReadVib()) return 0;
    // Creating a file updates the disk; only formatting creates it.
    stamp(m_vib.data(), creating && fdr <= 0);
    return WriteVib();
}

// ---- Plausibility -------------------------------------------------------------------------

int CVirtualDrive::CheckFdr(const uint8_t* image) {
    Sector copy;
    std::memcpy(copy.data(), image ? image : m_fdr.data(), kSectorSize);
    if (!ReadVib()) return -1;
    const int total = Be16(m_vib.data() + kVibTotal);
    const uint8_t* f = copy.data();
    const int sectors = Be16(f + kFdrSectors);
    if (sectors >= total) return 0;
    const int recordLength = f[kFdrRecordLength];
    const uint8_t perSector = f[kFdrRecordsPerSector];
    switch (f[kFdrStatus] & static_cast<uint8_t>(~kStatusProtected)) {
        case 0x00:  // DIS/FIX
        case 0x02:  // INT/FIX
            if (recordLength == 0 || perSector != FixedRecordsPerSector(recordLength) ||
                !PlausibleFixedEof(f))
                return 0;
            break;
        case 0x01:  // PROGRAM
            if (perSector != 0 || recordLength != 0 || f[kFdrRecords] != 0 ||
                f[kFdrRecords + 1] != 0)
                return 0;
            break;
        case 0x80:  // DIS/VAR
        case 0x82:  // INT/VAR: the record count is the sector count
            if (f[kFdrSectors + 1] != f[kFdrRecords] || f[kFdrSectors] != f[kFdrRecords + 1] ||
                recordLength == 0 || !PlausibleVariableRecordsPerSector(perSector, recordLength))
                return 0;
            break;
        default:
            return 0;
    }
    for (const ClusterEntry& c : ReadClusters(f)) {
        if (c.start >= total || c.lastOffset >= sectors || c.lastOffset <= c.prevLast) return 0;
    }
    return 1;
}

int CVirtualDrive::CheckSectorContents(int n, uint8_t status, uint8_t recordLength) {
    Sector data;
    if (!ReadSector(n, data.data())) return -1;
    switch (status & kTypeMask) {
        case 0x00:
        case 0x01:
            return 1;
        case 0x02:
            return FixedInternalPlausible(data.data(), recordLength) ? 1 : 0;
        case 0x80:
            return VariablePlausible(data.data(), recordLength, false) ? 1 : 0;
        case 0x82:
            return VariablePlausible(data.data(), recordLength, true) ? 1 : 0;
        case 0x03: {
            // Asked whether the sector is an FDR.
            for (int k = 0; k < kNameLength; ++k)
                if (data[k] < 0x20 || data[k] > 0x7F) return 0;
            const int fdr = CheckFdr(data.data());
            return fdr < 0 ? -1 : fdr;
        }
        default:
            return 0;
    }
}

}  // namespace tavik
