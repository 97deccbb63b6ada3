// Operations on a whole disk: format, empty, defragment, sector and file copies, and the check
// that builds the usage table of every sector.
#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "base/Progress.h"
#include "disk/ClusterWalk.h"
#include "disk/Layout.h"
#include "disk/TiName.h"
#include "disk/VirtualDrive.h"

namespace tavik {

using namespace layout;

namespace {

int DefaultTotal(bool doubleSided, bool doubleDensity, int tracksPerSide) {
    return (doubleDensity ? 18 : 9) * (doubleSided ? 2 : 1) * tracksPerSide;
}

// Sectors the files of the index take on a disk of the target's VIB (each file its FDR and its
// data sectors, in whole allocation units); -1 on a read error.
int SectorsOfFiles(CVirtualDrive& drive, const uint8_t* targetVib) {
    int needed = 0;
    int position = 0;
    for (int fdr; (fdr = drive.NextFdr(position)) != 0;) {
        FileInfo info;
        if (fdr < 0 || !drive.GetFileInfo(fdr, info)) return -1;
        needed += FileFootprint(targetVib, info.sectors);
    }
    return needed;
}

// Whether a disk of this size fits its sides and density (and, past 1600 sectors, its tracks).
bool SizeFitsGeometry(const uint8_t* vib) {
    const int total = Be16(vib + kVibTotal);
    const bool doubleSided = vib[kVibSides] >= 2;
    const bool doubleDensity = vib[kVibDensity] >= 2;
    if (total > kBitmapBits)
        return doubleSided && doubleDensity && vib[kVibTracksPerSide] >= 80 &&
               total <= kMaxDiskSectors;
    return !((total > 360 && !doubleSided && !doubleDensity) ||
             (total > 720 && !(doubleSided && doubleDensity)) || total > 1440);
}

}  // namespace

int CVirtualDrive::Format(const std::string& name, bool doubleSided, bool doubleDensity,
                          int totalSectors, int tracksPerSide) {
    if (tracksPerSide <= 0) tracksPerSide = 40;
    // The VIB keeps the number of tracks in one byte.
    if (tracksPerSide > 0xFF) return Fail(DiskError::BadFormatSpec);
    if (totalSectors == 0)
        totalSectors = DefaultTotal(doubleSided, doubleDensity, tracksPerSide >= 80 ? 80 : 40);
    // The bitmap describes 2880 sectors at most, and the image must hold every one of them.
    if (totalSectors < 0 || totalSectors > kMaxDiskSectors ||
        m_size < int64_t{totalSectors} * kSectorSize || totalSectors > Capacity())
        return Fail(DiskError::PastEnd);
    const int sides = doubleSided ? 2 : 1;
    const int density = doubleDensity ? 2 : 1;
    CAllOrNothing change(*this);
    if (m_kind == DriveKind::RemoteTi) {
        if (!m_link) return Fail(DiskError::RemoteProblem);
        const int rc = m_link->FormatDisk(*this, tracksPerSide, sides, density);
        if (rc != 0) return Fail(rc);
    }
    const std::string padded = PadTiName(name);
    m_vib.fill(0);
    std::memcpy(m_vib.data() + kVibName, padded.data(), kNameLength);
    SetBe16(m_vib.data() + kVibTotal, static_cast<unsigned>(totalSectors));
    m_vib[kVibSectorsPerTrack] = doubleDensity ? 18 : 9;
    std::memcpy(m_vib.data() + kVibDsk, "DSK", 3);
    m_vib[kVibProtection] = kUnprotectedMark;
    m_vib[kVibTracksPerSide] = static_cast<uint8_t>(tracksPerSide);
    m_vib[kVibSides] = static_cast<uint8_t>(sides);
    m_vib[kVibDensity] = static_cast<uint8_t>(density);
    if (!WriteVib() || !StampTimes(0, true) || !PurgeDisk()) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::PurgeDisk() {
    CAllOrNothing change(*this);
    if (!ReadVib()) return 0;
    Sector vib = m_vib;
    const int total = Be16(vib.data() + kVibTotal);
    const int unit = AllocationUnit(vib.data());
    const int n = std::min(total / unit, kBitmapBits) / 8;
    uint8_t* bitmap = vib.data() + kVibBitmap;
    std::memset(bitmap, 0, static_cast<size_t>(n));
    std::memset(bitmap + n, 0xFF, static_cast<size_t>(kBitmapBytes - n));
    if (n > 0) {
        SetBitmapUsed(vib.data(), 0, true);  // the VIB
        SetBitmapUsed(vib.data(), 1, true);  // and the index
    }
    vib[kVibProtection] = kUnprotectedMark;
    Stamp(vib.data(), false);
    // The index lets go of the files before the bitmap frees their sectors.
    m_index.fill(0);
    if (!WriteIndex()) return 0;
    m_vib = vib;
    if (!WriteVib()) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::CopySectors(CVirtualDrive& target, bool usedOnly) {
    if (&target != this && SameVolume(target)) return Fail(DiskError::SameFile);
    if (!ReadVib()) return 0;
    const Sector vib = m_vib;
    // Sectors past either drive's reach would be left behind by a copy that reports success.
    const int claimed = Be16(vib.data() + kVibTotal);
    if (claimed > kMaxDiskSectors || (claimed > kBitmapBits && claimed > target.Capacity()))
        return Fail(DiskError::PastEnd);
    const int total = VolumeTotal(vib.data());
    CAllOrNothing change(target);
    CProgress progress(*m_prompt, "Copying sectors", total);
    Sector data;
    int n = 0;
    for (; n < total; ++n) {
        if (usedOnly && !BitmapUsed(vib.data(), n)) continue;
        if (!ReadSector(n, data.data())) break;
        if (!target.WriteSector(n, data.data())) {
            Fail(target.m_lastError);
            break;
        }
        progress.Step(n + 1);
        if (progress.AbortRequested("Abort copy?")) {
            Fail(DiskError::UserAborted);
            break;
        }
    }
    target.InvalidateCaches();
    if (n < total) return 0;
    change.Keep();
    return 1;
}

int CVirtualDrive::CopyFiles(CVirtualDrive& target, bool copyVib, bool emptyTarget) {
    if (SameVolume(target)) return Fail(DiskError::SameFile);
    CAllOrNothing change(target);
    if (copyVib) {
        if (!ReadVib()) return 0;
        if (!target.WriteSector(0, m_vib.data())) return Fail(target.m_lastError);
        target.m_vibValid = 0;
        emptyTarget = true;
    }
    if (emptyTarget && !target.PurgeDisk()) return Fail(target.m_lastError);
    if (!ReadIndex()) return 0;
    const Sector index = m_index;
    const int files = IndexLength(index.data());
    CProgress progress(*m_prompt, "Copying files", files);
    for (int k = 0; k < files; ++k) {
        const int fdr = Be16(index.data() + 2 * k);
        const int read = ReadIndexedFdr(fdr);
        if (read == -1) return 0;
        if (read != 1) continue;  // an entry that names no file has nothing to copy
        if (!CopyFile(target, fdr, std::string())) return 0;
        progress.Step(k + 1);
        if (progress.AbortRequested("Abort copy?")) return Fail(DiskError::UserAborted);
    }
    change.Keep();
    return 1;
}

int CVirtualDrive::CopyDisk(CVirtualDrive& target, int mode) {
    if (mode < CopyAllSectors || mode > CopyFilesOnly) return Fail(DiskError::BadFormatSpec);
    if (SameVolume(target)) return Fail(DiskError::SameFile);
    if (!ReadVib()) return 0;
    // A copy that would leave a VIB claiming more sectors than its image holds is refused;
    // files alone go onto any disk with room for them.
    if (mode != CopyFilesOnly) {
        if (Be16(m_vib.data() + kVibTotal) > target.Capacity()) return Fail(DiskError::DoesNotFit);
    } else {
        if (!target.ReadVib()) return Fail(target.m_lastError);
        const int needed = SectorsOfFiles(*this, target.m_vib.data());
        if (needed < 0) return 0;
        const int room = std::min(VolumeTotal(target.m_vib.data()), target.Capacity()) - 2;
        if (needed > room) return Fail(DiskError::DoesNotFit);
    }
    switch (mode) {
        case CopyAllSectors:
            return CopySectors(target, false);
        case CopyUsedSectors:
            return CopySectors(target, true);
        case CopyFilesAndVib:
            return CopyFiles(target, true, true);
        default:
            return CopyFiles(target, false, true);
    }
}

int CVirtualDrive::Defragment() {
    CAllOrNothing change(*this);
    if (!ReadVib()) return 0;
    const int total = VolumeTotal(m_vib.data());
    const uint8_t protection = m_vib[kVibProtection];

    // The whole disk goes into memory first; the drive is then rebuilt from that copy, each
    // file recreated in index order with first-fit allocation.
    CVirtualDrive copy;
    auto memory = std::make_unique<CMemFile>();
    memory->SetLength(std::max<int64_t>(int64_t{std::max(total, 2)} * kSectorSize, kSectorSize));
    if (copy.MountFile(std::move(memory), 0, 0, 0) != DriveKind::DoadImage)
        return Fail(DiskError::ReadFailed);
    copy.SetScratch();
    copy.SetConversion(-1, -1, -1, -1, CacheSystemSectors);
    copy.SetPrompt(m_prompt);
    if (!CopySectors(copy, false)) return 0;

    // Rebuilding keeps only what the index names as files: an entry that names none may be an
    // FDR damaged beyond recognition, whose sectors would be given to others. And recreating a
    // second file of a name already copied would empty the first one.
    if (!copy.ReadIndex()) return Fail(copy.m_lastError);
    std::set<std::string> seen;
    const Sector index = copy.m_index;
    for (int k = 0; k < IndexLength(index.data()); ++k) {
        const int read = copy.ReadIndexedFdr(Be16(index.data() + 2 * k));
        if (read == -1) return Fail(copy.m_lastError);
        if (read != 1) return Fail(DiskError::DamagedIndex);
        const std::string name(reinterpret_cast<const char*>(copy.m_fdr.data()), kNameLength);
        if (!seen.insert(name).second) return Fail(DiskError::NameExists);
    }

    // While the disk is rebuilt nothing else changes it: its VIB and FDRs may stay cached
    // even on a drive that otherwise reads them afresh each time.
    const int cacheLevel = m_cacheLevel;
    m_cacheLevel = std::max(m_cacheLevel, static_cast<int>(CacheSystemSectors));
    const int rebuilt = copy.CopyFiles(*this, true, true);
    m_cacheLevel = cacheLevel;
    // A failed or stopped rebuild is put back by the guard.
    if (!rebuilt) return Fail(copy.m_lastError);
    // Emptying the disk cleared its protection; the rebuilt disk keeps what it had.
    if (!ReadVib()) return 0;
    if (m_vib[kVibProtection] != protection) {
        m_vib[kVibProtection] = protection;
        if (!WriteVib()) return 0;
    }
    change.Keep();
    return 1;
}

int CVirtualDrive::CheckDisk(int& flags, DiskUsage& usage) {
    flags = 0;
    usage.fill(0);
    auto use = [&](int sector) {
        uint16_t& word = usage[static_cast<size_t>(sector)];
        // The count saturates rather than carry into the flag bits above it.
        if ((word & kUsageCountMask) != kUsageCountMask) ++word;
    };

    if (!ReadVib()) return 0;
    const Sector vib = m_vib;
    use(0);
    const int total = Be16(vib.data() + kVibTotal);
    if (!SizeFitsGeometry(vib.data())) flags |= kCheckSizeTooBig;
    if (total > Capacity()) flags |= kCheckBeyondImage;
    // The sectors the bitmap can describe: numbers past them are illegal in the index and FDRs.
    const int reach = std::min(kBitmapBits * AllocationUnit(vib.data()), kMaxDiskSectors);
    for (int s = 0; s < kMaxDiskSectors; ++s) {
        if (s >= total) usage[s] |= kUsageBeyondTotal;
        if (BitmapUsed(vib.data(), s)) usage[s] |= kUsageBitmapUsed;
    }

    if (!ReadIndex()) return 0;
    const Sector index = m_index;
    use(1);
    uint8_t previous[kNameLength] = {};
    const int files = IndexLength(index.data());
    CProgress progress(*m_prompt, "Checking files", files);
    for (int k = 0; k < files; ++k) {
        const int fdr = Be16(index.data() + 2 * k);
        if (fdr >= reach || fdr < 2) {
            // Not a sector that can hold an FDR: noted, and the rest of the index is checked.
            if (fdr < reach) {
                usage[fdr] |= kUsageIndexedFdr;
                use(fdr);
            }
            flags |= kCheckBadFdrNumber;
            continue;
        }
        usage[fdr] |= kUsageIndexedFdr;
        use(fdr);
        // An entry past the disk or naming no FDR is reported and the rest of the index is
        // checked, as listings skip it and go on.
        const int read = ReadIndexedFdr(fdr);
        if (read == -1) return 0;
        if (read != 1) {
            flags |= read == 0 ? kCheckNotAnFdr : kCheckBadFdrNumber;
            continue;
        }
        const Sector image = m_fdr;
        if (CompareTiNames(image.data() + kFdrName, previous) <= 0) flags |= kCheckNotSorted;
        std::memcpy(previous, image.data() + kFdrName, kNameLength);
        ForEachClusterSector(ReadClusters(image.data()), [&](int sector) {
            if (sector >= reach)
                flags |= kCheckBadClusterSector;
            else
                use(sector);
            return true;
        });
        progress.Step(k + 1);
        if (progress.AbortRequested("Abort check?")) return Fail(DiskError::UserAborted);
    }
    // A file owns the whole allocation unit of each sector it names.
    const int unit = AllocationUnit(vib.data());
    for (int first = 0; unit > 1 && first + unit <= kMaxDiskSectors; first += unit) {
        const auto begin = usage.begin() + first;
        if (std::none_of(begin, begin + unit, [](uint16_t w) { return w & kUsageCountMask; }))
            continue;
        std::for_each(begin, begin + unit, [](uint16_t& w) {
            if (!(w & kUsageCountMask)) w |= kUsageUnitTail;
        });
    }
    return 1;
}

}  // namespace tavik
