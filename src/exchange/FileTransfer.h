// Moving one TI file between a mounted disk and a PC file: binary export with or without a
// header, text export, the hex dump, and the imports into a freshly created TI file.
#pragma once

#include <cstdint>
#include <functional>
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
// The PC file is written whole beside the target and renamed over it: a failed export leaves
// the file that was there. A target that is the disk's own image, the image of another
// mounted drive or no regular file is refused before anything is written.
int ExportFile(CTiDisk& disk, int fdr, const std::string& pcPath, const ConversionSettings& s);
// The same into an open PC file, whose content is replaced only when the export succeeds.
int ExportFileInto(CTiDisk& disk, int fdr, CPcFile& target, const ConversionSettings& s);
// Writes into `out` as it stands (a fresh or scratch file); on a read error what was made
// before it stays in `out`.
int ExportFileTo(CTiDisk& disk, int fdr, CPcFile& out, const ConversionSettings& s);

// Text export, one line per record, with tab creation when settings.tabs is set.
int ExportText(CTiDisk& disk, int fdr, const std::string& pcPath, const ConversionSettings& s);
int ExportTextTo(CTiDisk& disk, int fdr, CPcFile& out, const ConversionSettings& s);

// Why a whole PC file must not be written at pcPath, as a DiskError (0 when it may): it is the
// disk image `image` itself (SameFile), the image of another mounted drive (FileInUse), or no
// regular file (NotRegularFile).
int PcTargetRefusal(const std::string& pcPath, CPcFile* image);

// Writes a whole PC file for the disk's export as ExportFile does: the refusals, then write()
// into a file beside pcPath renamed over it. 1, or 0 with the disk's last error.
int WritePcFileFor(CTiDisk& disk, const std::string& pcPath,
                   const std::function<bool(CPcFile&)>& write);

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

// Imports the PC file (from dataOffset to its end) as the TI file `name` of the given status
// and record length. The file is built in memory first, so that nothing on the disk changes
// when the PC side fails; then it is put on the disk in one operation (CVirtualDrive::PutFile),
// replacing a file of that name only once the new one is whole. The FDR sector; 0 on failure,
// with the drive's last error for disk failures, with a message in `message` for failures of
// the PC side. Either way the disk is as it was. Where a header and
// the data disagree the data win, and notes (when given) says what was overruled.
int ImportFile(CTiDisk& disk, const std::string& name, uint8_t status, CPcFile& in,
               int64_t dataOffset, const ImportPlan& plan, std::string& message,
               std::vector<std::string>* notes = nullptr);

}  // namespace tavik
