// Adding, rescanning and removing disks in the catalogue: one Disks row per disk, one Files row
// per distinct file (reused when the same file is recorded already), one DiskFileMM row per file
// on a disk. Checksums find duplicate disks and files; what to do with them is asked through a
// CDuplicateResolver or answered by the "File duplicates:" option.
//
// A disk is added in one transaction: its rows are all written or none is. Every duplicate
// lookup goes through an index, with statements prepared once and values bound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/Catalogue.h"
#include "database/ScanDialogs.h"
#include "database/TableRows.h"

namespace tavik {

class CProgress;
class CVirtualDrive;

// The Drive type and Drive texts of a drive (an image's absolute path); false for a drive of no
// known kind.
bool DriveDescription(const CVirtualDrive& drive, std::string& driveType, std::string& where);

class CDiskScanner {
public:
    CDiskScanner(CCatalogue& catalogue, CDuplicateResolver& resolver,
                 CScanReviewer* reviewer = nullptr);

    // Each returns true when it wrote what it set out to; failures are shown through the
    // catalogue's prompt (the drive's error text or the engine's description).
    bool AddDisk(CVirtualDrive& drive);
    bool RescanDisk(CVirtualDrive& drive);
    bool RemoveDisks(const std::vector<int>& ids);

    // "Check ID" of the mode 2 dialog.
    bool DiskIdExists(int id);
    // The Disks row the last add or rescan wrote (0 when none).
    int LastDiskId() const { return m_diskId; }
    // True once the user chose to abort a scan; the scan kept nothing of that disk.
    bool Aborted() const { return m_aborted; }

private:
    struct Volume;
    bool ReadVolume(CVirtualDrive& drive, Volume& volume);
    // Both steps of `progress` once per file: the checksums in its first half, the rows in its
    // second; F4 or the progress's Cancel may stop either before anything is kept.
    bool ComputeFileChecksums(CVirtualDrive& drive, Volume& volume, CProgress& progress);
    // The disks whose `column` holds the checksum; when there are any, the duplicate dialog's
    // rows from the current disk set opened on the statement that finds them.
    bool DisksWithChecksum(const char* column, uint32_t checksum,
                           std::vector<DuplicateCandidate>& rows);
    // The disk's volume and sector checksum, and the catalogue's disks with that checksum.
    bool ReadWithSameSectors(CVirtualDrive& drive, Volume& volume,
                             std::vector<DuplicateCandidate>& rows);
    void WriteDiskValues(CDiskSet& row, const Volume& volume);
    bool WriteDisk(const Volume& volume, int id);
    bool LinkFiles(CVirtualDrive& drive, const Volume& volume, CProgress& progress);
    bool DeleteFilesOfDisk(int diskId);
    bool Report(const std::string& text);
    bool Abort();
    bool EngineError();

    CCatalogue& m_catalogue;
    CDuplicateResolver& m_resolver;
    CScanReviewer* m_reviewer;
    CTableRows m_disks, m_files, m_links;
    int m_diskId = 0;
    bool m_aborted = false;
};

}  // namespace tavik
