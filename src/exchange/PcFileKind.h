// What a PC file holds, as the classification and the "Files in TI format" chooser see it, and
// the forms an exported TI file can take on the PC.
#pragma once

#include <string>

namespace tavik {

// Every value below PlainFile means that the file holds a whole disk; 5 is never made.
enum PcFileKind : int {
    SectorDump = 1,
    TrackImageSingle = 2,
    TrackImageDouble = 3,
    HfeDisk = 4,
    PlainFile = 6,
    FiadFile = 7,
    TifilesFile = 8,
};

inline bool IsDiskKind(int kind) {
    return kind < PlainFile;
}

// The chooser's "Format" column: "DOAD", "PC99", "HFE", "FIAD", "TIFILES", empty for a plain
// file.
std::string FormatText(int kind);

// The export chooser's choices. After a FIAD or TIFILES header the file's sectors follow
// exactly as they stand on the disk (fixed records with their sector padding, variable records
// with their end marks): that is how every other TI tool and emulator keeps TI files on the PC
// and reads them. The two "packed" forms write the records without the padding and the marks
// instead (a program is cut at its end either way), as "No header" does.
enum ExportFormat : int {
    NoHeader = 0,
    FiadHeader = 1,
    TifilesHeader = 2,
    Text = 3,
    TextWithTabs = 4,
    TifilesPacked = 5,
    FiadPacked = 6,
};
constexpr int kExportFormatCount = 7;

std::string ExportFormatText(int format);
// The header kind (0 none, 1 FIAD, 2 TIFILES) written for a binary format; -1 for the text
// formats.
int HeaderKindOf(int format);
bool IsWholeSectors(int format);
bool IsTextFormat(int format);

}  // namespace tavik
