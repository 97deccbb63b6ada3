#include "exchange/basic/BasicFile.h"

#include <algorithm>
#include <memory>

#include "base/PcFile.h"
#include "disk/DiskTypes.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/FileTransfer.h"
#include "exchange/PcFileHeader.h"

namespace tavik::basic {

namespace {

constexpr uint8_t kTypeBits = kStatusProgram | kStatusInternal | kStatusVariable;
// A scratch disk large enough for any program: 1440 sectors.
constexpr int kScratchSectors = 1440;
// No program file comes near this size; a bigger PC file is something else.
constexpr int64_t kMaxPcBytes = 1 << 20;

// The file's data as an export without a header gives them; false when a sector could not be
// read (the data then hold what was read before).
bool ReadData(CTiDisk& disk, int fdr, std::vector<uint8_t>& data) {
    ConversionSettings plain;
    plain.headerKind = HeaderNone;
    CMemFile out;
    const bool read = ExportFileTo(disk, fdr, out, plain) != 0;
    data = out.Bytes();
    return read;
}

}  // namespace

int ListBasicFile(CTiDisk& disk, int fdr, BasicListing& listing) {
    FileInfo info;
    if (!disk.GetFileInfo(fdr, info)) return 0;
    std::vector<uint8_t> data;
    const bool read = ReadData(disk, fdr, data);
    listing = ListBasic(data, info.status, info.recordLength);
    if (!read && listing.form != BasicForm::None) {
        const std::string error = disk.ErrorText();
        listing.problem = "The file could not be read to its end (" + error + ")" +
                          (listing.problem.empty() ? "" : "; " + listing.problem);
    }
    return 1;
}

bool IsBasicFile(CTiDisk& disk, int fdr) {
    FileInfo info;
    if (!disk.GetFileInfo(fdr, info)) return false;
    const BasicForm form = FormOfType(info.status, info.recordLength);
    if (form == BasicForm::None) return false;
    // The program's start is all it takes, and the first sector holds it: the viewer asks
    // this whenever the selection changes, of drives on a cable too.
    std::vector<uint8_t> first(kSectorSize);
    if (disk.FileToDiskSector(fdr, 0, first.data()) <= 0) return false;
    if (form == BasicForm::Program) return IsBasicProgram(first);
    // A record file's first record (its length byte, then its bytes; 0xFF ends a sector): the
    // long form's header, or the merge form's first program line.
    const size_t length = first[0];
    if (length == 0xFF) return false;
    std::vector<uint8_t> record(first.begin(), first.begin() + static_cast<long>(1 + length));
    if (form == BasicForm::Long) {
        std::vector<uint8_t> image;
        return LongToImage(record, image);
    }
    record.insert(record.end(), {2, 0xFF, 0xFF});  // the merge form's end mark
    const BasicListing line = ListBasic(record, BasicForm::Merge);
    return line.Complete() && line.lines == 1;
}

bool ListBasicPcFile(const std::string& pcPath, BasicListing& listing, std::string& error) {
    auto file = CDiskFile::Open(pcPath, OpenMode::ReadOnly);
    if (!file) {
        error = "Cannot open PC file";
        return false;
    }
    const PcFileClass pc = ClassifyPcFile(*file, pcPath);
    if (IsDiskKind(pc.kind)) {
        error = "This file contains a whole TI-99/4A disk";
        return false;
    }
    const int64_t length = file->Length();
    if (length > kMaxPcBytes) {
        listing = ListBasic({}, BasicForm::None);
        return true;
    }
    if (pc.kind != FiadFile && pc.kind != TifilesFile) {
        std::vector<uint8_t> data(static_cast<size_t>(std::max<int64_t>(length, 0)));
        if (file->ReadAt(0, data.data(), data.size()) != length) {
            error = "Error reading PC file";
            return false;
        }
        listing = ListBasic(data, GuessForm(data));
        return true;
    }
    // The header's file, rebuilt on a scratch disk by the import every PC file takes, then
    // read back as from any disk.
    const auto status = static_cast<uint8_t>(pc.flags & kTypeBits);
    if (FormOfType(status, pc.recordLength) == BasicForm::None) {
        listing = ListBasic({}, BasicForm::None);
        return true;
    }
    CVirtualDrive scratch;
    const auto image = static_cast<size_t>(kScratchSectors) * 256;
    if (!scratch.MountFile(std::make_unique<CMemFile>(std::vector<uint8_t>(image)), 0, 0, -1) ||
        !scratch.Format("BASIC", true, true, kScratchSectors, 40)) {
        error = scratch.ErrorText();
        return false;
    }
    const ImportPlan plan = PlanBinaryImport(pc, length, status, pc.recordLength, false);
    std::string message;
    const int fdr = ImportFile(scratch, "BASIC", status, *file, pc.dataOffset, plan, message);
    if (fdr < 2) {
        error = message.empty() ? scratch.ErrorText() : message;
        return false;
    }
    if (!ListBasicFile(scratch, fdr, listing)) {
        error = scratch.ErrorText();
        return false;
    }
    return true;
}

int CreateBasicFile(CTiDisk& disk, const std::string& name, const std::vector<BasicLine>& lines,
                    BasicForm form, bool protect, std::string& message) {
    message.clear();
    if (name.empty() || name.size() > 10 || name.find_first_of(". ") != std::string::npos) {
        message = "Illegal file name";
        return 0;
    }
    std::vector<uint8_t> data;
    if (!BuildBasicFile(lines, form, protect, data, message)) return 0;
    const int existing = disk.FindFile(name);
    if (existing != 0) {
        if (existing > 0) disk.SetLastError(DiskError::NameExists);
        return 0;
    }
    ImportPlan plan;
    uint8_t status = kStatusProgram;
    uint8_t recordLength = 0;
    if (form != BasicForm::Program) {
        const bool isLong = form == BasicForm::Long;
        status = isLong ? kStatusInternal | kStatusVariable : kStatusVariable;
        recordLength = static_cast<uint8_t>(isLong ? kLongRecordLength : kMergeRecordLength);
        plan.method = ImportMethod::VariableRecords;
        plan.recordLength = recordLength;
        plan.packedInput = true;
    }
    CMemFile in(std::move(data));
    // A file that cannot be completed leaves the disk as it was.
    return ImportFile(disk, name, status, in, 0, plan, message);
}

}  // namespace tavik::basic
