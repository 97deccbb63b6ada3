// Recognises what a PC file holds from its first 128 bytes: a whole disk (sector dump or PC99
// track image), a TI file with a TIFILES or FIAD header, or plain data whose TI type comes from
// the PC file's extension.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/PcFile.h"
#include "exchange/PcFileKind.h"

namespace tavik {

struct PcFileClass {
    int kind = PlainFile;
    std::string tiName;  // trailing blanks removed
    // Status flags for file kinds; for disk kinds sides in the high byte, density in the low.
    uint16_t flags = 0;
    int recordLength = 0;    // 0 for disks and program files
    int sectors = -1;        // sectors allocated (files), total sectors (disks), -1 plain
    int64_t dataOffset = 0;  // where the TI file's data begin: 128 after a header, else 0
    // Header fields an import needs beside the above (FIAD and TIFILES only).
    int headerRecords = 0;           // record count read low byte first
    int headerRecordsHighFirst = 0;  // the same two bytes read high byte first
    int headerEofOffset = 0;
    int headerRecordsPerSector = 0;
    bool unreadable = false;  // the PC file could not be read: nothing above is known
};

// pcName is the PC file's name (with or without folders); its title and extension are used for
// plain files, the title read back as a TI name (PcName.h). Bytes beyond the end of a short file
// count as zero.
PcFileClass ClassifyPcFile(CPcFile& file, const std::string& pcName);
PcFileClass ClassifyPcBytes(const uint8_t* bytes, size_t count, const std::string& pcName);

// Why a PC file with a FIAD or TIFILES header cannot be imported whole, "" when it can: the
// file must hold its 128-byte header and at least the data the header states, in the most
// compact form an export writes (a program up to its end-of-file offset, fixed records
// packed, a byte of variable records).
std::string ShortHeaderFile(const PcFileClass& pc, int64_t fileLength);

// The PC file's title (the name without folders and without its last extension).
std::string PcFileTitle(const std::string& pcName);
// The upper-cased text after the last "." of the name (the whole name when there is none).
std::string PcFileExtension(const std::string& pcName);

// "Prog", "DF80", "DV80", "IF%d", "IV%d" from status flags and record length; empty when the
// masked type is none of the five.
std::string ShortTypeText(uint8_t status, int recordLength);

}  // namespace tavik
