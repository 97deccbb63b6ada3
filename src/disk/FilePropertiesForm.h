// What the file-properties and create-file dialogs read back from their fields: the texts as
// typed, checked in a fixed order; the first failing check gives its message and nothing is
// applied.
#pragma once

#include <string>

#include "disk/VirtualDrive.h"

namespace tavik {

struct FilePropertiesForm {
    std::string name;
    std::string type;  // "Prog", "DF80", "DV%i", ...
    bool isProtected = false;
    std::string sectors;
    std::string records;
    std::string lastByte;
    std::string recordsPerSector;
    std::string creationDate;  // empty means 0
    std::string creationTime;
    std::string updateDate;
    std::string updateTime;
    std::string clusters;  // one "first-last" pair (or a single sector) per line
    bool clustersChanged = false;
};

// The fields the file-properties dialog opens with: the short type ("???" for a status byte
// of no known type), dates as dd/mm/yy, one "first-last" line per cluster.
FilePropertiesForm FormOfRecord(const FileProperties& record);
// The create-file dialog's first fields: type "DV80", both stamps set to now.
FilePropertiesForm NewFileForm();
// Variable-length files count sectors where fixed ones count records ("Records:" reads
// "Sectors:" for them).
bool IsVariableType(uint8_t status);

// Reads the form into record (which keeps its other fields: bytes 10-11, FDR sector). Returns
// "" on success, otherwise the message to show; record is then unchanged.
std::string ReadFilePropertiesForm(const FilePropertiesForm& form, FileProperties& record);

// The create-file dialog: the same checks on its fields (name, type, protection, records per
// sector, stamps), then CreateFile and SetFileProperties with the typed values. Returns the FDR
// sector, or 0 with message set (a check's message or the drive's error text).
int CreateFileFromForm(CVirtualDrive& drive, const FilePropertiesForm& form, std::string& message);

// The dialog's date and time fields, shared with the disk-properties dialog: each non-empty
// field must parse; "" or the message.
struct StampFields {
    const std::string& creationDate;
    const std::string& creationTime;
    const std::string& updateDate;
    const std::string& updateTime;
};
struct StampValues {
    uint16_t creationDate = 0, creationTime = 0, updateDate = 0, updateTime = 0;
};
std::string ReadStampFields(const StampFields& fields, StampValues& values);

// Cluster lines "%i-%i" (a single number n means n-n); reading stops at the first line that
// yields no number.
std::vector<uint32_t> ReadClusterLines(const std::string& text);

}  // namespace tavik
