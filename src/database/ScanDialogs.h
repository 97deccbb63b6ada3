// What a disk scan asks of the user mid-way: the "Duplicate found" dialog (modes 0 to 3) and the
// record review dialogs. The desktop program answers with its dialogs, the command-line tool
// with its options, tests with scripts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

class CDiskSet;
class CFileSet;

enum DuplicateMode : int {
    IdenticalSectors = 0,    // "Found disk(s) with identical (used) sectors"
    IdenticalFiles = 1,      // "Found disk(s) with identical file contents"
    SelectDiskToUpdate = 2,  // "Select disk to update"
    IdenticalFile = 3,       // "Found file(s) with identical content"
};

// The heading of a mode.
const char* DuplicateHeading(DuplicateMode mode);

// How a scan answers a file recorded already (the option "File duplicates:"): ask with the
// dialog, or always one of its answers.
enum FileDuplicatePolicy : int32_t {
    DuplicatesAskMe = 0,
    DuplicatesCreateNew = 1,
    DuplicatesUseOld = 2,
    DuplicatesUpdateOld = 3
};

enum class DuplicateButton { CreateNew, UseOld, UpdateOld, Overwrite, Cancel };

// One listed row: for disk modes name, size, ID, drive type and drive; for mode 3 the file name
// and ID.
struct DuplicateCandidate {
    int id = 0;
    std::string name;
    int size = 0;
    std::string driveType;
    std::string drive;
};

struct DuplicateAnswer {
    DuplicateButton button = DuplicateButton::Cancel;
    int id = 0;           // the row with the focus or the typed ID; 0 when none
    bool forAll = false;  // "Do this for all files on this disk"
};

class CDuplicateResolver {
public:
    virtual ~CDuplicateResolver() = default;
    // In modes 0 to 2 the last row is the one preselected.
    virtual DuplicateAnswer Resolve(DuplicateMode mode,
                                    const std::vector<DuplicateCandidate>& rows) = 0;
};

class CScanReviewer {
public:
    virtual ~CScanReviewer() = default;
    // The disk record dialog on the row just written.
    virtual void ReviewDisk(CDiskSet& disk) = 0;
    // The file record dialog; false when "Finish" ended it (no more reviews in this scan).
    virtual bool ReviewFile(CFileSet& file) = 0;
};

inline constexpr const char* kIdNotFound = "ID not found in database";

}  // namespace tavik
