// Read-side queries on the VIB, the file index and the FDRs.
#include <algorithm>
#include <bit>
#include <cstring>

#include "disk/Layout.h"
#include "disk/VirtualDrive.h"

namespace tavik {

using namespace layout;

namespace {

std::string PaddedName(const std::string& name) {
    std::string padded = name.substr(0, kNameLength);
    padded.resize(kNameLength, ' ');
    return padded;
}

}  // namespace

int CVirtualDrive::CountFreeSectors() {
    return FreeSectorCount(m_vib.data());
}

int CVirtualDrive::CountFiles() {
    return IndexLength(m_index.data());
}

std::string CVirtualDrive::GetDiskName() {
    if (!ReadVib()) return {};
    return std::string(reinterpret_cast<const char*>(m_vib.data()) + kVibName, kNameLength);
}

int CVirtualDrive::GetDiskInfo(DiskInfo& info) {
    if (!ReadVib() || !ReadIndex()) return 0;
    info.name.assign(reinterpret_cast<const char*>(m_vib.data()) + kVibName, kNameLength);
    info.doubleSided = m_vib[kVibSides] == 2;
    info.doubleDensity = m_vib[kVibDensity] == 2;
    info.isProtected = m_vib[kVibProtection] == kProtectedMark;
    info.totalSectors = Be16(m_vib.data() + kVibTotal);
    info.freeSectors = CountFreeSectors();
    info.files = CountFiles();
    return 1;
}

int CVirtualDrive::GetDiskProperties(DiskProperties& record) {
    if (!ReadVib() || !ReadIndex()) return 0;
    const uint8_t* v = m_vib.data();
    std::memcpy(record.name.data(), v + kVibName, kNameLength);
    record.totalSectors = Be16(v + kVibTotal);
    record.sectorsPerTrack = v[kVibSectorsPerTrack];
    std::memcpy(record.dsk.data(), v + kVibDsk, 3);
    record.protection = v[kVibProtection];
    record.tracksPerSide = v[kVibTracksPerSide];
    record.sides = v[kVibSides];
    record.density = v[kVibDensity];
    record.creationTime = Be16(v + kVibCreationTime);
    record.creationDate = Be16(v + kVibCreationDate);
    record.updateTime = Be16(v + kVibUpdateTime);
    record.updateDate = Be16(v + kVibUpdateDate);
    record.freeSectors = static_cast<uint16_t>(CountFreeSectors());
    record.files = static_cast<uint16_t>(CountFiles());
    record.driveKind = m_kind;
    return 1;
}

int CVirtualDrive::SetDiskProperties(const DiskProperties& record) {
    CAllOrNothing change(*this);
    // The bitmap in bytes 56-255 must come from the disk, not from a stale buffer.
    if (!ReadVib()) return 0;
    uint8_t* v = m_vib.data();
    std::memcpy(v + kVibName, record.name.data(), kNameLength);
    v[kVibSectorsPerTrack] = record.sectorsPerTrack;
    std::memcpy(v + kVibDsk, record.dsk.data(), 3);
    v[kVibProtection] = record.protection;
    v[kVibTracksPerSide] = record.tracksPerSide;
    v[kVibSides] = record.sides;
    v[kVibDensity] = record.density;
    SetBe16(v + kVibTotal, record.totalSectors);
    SetBe16(v + kVibCreationTime, record.creationTime);
    SetBe16(v + kVibCreationDate, record.creationDate);
    SetBe16(v + kVibUpdateTime, record.updateTime);
    SetBe16(v + kVibUpdateDate, record.updateDate);
    if (!WriteVib()) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::ReadIndexedFdr(int fdr) {
    if (fdr < 2 || fdr >= kMaxDiskSectors) return -2;
    const int error = m_lastError;
    if (!ReadFdr(fdr)) {
        if (m_lastError != DiskError::PastEnd) return -1;
        m_lastError = error;  // a damaged entry, not a failure
        return -2;
    }
    return LooksLikeFdr(m_fdr.data()) ? 1 : 0;
}

// One damaged entry of the index (a sector past the disk, sector 0 or 1, a sector that holds
// no FDR) must not hide the files named after it: the walks below skip it.
int CVirtualDrive::NextFdr(int& position) {
    while (position >= 0 && position < kIndexEntries) {
        if (!ReadIndex()) return -1;
        const int fdr = Be16(m_index.data() + 2 * position);
        if (fdr == 0) break;
        ++position;
        const int read = ReadIndexedFdr(fdr);
        if (read == -1) return -1;
        if (read == 1) return fdr;
    }
    position = 0;
    return 0;
}

int CVirtualDrive::FindFile(const std::string& name) {
    const std::string padded = PaddedName(name);
    if (!ReadIndex()) return -1;
    const Sector index = m_index;
    for (int k = 0; k < kIndexEntries; ++k) {
        int fdr = Be16(index.data() + 2 * k);
        if (fdr == 0) break;
        const int read = ReadIndexedFdr(fdr);
        if (read == -1) return -1;
        if (read != 1) continue;
        if (std::memcmp(m_fdr.data() + kFdrName, padded.data(), kNameLength) == 0) return fdr;
    }
    return 0;
}

int CVirtualDrive::GetFileProperties(int fdr, FileProperties& record) {
    if (!ReadFdr(fdr)) return 0;
    const uint8_t* f = m_fdr.data();
    std::memcpy(record.name.data(), f + kFdrName, kNameLength);
    std::memcpy(record.extra.data(), f + kFdrExtra, 2);
    record.status = f[kFdrStatus];
    record.recordsPerSector = f[kFdrRecordsPerSector];
    record.sectors = Be16(f + kFdrSectors);
    record.eofOffset = f[kFdrEofOffset];
    record.recordLength = f[kFdrRecordLength];
    record.records = Le16(f + kFdrRecords);
    record.creationTime = Be16(f + kFdrCreationTime);
    record.creationDate = Be16(f + kFdrCreationDate);
    record.updateTime = Be16(f + kFdrUpdateTime);
    record.updateDate = Be16(f + kFdrUpdateDate);
    record.fdrSector = static_cast<uint16_t>(fdr);
    record.clusters.clear();
    for (const ClusterEntry& c : ReadClusters(f)) {
        int last = c.start + c.Length() - 1;
        record.clusters.push_back(FileProperties::Cluster(
            static_cast<uint16_t>(c.start), static_cast<uint16_t>(std::max(last, 0))));
    }
    record.clusterCount = static_cast<uint16_t>(record.clusters.size());
    return 1;
}

int CVirtualDrive::ReadCatalog(std::vector<FileProperties>& files) {
    files.clear();
    if (!ReadIndex()) return 0;
    const Sector index = m_index;
    for (int k = 0; k < kIndexEntries; ++k) {
        int fdr = Be16(index.data() + 2 * k);
        if (fdr == 0) break;
        const int read = ReadIndexedFdr(fdr);
        if (read == -1) return 0;
        if (read != 1) continue;
        FileProperties record;
        if (!GetFileProperties(fdr, record)) return 0;
        files.push_back(std::move(record));
    }
    return 1;
}

int CVirtualDrive::GetFileInfo(int fdr, FileInfo& info) {
    if (!ReadFdr(fdr)) return 0;
    info.name.assign(reinterpret_cast<const char*>(m_fdr.data()) + kFdrName, kNameLength);
    info.status = m_fdr[kFdrStatus];
    info.recordLength = m_fdr[kFdrRecordLength];
    info.sectors = Be16(m_fdr.data() + kFdrSectors);
    return 1;
}

std::string CVirtualDrive::GetFileName(int fdr) {
    if (!ReadFdr(fdr)) return {};
    return std::string(reinterpret_cast<const char*>(m_fdr.data()) + kFdrName, kNameLength);
}

int CVirtualDrive::FileToDiskSector(int fdr, int offset, uint8_t* buffer) {
    if (offset < -1) return 0;
    int sector = fdr;
    if (offset >= 0) {
        if (!ReadFdr(fdr)) return -1;
        sector = 0;
        for (const ClusterEntry& c : ReadClusters(m_fdr.data())) {
            if (c.lastOffset >= offset) {
                sector = c.start + offset - (c.prevLast + 1);
                break;
            }
        }
        if (sector == 0) return 0;
    }
    if (buffer && !ReadSector(sector, buffer)) return -1;
    return sector;
}

int CVirtualDrive::DiskToFileSector(int fdr, int diskSector) {
    if (diskSector == fdr) return -1;
    if (!ReadFdr(fdr)) return -3;
    for (const ClusterEntry& c : ReadClusters(m_fdr.data())) {
        if (c.Length() > 0 && diskSector >= c.start && diskSector < c.start + c.Length())
            return c.prevLast + 1 + (diskSector - c.start);
    }
    return -2;
}

}  // namespace tavik
