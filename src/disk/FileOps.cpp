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

// A cluster list for data sectors in file order, each run of consecutive sectors one entry, as
// AppendSector builds it. False when the file would need more entries than an FDR holds.
bool EncodeClusters(uint8_t* fdr, const std::vector<int>& sectors) {
    std::memset(fdr + kFdrClusters, 0, kSectorSize - kFdrClusters);
    int entry = -1, start = 0, first = 0;
    for (int k = 0; k < static_cast<int>(sectors.size()); ++k) {
        const int n = sectors[static_cast<size_t>(k)];
        if (entry < 0 || n != start + (k - first)) {
            if (++entry >= kMaxClusters) return false;
            start = n;
            first = k;
        }
        EncodeCluster(fdr + kFdrClusters + kClusterEntrySize * entry, start, k);
    }
    return true;
}

// The sectors of an FDR's clusters that lie on the volume (a damaged list may name others).
std::vector<int> OwnSectors(const uint8_t* fdr, int total) {
    std::vector<int> sectors;
    ForEachClusterSector(ReadClusters(fdr), [&](int sector) {
        if (IsFileSector(sector, total)) sectors.push_back(sector);
        return true;
    });
    return sectors;
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
    CAllOrNothing change(*this);
    if (!ReadVib()) return -1;
    // A damaged bitmap may show the VIB, the index or sectors past the end as free; handing
    // them out would overwrite the disk's own structure or fail later.
    const int sector = FirstFreeSector(m_vib.data());
    if (sector < 0) {
        Fail(DiskError::DiskFull);
        return -1;
    }
    SetBitmapUsed(m_vib.data(), sector, true);
    if (!WriteVib()) return -1;
    change.Keep();
    return sector;
}

int CVirtualDrive::MarkSector(int n, bool free) {
    if (n < 0 || n >= kMaxDiskSectors) return Fail(DiskError::PastEnd);
    CAllOrNothing change(*this);
    if (!ReadVib()) return 0;
    // A sector the bitmap has no bit for cannot be marked.
    if (n >= kBitmapBits * AllocationUnit(m_vib.data())) return Fail(DiskError::PastEnd);
    SetBitmapUsed(m_vib.data(), n, !free);
    if (!WriteVib()) return 0;
    change.Keep();
    return 1;
}

// ---- Creating and extending ---------------------------------------------------------------

int CVirtualDrive::CreateFile(const std::string& name, uint8_t status, uint8_t recordLength) {
    CAllOrNothing change(*this);
    const std::string padded = PadTiName(name);
    const uint8_t perSector = NewFileRecordsPerSector(status, recordLength);

    const int existing = FindFile(padded);
    if (existing < 0) return -1;
    if (existing >= 2) {
        // An existing file of that name is emptied and takes the new type, records per
        // sector included (a program keeps none).
        if (PurgeFile(existing) != 1) return -1;
        if (!ReadFdr(existing)) return -1;
        m_fdr[kFdrStatus] = status;
        m_fdr[kFdrRecordLength] = recordLength;
        m_fdr[kFdrRecordsPerSector] = perSector;
        if (!WriteFdr(existing)) return -1;
        change.Keep();
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
    if (!WriteFdr(fdr) || !ReadIndex()) return -1;
    SetBe16(m_index.data() + 2 * slot, static_cast<unsigned>(fdr));
    if (!WriteIndex() || !StampTimes(fdr, true) || !SortIndex()) return -1;
    change.Keep();
    return fdr;
}

int CVirtualDrive::PutFile(const std::string& name, const uint8_t* header,
                           const std::vector<Sector>& data, PutStamps stamps) {
    CAllOrNothing change(*this);
    const std::string padded = PadTiName(name);
    const int count = static_cast<int>(data.size());
    const int existing = FindFile(padded);
    if (existing < 0 || !ReadVib() || !ReadIndex()) return -1;
    Sector vib = m_vib;
    Sector index = m_index;
    const int total = VolumeTotal(vib.data());
    // No volume holds more sectors than a cluster entry can count.
    if (count > kMaxLastOffset + 1) {
        Fail(DiskError::DiskFull);
        return -1;
    }
    Sector old{};
    if (existing >= 2) {
        if (!ReadFdr(existing)) return -1;
        old = m_fdr;
    } else if (IndexLength(index.data()) >= kIndexEntries) {
        Fail(DiskError::MaxFiles);
        return -1;
    }
    const std::vector<int> oldSectors =
        existing >= 2 ? OwnSectors(old.data(), total) : std::vector<int>();

    // The replaced file stays whole until the index names its successor, unless the free
    // sectors cannot hold the successor beside it: then its sectors are reused, and only the
    // guard can give it back.
    const bool fresh =
        existing < 2 || CountFreeFileSectors(vib.data()) >= FileFootprint(vib.data(), count);
    if (!fresh)
        for (int sector : oldSectors)
            SetBitmapUsed(vib.data(), sector, false);
    // First fit, one unit after the other: nothing below the last one taken is free. Data
    // sectors fill each unit they take; the FDR has a unit of its own.
    int next = 2;
    auto take = [&] {
        const int sector = FirstFreeSector(vib.data(), next);
        if (sector >= 0) SetBitmapUsed(vib.data(), sector, true);
        next = sector + 1;
        return sector;
    };
    const int fdr = fresh ? take() : existing;
    std::vector<int> sectors;
    for (int k = 0; k < count && fdr >= 2; ++k) {
        int sector = sectors.empty() ? -1 : RestOfUnit(vib.data(), sectors.back());
        if (sector < 0) sector = take();
        if (sector < 0) break;
        sectors.push_back(sector);
    }
    if (fdr < 2 || static_cast<int>(sectors.size()) < count) {
        Fail(DiskError::DiskFull);
        return -1;
    }

    Sector f{};
    std::memcpy(f.data() + kFdrName, padded.data(), kNameLength);
    if (stamps == PutStamps::AsCopy) {
        std::memcpy(f.data() + kFdrExtra, header + kFdrExtra, kFdrClusters - kFdrExtra);
    } else {
        std::memcpy(f.data() + kFdrStatus, header + kFdrStatus, kFdrCreationTime - kFdrStatus);
        if (existing >= 2) {
            std::memcpy(f.data() + kFdrExtra, old.data() + kFdrExtra, 2);
            std::memcpy(f.data() + kFdrCreationTime, old.data() + kFdrCreationTime, 8);
        }
    }
    SetBe16(f.data() + kFdrSectors, static_cast<unsigned>(count));
    if (count > 0 && (f[kFdrStatus] & kStatusVariable))
        SetLe16(f.data() + kFdrRecords, static_cast<unsigned>(count));
    if (!EncodeClusters(f.data(), sectors)) {
        Fail(DiskError::TooManyClusters);
        return -1;
    }
    if (stamps == PutStamps::AsNew || count > 0)
        Stamp(f.data(), stamps == PutStamps::AsNew && existing < 2);
    Stamp(vib.data(), false);

    // Data first, into sectors no file uses; then the FDR; then the bitmap that claims them;
    // the index names the new file last, and only then are the old file's sectors given back.
    for (int k = 0; k < count; ++k)
        if (!WriteSector(sectors[static_cast<size_t>(k)], data[static_cast<size_t>(k)].data()))
            return -1;
    m_fdr = f;
    m_vib = vib;
    if (!WriteFdr(fdr) || !WriteVib()) return -1;
    if (existing < 2) {
        SetBe16(index.data() + 2 * IndexLength(index.data()), static_cast<unsigned>(fdr));
        bool changed = false;
        if (!SortedIndex(index, changed)) return -1;
        m_index = index;
        if (!WriteIndex()) return -1;
    } else if (fresh) {
        for (int k = 0; k < kIndexEntries; ++k)
            if (Be16(index.data() + 2 * k) == existing)
                SetBe16(index.data() + 2 * k, static_cast<unsigned>(fdr));
        m_index = index;
        if (!WriteIndex()) return -1;
        for (int sector : oldSectors)
            SetBitmapUsed(m_vib.data(), sector, false);
        SetBitmapUsed(m_vib.data(), existing, false);
        if (!WriteVib()) return -1;
    }
    change.Keep();
    return fdr;
}

int CVirtualDrive::AppendSector(int fdr) {
    CAllOrNothing change(*this);
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

    // The rest of the file's last allocation unit is its own before a new unit is taken.
    if (!ReadVib()) return -1;
    int n = clusters.empty() ? -1 : RestOfUnit(m_vib.data(), start + (last - previous) - 1);
    if (n < 0) n = AllocateSector();
    if (n < 0) return -1;
    // AllocateSector works on the VIB only: the FDR buffer still holds this file. A sector
    // that cannot join the file goes back to the free pool with the guard.
    if (!clusters.empty() && n == start + (last - previous)) {
        EncodeCluster(m_fdr.data() + next - kClusterEntrySize, start, last + 1);
    } else if (next > kLastClusterEntry) {
        Fail(DiskError::TooManyClusters);
        return -1;
    } else {
        EncodeCluster(m_fdr.data() + next, n, last + 1);
    }
    const unsigned count = (Be16(m_fdr.data() + kFdrSectors) + 1u) & 0xFFFF;
    SetBe16(m_fdr.data() + kFdrSectors, count);
    if (m_fdr[kFdrStatus] & kStatusVariable) SetLe16(m_fdr.data() + kFdrRecords, count);
    if (!WriteFdr(fdr) || !StampTimes(fdr, false)) return -1;
    change.Keep();
    return n;
}

// ---- Copying ------------------------------------------------------------------------------

int CVirtualDrive::CopyFile(CVirtualDrive& target, int fdr, const std::string& newName) {
    FileInfo info;
    if (!GetFileInfo(fdr, info)) return 0;
    const Sector source = m_fdr;
    const std::string name = newName.empty() ? info.name : PadTiName(newName);
    // Onto itself under its own name there is nothing to do.
    if (&target == this && name == info.name) return 1;
    // Two drive objects on one PC file would each keep copies of sectors the other changes.
    if (&target != this && SameVolume(target)) return Fail(DiskError::SameFile);

    // The whole file is read before the target changes at all.
    std::vector<Sector> data(static_cast<size_t>(info.sectors));
    for (int k = 0; k < info.sectors; ++k) {
        const int from = FileToDiskSector(fdr, k, data[static_cast<size_t>(k)].data());
        if (from < 0) return 0;
        // The sector count claims more than the cluster list holds.
        if (from == 0) return Fail(DiskError::ReadFailed);
    }
    if (target.PutFile(name, source.data(), data, PutStamps::AsCopy) < 0)
        return Fail(target.m_lastError);
    return 1;
}

// ---- Emptying, deleting, undeleting -------------------------------------------------------

int CVirtualDrive::PurgeFile(int fdr) {
    CAllOrNothing change(*this);
    if (!ReadFdr(fdr)) return 0;
    Sector image = m_fdr;
    if (!ReadVib()) return 0;
    Sector vib = m_vib;
    for (int sector : OwnSectors(image.data(), VolumeTotal(vib.data())))
        SetBitmapUsed(vib.data(), sector, false);
    std::memset(image.data() + kFdrClusters, 0, kSectorSize - kFdrClusters);
    SetBe16(image.data() + kFdrSectors, 0);
    image[kFdrEofOffset] = 0;
    SetLe16(image.data() + kFdrRecords, 0);
    Stamp(image.data(), false);
    Stamp(vib.data(), false);
    // The FDR lets go of its sectors before the bitmap frees them.
    m_fdr = image;
    if (!WriteFdr(fdr)) return 0;
    m_vib = vib;
    if (!WriteVib()) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::DeleteFile(int fdr) {
    if (fdr < 2) return 1;
    CAllOrNothing change(*this);
    if (!ReadFdr(fdr)) return 0;
    const Sector image = m_fdr;
    if (!ReadVib()) return 0;
    Sector vib = m_vib;
    const int total = VolumeTotal(vib.data());
    for (int sector : OwnSectors(image.data(), total))
        SetBitmapUsed(vib.data(), sector, false);
    SetBitmapUsed(vib.data(), fdr, false);
    Stamp(vib.data(), false);
    if (!ReadIndex()) return 0;
    uint8_t* index = m_index.data();
    for (int k = 0; k < kIndexEntries; ++k) {
        if (Be16(index + 2 * k) != fdr) continue;
        std::memmove(index + 2 * k, index + 2 * k + 2, 2 * (kIndexEntries - 1 - k));
        SetBe16(index + 2 * (kIndexEntries - 1), 0);
        break;
    }
    // The index lets go of the file before the bitmap frees its sectors.
    if (!WriteIndex()) return 0;
    m_vib = vib;
    if (!WriteVib()) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::UndeleteFile(const std::string& name, int type) {
    CAllOrNothing change(*this);
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
        Sector index = m_index;
        const int files = IndexLength(index.data());
        for (int k = 0; k < files; ++k)
            if (Be16(index.data() + 2 * k) == d) return d;
        if (files >= kIndexEntries) {
            Fail(DiskError::MaxFiles);
            return -1;
        }
        // The bitmap claims the file's sectors before the index names it.
        if (!ReadVib()) return -1;
        SetBitmapUsed(m_vib.data(), d, true);
        for (int sector : OwnSectors(image.data(), total))
            SetBitmapUsed(m_vib.data(), sector, true);
        Stamp(m_vib.data(), false);
        if (!WriteVib()) return -1;
        SetBe16(index.data() + 2 * files, static_cast<unsigned>(d));
        bool changed = false;
        if (!SortedIndex(index, changed)) return -1;
        m_index = index;
        if (!WriteIndex()) return -1;
        change.Keep();
        return d;
    }
    change.Keep();
    return 0;
}

// ---- Names, protection, properties --------------------------------------------------------

int CVirtualDrive::RenameFile(int fdr, const std::string& newName) {
    CAllOrNothing change(*this);
    const std::string padded = PadTiName(newName);
    const int found = FindFile(padded);
    if (found < 0) return 0;
    if (found == fdr) return 1;
    if (found != 0) return Fail(DiskError::NameExists);
    if (!ReadFdr(fdr)) return 0;
    std::memcpy(m_fdr.data() + kFdrName, padded.data(), kNameLength);
    if (!WriteFdr(fdr) || !SortIndex()) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::SetProtection(int fdr, int mode) {
    CAllOrNothing change(*this);
    if (fdr == 0) {
        if (!ReadVib()) return 0;
        uint8_t& mark = m_vib[kVibProtection];
        if (mode == 1)
            mark = kProtectedMark;
        else if (mode == 0)
            mark = kUnprotectedMark;
        else
            mark = mark == kUnprotectedMark ? kProtectedMark : kUnprotectedMark;
        if (!WriteVib()) return 0;
        change.Keep();
        return 1;
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
    if (!WriteFdr(fdr)) return 0;
    change.Keep();
    return 1;
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
        if (end < first || end >= kMaxDiskSectors) return Fail(DiskError::PastEnd);
        last += end - first + 1;
        if (last > kMaxLastOffset) return Fail(DiskError::TooManyClusters);
    }

    CAllOrNothing change(*this);
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
    if (!WriteFdr(fdr) || !SortIndex()) return 0;
    change.Keep();
    return 1;
}

// ---- Index order --------------------------------------------------------------------------

int CVirtualDrive::SortedIndex(Sector& index, bool& changed) {
    const int files = IndexLength(index.data());
    std::vector<uint16_t> entries, damaged;
    std::vector<std::array<uint8_t, kNameLength>> names;
    for (int k = 0; k < files; ++k) {
        const uint16_t fdr = Be16(index.data() + 2 * k);
        const int read = ReadIndexedFdr(fdr);
        if (read == -1) return 0;
        // An entry that names no file keeps its place after the files: nothing is dropped.
        if (read != 1) {
            damaged.push_back(fdr);
            continue;
        }
        entries.push_back(fdr);
        names.emplace_back();
        std::memcpy(names.back().data(), m_fdr.data() + kFdrName, kNameLength);
    }
    // Bubble sort: stable, and it ends because only strictly lower names move up.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t k = 0; k + 1 < entries.size(); ++k) {
            if (CompareTiNames(names[k + 1].data(), names[k].data()) < 0) {
                std::swap(names[k], names[k + 1]);
                std::swap(entries[k], entries[k + 1]);
                swapped = true;
            }
        }
    }
    entries.insert(entries.end(), damaged.begin(), damaged.end());
    changed = false;
    for (int k = 0; k < files; ++k) {
        changed = changed || Be16(index.data() + 2 * k) != entries[static_cast<size_t>(k)];
        SetBe16(index.data() + 2 * k, entries[static_cast<size_t>(k)]);
    }
    return 1;
}

int CVirtualDrive::SortIndex() {
    CAllOrNothing change(*this);
    if (!ReadIndex()) return 0;
    Sector index = m_index;
    bool changed = false;
    if (!SortedIndex(index, changed)) return 0;
    if (changed) {
        m_index = index;
        if (!WriteIndex()) return 0;
    }
    change.Keep();
    return 1;
}

// ---- Time stamps --------------------------------------------------------------------------

// The same rule for an FDR and the VIB: bytes 20-27 of both hold the four stamps.
void CVirtualDrive::Stamp(uint8_t* b, bool created) const {
    const bool due = m_stampPolicy == StampAlways || (m_stampPolicy == StampIfStamped &&
                                                      (created || Be16(b + kFdrUpdateDate) != 0));
    if (!due) return;
    const uint16_t date = PackDate();
    const uint16_t time = PackTime();
    SetBe16(b + kFdrUpdateTime, time);
    SetBe16(b + kFdrUpdateDate, date);
    if (created || Be16(b + kFdrCreationDate) == 0) {
        SetBe16(b + kFdrCreationTime, time);
        SetBe16(b + kFdrCreationDate, date);
    }
}

int CVirtualDrive::StampTimes(int fdr, bool creating) {
    CAllOrNothing change(*this);
    if (fdr > 0) {
        if (!ReadFdr(fdr)) return 0;
        Stamp(m_fdr.data(), creating);
        if (!WriteFdr(fdr)) return 0;
    }
    if (!ReadVib()) return 0;
    // Creating a file updates the disk; only formatting creates it.
    Stamp(m_vib.data(), creating && fdr <= 0);
    if (!WriteVib()) return 0;
    change.Keep();
    return 1;
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
