#include "exchange/ClassifyPcFile.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/CInteger.h"
#include "base/UpperAscii.h"
#include "disk/DiskTypes.h"
#include "disk/HfeImage.h"
#include "disk/Layout.h"
#include "disk/Pc99Image.h"
#include "exchange/PcFileHeader.h"
#include "exchange/PcName.h"

namespace tavik {

using namespace layout;

namespace {

bool Printable(uint8_t c) {
    return c >= 0x20 && c <= 0x7F;
}

std::string Trimmed(const uint8_t* b, int length) {
    std::string s(reinterpret_cast<const char*>(b), static_cast<size_t>(length));
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

void SetDisk(PcFileClass& r, int kind, const uint8_t* vib) {
    r.kind = kind;
    r.tiName = Trimmed(vib, 10);
    r.sectors = vib[10] << 8 | vib[11];
    r.flags = static_cast<uint16_t>(vib[18] << 8 | vib[19]);
    r.recordLength = 0;
}

// Accepts the headers of real FIAD writers (an FDR copy with its stamps at 20-27; fixed files
// with the last sector's end-of-file offset; variable files with any records per sector those
// writers use) and refuses what merely starts with ten printable bytes.
bool PlausibleFiad(const uint8_t* b) {
    const int sectors = Be16(b + kFdrSectors);
    // Files of more than 1600 sectors are rare enough that a header claiming one is taken for
    // plain data.
    if (sectors > kMaxSectors) return false;
    switch (b[kFdrStatus] & kTypeMask) {
        case 0x00:
        case 0x02:
            return PlausibleFixedEof(b);
        case 0x01:
            return b[13] == 0 && b[17] == 0 && b[18] == 0 && b[19] == 0;
        case 0x80:
        case 0x82:
            return b[15] == b[18] && b[19] == b[14] &&
                   PlausibleVariableRecordsPerSector(b[kFdrRecordsPerSector], b[kFdrRecordLength]);
        default:
            return false;
    }
}

void ClassifyPlain(PcFileClass& r, const std::string& pcName) {
    r.kind = PlainFile;
    r.tiName = TiNameOf(UpperAscii(PcFileTitle(pcName)));
    r.sectors = -1;
    r.dataOffset = 0;
    const std::string ext = PcFileExtension(pcName);
    static const struct {
        const char* prefix;
        uint8_t status;
    } kTypes[] = {{"DF", 0x00}, {"DV", 0x80}, {"IF", 0x02}, {"IV", 0x82}};
    r.flags = kStatusProgram;
    r.recordLength = 0;
    if (ext == "PRG") return;
    for (const auto& t : kTypes) {
        if (ext.compare(0, 2, t.prefix) != 0) continue;
        r.flags = t.status;
        // A number too large for a record length is kept as read; the import refuses it.
        const auto n = ReadCInteger(std::string_view(ext).substr(2));
        r.recordLength = n ? static_cast<int>(std::clamp<long>(*n, -1, 0x10000)) : 0;
        return;
    }
}

}  // namespace

std::string PcFileTitle(const std::string& pcName) {
    std::string name = pcName;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
    return name;
}

std::string PcFileExtension(const std::string& pcName) {
    std::string name = pcName;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return UpperAscii(dot == std::string::npos ? name : name.substr(dot + 1));
}

std::string ShortTypeText(uint8_t status, int recordLength) {
    const std::string n = std::to_string(recordLength);
    switch (status & kTypeMask) {
        case 0x00:
            return "DF" + n;
        case 0x01:
            return "Prog";
        case 0x02:
            return "IF" + n;
        case 0x80:
            return "DV" + n;
        case 0x82:
            return "IV" + n;
        default:
            return {};
    }
}

PcFileClass ClassifyPcBytes(const uint8_t* bytes, size_t count, const std::string& pcName) {
    std::array<uint8_t, kHeaderSize> b{};
    if (bytes && count) std::memcpy(b.data(), bytes, std::min<size_t>(count, kHeaderSize));
    PcFileClass r;

    // Track images are recognised as mounting recognises them (the FM preamble may be 0x00
    // or 0xFF); the VIB follows the first sector's ID and data marks.
    switch (RecognizeImageKind(b.data(), b.size())) {
        case DriveKind::Pc99Fm:
            SetDisk(r, TrackImageSingle, b.data() + 47);
            return r;
        case DriveKind::Pc99Mfm:
            SetDisk(r, TrackImageDouble, b.data() + 98);
            return r;
        case DriveKind::HfeImage:
            // The header's sides and encoding; the VIB lies encoded in the first track.
            r.kind = HfeDisk;
            r.flags = static_cast<uint16_t>((b[10] == 2 ? 2 : 1) << 8 | (b[11] < 2 ? 2 : 1));
            return r;
        default:
            break;
    }
    if (std::memcmp(b.data() + 13, "DSK", 3) == 0 && b[18] < 3 && b[19] < 3) {
        SetDisk(r, SectorDump, b.data());
        return r;
    }
    if (std::memcmp(b.data() + 1, "TIFILES", 7) == 0) {
        r.kind = TifilesFile;
        r.flags = b[kTifilesStatus];
        r.recordLength = b[kTifilesRecordLength];
        r.sectors = b[kTifilesSectors] << 8 | b[kTifilesSectors + 1];
        r.dataOffset = kHeaderSize;
        r.headerRecords = b[kTifilesRecords] | b[kTifilesRecords + 1] << 8;
        r.headerRecordsHighFirst = b[kTifilesRecords] << 8 | b[kTifilesRecords + 1];
        r.headerEofOffset = b[kTifilesEofOffset];
        r.headerRecordsPerSector = b[kTifilesRecordsPerSector];
        int length = 0;
        while (length < kNameLength && Printable(b[kTifilesName + length]))
            ++length;
        if (length < kNameLength - 1)
            r.tiName = TiNameOf(PcFileTitle(pcName));
        else
            r.tiName = Trimmed(b.data() + kTifilesName, length);
        return r;
    }
    if (std::all_of(b.begin(), b.begin() + kNameLength, Printable) && PlausibleFiad(b.data())) {
        r.kind = FiadFile;
        r.tiName = Trimmed(b.data(), kNameLength);
        r.flags = b[kFdrStatus];
        r.recordLength = b[kFdrRecordLength];
        r.sectors = Be16(b.data() + kFdrSectors);
        r.dataOffset = kHeaderSize;
        r.headerRecords = Le16(b.data() + kFdrRecords);
        r.headerRecordsHighFirst = b[kFdrRecords] << 8 | b[kFdrRecords + 1];
        r.headerEofOffset = b[kFdrEofOffset];
        r.headerRecordsPerSector = b[kFdrRecordsPerSector];
        return r;
    }
    ClassifyPlain(r, pcName);
    return r;
}

std::string ShortHeaderFile(const PcFileClass& pc, int64_t fileLength) {
    if (pc.kind != FiadFile && pc.kind != TifilesFile) return {};
    if (fileLength < kHeaderSize) return "File is shorter than its header";
    const int64_t data = fileLength - kHeaderSize;
    const int64_t sectors = std::max(pc.sectors, 0);
    int64_t stated = 0;
    if (sectors > 0) {
        switch (pc.flags & kTypeMask) {
            case kStatusProgram:
                stated = (sectors - 1) * kSectorSize +
                         (pc.headerEofOffset ? pc.headerEofOffset : kSectorSize);
                break;
            case 0x00:
            case kStatusInternal:
                if (pc.recordLength > 0) {
                    const int64_t slots = sectors * (kSectorSize / pc.recordLength);
                    stated = std::min({int64_t{pc.headerRecords},
                                       int64_t{pc.headerRecordsHighFirst}, slots}) *
                             pc.recordLength;
                }
                break;
            case kStatusVariable:
            case kStatusVariable | kStatusInternal:
                stated = 1;
                break;
            default:
                break;
        }
    }
    return data < stated ? "File holds less data than its header states" : std::string();
}

PcFileClass ClassifyPcFile(CPcFile& file, const std::string& pcName) {
    std::array<uint8_t, kHeaderSize> b{};
    int64_t got = file.ReadAt(0, b.data(), b.size());
    PcFileClass r =
        ClassifyPcBytes(b.data(), static_cast<size_t>(std::max<int64_t>(got, 0)), pcName);
    r.unreadable = got < 0;
    CHfeImage hfe;
    Sector vib;
    if (r.kind == HfeDisk && hfe.Open(file) == 0 && hfe.ReadSector(file, 0, vib.data()) == 0)
        SetDisk(r, HfeDisk, vib.data());
    return r;
}

}  // namespace tavik
