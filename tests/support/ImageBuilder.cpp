#include "ImageBuilder.h"

#include <algorithm>
#include <cstring>

#include "disk/DiskTypes.h"
#include "disk/HfeImage.h"
#include "disk/Layout.h"
#include "disk/Pc99Image.h"

namespace tavik::test {

using namespace layout;

namespace {

constexpr int kFirstDataSector = 34;  // where TI controllers start placing file data

std::string Padded(const std::string& name) {
    std::string padded = name.substr(0, kNameLength);
    padded.resize(kNameLength, ' ');
    return padded;
}

int SectorsFor(size_t bytes) {
    return static_cast<int>((bytes + kSectorSize - 1) / kSectorSize);
}

}  // namespace

BuiltFile BuiltFile::Program(const std::string& name, const std::vector<uint8_t>& bytes) {
    BuiltFile f;
    f.name = name;
    f.status = kStatusProgram;
    f.data = bytes;
    f.eofOffset = static_cast<uint8_t>(bytes.size() % kSectorSize);
    f.records = 0;
    return f;
}

BuiltFile BuiltFile::Variable(const std::string& name, bool internal, uint8_t recordLength,
                              const std::vector<std::string>& records) {
    BuiltFile f;
    f.name = name;
    f.status = static_cast<uint8_t>(kStatusVariable | (internal ? kStatusInternal : 0));
    f.recordLength = recordLength;
    f.recordsPerSector = static_cast<uint8_t>(kSectorSize / std::max<int>(recordLength, 1));
    size_t used = 0;  // bytes used in the current sector
    for (const std::string& r : records) {
        // A sector always keeps room for the 0xFF that ends it.
        const size_t length = std::min<size_t>({r.size(), recordLength, kSectorSize - 2});
        if (f.data.empty() || used + 1 + length + 1 > kSectorSize) {
            f.data.resize(f.data.size() + kSectorSize, 0);
            used = 0;
        }
        uint8_t* p = f.data.data() + f.data.size() - kSectorSize + used;
        p[0] = static_cast<uint8_t>(length);
        std::memcpy(p + 1, r.data(), length);
        used += 1 + length;
        p[1 + length] = 0xFF;
    }
    f.eofOffset = static_cast<uint8_t>(used);
    f.records = SectorsFor(f.data.size());
    return f;
}

BuiltFile BuiltFile::Fixed(const std::string& name, bool internal, uint8_t recordLength,
                           const std::vector<std::string>& records) {
    BuiltFile f;
    f.name = name;
    f.status = internal ? kStatusInternal : 0;
    f.recordLength = recordLength;
    const int perSector = kSectorSize / std::max<int>(recordLength, 1);
    f.recordsPerSector = static_cast<uint8_t>(perSector);
    const int sectors = (static_cast<int>(records.size()) + perSector - 1) / perSector;
    f.data.assign(static_cast<size_t>(sectors) * kSectorSize, 0);
    for (size_t i = 0; i < records.size(); ++i) {
        const size_t at = (i / perSector) * kSectorSize + (i % perSector) * recordLength;
        std::memcpy(f.data.data() + at, records[i].data(),
                    std::min<size_t>(records[i].size(), recordLength));
    }
    f.records = static_cast<int>(records.size());
    return f;
}

CImageBuilder::CImageBuilder(int totalSectors, bool doubleSided, bool doubleDensity)
    : m_total(std::clamp(totalSectors, 2, kMaxSectors)),
      m_doubleSided(doubleSided),
      m_doubleDensity(doubleDensity),
      m_sectorsPerTrack(doubleDensity ? 18 : 9),
      m_sectors(size_t{kMaxVolumeBytes}, 0),
      m_used(kMaxSectors, false) {
    m_used[0] = m_used[1] = true;
}

CImageBuilder& CImageBuilder::SetName(const std::string& name) {
    m_name = name;
    return *this;
}

CImageBuilder& CImageBuilder::SetProtected(bool isProtected) {
    m_protected = isProtected;
    return *this;
}

CImageBuilder& CImageBuilder::SetSectorsPerTrack(int sectorsPerTrack) {
    m_sectorsPerTrack = sectorsPerTrack;
    return *this;
}

CImageBuilder& CImageBuilder::SetStamps(uint16_t creationTime, uint16_t creationDate,
                                        uint16_t updateTime, uint16_t updateDate) {
    m_stamps[0] = creationTime;
    m_stamps[1] = creationDate;
    m_stamps[2] = updateTime;
    m_stamps[3] = updateDate;
    return *this;
}

int CImageBuilder::NextFree(int from) const {
    for (int n = std::max(from, 2); n < m_total; ++n)
        if (!m_used[static_cast<size_t>(n)]) return n;
    return 0;
}

int CImageBuilder::AddFile(const BuiltFile& file) {
    const int fdr = file.fdrSector ? file.fdrSector : NextFree(2);
    if (fdr <= 0 || fdr >= kMaxSectors) return 0;
    // A file that does not fit leaves the disk as it was.
    const std::vector<bool> usedBefore = m_used;
    m_used[static_cast<size_t>(fdr)] = true;

    const int sectors = file.sectors >= 0 ? file.sectors : SectorsFor(file.data.size());
    std::vector<int> sizes = file.clusterSizes;
    if (sizes.empty() && sectors > 0) sizes.push_back(sectors);

    uint8_t* f = m_sectors.data() + size_t{kSectorSize} * static_cast<size_t>(fdr);
    std::memset(f, 0, kSectorSize);
    std::memcpy(f + kFdrName, Padded(file.name).data(), kNameLength);
    f[kFdrStatus] = file.status;
    f[kFdrRecordsPerSector] = file.recordsPerSector;
    SetBe16(f + kFdrSectors, static_cast<unsigned>(sectors));
    f[kFdrEofOffset] = file.eofOffset;
    f[kFdrRecordLength] = file.recordLength;
    SetLe16(f + kFdrRecords, static_cast<unsigned>(file.records >= 0 ? file.records : sectors));
    SetBe16(f + kFdrCreationTime, file.creationTime);
    SetBe16(f + kFdrCreationDate, file.creationDate);
    SetBe16(f + kFdrUpdateTime, file.updateTime);
    SetBe16(f + kFdrUpdateDate, file.updateDate);

    int offset = 0;  // file-relative sector
    int from = std::min(kFirstDataSector, m_total - 1);
    for (size_t k = 0; k < sizes.size() && k < kMaxClusters; ++k) {
        int start = NextFree(from);
        // The cluster needs `size` free sectors in a row.
        while (start) {
            int run = 0;
            while (run < sizes[k] && start + run < m_total &&
                   !m_used[static_cast<size_t>(start + run)])
                ++run;
            if (run == sizes[k]) break;
            start = NextFree(start + run + 1);
        }
        if (!start && from > 2) start = NextFree(2);
        if (!start) {
            m_used = usedBefore;
            return 0;
        }
        for (int s = 0; s < sizes[k]; ++s, ++offset) {
            const int n = start + s;
            m_used[static_cast<size_t>(n)] = true;
            const size_t at = size_t{kSectorSize} * static_cast<size_t>(offset);
            if (at < file.data.size())
                std::memcpy(m_sectors.data() + size_t{kSectorSize} * static_cast<size_t>(n),
                            file.data.data() + at,
                            std::min<size_t>(kSectorSize, file.data.size() - at));
        }
        EncodeCluster(f + kFdrClusters + kClusterEntrySize * static_cast<int>(k), start,
                      offset - 1);
        from = start + sizes[k] + 1;  // leave a gap so that clusters stay apart
    }
    m_files.push_back({Padded(file.name), fdr});
    return fdr;
}

CImageBuilder& CImageBuilder::SetIndex(const std::vector<int>& entries) {
    m_customIndex = true;
    m_index = entries;
    if (m_index.size() > kIndexEntries) m_index.resize(kIndexEntries);
    return *this;
}

std::vector<uint8_t> CImageBuilder::Image() const {
    std::vector<uint8_t> image(
        m_sectors.begin(), m_sectors.begin() + size_t{kSectorSize} * static_cast<size_t>(m_total));
    uint8_t* v = image.data();
    std::memset(v, 0, kSectorSize);
    std::memcpy(v + kVibName, Padded(m_name).data(), kNameLength);
    SetBe16(v + kVibTotal, static_cast<unsigned>(m_total));
    v[kVibSectorsPerTrack] = static_cast<uint8_t>(m_sectorsPerTrack);
    std::memcpy(v + kVibDsk, "DSK", 3);
    v[kVibProtection] = m_protected ? kProtectedMark : kUnprotectedMark;
    v[kVibTracksPerSide] = m_total > kMaxSectors ? 80 : 40;
    v[kVibSides] = m_doubleSided ? 2 : 1;
    v[kVibDensity] = m_doubleDensity ? 2 : 1;
    SetBe16(v + kVibCreationTime, m_stamps[0]);
    SetBe16(v + kVibCreationDate, m_stamps[1]);
    SetBe16(v + kVibUpdateTime, m_stamps[2]);
    SetBe16(v + kVibUpdateDate, m_stamps[3]);
    for (int n = 0; n < kMaxSectors; ++n)
        if (n >= m_total || m_used[static_cast<size_t>(n)]) SetBitmapUsed(v, n, true);

    std::vector<int> index = m_index;
    if (!m_customIndex) {
        std::vector<Entry> sorted = m_files;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const Entry& a, const Entry& b) { return a.name < b.name; });
        index.clear();
        for (const Entry& e : sorted)
            if (index.size() < kIndexEntries) index.push_back(e.fdr);
    }
    uint8_t* x = image.data() + kSectorSize;
    std::memset(x, 0, kSectorSize);
    for (size_t k = 0; k < index.size(); ++k)
        SetBe16(x + 2 * k, static_cast<unsigned>(index[k]));
    return image;
}

namespace {

std::vector<uint8_t> LayOutPc99(const std::vector<uint8_t>& sectors, bool doubleSided, bool mfm) {
    CMemFile file(BlankPc99Image(doubleSided, mfm));
    const int count = static_cast<int>(sectors.size() / kSectorSize);
    for (int n = 0; n < count; ++n) {
        const int64_t at = LocatePc99Sector(file, 0, mfm, n, true);
        if (at < 0) break;
        file.WriteAt(at, sectors.data() + size_t{kSectorSize} * static_cast<size_t>(n),
                     kSectorSize);
    }
    return std::move(file.Bytes());
}

}  // namespace

const char* ImageKindName(ImageKind kind) {
    switch (kind) {
        case ImageKind::Pc99Fm:
            return "PC99 FM";
        case ImageKind::Pc99Mfm:
            return "PC99 MFM";
        case ImageKind::Hfe:
            return "HFE";
        default:
            return "DOAD";
    }
}

int MaxSectorsOf(ImageKind kind) {
    switch (kind) {
        case ImageKind::Pc99Fm:
            return 720;
        case ImageKind::Pc99Mfm:
            return 1440;
        default:
            return kMaxSectors;
    }
}

std::vector<uint8_t> LayOutImage(const std::vector<uint8_t>& sectors, ImageKind kind) {
    if (kind == ImageKind::Doad) return sectors;
    const int count = static_cast<int>(sectors.size() / kSectorSize);
    if (count > MaxSectorsOf(kind)) return {};
    if (kind == ImageKind::Hfe)
        return BuildHfeImage({count > 1440 ? 80 : 40, count > 360 ? 2 : 1, count > 720}, sectors);
    return LayOutPc99(sectors, count > MaxSectorsOf(kind) / 2, kind == ImageKind::Pc99Mfm);
}

std::vector<uint8_t> CImageBuilder::Pc99Image() const {
    return LayOutPc99(Image(), m_doubleSided, m_doubleDensity);
}

std::vector<uint8_t> CImageBuilder::HfeImage() const {
    return BuildHfeImage({40, m_doubleSided ? 2 : 1, m_doubleDensity}, Image());
}

std::vector<uint8_t> FileBytes(CVirtualDrive& drive, const std::string& name) {
    std::vector<uint8_t> data;
    const int fdr = drive.FindFile(name);
    FileInfo info;
    if (fdr <= 0 || !drive.GetFileInfo(fdr, info)) return data;
    for (int k = 0; k < info.sectors; ++k) {
        uint8_t sector[256];
        if (drive.FileToDiskSector(fdr, k, sector) <= 0) return {};
        data.insert(data.end(), sector, sector + 256);
    }
    return data;
}

}  // namespace tavik::test
