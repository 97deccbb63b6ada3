// PC99 track images.
//
// One track, FM (9 sectors) / MFM (18 sectors):
//   preamble            16 x 00            | 40 x 4E
//   9 or 18 slots of    334 bytes          | 340 bytes:
//     sync              6 x 00             | 10 x 00, 3 x A1
//     ID mark           FE, track, side, sector, 01 (size code), F7 F7 (CRC placeholder)
//     gap               11 x FF            | 22 x 4E
//     sync              6 x 00             | 12 x 00, 3 x A1
//     data mark         FB, 256 data bytes, F7 F7
//     gap               45 x FF            | 24 x 4E
//   postamble           231 x FF           | 712 x 4E
// Side 0 holds tracks 0-39, then side 1 tracks 0-39. The TI numbers side 1 from the outermost
// track inwards, so logical track 40 is track 39 of side 1: the last track of the image.
// Slots are interleaved: slot k holds sector (s0 + 7k) mod spt, where s0 starts at 0 on track 0
// of each side and advances by 6 per track on side 0 and by 3 on side 1.
#include "disk/Pc99Image.h"

#include <algorithm>
#include <array>

#include "disk/DiskTypes.h"
#include "disk/HfeImage.h"
#include "disk/HfeTrack.h"

namespace tavik {

namespace {

constexpr int kTracksPerSide = 40;
constexpr int kInterleaveStep = 7;
constexpr int kSide0TrackSkew = 6;
constexpr int kSide1TrackSkew = 3;

constexpr Pc99Geometry kFm{9, 3253, 16, 334, 9, 31};
constexpr Pc99Geometry kMfm{18, 6872, 40, 340, 16, 58};

constexpr uint8_t kCrcPlaceholder = 0xF7;
constexpr uint8_t kBlankData = 0xE5;

// The first ID mark of an FM image follows 16 preamble and 6 sync bytes.
constexpr size_t kFmFirstIdMark = 22;
constexpr size_t kFmPreamble = 16;
// An MFM image starts with 40 gap bytes and the first sync byte.
constexpr size_t kMfmPreamble = 40;

// Bytes from a track's start to its last ID field's sector byte, for the longer (MFM) layout.
constexpr int64_t kLongestIdSpan =
    kMfm.preamble + kMfm.idSectorOffset + (kMfm.sectorsPerTrack - 1) * kMfm.slotLength + 1;

bool AllEqual(const uint8_t* bytes, size_t from, size_t to, uint8_t value) {
    return std::all_of(bytes + from, bytes + to, [value](uint8_t b) { return b == value; });
}

void AppendSlot(std::vector<uint8_t>& out, bool mfm, int track, int side, int sector) {
    auto fill = [&out](size_t count, uint8_t value) { out.insert(out.end(), count, value); };
    if (mfm) {
        fill(10, 0x00);
        fill(3, 0xA1);
    } else {
        fill(6, 0x00);
    }
    out.push_back(kIdAddressMark);
    out.push_back(static_cast<uint8_t>(track));
    out.push_back(static_cast<uint8_t>(side));
    out.push_back(static_cast<uint8_t>(sector));
    out.push_back(kSizeCode256);
    fill(2, kCrcPlaceholder);
    if (mfm) {
        fill(22, 0x4E);
        fill(12, 0x00);
        fill(3, 0xA1);
    } else {
        fill(11, 0xFF);
        fill(6, 0x00);
    }
    out.push_back(kDataAddressMark);
    fill(kSectorSize, kBlankData);
    fill(2, kCrcPlaceholder);
    fill(mfm ? 24 : 45, mfm ? 0x4E : 0xFF);
}

}  // namespace

const Pc99Geometry& Pc99Layout(bool doubleDensity) {
    return doubleDensity ? kMfm : kFm;
}

int RecognizeImageKind(const uint8_t* first, size_t count) {
    if (first == nullptr) return DriveKind::DoadImage;
    if (IsHfeSignature(first, count)) return DriveKind::HfeImage;
    if (count > kFmFirstIdMark && first[kFmFirstIdMark] == kIdAddressMark &&
        AllEqual(first, kFmPreamble, kFmFirstIdMark, 0x00)) {
        // Some tools write the FM preamble as 0xFF instead of 0x00; the gaps stay in place.
        if (AllEqual(first, 0, kFmPreamble, 0x00) || AllEqual(first, 0, kFmPreamble, 0xFF))
            return DriveKind::Pc99Fm;
    }
    if (count > kMfmPreamble && first[kMfmPreamble] == 0x00 &&
        AllEqual(first, 0, kMfmPreamble, 0x4E))
        return DriveKind::Pc99Mfm;
    return DriveKind::DoadImage;
}

int InterleavedSector(bool doubleDensity, int side, int track, int slot) {
    const int spt = Pc99Layout(doubleDensity).sectorsPerTrack;
    const int skew = side == 0 ? kSide0TrackSkew : kSide1TrackSkew;
    return (track * skew + kInterleaveStep * slot) % spt;
}

int64_t LocatePc99Sector(CPcFile& file, int64_t start, bool doubleDensity, int n, bool writing) {
    const Pc99Geometry& g = Pc99Layout(doubleDensity);
    if (n < 0) return DiskError::PastEnd;
    const int logicalTrack = n / g.sectorsPerTrack;
    const int r = n % g.sectorsPerTrack;
    // Only 2 x 40 tracks exist; a larger number would otherwise fold back onto side 0.
    if (logicalTrack >= 2 * kTracksPerSide) return DiskError::PastEnd;
    const int index =
        logicalTrack < kTracksPerSide ? logicalTrack : 3 * kTracksPerSide - 1 - logicalTrack;
    const int64_t p = start + int64_t{index} * g.trackLength;

    const int64_t length = file.Length();
    if (length < 0) return DiskError::ReadFailed;
    const int64_t needed = p + g.trackLength - (writing ? (doubleDensity ? 2 : 1) : 0);
    if (length < needed) return DiskError::PastEnd;

    // Read the track up to the last ID field in one go, then look at each slot's sector byte.
    const int64_t idFirst = g.preamble + g.idSectorOffset;
    const int64_t span = idFirst + int64_t{g.sectorsPerTrack - 1} * g.slotLength + 1;
    std::array<uint8_t, kLongestIdSpan> track;
    if (span > kLongestIdSpan || file.ReadAt(p, track.data(), static_cast<size_t>(span)) != span)
        return DiskError::ReadFailed;
    for (int k = 0; k < g.sectorsPerTrack; ++k) {
        const int64_t slot = int64_t{k} * g.slotLength;
        if (track[static_cast<size_t>(slot + idFirst)] == r)
            return p + slot + g.preamble + g.dataOffset;
    }
    return DiskError::BadPc99;
}

std::vector<uint8_t> BlankPc99Image(bool doubleSided, bool doubleDensity) {
    const Pc99Geometry& g = Pc99Layout(doubleDensity);
    const int sides = doubleSided ? 2 : 1;
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(sides) * kTracksPerSide * g.trackLength);
    const uint8_t gapByte = doubleDensity ? 0x4E : 0xFF;
    const int postamble = g.trackLength - g.preamble - g.sectorsPerTrack * g.slotLength;
    for (int side = 0; side < sides; ++side) {
        for (int track = 0; track < kTracksPerSide; ++track) {
            out.insert(out.end(), static_cast<size_t>(g.preamble), doubleDensity ? 0x4E : 0x00);
            for (int k = 0; k < g.sectorsPerTrack; ++k)
                AppendSlot(out, doubleDensity, track, side,
                           InterleavedSector(doubleDensity, side, track, k));
            out.insert(out.end(), static_cast<size_t>(postamble), gapByte);
        }
    }
    return out;
}

}  // namespace tavik
