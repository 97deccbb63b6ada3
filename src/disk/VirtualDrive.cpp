#include "VirtualDrive.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/AtomicFile.h"
#include "disk/HfeImage.h"
#include "disk/Layout.h"
#include "disk/Pc99Image.h"

namespace tavik {

namespace {

constexpr int kRecognitionBytes = 41;
// A map of bad sectors as some tools append it to a sector dump.
constexpr int64_t kBadSectorMapBytes = 768;

int64_t DoadImageBytes(bool doubleSided, bool doubleDensity) {
    int sectors = 360;
    if (doubleSided) sectors *= 2;
    if (doubleDensity) sectors *= 2;
    return int64_t{kSectorSize} * sectors;
}

}  // namespace

CVirtualDrive::CVirtualDrive() : m_prompt(&SilentPrompt()) {}

CVirtualDrive::~CVirtualDrive() {
    Close();
}

void CVirtualDrive::InvalidateCaches() {
    m_vibValid = 0;
    m_indexValid = 0;
    m_cachedFdr = 0;
}

// ---- Sectors ------------------------------------------------------------------------------

// Byte offset of sector n in the PC file, or a negative DiskError.
int64_t CVirtualDrive::ImageSectorOffset(int n, bool writing) {
    if (!m_file) return DiskError::NoDrive;
    if (m_kind != DriveKind::DoadImage)
        return LocatePc99Sector(*m_file, m_start, m_kind == DriveKind::Pc99Mfm, n, writing);
    int64_t inVolume = int64_t{kSectorSize} * n;
    int64_t length = m_file->Length();
    if (inVolume + kSectorSize > m_size || length < 0 || m_start + inVolume + kSectorSize > length)
        return DiskError::PastEnd;
    return m_start + inVolume;
}

int CVirtualDrive::ReadImageSector(int n, uint8_t* buffer) {
    if (m_hfe && m_file) {
        const int rc = m_hfe->ReadSector(*this, n, buffer);
        return rc == 0 ? 1 : Fail(rc);
    }
    int64_t offset = ImageSectorOffset(n, false);
    if (offset < 0) return Fail(static_cast<int>(offset));
    if (m_file->ReadAt(offset, buffer, kSectorSize) != kSectorSize)
        return Fail(DiskError::ReadFailed);
    return 1;
}

int CVirtualDrive::WriteImageSector(int n, const uint8_t* buffer) {
    bool written = false;
    if (m_hfe && m_file) {
        const int rc = m_hfe->WriteSector(*this, n, buffer);
        if (rc != 0 && rc != DiskError::ReadFailed) return Fail(rc);
        written = rc == 0;
    } else {
        const int64_t offset = ImageSectorOffset(n, true);
        if (offset < 0) return Fail(static_cast<int>(offset));
        written = m_file->WriteAt(offset, buffer, kSectorSize) == kSectorSize;
    }
    if (!written) {
        // A file opened read-only (no write permission) cannot take the change.
        auto* disk = dynamic_cast<CDiskFile*>(m_file.get());
        if (disk && !disk->Writable())
            return FailOnPcFile(DiskError::CantOpenPcFile, disk->Path(), EACCES);
        return Fail(DiskError::ReadFailed);
    }
    return 1;
}

// Sectors a drive of this kind can address at all; an image also ends where its file ends.
int CVirtualDrive::Reach() const {
    return m_kind == DriveKind::RemoteTi || m_kind == DriveKind::EmulatorDrive ? kMaxSectors
                                                                               : kMaxDiskSectors;
}

int CVirtualDrive::ReadSector(int n, uint8_t* buffer) {
    if (n < 0 || n >= Reach()) return Fail(DiskError::PastEnd);
    if (m_kind == DriveKind::None) return Fail(DiskError::NoDrive);
    ++m_sectorsRead;
    switch (m_kind) {
        case DriveKind::RemoteTi: {
            size_t at = size_t{kSectorSize} * static_cast<size_t>(n);
            if (m_cacheLevel > CacheSystemSectors && m_held.size() == kMaxSectors &&
                (m_held[n] & 1)) {
                std::memcpy(buffer, m_memoryImage.data() + at, kSectorSize);
                return 1;
            }
            if (!m_link) return Fail(DiskError::RemoteProblem);
            Sector data{};
            int rc = m_link->ReadSector(*this, n, data.data());
            if (rc != 0) return Fail(rc);
            std::memcpy(buffer, data.data(), kSectorSize);
            if (m_memoryImage.size() < at + kSectorSize) m_memoryImage.resize(kMaxVolumeBytes);
            if (m_held.size() != kMaxSectors) m_held.assign(kMaxSectors, 0);
            std::memcpy(m_memoryImage.data() + at, data.data(), kSectorSize);
            m_held[n] |= 1;
            return 1;
        }
        case DriveKind::EmulatorDrive: {
            if (!m_link || m_link->ReadSector(*this, n, buffer) != 0)
                return Fail(DiskError::EmulatorProblem);
            return 1;
        }
        default:
            return ReadImageSector(n, buffer);
    }
}

int CVirtualDrive::WriteSector(int n, const uint8_t* buffer) {
    if (m_kind == DriveKind::None) return Fail(DiskError::NoDrive);
    if (n < 0 || n >= Reach()) return Fail(DiskError::PastEnd);
    if (m_changes > 0 && !m_scratch && !m_puttingBack) {
        if (m_journaled.size() != kMaxDiskSectors) m_journaled.assign(kMaxDiskSectors, 0);
        if (!m_journaled[static_cast<size_t>(n)]) {
            // What cannot be put back is not written.
            Sector old;
            if (!ReadSector(n, old.data())) return 0;
            m_journaled[static_cast<size_t>(n)] = 1;
            m_journal.emplace_back(n, old);
        }
    }
    // The cached copies must never disagree with what was written.
    if (n == 0 && buffer != m_vib.data()) std::memcpy(m_vib.data(), buffer, kSectorSize);
    if (n == 1 && buffer != m_index.data()) std::memcpy(m_index.data(), buffer, kSectorSize);
    if (m_cachedFdr != 0 && n == m_cachedFdr && buffer != m_fdr.data())
        std::memcpy(m_fdr.data(), buffer, kSectorSize);
    ++m_sectorsWritten;
    int written = 0;
    switch (m_kind) {
        case DriveKind::RemoteTi: {
            size_t at = size_t{kSectorSize} * static_cast<size_t>(n);
            if (m_memoryImage.size() < at + kSectorSize) m_memoryImage.resize(kMaxVolumeBytes);
            if (m_held.size() != kMaxSectors) m_held.assign(kMaxSectors, 0);
            std::memcpy(m_memoryImage.data() + at, buffer, kSectorSize);
            if (!m_link) {
                written = Fail(DiskError::RemoteProblem);
                break;
            }
            int rc = m_link->WriteSector(*this, n, buffer);
            if (rc != 0) {
                m_held[n] &= ~1;  // the copy no longer matches the drive
                written = Fail(rc);
                break;
            }
            m_held[n] |= 1;
            written = 1;
            break;
        }
        case DriveKind::EmulatorDrive:
            written = !m_link || m_link->WriteSector(*this, n, buffer) != 0
                          ? Fail(DiskError::EmulatorProblem)
                          : 1;
            break;
        default:
            written = WriteImageSector(n, buffer);
            break;
    }
    if (!written) {
        // The sector may hold the old bytes, the new ones or some of each: the copies are
        // no longer known to match it.
        if (n == 0) m_vibValid = 0;
        if (n == 1) m_indexValid = 0;
        if (n == m_cachedFdr) m_cachedFdr = 0;
    }
    return written;
}

// ---- All or nothing -----------------------------------------------------------------------

CAllOrNothing::CAllOrNothing(CVirtualDrive& drive) : m_drive(drive) {
    ++m_drive.m_changes;
}

CAllOrNothing::~CAllOrNothing() {
    m_drive.EndChange(m_kept);
}

void CVirtualDrive::EndChange(bool keep) {
    if (--m_changes > 0) return;
    if (!keep && !m_journal.empty()) {
        // The reason the operation failed stays the drive's last error.
        const int error = m_lastError;
        m_puttingBack = true;
        for (auto it = m_journal.rbegin(); it != m_journal.rend(); ++it)
            WriteSector(it->first, it->second.data());
        m_puttingBack = false;
        InvalidateCaches();
        m_lastError = error;
    }
    m_journal.clear();
    std::fill(m_journaled.begin(), m_journaled.end(), 0);
}

// ---- Cached system sectors ----------------------------------------------------------------

int CVirtualDrive::ReadVib(bool force) {
    if (m_cacheLevel > CacheNothing && m_vibValid && !force) return 1;
    Sector data;
    if (!ReadSector(0, data.data())) return 0;
    m_vib = data;
    m_vibValid = 1;
    return 1;
}

int CVirtualDrive::ReadIndex() {
    if (m_cacheLevel > CacheNothing && m_indexValid) return 1;
    Sector data;
    if (!ReadSector(1, data.data())) return 0;
    m_index = data;
    m_indexValid = 1;
    return 1;
}

int CVirtualDrive::ReadFdr(int n) {
    if (n < 2) return Fail(DiskError::NotAnFdrSector);
    if (m_cacheLevel > CacheNothing && m_cachedFdr == n) return 1;
    Sector data;
    if (!ReadSector(n, data.data())) return 0;
    m_fdr = data;
    m_cachedFdr = n;
    return 1;
}

int CVirtualDrive::WriteVib() {
    if (!WriteSector(0, m_vib.data())) return 0;
    m_vibValid = 1;
    return 1;
}

int CVirtualDrive::WriteIndex() {
    if (!WriteSector(1, m_index.data())) return 0;
    m_indexValid = 1;
    return 1;
}

int CVirtualDrive::WriteFdr(int n) {
    if (n < 0) n = m_cachedFdr;
    // Sectors 0 and 1 are never FDRs: writing the FDR buffer there would destroy the disk.
    if (n < 2) return Fail(DiskError::NotAnFdrSector);
    m_cachedFdr = 0;
    if (!WriteSector(n, m_fdr.data())) return 0;
    m_cachedFdr = n;
    return 1;
}

// ---- Mounting -----------------------------------------------------------------------------

int CVirtualDrive::MountFile(std::unique_ptr<CPcFile> file, int64_t start, int64_t size,
                             int64_t maxSize) {
    if (!file) return Fail(DiskError::NoDrive);
    if (maxSize >= 0) m_maxSize = maxSize;
    int64_t length = file->Length();
    if (length < 0 || start < 0 || length < start) return Fail(DiskError::PastEnd);
    const bool wholeFile = size == 0 && start == 0;
    if (size == 0) {
        size = length - start;
        if (m_maxSize != 0 && length - start > m_maxSize) size = m_maxSize;
    } else if (size < 0 || (m_maxSize > 0 && m_maxSize < size) || start + size > length) {
        return Fail(DiskError::PastEnd);
    }
    if (size < kSectorSize) return Fail(DiskError::PastEnd);

    uint8_t first[kRecognitionBytes] = {};
    int64_t got = file->ReadAt(0, first, sizeof first);
    if (got < 0) return Fail(DiskError::ReadFailed);
    const int kind = RecognizeImageKind(first, static_cast<size_t>(got));
    std::unique_ptr<CHfeImage> hfe;
    if (kind == DriveKind::HfeImage) {
        // An HFE image is the whole file, never a volume inside a larger one.
        if (start != 0) return Fail(DiskError::BadFormatSpec);
        hfe = std::make_unique<CHfeImage>();
        if (const int rc = hfe->Open(*file)) return Fail(rc);
        size = int64_t{hfe->Geometry().TotalSectors()} * kSectorSize;
    }

    m_file = std::move(file);
    m_hfe = std::move(hfe);
    m_link = nullptr;
    m_start = start;
    m_size = size;
    InvalidateCaches();
    m_kind = kind;
    // A sector dump followed by a bad-sector map: the volume ends where its VIB says, before the
    // map, which stays as it is.
    m_trailer = 0;
    if (m_kind == DriveKind::DoadImage && wholeFile && size == length &&
        got > layout::kVibTotal + 1) {
        const int64_t total = layout::Be16(first + layout::kVibTotal);
        if (total > 0 && length == total * kSectorSize + kBadSectorMapBytes) {
            m_size = length - kBadSectorMapBytes;
            m_trailer = kBadSectorMapBytes;
        }
    }
    if (m_kind == DriveKind::DoadImage) m_cacheLevel = CacheNothing;
    return m_kind;
}

int CVirtualDrive::OpenImage(const std::string& path) {
    OpenFailure why = OpenFailure::None;
    std::unique_ptr<CPcFile> file = CDiskFile::Open(path, OpenMode::ReadWrite, &why);
    // An image without write permission is still shown; changes to it fail.
    if (!file && why != OpenFailure::NotRegular)
        file = CDiskFile::Open(path, OpenMode::ReadOnly, &why);
    if (!file)
        return why == OpenFailure::NotRegular
                   ? FailOnPcFile(DiskError::NotRegularFile, path, 0)
                   : FailOnPcFile(DiskError::CantOpenPcFile, path, errno);
    return MountFile(std::move(file), 0, 0, -1);
}

int CVirtualDrive::CreateFilled(const std::string& path,
                                const std::function<bool(CPcFile&)>& fill) {
    // An existing file is replaced only as a whole, and never under a drive that shows it.
    if (const auto identity = IdentityOf(path); identity && CDiskFile::IsOpenElsewhere(*identity))
        return FailOnPcFile(DiskError::FileInUse, path, 0);
    errno = 0;
    if (!ReplaceFileAtomically(path, fill))
        return FailOnPcFile(DiskError::CantOpenPcFile, path, errno);
    auto file = CDiskFile::Open(path, OpenMode::ReadWrite);
    if (!file) return FailOnPcFile(DiskError::CantOpenPcFile, path, errno);
    return MountFile(std::move(file), 0, 0, -1);
}

int CVirtualDrive::CreateImage(const std::string& path, bool doubleSided, bool doubleDensity,
                               bool pc99, int tracksPerSide) {
    if (tracksPerSide != 40 && (tracksPerSide != 80 || pc99)) return Fail(DiskError::BadFormatSpec);
    return CreateFilled(path, [&](CPcFile& file) {
        if (!pc99)
            return file.SetLength(DoadImageBytes(doubleSided, doubleDensity) * tracksPerSide / 40);
        const std::vector<uint8_t> blank = BlankPc99Image(doubleSided, doubleDensity);
        return file.WriteAt(0, blank.data(), blank.size()) == static_cast<int64_t>(blank.size());
    });
}

int CVirtualDrive::CreateHfeImage(const std::string& path, bool doubleSided, bool doubleDensity,
                                  int tracksPerSide) {
    if (tracksPerSide != 40 && tracksPerSide != 80) return Fail(DiskError::BadFormatSpec);
    const std::vector<uint8_t> blank =
        BuildHfeImage({tracksPerSide, doubleSided ? 2 : 1, doubleDensity});
    return CreateFilled(path, [&](CPcFile& file) {
        return file.WriteAt(0, blank.data(), blank.size()) == static_cast<int64_t>(blank.size());
    });
}

int CVirtualDrive::MountRemote(uint8_t driveNumber, CSectorSource* link) {
    m_kind = DriveKind::None;
    m_hfe.reset();
    m_remoteWords = {};
    m_remoteSub11Entry = 0;
    m_link = link;
    m_remoteDrive = driveNumber;
    if (!m_link) return Fail(DiskError::RemoteProblem);
    int rc = m_link->ConfirmDrive(*this);
    if (rc != 0) {
        m_link = nullptr;
        return Fail(rc);
    }
    m_file.reset();
    m_start = 0;
    m_size = kMaxVolumeBytes;
    m_trailer = 0;
    m_memoryImage.assign(kMaxVolumeBytes, 0);
    m_held.assign(kMaxSectors, 0);
    InvalidateCaches();
    m_kind = DriveKind::RemoteTi;
    m_cacheLevel = CacheWholeDisk;
    return m_kind;
}

int CVirtualDrive::MountEmulator(uint8_t driveLetter, CSectorSource* link, const std::string& name,
                                 uint8_t device) {
    m_kind = DriveKind::None;
    m_hfe.reset();
    if (!link) return Fail(DiskError::EmulatorProblem);
    m_link = link;
    m_emulatorDrive = static_cast<uint8_t>(driveLetter - '0');
    m_emulatorName = name;
    m_emulatorDevice = device;
    if (driveLetter != 0x40 && m_link->ConfirmDrive(*this) != 0) {
        m_link = nullptr;
        return Fail(DiskError::EmulatorProblem);
    }
    m_file.reset();
    m_start = 0;
    m_size = kMaxVolumeBytes;
    m_trailer = 0;
    InvalidateCaches();
    m_kind = DriveKind::EmulatorDrive;
    m_cacheLevel = CacheSystemSectors;
    return m_kind;
}

// ---- Properties and settings --------------------------------------------------------------

int CVirtualDrive::GetDriveProperties(DriveProperties& record) const {
    record.kind = m_kind;
    record.path = m_file ? m_file->Path() : std::string();
    record.start = m_start;
    record.size = m_size;
    record.maxSize = m_maxSize;
    record.remoteDrive = m_remoteDrive;
    record.remoteWords = m_remoteWords;
    record.emulatorDrive = m_emulatorDrive;
    record.emulatorDevice = m_emulatorDevice;
    record.emulatorName = m_emulatorName;
    return IsImageKind(m_kind) || m_kind == DriveKind::RemoteTi ||
           m_kind == DriveKind::EmulatorDrive;
}

int CVirtualDrive::SetDriveProperties(const DriveProperties& record) {
    if (record.kind != m_kind || m_kind == DriveKind::None) return 0;
    if (m_kind == DriveKind::RemoteTi) {
        m_remoteDrive = record.remoteDrive;
        m_remoteWords = record.remoteWords;
        return 1;
    }
    if (m_kind == DriveKind::EmulatorDrive) {
        m_emulatorDrive = record.emulatorDrive;
        m_emulatorDevice = record.emulatorDevice;
        m_emulatorName = record.emulatorName;
        return 1;
    }
    if (!m_file) return Fail(DiskError::NoDrive);
    if (m_kind == DriveKind::HfeImage) {
        // The tracks of the image say where its sectors are: there is no volume to move or cut.
        if (record.start != m_start || record.size != m_size) return Fail(DiskError::BadFormatSpec);
        m_maxSize = record.maxSize;
        return 1;
    }
    if (record.start < 0 || record.size < kSectorSize || record.maxSize < 0 ||
        (record.maxSize > 0 && record.size > record.maxSize))
        return Fail(DiskError::PastEnd);
    int64_t length = m_file->Length();
    if (length < 0) return Fail(DiskError::ReadFailed);
    const int64_t trailer = record.start == 0 && m_start == 0 ? m_trailer : 0;
    if (trailer > 0 && record.size != m_size) {
        if (!MoveTrailer(record.size)) return 0;
    } else if (record.start == 0 && length != record.size + trailer) {
        if (!ResizePcFile(record.size)) return 0;
    } else if (record.start + record.size > length) {
        // A volume inside a larger file only ever grows the file: data outside it stays.
        if (!m_file->SetLength(record.start + record.size))
            return FailOnPcFile(DiskError::CantOpenPcFile, m_file->Path(), errno);
    }
    m_start = record.start;
    m_size = record.size;
    m_maxSize = record.maxSize;
    InvalidateCaches();
    return 1;
}

// A volume of a new size with the bytes that followed the old one after it.
int CVirtualDrive::MoveTrailer(int64_t newSize) {
    std::vector<uint8_t> volume(static_cast<size_t>(std::min(m_size, newSize)));
    std::vector<uint8_t> trailer(static_cast<size_t>(m_trailer));
    if (m_file->ReadAt(0, volume.data(), volume.size()) != static_cast<int64_t>(volume.size()) ||
        m_file->ReadAt(m_size, trailer.data(), trailer.size()) !=
            static_cast<int64_t>(trailer.size()))
        return Fail(DiskError::ReadFailed);
    return RewritePcFile([&](CPcFile& out) {
        return out.WriteAt(0, volume.data(), volume.size()) ==
                   static_cast<int64_t>(volume.size()) &&
               out.SetLength(newSize) &&
               out.WriteAt(newSize, trailer.data(), trailer.size()) ==
                   static_cast<int64_t>(trailer.size());
    });
}

// Gives the PC file a new length. The file is rewritten as a whole (beside itself and renamed
// over the old one), so that a failure or crash never leaves a half-cut image.
int CVirtualDrive::ResizePcFile(int64_t newLength) {
    return RewritePcFile([&](CPcFile& out) {
        std::vector<uint8_t> chunk(64 * 1024);
        const int64_t length = m_file->Length();
        const int64_t kept = std::min(length, newLength);
        for (int64_t at = 0; at < kept; at += static_cast<int64_t>(chunk.size())) {
            const size_t n = static_cast<size_t>(
                std::min<int64_t>(static_cast<int64_t>(chunk.size()), kept - at));
            if (m_file->ReadAt(at, chunk.data(), n) != static_cast<int64_t>(n)) return false;
            if (out.WriteAt(at, chunk.data(), n) != static_cast<int64_t>(n)) return false;
        }
        return out.SetLength(newLength);
    });
}

int CVirtualDrive::RewritePcFile(const std::function<bool(CPcFile&)>& write) {
    if (auto* disk = dynamic_cast<CDiskFile*>(m_file.get())) {
        if (!disk->Writable())
            return FailOnPcFile(DiskError::CantOpenPcFile, m_file->Path(), EACCES);
        // Another drive showing the same file would go on reading the old one.
        if (const auto identity = disk->Identity();
            identity && CDiskFile::IsOpenElsewhere(*identity, disk))
            return FailOnPcFile(DiskError::FileInUse, m_file->Path(), 0);
    }
    errno = 0;
    if (!m_file->ReplaceContents(write))
        return FailOnPcFile(DiskError::CantOpenPcFile, m_file->Path(), errno);
    InvalidateCaches();
    return 1;
}

int CVirtualDrive::Capacity() {
    switch (m_kind) {
        case DriveKind::DoadImage:
        case DriveKind::HfeImage:  // its size is the sectors its tracks hold
            return static_cast<int>(std::min<int64_t>(m_size / kSectorSize, kMaxDiskSectors));
        case DriveKind::Pc99Fm:
        case DriveKind::Pc99Mfm: {
            if (!m_file) return 0;
            const bool mfm = m_kind == DriveKind::Pc99Mfm;
            const Pc99Geometry& g = Pc99Layout(mfm);
            // A track counts when it is whole but for the bytes a write may do without.
            const int64_t bytes = m_file->Length() - m_start + (mfm ? 2 : 1);
            const int64_t tracks = bytes < 0 ? 0 : bytes / g.trackLength;
            // Side 1 is stored from its last track back: it counts only when complete.
            const int64_t usable = tracks >= 80 ? 80 : std::min<int64_t>(tracks, 40);
            return static_cast<int>(usable * g.sectorsPerTrack);
        }
        case DriveKind::RemoteTi:
        case DriveKind::EmulatorDrive:
            return kMaxSectors;
        default:
            return 0;
    }
}

bool CVirtualDrive::SameVolume(CVirtualDrive& other) {
    if (&other == this) return true;
    if (!m_file || !other.m_file) return false;
    const auto mine = m_file->Identity();
    if (!mine || mine != other.m_file->Identity()) return false;
    return m_start < other.m_start + other.m_size && other.m_start < m_start + m_size;
}

void CVirtualDrive::SetConversion(int tabs, int truncate, int headerKind, int stampPolicy,
                                  int cacheLevel) {
    if (tabs >= 0) m_tabs = tabs > 0 ? 1 : 0;
    if (truncate >= 0) m_truncate = truncate > 0 ? 1 : 0;
    if (headerKind >= 0) m_exportHeaderKind = headerKind;
    if (stampPolicy >= 0) m_stampPolicy = stampPolicy;
    if (cacheLevel >= 0) m_cacheLevel = cacheLevel;
}

void CVirtualDrive::Refresh() {
    InvalidateCaches();
    std::fill(m_held.begin(), m_held.end(), 0);
}

void CVirtualDrive::Close() {
    if (m_file) {
        m_file->Close();
        m_file.reset();
    }
}

std::string CVirtualDrive::ErrorText() {
    int n1 = 0, n2 = 0, code = 0;
    bool record = false;
    if (m_link && m_link->IsRemoteLink()) {
        record = m_link->HasErrorRecord();
        n1 = m_link->ErrorNumber1();
        n2 = m_link->ErrorNumber2();
        code = m_link->ErrorCode();
        char line[64];
        std::snprintf(line, sizeof line, "Error %d IO#%d.%d", -m_lastError, n1, n2);
        m_link->LogLine(line);
    }
    char extra[32] = "";
    if (record && m_lastError == DiskError::RemoteProblem)
        std::snprintf(extra, sizeof extra, "Error #%d.%d", n1, n2);
    if (record && m_lastError == DiskError::RemoteIoError)
        std::snprintf(extra, sizeof extra, " code %02X", code & 0xFF);
    std::string text = DiskErrorText(m_lastError) + extra;
    if (!m_errorFile.empty()) text += PcFileReason(m_errorFile, m_errorReason);
    return text;
}

void CVirtualDrive::NamePcFile(const std::string& path, int reason) {
    if (m_lastError != DiskError::CantOpenPcFile && m_lastError != DiskError::NotRegularFile &&
        m_lastError != DiskError::FileInUse)
        return;
    m_errorFile = path;
    m_errorReason = reason;
}

std::string DiskErrorText(int error) {
    switch (error) {
        case DiskError::NoDrive:
            return "No drive assigned";
        case DiskError::PastEnd:
            return "Past end of drive";
        case DiskError::ReadFailed:
            return "Error reading from virtual drive";
        case DiskError::FileNotFound:
            return "File not found";
        case DiskError::CantOpenPcFile:
            return "Can't open file on PC";
        case DiskError::TooManyClusters:
            return "File fractured in too many clusters";
        case DiskError::MaxFiles:
            return "Max number of files reached";
        case DiskError::BadPc99:
            return "Bad PC99 format";
        case DiskError::RemoteProblem:
            return "Problem with remote TI-99/4A.";
        case DiskError::DiskFull:
            return "Disk is full";
        case DiskError::RemoteIoError:
            return "TI-99/4A I/O error";
        case DiskError::TiIoError7:
            return "TI-99/4A I/O error 7 (File error)";
        case DiskError::TiIoError6:
            return "TI-99/4A I/O error 6 (Device error)";
        case DiskError::TiIoError5:
            return "TI-99/4A I/O error 5 (End-of-file reached)";
        case DiskError::TiIoError4:
            return "TI-99/4A I/O error 4 (Memory full)";
        case DiskError::TiIoError3:
            return "TI-99/4A I/O error 3 (Illegal operation)";
        case DiskError::TiIoError2:
            return "TI-99/4A I/O error 2 (Bad attribute)";
        case DiskError::TiIoError1:
            return "TI-99/4A I/O error 1 (Write protected)";
        case DiskError::TiIoError0:
            return "TI-99/4A I/O error 0 (DSR not found)";
        case DiskError::EmulatorProblem:
            return "Problem with Zantu";
        case DiskError::NameExists:
            return "Name already exists";
        case DiskError::UserAborted:
            return "User aborted operation";
        case DiskError::BadFormatSpec:
            return "Unrecognized format specifications";
        case DiskError::SameFile:
            return "Source and target are the same file";
        case DiskError::FileInUse:
            return "The PC file is the image of a mounted disk";
        case DiskError::DoesNotFit:
            return "The disk does not fit on the target";
        case DiskError::NotRegularFile:
            return "Not a regular file";
        case DiskError::DamagedIndex:
            return "The file list is damaged: check the disk first";
        default:
            return "Unknown error";
    }
}

}  // namespace tavik
