// What the "Disk properties" dialog (used by the format and disk-properties commands) reads
// back from its fields, checked in a fixed order; the first failing check gives its message and
// abandons the command.
#pragma once

#include <string>

#include "disk/VirtualDrive.h"

namespace tavik {

struct DiskPropertiesForm {
    std::string name;
    bool doubleSided = false;
    bool doubleDensity = false;
    bool isProtected = false;
    std::string sectors;
    std::string tracksPerSide;
    std::string sectorsPerTrack;
    std::string creationDate;  // empty means 0
    std::string creationTime;
    std::string updateDate;
    std::string updateTime;
};

// The "Size" button: 360 sectors, doubled for double density and again for double-sided.
int SizeButtonSectors(bool doubleSided, bool doubleDensity);

// The format dialog for a blank image: sides, density and size follow the image's length, or
// the tracks of an HFE image.
DiskPropertiesForm BlankImageForm(const CVirtualDrive& drive);

// Reads the form into record (which keeps its other fields). "" on success, else the message.
std::string ReadDiskPropertiesForm(const DiskPropertiesForm& form, DiskProperties& record);

// The format command after OK: Format with the typed name, sides, density, sectors and tracks,
// then the typed record into the VIB. 1, or 0 with message set.
int FormatFromForm(CVirtualDrive& drive, const DiskPropertiesForm& form, std::string& message);

// The disk-properties command after OK: only the VIB's fields change, never the bitmap or the
// files. 1, or 0 with message set.
int SetDiskPropertiesFromForm(CVirtualDrive& drive, const DiskPropertiesForm& form,
                              std::string& message);

}  // namespace tavik
