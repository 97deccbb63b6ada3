#include "exchange/FileTransfer.h"

#include <algorithm>
#include <cstring>

#include "disk/Layout.h"
#include "exchange/BinaryImport.h"
#include "exchange/ExportLayout.h"
#include "exchange/HexDump.h"
#include "exchange/ImportFields.h"
#include "exchange/PcFileHeader.h"
#include "exchange/TextImport.h"

namespace tavik {

using namespace layout;

CDriveSectorFeed::CDriveSectorFeed(CVirtualDrive& drive, const uint8_t* fdr) : m_drive(drive) {
    for (const ClusterEntry& c : ReadClusters(fdr)) {
        if (c.Length() <= 0) break;  // a damaged chain ends here
        for (int i = 0; i < c.Length(); ++i)
            m_sectors.push_back(c.start + i);
    }
}

bool CDriveSectorFeed::Read(int k, uint8_t* out) {
    if (k < 0 || k >= Count()) return false;
    return m_drive.ReadSector(m_sectors[static_cast<size_t>(k)], out) != 0;
}

namespace {

bool LoadFdr(CTiDisk& disk, int fdr, Sector& image) {
    if (!disk.ReadFdr(fdr)) return false;
    std::memcpy(image.data(), disk.FdrBuffer(), kSectorSize);
    return true;
}

// Writes the whole content and cuts the file there; -5 on failure.
bool WriteAll(CTiDisk& disk, CPcFile& out, const void* data, size_t size) {
    const int64_t wrote = size ? out.WriteAt(0, data, size) : 0;
    if (wrote != static_cast<int64_t>(size) || !out.SetLength(static_cast<int64_t>(size)) ||
        !out.Flush()) {
        disk.SetLastError(DiskError::CantOpenPcFile);
        return false;
    }
    return true;
}

template <typename Fn>
int WithCreatedFile(CTiDisk& disk, const std::string& pcPath, Fn fn) {
    auto file = CDiskFile::Create(pcPath);
    if (!file) {
        disk.SetLastError(DiskError::CantOpenPcFile);
        return 0;
    }
    const int result = fn(*file);
    file->Close();
    return result;
}

}  // namespace

int ExportFileTo(CTiDisk& disk, int fdr, CPcFile& out, const ConversionSettings& s) {
    Sector image{};
    if (!LoadFdr(disk, fdr, image)) return 0;
    std::vector<uint8_t> bytes;
    if (s.headerKind == HeaderFiad || s.headerKind == HeaderTifiles) {
        const PcHeader h = s.headerKind == HeaderFiad ? MakeFiadHeader(image.data())
                                                      : MakeTifilesHeader(image.data());
        bytes.assign(h.begin(), h.end());
    }
    CDriveSectorFeed feed(disk, image.data());
    const bool read = BuildExportData(image.data(), feed, s.wholeSectors, bytes);
    // What was made before a read error stays in the PC file.
    if (!WriteAll(disk, out, bytes.data(), bytes.size())) return 0;
    return read ? 1 : 0;
}

int ExportFile(CTiDisk& disk, int fdr, const std::string& pcPath, const ConversionSettings& s) {
    return WithCreatedFile(disk, pcPath, [&](CPcFile& f) { return ExportFileTo(disk, fdr, f, s); });
}

int ExportTextTo(CTiDisk& disk, int fdr, CPcFile& out, const ConversionSettings& s) {
    Sector image{};
    if (!LoadFdr(disk, fdr, image)) return 0;
    std::string text;
    CDriveSectorFeed feed(disk, image.data());
    const bool read = BuildTextExport(image.data(), feed, s.tabs, s.tabStops, s.crLf, text);
    if (!WriteAll(disk, out, text.data(), text.size())) return 0;
    return read ? 1 : 0;
}

int ExportText(CTiDisk& disk, int fdr, const std::string& pcPath, const ConversionSettings& s) {
    return WithCreatedFile(disk, pcPath, [&](CPcFile& f) { return ExportTextTo(disk, fdr, f, s); });
}

int HexDumpFile(CTiDisk& disk, int fdr, std::string& text) {
    Sector s{};
    // File sectors are numbered with 12 bits, so the walk ends by itself.
    for (int k = 0; k < 4096; ++k) {
        const int n = disk.FileToDiskSector(fdr, k, s.data());
        if (n == 0) break;
        if (n < 0) return 0;
        AppendHexDumpSector(k, s.data(), text);
    }
    return 1;
}

ImportPlan PlanBinaryImport(const PcFileClass& pc, int64_t fileLength, uint8_t status,
                            int recordLength, bool raw) {
    ImportPlan plan;
    plan.recordLength = recordLength;
    const bool withHeader = pc.kind == FiadFile || pc.kind == TifilesFile;
    plan.dataLength = std::max<int64_t>(0, fileLength - (withHeader ? kHeaderSize : 0));
    const int type = status & kTypeMask;
    plan.haveHeader = withHeader && (pc.flags & kTypeMask) == type &&
                      (type == kStatusProgram || pc.recordLength == recordLength);
    plan.headerRecords = pc.headerRecords;
    plan.headerRecordsHighFirst = pc.headerRecordsHighFirst;
    plan.headerEofOffset = pc.headerEofOffset;
    plan.headerSectors = withHeader ? pc.sectors : 0;
    plan.headerRecordsPerSector = pc.headerRecordsPerSector;
    plan.headerStatus = pc.flags;
    if (type == kStatusProgram) {
        plan.method = ImportMethod::Program;
        plan.swapProgramWords = raw;
    } else if (type & kStatusVariable) {
        plan.method = ImportMethod::VariableRecords;
        // Whole sectors come in multiples of 256 bytes; the import looks at the data to tell.
        plan.packedInput = plan.dataLength % kSectorSize != 0;
    } else if (raw && type == 0x00) {
        plan.method = ImportMethod::RawLines;
    } else {
        plan.method = ImportMethod::FixedRecords;
        plan.sectorFormat =
            withHeader && FixedDataInWholeSectors(plan.dataLength, recordLength, pc.sectors,
                                                  pc.headerRecords, pc.headerRecordsHighFirst);
    }
    return plan;
}

namespace {

class CDriveSectorSink : public CSectorSink {
public:
    CDriveSectorSink(CTiDisk& disk, int fdr) : m_disk(disk), m_fdr(fdr) {}
    bool Put(const uint8_t* sector) override {
        const int n = m_disk.AppendSector(m_fdr);
        if (n < 2) return false;
        return m_disk.WriteSector(n, sector) != 0;
    }

private:
    CTiDisk& m_disk;
    int m_fdr;
};

ImportStatus RunImport(CByteReader& in, const ImportPlan& plan, CSectorSink& sink,
                       ImportTotals& totals) {
    TextImportSettings text{plan.replaceTabs, plan.truncate, plan.tabStops};
    switch (plan.method) {
        case ImportMethod::Program:
            return ImportProgramData(in, sink, totals);
        case ImportMethod::FixedRecords:
            return ImportFixedData(in, plan.recordLength, plan.sectorFormat, sink, totals);
        case ImportMethod::VariableRecords:
            return ImportVariableData(in, plan.recordLength, plan.packedInput, sink, totals,
                                      plan.endOfRecords);
        case ImportMethod::RawLines:
            return ImportRawLines(in, plan.recordLength, sink, totals);
        case ImportMethod::TextVariable:
            return ImportTextVariable(in, plan.recordLength, text, sink, totals);
        case ImportMethod::TextFixed:
            return ImportTextFixed(in, plan.recordLength, text, sink, totals);
    }
    return ImportStatus::Ok;
}

}  // namespace

int ImportIntoFile(CTiDisk& disk, int fdr, CPcFile& in, int64_t dataOffset, const ImportPlan& plan,
                   std::string& message, std::vector<std::string>* notes) {
    message.clear();
    const bool needsLength =
        plan.method != ImportMethod::Program && plan.method != ImportMethod::VariableRecords;
    if (needsLength && (plan.recordLength < 1 || plan.recordLength > 255)) {
        message = "Illegal record length";
        disk.DeleteFile(fdr);
        return 0;
    }
    ImportPlan run = plan;
    SettleVariableInput(in, dataOffset, run);
    CByteReader reader(in, dataOffset);
    CDriveSectorSink sink(disk, fdr);
    ImportTotals totals;
    const ImportStatus status = RunImport(reader, run, sink, totals);
    if (status != ImportStatus::Ok) {
        if (status == ImportStatus::ReadFailed) message = "Error reading PC file";
        if (status == ImportStatus::LineTooLong)
            message = "Line longer than " + std::to_string(plan.recordLength) + " characters";
        // The half-built file goes; the reason stays the one that stopped the import.
        const int error = disk.LastError();
        disk.DeleteFile(fdr);
        disk.SetLastError(error);
        return 0;
    }
    if (!disk.ReadFdr(fdr)) return 0;
    std::vector<std::string> overruled;
    SettleImportedFields(run, totals, disk.FdrBuffer(), overruled);
    if (notes) notes->insert(notes->end(), overruled.begin(), overruled.end());
    if (!disk.WriteFdr(fdr)) return 0;
    if (plan.swapProgramWords) {
        Sector s{};
        const int n = disk.FileToDiskSector(fdr, 0, s.data());
        if (n < 0) return 0;
        if (n > 0) {
            std::swap(s[2], s[4]);
            std::swap(s[3], s[5]);
            if (!disk.WriteSector(n, s.data())) return 0;
        }
    }
    return 1;
}

}  // namespace tavik
