// Moving one TI file between a mounted disk and a PC file: binary export with or without a
// header, text export, the hex dump, and the imports into a freshly created TI file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/ConversionSettings.h"
#include "exchange/SectorFeed.h"

namespace tavik {

// The data sectors of a file on a drive, through its cluster chain.
class CDriveSectorFeed : public CSectorFeed {
public:
    CDriveSectorFeed(CVirtualDrive& drive, const uint8_t* fdr);
    int Count() const override { return static_cast<int>(m_sectors.size()); }
    bool Read(int k, uint8_t* out) override;

private:
    CVirtualDrive& m_drive;
    std::vector<int> m_sectors;  // disk sector of each file sector
};

// Binary export of the file whose FDR is sector fdr: the header of settings.headerKind, then
// the data. 1 on success; 0 with the drive's last error (-5 when the PC file cannot be made).
int ExportFile(CTiDisk& disk, int fdr, const std::string& pcPath, const ConversionSettings& s);
int ExportFileTo(CTiDisk& disk, int fdr, CPcFile& out, const ConversionSettings& s);

// Text export, one line per record, with tab creation when settings.tabs is set.
int ExportText(CTiDisk& disk, int fdr, const std::string& pcPath, const ConversionSettings& s);
int ExportTextTo(CTiDisk& disk, int fdr, CPcFile& out, const ConversionSettings& s);

// The "View hexadecimal" text of the file's data sectors. 0 on a read error.
int HexDumpFile(CTiDisk& disk, int fdr, std::string& text);

enum class ImportMethod {
    Program,
    FixedRecords,
    VariableRecords,
    RawLines,
    TextVariable,
    TextFixed
};

struct ImportPlan {
    ImportMethod method = ImportMethod::Program;
    int recordLength = 0;
    bool sectorFormat = false;  // fixed records: the input holds whole sectors
    bool packedInput = false;   // variable records: the input has no end marks
    int64_t endOfRecords = -1;  // variable records: where whole sectors end without a mark
    bool swapProgramWords = false;
    // From a header of the same type: its record count and end-of-file offset, used where
    // the data alone cannot tell them (padding slots, whole last sectors).
    bool haveHeader = false;
    int headerRecords = 0;
    int headerRecordsHighFirst = 0;
    int headerEofOffset = 0;
    int headerSectors = 0;
    int headerRecordsPerSector = 0;
    int headerStatus = 0;
    int64_t dataLength = 0;
    // Text imports.
    bool replaceTabs = false;
    bool truncate = false;
    std::vector<uint16_t> tabStops;
};

// The binary import of a classified PC file into a TI file of the given status and record
// length; raw is the "R" prefix of the typed type.
ImportPlan PlanBinaryImport(const PcFileClass& pc, int64_t fileLength, uint8_t status,
                            int recordLength, bool raw);

// Fills the freshly created, empty file fdr from the PC file (from dataOffset to its end) and
// writes its FDR. On any failure the TI file is deleted and 0 returned: with the drive's last
// error for disk failures, with a message in `message` for failures of the PC side. Where the
// header and the data disagree the data win, and notes (when given) says what was overruled.
int ImportIntoFile(CTiDisk& disk, int fdr, CPcFile& in, int64_t dataOffset, const ImportPlan& plan,
                   std::string& message, std::vector<std::string>* notes = nullptr);

}  // namespace tavik
