// Which disks and files of a catalogue are held more than once: groups of disks with the same
// sectors (equal sector checksums) or the same files (equal file checksums, disks with files
// only), and groups of files, by contents and name, that are recorded on more than one disk.
// A group of disks with the same files that has exactly the members of a same-sectors group is
// not listed twice. Text is code page 1252, as everywhere on the catalogue's interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

class CDatabase;

struct DuplicateCopy {
    int64_t diskId = 0;
    std::string diskName;  // without the padding the disk's name has on the disk
    std::string drive;     // the PC path (or remote drive) the disk was read from
    int64_t fileId = 0;    // file groups only: the file's row
};

enum class DiskSameness { Sectors, Files };

struct DiskDuplicates {
    DiskSameness by = DiskSameness::Sectors;
    std::string crc;  // the shared CRC-S or CRC-F
    std::vector<DuplicateCopy> copies;
};

struct FileDuplicates {
    std::string crc;
    std::string name;                   // without padding
    std::vector<DuplicateCopy> copies;  // one per disk, in the order of the disks' IDs
};

struct DuplicateReport {
    std::vector<DiskDuplicates> disks;  // by checksum, then same sectors before same files
    std::vector<FileDuplicates> files;  // by checksum, then name
};

// False with the database's error text when the catalogue cannot be read.
bool FindDuplicates(CDatabase& db, DuplicateReport& report);

}  // namespace tavik
