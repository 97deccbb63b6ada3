// The drive-properties dialog of an image drive: the format list ("PC file DOAD format", "PC
// file PC99 format", "PC file CF format", "PC file HFE format"), sides, density, start, size and
// maximum size. OK with another format, sides or density converts the image; otherwise the typed
// numbers apply.
#pragma once

#include <string>

#include "disk/VirtualDrive.h"

namespace tavik {

enum DriveFormatChoice : int { FormatDoad = 0, FormatPc99 = 1, FormatCf = 2, FormatHfe = 3 };

struct DrivePropertiesForm {
    int format = FormatDoad;
    bool doubleSided = false;
    bool doubleDensity = false;
    std::string start;    // C integers; unreadable start or max size count as 0,
    std::string size;     // an unreadable size keeps the old one
    std::string maxSize;  // "None" when 0
};

// The dialog as it opens for an image drive.
DrivePropertiesForm DriveFormFor(const CVirtualDrive& drive);

// Picking the CF entry: back to the DOAD entry with a CF volume's size, both boxes ticked.
void ChooseCfFormat(DrivePropertiesForm& form);

// OK: converts when format, sides or density differ from what the drive shows, else applies
// start, size and maximum size. 1, or 0 with the reason in the drive's last error.
int ApplyDrivePropertiesForm(CVirtualDrive& drive, const DrivePropertiesForm& form);

}  // namespace tavik
