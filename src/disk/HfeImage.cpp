#include "disk/HfeImage.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "disk/DiskTypes.h"
#include "disk/Pc99Image.h"
#include "disk/VirtualDrive.h"

namespace tavik {

namespace {

constexpr char kSignature[] = "HXCPICFE";
// The third revision's streams carry opcodes among the cells; they are not read here.
constexpr char kSignatureV3[] = "HXCHFEV3";
constexpr size_t kSignatureLength = 8;

constexpr int64_t kBlock = 512;
constexpr int64_t kHalfBlock = 256;
constexpr size_t kHeaderFields = 26;  // bytes up to the last field the reader uses

constexpr size_t kRevision = 8;
constexpr size_t kTracks = 9;
constexpr size_t kSides = 10;
constexpr size_t kEncoding = 11;
constexpr size_t kBitRate = 12;
constexpr size_t kRpm = 14;
constexpr size_t kInterfaceMode = 16;
constexpr size_t kTrackTableBlock = 18;
constexpr size_t kWriteAllowed = 20;
constexpr size_t kSingleStep = 21;

constexpr uint8_t kEncodingMfm = 0;
constexpr uint8_t kEncodingAmigaMfm = 1;
constexpr uint8_t kEncodingFm = 2;
constexpr uint8_t kShugartDoubleDensity = 7;
constexpr int kWrittenBitRate = 250;  // kbit/s: MFM as it is, FM at twice its rate
constexpr int kWrittenRpm = 300;

// One revolution at 300 rpm and 500,000 cells a second, either coding.
constexpr size_t kStreamBytesPerSide = 12500;

constexpr uint8_t kBlankData = 0xE5;

// File bytes that hold a track of `length` bytes (both sides): whole blocks.
int64_t SideSpan(int64_t length) {
    return (length / 2 + kHalfBlock - 1) / kHalfBlock * kBlock;
}

int Le16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

void SetLe16(uint8_t* p, int value) {
    p[0] = static_cast<uint8_t>(value & 0xFF);
    p[1] = static_cast<uint8_t>(value >> 8 & 0xFF);
}

// The gaps of a track as a TI controller formats it (see the PC99 slots), in bytes.
struct TrackLayout {
    CellCoding coding;
    uint8_t gap;
    int preamble;
    int sync;     // zero bytes before each mark
    int idGap;    // gap bytes between the ID field and the data field's sync
    int dataGap;  // gap bytes after the data field
};
constexpr TrackLayout kFmTrack{{false, 2}, 0xFF, 16, 6, 11, 45};
constexpr TrackLayout kMfmTrack{{true, 1}, 0x4E, 40, 12, 22, 24};
constexpr int kMfmFirstSync = 10;  // before the ID mark; 12 before the data mark

std::vector<uint8_t> EncodeTrack(const HfeGeometry& geometry, int cylinder, int side,
                                 const std::vector<uint8_t>& sectors) {
    const TrackLayout& t = geometry.mfm ? kMfmTrack : kFmTrack;
    const int spt = geometry.SectorsPerTrack();
    const int logical = side == 0 ? cylinder : 2 * geometry.tracks - 1 - cylinder;
    CTrackEncoder track(t.coding, kStreamBytesPerSide);
    track.Fill(t.gap, t.preamble);
    std::array<uint8_t, kSectorSize> data;
    for (int slot = 0; slot < spt; ++slot) {
        const int sector = InterleavedSector(geometry.mfm, side, cylinder, slot);
        const size_t at = size_t{kSectorSize} * static_cast<size_t>(logical * spt + sector);
        data.fill(kBlankData);
        if (at < sectors.size())
            std::memcpy(data.data(), sectors.data() + at,
                        std::min<size_t>(kSectorSize, sectors.size() - at));
        track.Fill(0x00, geometry.mfm ? kMfmFirstSync : t.sync);
        track.Mark(kIdAddressMark);
        const uint8_t id[4] = {static_cast<uint8_t>(cylinder), static_cast<uint8_t>(side),
                               static_cast<uint8_t>(sector), kSizeCode256};
        track.Bytes(id, sizeof id);
        track.Crc();
        track.Fill(t.gap, t.idGap);
        track.Fill(0x00, t.sync);
        track.Mark(kDataAddressMark);
        track.Bytes(data.data(), data.size());
        track.Crc();
        track.Fill(t.gap, t.dataGap);
    }
    return track.Finish(t.gap);
}

}  // namespace

bool IsHfeSignature(const uint8_t* first, size_t count) {
    return first && count >= kSignatureLength &&
           (std::memcmp(first, kSignature, kSignatureLength) == 0 ||
            std::memcmp(first, kSignatureV3, kSignatureLength) == 0);
}

// ---- Reading and writing sectors ----------------------------------------------------------

int CHfeImage::Open(CPcFile& file) {
    const int64_t length = file.Length();
    if (length < 0) return DiskError::ReadFailed;
    uint8_t header[kHeaderFields];
    const int64_t got = file.ReadAt(0, header, sizeof header);
    if (got < 0) return DiskError::ReadFailed;
    if (got < static_cast<int64_t>(sizeof header)) return DiskError::PastEnd;
    if (std::memcmp(header, kSignature, kSignatureLength) != 0) return DiskError::BadFormatSpec;

    const int tracks = header[kTracks];
    const int64_t table = int64_t{Le16(header + kTrackTableBlock)} * kBlock;
    const int64_t tableEnd = table + 4 * int64_t{tracks};
    std::vector<uint8_t> entries(4 * static_cast<size_t>(tracks), 0);
    const int64_t read = file.ReadAt(table, entries.data(), entries.size());
    if (read < 0) return DiskError::ReadFailed;

    // A track lies inside the file, clear of the header and of the table.
    m_places.assign(static_cast<size_t>(tracks), TrackPlace{});
    int usable = 0;
    for (int t = 0; t < tracks && 4 * (t + 1) <= read; ++t) {
        const uint8_t* entry = &entries[4 * static_cast<size_t>(t)];
        TrackPlace place{int64_t{Le16(entry)} * kBlock, Le16(entry + 2)};
        const int64_t end = place.offset + SideSpan(place.length);
        const bool overlaps = place.offset < kBlock || (place.offset < tableEnd && table < end);
        if (overlaps || place.offset >= length || place.length < 2) continue;
        m_places[static_cast<size_t>(t)] = place;
        usable = t + 1;
    }
    if (usable == 0) return DiskError::PastEnd;
    // A header that claims more tracks than a disk of a usual count stores is taken at that
    // count. Otherwise missing tracks stay in the count: side 1 is numbered from the last
    // cylinder inwards, and a smaller count would make each of its sectors another one.
    const bool usualCount = usable == 35 || usable == 40 || usable == 80;
    m_geometry.tracks = usualCount ? usable : tracks;
    m_geometry.sides = std::clamp<int>(header[kSides], 1, 2);
    const uint8_t encoding = header[kEncoding];
    m_geometry.mfm = encoding == kEncodingMfm || encoding == kEncodingAmigaMfm;
    // The bit rate says whether an FM track is kept at twice its rate; when it matches neither
    // density, the cells of the tracks decide.
    const int bitRate = Le16(header + kBitRate);
    m_coding = {m_geometry.mfm, !m_geometry.mfm && bitRate >= 188 ? 2 : 1};

    // The first track that holds sectors shows the coding of the disk, whatever the header says.
    m_decoded = {};
    for (int cylinder = 0; cylinder < std::min(m_geometry.tracks, 4); ++cylinder) {
        int error = 0;
        const CHfeTrack* track = LoadTrack(file, cylinder, 0, error);
        if (!track || track->Sectors().empty()) continue;
        m_coding = track->Coding();
        m_geometry.mfm = m_coding.mfm;
        break;
    }
    return 0;
}

int CHfeImage::Locate(int n, int& cylinder, int& side) const {
    const int spt = m_geometry.SectorsPerTrack();
    if (n < 0) return DiskError::PastEnd;
    const int logical = n / spt;
    if (logical < m_geometry.tracks) {
        cylinder = logical;
        side = 0;
    } else if (m_geometry.sides == 2 && logical < 2 * m_geometry.tracks) {
        cylinder = 2 * m_geometry.tracks - 1 - logical;
        side = 1;
    } else {
        return DiskError::PastEnd;
    }
    return 0;
}

int64_t CHfeImage::StreamByteOffset(int cylinder, int side, size_t index) const {
    const auto i = static_cast<int64_t>(index);
    return m_places[static_cast<size_t>(cylinder)].offset + i / kHalfBlock * kBlock +
           side * kHalfBlock + i % kHalfBlock;
}

CHfeTrack* CHfeImage::LoadTrack(CPcFile& file, int cylinder, int side, int& error) {
    const TrackPlace& place = m_places[static_cast<size_t>(cylinder)];
    error = DiskError::PastEnd;
    if (place.length == 0) return nullptr;
    const auto sideBytes = static_cast<size_t>(place.length / 2);
    std::vector<uint8_t> blocks(static_cast<size_t>(SideSpan(place.length)));
    const int64_t got = file.ReadAt(place.offset, blocks.data(), blocks.size());
    error = DiskError::ReadFailed;
    if (got < 0) return nullptr;

    // The side's bytes up to the first one the file lacks.
    std::vector<uint8_t> stream;
    stream.reserve(sideBytes);
    for (size_t k = 0; k < sideBytes; k += kHalfBlock) {
        const size_t at = k / kHalfBlock * kBlock + static_cast<size_t>(side) * kHalfBlock;
        const size_t run =
            std::min<size_t>({kHalfBlock, sideBytes - k, at < size_t(got) ? size_t(got) - at : 0});
        stream.insert(stream.end(), blocks.begin() + static_cast<ptrdiff_t>(at),
                      blocks.begin() + static_cast<ptrdiff_t>(at + run));
        if (run < kHalfBlock) break;
    }
    error = 0;
    DecodedTrack* slot = &m_decoded[0];
    for (DecodedTrack& d : m_decoded) {
        if (d.cylinder == cylinder && d.side == side) {
            slot = &d;
            break;
        }
        if (d.used < slot->used) slot = &d;
    }
    slot->used = ++m_uses;
    CHfeTrack& track = slot->track;
    if (slot->cylinder == cylinder && slot->side == side && stream == track.Stream()) return &track;
    slot->cylinder = cylinder;
    slot->side = side;

    const bool whole = stream.size() == sideBytes;
    track = CHfeTrack(std::move(stream), whole);
    // The disk's coding first, then every other one a TI track may be kept in.
    const CellCoding codings[] = {m_coding, {false, 2}, {false, 1}, {true, 1}};
    for (const CellCoding& coding : codings)
        if (track.Scan(coding) > 0) return &track;
    track.Scan(m_coding);
    return &track;
}

int CHfeImage::ReadSector(CPcFile& file, int n, uint8_t* buffer) {
    int cylinder = 0, side = 0, error = 0;
    if (int rc = Locate(n, cylinder, side)) return rc;
    const CHfeTrack* track = LoadTrack(file, cylinder, side, error);
    if (!track) return error;
    const TrackSector* sector = track->Find(n % m_geometry.SectorsPerTrack());
    std::array<uint8_t, kSectorSize> data;
    if (!sector || !track->ReadData(*sector, data.data())) return DiskError::ReadFailed;
    std::memcpy(buffer, data.data(), data.size());
    return 0;
}

int CHfeImage::WriteSector(CPcFile& file, int n, const uint8_t* buffer) {
    int cylinder = 0, side = 0, error = 0;
    if (int rc = Locate(n, cylinder, side)) return rc;
    CHfeTrack* track = LoadTrack(file, cylinder, side, error);
    if (!track) return error;
    const TrackSector* sector = track->Find(n % m_geometry.SectorsPerTrack());
    if (!sector) return DiskError::ReadFailed;
    const auto changed = track->WriteData(*sector, buffer);
    // Only bytes read from the file are written back, each to where it came from.
    const std::vector<uint8_t>& stream = track->Stream();
    for (auto [first, end] : changed) {
        for (size_t k = first; k < end;) {
            const size_t run = std::min(end, (k / kHalfBlock + 1) * kHalfBlock) - k;
            if (file.WriteAt(StreamByteOffset(cylinder, side, k), stream.data() + k, run) !=
                static_cast<int64_t>(run)) {
                *track = CHfeTrack();  // the file may hold part of the new cells
                return DiskError::ReadFailed;
            }
            k += run;
        }
    }
    return 0;
}

int CHfeImage::ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) {
    return drive.File() ? ReadSector(*drive.File(), sector, buffer) : DiskError::NoDrive;
}

int CHfeImage::WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) {
    return drive.File() ? WriteSector(*drive.File(), sector, buffer) : DiskError::NoDrive;
}

// ---- New images ---------------------------------------------------------------------------

std::vector<uint8_t> BuildHfeImage(const HfeGeometry& geometry,
                                   const std::vector<uint8_t>& sectors) {
    const int tracks = std::clamp(geometry.tracks, 1, 127);
    const auto blocksPerTrack = static_cast<size_t>(
        (static_cast<int64_t>(kStreamBytesPerSide) + kHalfBlock - 1) / kHalfBlock);
    const size_t dataStart = 2;  // header, then the track table
    std::vector<uint8_t> image((dataStart + blocksPerTrack * static_cast<size_t>(tracks)) * kBlock,
                               0x00);
    std::fill(image.begin(), image.begin() + 2 * kBlock, 0xFF);

    uint8_t* header = image.data();
    std::memcpy(header, kSignature, kSignatureLength);
    header[kRevision] = 0;
    header[kTracks] = static_cast<uint8_t>(tracks);
    header[kSides] = static_cast<uint8_t>(geometry.sides == 2 ? 2 : 1);
    header[kEncoding] = geometry.mfm ? kEncodingMfm : kEncodingFm;
    SetLe16(header + kBitRate, kWrittenBitRate);
    SetLe16(header + kRpm, kWrittenRpm);
    header[kInterfaceMode] = kShugartDoubleDensity;
    header[kInterfaceMode + 1] = 1;  // unused; other tools write 1
    SetLe16(header + kTrackTableBlock, 1);
    header[kWriteAllowed] = 0xFF;
    header[kSingleStep] = 0xFF;

    HfeGeometry g = geometry;
    g.tracks = tracks;
    for (int cylinder = 0; cylinder < tracks; ++cylinder) {
        const size_t first = dataStart + blocksPerTrack * static_cast<size_t>(cylinder);
        uint8_t* entry = image.data() + kBlock + 4 * cylinder;
        SetLe16(entry, static_cast<int>(first));
        SetLe16(entry + 2, static_cast<int>(2 * kStreamBytesPerSide));
        for (int side = 0; side < (g.sides == 2 ? 2 : 1); ++side) {
            const std::vector<uint8_t> stream = EncodeTrack(g, cylinder, side, sectors);
            for (size_t k = 0; k < stream.size(); ++k)
                image[(first + k / kHalfBlock) * kBlock + side * kHalfBlock + k % kHalfBlock] =
                    stream[k];
        }
    }
    return image;
}

}  // namespace tavik
