#include "exchange/FileTransfer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
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

using Writer = std::function<bool(CPcFile&)>;

// Runs a whole-file replacement; a failure leaves its reason in the disk's last error (a
// write() that failed has set its own).
template <typename Replace>
int ReplaceFor(CTiDisk& disk, Replace replace, const Writer& write) {
    bool called = false, made = false;
    const bool replaced = replace([&](CPcFile& file) {
        called = true;
        made = write(file);
        return made;
    });
    if (!replaced && (!called || made)) disk.SetLastError(DiskError::CantOpenPcFile);
    return replaced ? 1 : 0;
}

}  // namespace

int PcTargetRefusal(const std::string& pcPath, CPcFile* image) {
    const auto identity = IdentityOf(pcPath);
    if (!identity) return 0;
    if (image && image->Identity() == identity) return DiskError::SameFile;
    if (CDiskFile::IsOpenElsewhere(*identity)) return DiskError::FileInUse;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(pcPath, ec)) return DiskError::NotRegularFile;
    return 0;
}

int WritePcFileFor(CTiDisk& disk, const std::string& pcPath,
                   const std::function<bool(CPcFile&)>& write) {
    if (const int refusal = PcTargetRefusal(pcPath, disk.File())) {
        disk.SetLastError(refusal);
        disk.NamePcFile(pcPath);
        return 0;
    }
    errno = 0;
    const int written = ReplaceFor(
        disk, [&](const Writer& w) { return ReplaceFileAtomically(pcPath, w); }, write);
    if (!written) disk.NamePcFile(pcPath, errno);
    return written;
}

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
    return WritePcFileFor(disk, pcPath,
                          [&](CPcFile& f) { return ExportFileTo(disk, fdr, f, s) == 1; });
}

int ExportFileInto(CTiDisk& disk, int fdr, CPcFile& target, const ConversionSettings& s) {
    return ReplaceFor(
        disk, [&](const Writer& w) { return target.ReplaceContents(w); },
        [&](CPcFile& f) { return ExportFileTo(disk, fdr, f, s) == 1; });
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
    return WritePcFileFor(disk, pcPath,
                          [&](CPcFile& f) { return ExportTextTo(disk, fdr, f, s) == 1; });
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

// Keeps the sectors of the file being built, at most as many as a disk holds.
class CBoundedSectorSink : public CSectorSink {
public:
    bool Put(const uint8_t* sector) override {
        if (m_sectors.size() >= kMaxDiskSectors) return false;
        m_sectors.emplace_back();
        std::memcpy(m_sectors.back().data(), sector, kSectorSize);
        return true;
    }
    std::vector<Sector> m_sectors;
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

int ImportFile(CTiDisk& disk, const std::string& name, uint8_t status, CPcFile& in,
               int64_t dataOffset, const ImportPlan& plan, std::string& message,
               std::vector<std::string>* notes) {
    message.clear();
    const bool needsLength =
        plan.method != ImportMethod::Program && plan.method != ImportMethod::VariableRecords;
    if (needsLength && (plan.recordLength < 1 || plan.recordLength > 255)) {
        message = "Illegal record length";
        return 0;
    }
    ImportPlan run = plan;
    SettleVariableInput(in, dataOffset, run);
    CByteReader reader(in, dataOffset);
    CBoundedSectorSink sink;
    ImportTotals totals;
    const ImportStatus outcome = RunImport(reader, run, sink, totals);
    if (outcome == ImportStatus::SinkFailed) {
        disk.SetLastError(DiskError::DiskFull);
        return 0;
    }
    if (outcome != ImportStatus::Ok) {
        if (outcome == ImportStatus::ReadFailed) message = "Error reading PC file";
        if (outcome == ImportStatus::LineTooLong)
            message = "Line longer than " + std::to_string(plan.recordLength) + " characters";
        return 0;
    }

    // Records per sector come from the record length; the rest of the FDR from the data, and
    // from a header where it agrees with them.
    Sector header{};
    uint8_t* f = header.data();
    f[kFdrStatus] = status;
    f[kFdrRecordLength] = static_cast<uint8_t>(plan.recordLength);
    f[kFdrRecordsPerSector] = NewFileRecordsPerSector(status, plan.recordLength);
    std::vector<std::string> overruled;
    SettleImportedFields(run, totals, f, overruled);
    if (plan.swapProgramWords && !sink.m_sectors.empty()) {
        Sector& first = sink.m_sectors.front();
        std::swap(first[2], first[4]);
        std::swap(first[3], first[5]);
    }
    const int fdr = disk.PutFile(name, header.data(), sink.m_sectors, PutStamps::AsNew);
    if (fdr < 2) return 0;
    if (notes) notes->insert(notes->end(), overruled.begin(), overruled.end());
    return fdr;
}

}  // namespace tavik
