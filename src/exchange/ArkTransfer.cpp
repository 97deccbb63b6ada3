#include "exchange/ArkTransfer.h"

#include <cstring>

#include "base/AtomicFile.h"
#include "disk/Layout.h"
#include "disk/TiName.h"
#include "exchange/ExportLayout.h"
#include "exchange/FileTransfer.h"
#include "exchange/PcFileHeader.h"
#include "exchange/PcFileKind.h"
#include "exchange/SectorFeed.h"

namespace tavik {

using namespace layout;

namespace {

int DiskFailure(CTiDisk& disk, const TiFileImage& image, std::string& error) {
    const std::string name = ShownName(image.file);
    error = name.empty() ? disk.ErrorText() : name + ": " + disk.ErrorText();
    return 0;
}

// The files of `source` with the given FDR sectors, read whole before anything is written.
int ReadFiles(CTiDisk& source, const std::vector<int>& fdrs, std::vector<TiFileImage>& files,
              std::string& error) {
    files.assign(fdrs.size(), {});
    for (size_t i = 0; i < fdrs.size(); ++i)
        if (!ReadFileImage(source, fdrs[i], files[i])) return DiskFailure(source, files[i], error);
    return 1;
}

// The archive file that holds `ark`, under `name` with the given status and creation stamp.
int WriteArk(CTiDisk& disk, const std::array<uint8_t, 10>& name, uint8_t status,
             const FileProperties* old, const CArkFile& ark, bool replace, std::string& error) {
    TiFileImage file;
    file.file.name = name;
    file.file.status = status;
    file.file.recordLength = kArkRecordLength;
    file.file.recordsPerSector = kSectorSize / kArkRecordLength;
    file.data = ark.Bytes();
    const size_t sectors = file.data.size() / kSectorSize;
    if (sectors > kArkMaxMemberSectors) {
        disk.SetLastError(DiskError::DiskFull);
        return DiskFailure(disk, file, error);
    }
    file.file.sectors = static_cast<uint16_t>(sectors);
    file.file.records = static_cast<uint16_t>(sectors * file.file.recordsPerSector);
    if (old) {
        file.file.creationDate = old->creationDate;
        file.file.creationTime = old->creationTime;
    }
    return WriteFileImages(disk, {&file}, replace, error);
}

int Rewrite(CTiDisk& disk, int arkFdr, const CArkFile& ark, std::string& error) {
    FileProperties old;
    if (!disk.GetFileProperties(arkFdr, old)) {
        error = disk.ErrorText();
        return 0;
    }
    return WriteArk(disk, old.name, old.status, &old, ark, true, error);
}

std::string Named(const std::string& name, const std::string& reason) {
    return name + ": " + reason;
}

}  // namespace

bool IsArkFile(CTiDisk& disk, int fdr) {
    FileProperties f;
    if (!disk.GetFileProperties(fdr, f)) return false;
    const int type = f.status & kTypeMask;
    if ((type != 0x00 && type != kStatusInternal) || f.recordLength != kArkRecordLength ||
        f.sectors == 0)
        return false;
    Sector first{};
    return disk.FileToDiskSector(fdr, 0, first.data()) > 0 && LooksLikeArk(first.data());
}

int OpenArk(CTiDisk& disk, int fdr, CArkFile& ark, std::string& error) {
    TiFileImage file;
    if (!ReadFileImage(disk, fdr, file)) return DiskFailure(disk, file, error);
    if (!ark.Parse(file.data.data(), file.data.size(), error)) {
        error = ShownName(file.file) + ": " + error;
        return 0;
    }
    return 1;
}

int ExtractArkMembers(const CArkFile& ark, const std::vector<std::string>& names, CTiDisk& target,
                      bool replace, std::string& error) {
    std::vector<const TiFileImage*> files;
    std::vector<const ArkMember*> chosen;
    if (names.empty()) {
        for (const ArkMember& m : ark.members)
            chosen.push_back(&m);
    }
    for (const std::string& name : names) {
        const int i = ark.Find(name);
        if (i < 0) {
            error = Named(name, "File not found");
            return 0;
        }
        chosen.push_back(&ark.members[static_cast<size_t>(i)]);
    }
    for (const ArkMember* m : chosen) {
        if (!m->damage.empty()) {
            error = ShownName(m->image.file) + ": " + m->damage;
            return 0;
        }
        files.push_back(&m->image);
    }
    return WriteFileImages(target, files, replace, error);
}

int ExportArkMember(const ArkMember& member, const std::string& pcPath, int format,
                    const std::vector<uint16_t>& tabStops, std::string& error, bool crLf) {
    const FileProperties& f = member.image.file;
    if (!member.damage.empty()) {
        error = ShownName(f) + ": " + member.damage;
        return 0;
    }
    // The FDR the member would have on a disk, for the export code that reads one.
    Sector fdr{};
    std::memcpy(fdr.data() + kFdrName, f.name.data(), kNameLength);
    std::memcpy(fdr.data() + kFdrExtra, f.extra.data(), 2);
    fdr[kFdrStatus] = f.status;
    fdr[kFdrRecordsPerSector] = f.recordsPerSector;
    SetBe16(fdr.data() + kFdrSectors, f.sectors);
    fdr[kFdrEofOffset] = f.eofOffset;
    fdr[kFdrRecordLength] = f.recordLength;
    SetLe16(fdr.data() + kFdrRecords, f.records);
    std::vector<std::vector<uint8_t>> sectors;
    for (size_t at = 0; at < member.image.data.size(); at += kSectorSize)
        sectors.emplace_back(
            member.image.data.begin() + static_cast<std::ptrdiff_t>(at),
            member.image.data.begin() + static_cast<std::ptrdiff_t>(at + kSectorSize));
    CMemorySectorFeed feed(std::move(sectors));

    std::vector<uint8_t> bytes;
    if (IsTextFormat(format)) {
        std::string text;
        BuildTextExport(fdr.data(), feed, format == TextWithTabs, tabStops, crLf, text);
        bytes.assign(text.begin(), text.end());
    } else {
        const int kind = HeaderKindOf(format);
        if (kind < 0) {
            error = ShownName(f) + ": Unrecognized format specifications";
            return 0;
        }
        if (kind != HeaderNone) {
            const PcHeader h =
                kind == HeaderFiad ? MakeFiadHeader(fdr.data()) : MakeTifilesHeader(fdr.data());
            bytes.assign(h.begin(), h.end());
        }
        BuildExportData(fdr.data(), feed, IsWholeSectors(format), bytes);
    }
    // Never over a mounted image, whatever path leads to it.
    if (const int refusal = PcTargetRefusal(pcPath, nullptr)) {
        error = pcPath + ": " + DiskErrorText(refusal);
        return 0;
    }
    const bool written = ReplaceFileAtomically(pcPath, [&](CPcFile& out) {
        return bytes.empty() ||
               out.WriteAt(0, bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
    });
    if (!written) {
        error = pcPath + ": Can't open file on PC";
        return 0;
    }
    return 1;
}

int CreateArk(CTiDisk& disk, const std::string& name, CTiDisk& source, const std::vector<int>& fdrs,
              bool compressed, bool replace, std::string& error) {
    // A longer name would be cut short without a word.
    if (!IsLegalTiName(name)) {
        error = name + ": Illegal file name";
        return 0;
    }
    std::vector<TiFileImage> files;
    if (!ReadFiles(source, fdrs, files, error)) return 0;
    CArkFile ark;
    ark.compressed = compressed;
    for (const TiFileImage& file : files)
        if (!ark.Add(file, false, error)) return 0;
    std::array<uint8_t, 10> padded{};
    std::memcpy(padded.data(), PadTiName(name).data(), kNameLength);
    return WriteArk(disk, padded, ArkStatus(compressed), nullptr, ark, replace, error);
}

int AddToArk(CTiDisk& disk, int arkFdr, CTiDisk& source, const std::vector<int>& fdrs, bool replace,
             std::string& error) {
    CArkFile ark;
    if (!OpenArk(disk, arkFdr, ark, error)) return 0;
    error = ark.FirstDamage();
    if (!error.empty()) return 0;
    std::vector<TiFileImage> files;
    if (!ReadFiles(source, fdrs, files, error)) return 0;
    for (const TiFileImage& file : files)
        if (!ark.Add(file, replace, error)) return 0;
    return Rewrite(disk, arkFdr, ark, error);
}

int RemoveFromArk(CTiDisk& disk, int arkFdr, const std::vector<std::string>& names,
                  std::string& error) {
    CArkFile ark;
    if (!OpenArk(disk, arkFdr, ark, error)) return 0;
    for (const std::string& name : names) {
        const int i = ark.Find(name);
        if (i < 0) {
            error = Named(name, "File not found");
            return 0;
        }
        ark.members.erase(ark.members.begin() + i);
    }
    // A damaged member may go; one that stays would make the new archive wrong.
    error = ark.FirstDamage();
    if (!error.empty()) return 0;
    return Rewrite(disk, arkFdr, ark, error);
}

}  // namespace tavik
