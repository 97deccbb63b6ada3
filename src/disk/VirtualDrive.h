// One object per mounted drive. CVirtualDrive is the sector-source side (where the 256-byte
// sectors come from: a sector dump, a volume inside a CF-card file, a PC99 track image, a
// TI-99/4A on a cable or an emulator drive) and CTiDisk the file-system side (VIB, bitmap, file
// index, FDRs, files and disk-wide operations). They are one object: the cached VIB, index and
// FDR buffers live beside the source, and every operation works only through sector n.
//
// Results: non-zero on success, 0 (or a negative value where stated) on failure, with the
// reason in the last error. Nothing throws.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "base/UserPrompt.h"
#include "disk/DiskTypes.h"
#include "disk/SectorSource.h"

namespace tavik {

class CHfeImage;

// Usage table filled by CheckDisk: one word per sector 0..2879.
constexpr uint16_t kUsageBitmapUsed = 0x8000;
constexpr uint16_t kUsageBeyondTotal = 0x4000;
// A sector no file names in an allocation unit that a file holds (the rest of its last unit).
constexpr uint16_t kUsageUnitTail = 0x0200;
constexpr uint16_t kUsageIndexedFdr = 0x0100;
constexpr uint16_t kUsageCountMask = 0x00FF;
using DiskUsage = std::array<uint16_t, kMaxDiskSectors>;

// Problem flags returned by CheckDisk.
constexpr int kCheckSizeTooBig = 0x1;
constexpr int kCheckNotSorted = 0x2;
constexpr int kCheckBadFdrNumber = 0x4;
constexpr int kCheckBadClusterSector = 0x8;
constexpr int kCheckBeyondImage = 0x10;  // the VIB claims more sectors than the image holds
constexpr int kCheckNotAnFdr = 0x20;     // the index names a sector that holds no FDR

// Disk copy modes ("Select disk copy mode").
enum CopyMode : int {
    CopyAllSectors = 0,
    CopyUsedSectors = 1,
    CopyFilesAndVib = 2,
    CopyFilesOnly = 3
};

struct DiskInfo {
    std::string name;  // 10 characters
    bool doubleSided = false;
    bool doubleDensity = false;
    bool isProtected = false;
    int totalSectors = 0;
    int freeSectors = 0;
    int files = 0;
};

// How PutFile stamps a file: as the copy of another (the header's stamps, then stamped as
// extended when it has data), or as a newly made one (stamped as created; a file it replaces
// lends it its creation stamp and it is stamped as changed).
enum class PutStamps { AsCopy, AsNew };

struct FileInfo {
    std::string name;  // 10 characters
    uint8_t status = 0;
    uint8_t recordLength = 0;
    int sectors = 0;
};

class CVirtualDrive;

// The one rule of every operation that changes a disk: it does all of what was asked, or it
// leaves the disk as it was (every file the user had intact, nothing for the disk check to
// find that it did not find before) and reports why; it never reports success for a result it
// did not produce. Every changing operation of CVirtualDrive holds one of these guards while
// it writes: from the guard's start the drive keeps the old content of each sector before its
// first write (a sector whose old content cannot be read is not written either), and a guard
// that ends without Keep() writes them all back, the latest first. Guards nest: only the
// outermost one keeps or puts back, so that a step that fails fails the whole operation.
// Operations also order their writes so that a crash between two of them leaves, at worst,
// sectors marked used that no file uses.
class CAllOrNothing {
public:
    explicit CAllOrNothing(CVirtualDrive& drive);
    ~CAllOrNothing();
    CAllOrNothing(const CAllOrNothing&) = delete;
    CAllOrNothing& operator=(const CAllOrNothing&) = delete;
    void Keep() { m_kept = true; }

private:
    CVirtualDrive& m_drive;
    bool m_kept = false;
};

class CVirtualDrive {
public:
    CVirtualDrive();
    ~CVirtualDrive();
    CVirtualDrive(const CVirtualDrive&) = delete;
    CVirtualDrive& operator=(const CVirtualDrive&) = delete;

    // ---- Sector source -------------------------------------------------------------------
    int ReadSector(int n, uint8_t* buffer);
    int WriteSector(int n, const uint8_t* buffer);
    int ReadVib(bool force = false);
    int ReadIndex();
    int ReadFdr(int n);
    int WriteVib();
    int WriteIndex();
    int WriteFdr(int n = -1);

    // Return the kind (1 to 3, or 6) or 0. A sector dump may have 80 tracks per side.
    int CreateImage(const std::string& path, bool doubleSided, bool doubleDensity, bool pc99,
                    int tracksPerSide = 40);
    // A blank HFE image of 40 or 80 tracks per side.
    int CreateHfeImage(const std::string& path, bool doubleSided, bool doubleDensity,
                       int tracksPerSide = 40);
    int OpenImage(const std::string& path);
    // Mounts an open PC file (the drive keeps it). start/size/maxSize in bytes; size 0 means
    // "to the end of the file"; a negative maxSize keeps the old one.
    int MountFile(std::unique_ptr<CPcFile> file, int64_t start, int64_t size, int64_t maxSize);
    int MountRemote(uint8_t driveNumber, CSectorSource* link);
    int MountEmulator(uint8_t driveLetter, CSectorSource* link, const std::string& name,
                      uint8_t device);

    int GetDriveProperties(DriveProperties& record) const;
    int SetDriveProperties(const DriveProperties& record);
    // A negative argument leaves its setting unchanged; flags become 1 for values above 0.
    void SetConversion(int tabs, int truncate, int headerKind, int stampPolicy, int cacheLevel);
    void Refresh();
    void Close();
    std::string ErrorText();

    // Image conversion (drive properties with another format, sides or density): rewrites the
    // PC file so that the old content survives any failure.
    int ConvertImage(bool pc99, bool doubleSided, bool doubleDensity, bool hfe = false);

    // ---- Disk layout and catalog ---------------------------------------------------------
    std::string GetDiskName();
    int GetDiskInfo(DiskInfo& info);
    int GetDiskProperties(DiskProperties& record);
    int SetDiskProperties(const DiskProperties& record);
    int NextFdr(int& position);
    int FindFile(const std::string& name);
    int GetFileProperties(int fdr, FileProperties& record);
    int SetFileProperties(int fdr, const FileProperties& record);
    int GetFileInfo(int fdr, FileInfo& info);
    std::string GetFileName(int fdr);
    int FileToDiskSector(int fdr, int offset, uint8_t* buffer = nullptr);
    int DiskToFileSector(int fdr, int diskSector);
    // Reads the FDR an index entry names into the FDR buffer. 1: a file; 0: the sector holds
    // no FDR; -2: sector 0 or 1, or past the end of the drive or the image; -1: the sector
    // could not be read. Listings and lookups skip the entries that give 0 or -2.
    int ReadIndexedFdr(int fdr);
    // Every file of the index in index order, reading the index once and each FDR once.
    // On a read failure `files` keeps what was read before it and the result is 0.
    int ReadCatalog(std::vector<FileProperties>& files);
    int CountFreeSectors();  // from the cached VIB
    int CountFiles();        // from the cached index
    // Sectors the drive can hold: what the image file (or the remote drive) has room for,
    // whatever its VIB says.
    int Capacity();
    // True when both drives reach the same sectors: one drive object, or one PC file (device
    // and inode) with overlapping volumes.
    bool SameVolume(CVirtualDrive& other);

    // ---- File operations -----------------------------------------------------------------
    int AllocateSector();
    int MarkSector(int n, bool free);
    int CreateFile(const std::string& name, uint8_t status, uint8_t recordLength);
    // Puts a whole file on the disk in one operation: FDR bytes 10-27 from `header`, the data
    // sectors in order, allocated first fit as AppendSector would. A file of that name is
    // replaced without being emptied first: the new file is written under a fresh FDR and the
    // old one retired only once the index names the new one; when the free sectors cannot hold
    // both, the old file's sectors are reused under the guard. The FDR sector, or -1.
    int PutFile(const std::string& name, const uint8_t* header, const std::vector<Sector>& data,
                PutStamps stamps);
    int AppendSector(int fdr);
    int CopyFile(CVirtualDrive& target, int fdr, const std::string& newName);
    int PurgeFile(int fdr);
    int DeleteFile(int fdr);
    int UndeleteFile(const std::string& name, int type);
    int RenameFile(int fdr, const std::string& newName);
    int SetProtection(int fdr, int mode);
    int SortIndex();
    int StampTimes(int fdr, bool creating);
    int CheckFdr(const uint8_t* image = nullptr);
    int CheckSectorContents(int n, uint8_t status, uint8_t recordLength);

    // ---- Disk-wide operations ------------------------------------------------------------
    int Format(const std::string& name, bool doubleSided, bool doubleDensity, int totalSectors,
               int tracksPerSide);
    int PurgeDisk();
    int Defragment();
    int CopySectors(CVirtualDrive& target, bool usedOnly);
    int CopyFiles(CVirtualDrive& target, bool copyVib, bool emptyTarget);
    int CopyDisk(CVirtualDrive& target, int mode);
    int CheckDisk(int& flags, DiskUsage& usage);

    // ---- Accessors -----------------------------------------------------------------------
    int Kind() const { return m_kind; }
    int LastError() const { return m_lastError; }
    void SetLastError(int error) {
        m_lastError = error;
        m_errorFile.clear();
    }
    // Names the PC file a PC-file error (can't open, not a regular file, in use) concerns and
    // the system's reason (an errno value, 0 for none); ErrorText adds both after the error's
    // own text. Other errors stay as they are.
    void NamePcFile(const std::string& path, int reason = 0);
    int64_t Size() const { return m_size; }
    int64_t Start() const { return m_start; }
    int64_t MaxSize() const { return m_maxSize; }
    // Bytes the image file holds after the volume and keeps as they are: a map of bad sectors
    // that some tools append to a sector dump. 0 for other images.
    int64_t TrailerBytes() const { return m_trailer; }
    CPcFile* File() const { return m_file.get(); }
    int CacheLevelSetting() const { return m_cacheLevel; }
    int ExportHeaderKind() const { return m_exportHeaderKind; }
    int StampPolicySetting() const { return m_stampPolicy; }
    int TruncateFlag() const { return m_truncate; }
    int TabsFlag() const { return m_tabs; }
    CSectorSource* Link() const { return m_link; }
    // The sector locator of a mounted HFE image (null for other kinds).
    const CHfeImage* Hfe() const { return m_hfe.get(); }
    void SetPrompt(CUserPrompt* prompt) { m_prompt = prompt ? prompt : &SilentPrompt(); }
    CUserPrompt& Prompt() const { return *m_prompt; }

    uint8_t* VibBuffer() { return m_vib.data(); }
    uint8_t* IndexBuffer() { return m_index.data(); }
    uint8_t* FdrBuffer() { return m_fdr.data(); }
    bool VibValid() const { return m_vibValid != 0; }
    bool IndexValid() const { return m_indexValid != 0; }
    int CachedFdr() const { return m_cachedFdr; }
    void InvalidateCaches();
    // A scratch drive (a copy in memory) keeps no old contents for putting back.
    void SetScratch() { m_scratch = true; }

    // Counters of sector traffic, for benchmarks and tests.
    uint64_t SectorsRead() const { return m_sectorsRead; }
    uint64_t SectorsWritten() const { return m_sectorsWritten; }

    // Remote drive fields (meaning in the remote layer): drive number byte and four words:
    // [0] card CRU base ("CRU:"), [1] subroutine >10 list entry ("Sub >10 link:"),
    // [2] subroutine >10 address, [3] subroutine >11 address. The >11 list entry and the
    // VDP-save flag are kept beside them.
    uint8_t m_remoteDrive = 0;
    std::array<uint16_t, 4> m_remoteWords{};
    uint16_t m_remoteSub11Entry = 0;
    bool m_remoteSaveVdp = false;
    // Emulator drive fields.
    uint8_t m_emulatorDrive = 0;
    std::string m_emulatorName;
    uint8_t m_emulatorDevice = 0;

private:
    friend class CAllOrNothing;
    int Fail(int error) {
        SetLastError(error);
        return 0;
    }
    int FailOnPcFile(int error, const std::string& path, int reason) {
        Fail(error);
        NamePcFile(path, reason);
        return 0;
    }
    void EndChange(bool keep);
    // The new index in `index`: files in name order, damaged entries after them as they stood.
    int SortedIndex(Sector& index, bool& changed);
    // Applies the stamp rule of the drive's policy to the stamps at b (bytes 20-27 of an FDR or
    // of the VIB).
    void Stamp(uint8_t* b, bool created) const;
    int Reach() const;
    int64_t ImageSectorOffset(int n, bool writing);
    int ReadImageSector(int n, uint8_t* buffer);
    int CreateFilled(const std::string& path, const std::function<bool(CPcFile&)>& fill);
    // Gives the PC file a new length, or new content, without ever leaving it half written:
    // a file on the PC is written beside itself and renamed over the old one.
    int ResizePcFile(int64_t newLength);
    int MoveTrailer(int64_t newSize);
    int RewritePcFile(const std::function<bool(CPcFile&)>& write);
    int WriteImageSector(int n, const uint8_t* buffer);

    int m_cacheLevel = CacheWholeDisk;
    int m_exportHeaderKind = 2;
    int m_stampPolicy = StampIfStamped;
    int m_truncate = 0;
    int m_tabs = 1;
    int m_kind = DriveKind::None;
    int64_t m_size = 0;
    int64_t m_start = 0;
    int64_t m_maxSize = 0;
    int64_t m_trailer = 0;
    std::unique_ptr<CPcFile> m_file;
    std::unique_ptr<CHfeImage> m_hfe;  // HFE images: where each sector lies in its track
    CSectorSource* m_link = nullptr;

    int m_vibValid = 0;
    int m_indexValid = 0;
    int m_cachedFdr = 0;
    Sector m_vib{};
    Sector m_index{};
    Sector m_fdr{};
    std::vector<uint8_t> m_memoryImage;  // remote drives only
    std::vector<uint8_t> m_held;         // bit 0: the memory image holds this sector

    int m_lastError = 0;
    std::string m_errorFile;  // the PC file the last error concerns, if one does
    int m_errorReason = 0;
    // Old contents kept while a CAllOrNothing guard is open.
    int m_changes = 0;
    bool m_scratch = false;
    bool m_puttingBack = false;
    std::vector<std::pair<int, Sector>> m_journal;
    std::vector<uint8_t> m_journaled;  // per sector: 1 once its old content is kept
    CUserPrompt* m_prompt;
    uint64_t m_sectorsRead = 0;
    uint64_t m_sectorsWritten = 0;
};

using CTiDisk = CVirtualDrive;

// The message of a DiskError, without what a remote link's error record adds to it.
std::string DiskErrorText(int error);

}  // namespace tavik
