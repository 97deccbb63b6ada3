#include "disk/Pc99Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/PcFile.h"
#include "disk/DiskTypes.h"

namespace tavik {
namespace {

std::vector<uint8_t> Prefix(std::initializer_list<std::pair<int, uint8_t>> runs) {
    std::vector<uint8_t> bytes;
    for (auto [count, value] : runs)
        bytes.insert(bytes.end(), static_cast<size_t>(count), value);
    return bytes;
}

struct RecognitionCase {
    const char* what;
    std::vector<uint8_t> first;
    int kind;
};

TEST(Pc99Recognition, DecidesFromTheFirst41Bytes) {
    const RecognitionCase cases[] = {
        {"FM", Prefix({{22, 0x00}, {1, 0xFE}, {18, 0x12}}), DriveKind::Pc99Fm},
        {"FM with 0xFF preamble", Prefix({{16, 0xFF}, {6, 0x00}, {1, 0xFE}, {18, 0}}),
         DriveKind::Pc99Fm},
        {"mixed preamble", Prefix({{8, 0xFF}, {8, 0x00}, {6, 0x00}, {1, 0xFE}, {18, 0}}),
         DriveKind::DoadImage},
        {"0xFF preamble, sync not zero",
         Prefix({{16, 0xFF}, {5, 0x00}, {1, 0xFF}, {1, 0xFE}, {18, 0}}), DriveKind::DoadImage},
        {"FM without ID mark", Prefix({{22, 0x00}, {1, 0xFB}, {18, 0}}), DriveKind::DoadImage},
        {"MFM, whatever follows", Prefix({{40, 0x4E}, {1, 0x00}}), DriveKind::Pc99Mfm},
        {"MFM gap one short", Prefix({{39, 0x4E}, {2, 0x00}}), DriveKind::DoadImage},
        {"MFM without sync byte", Prefix({{40, 0x4E}, {1, 0x4E}}), DriveKind::DoadImage},
        {"zeros", Prefix({{41, 0x00}}), DriveKind::DoadImage},
        {"too short for FM", Prefix({{22, 0x00}}), DriveKind::DoadImage},
        {"too short for MFM", Prefix({{40, 0x4E}}), DriveKind::DoadImage},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecognizeImageKind(c.first.data(), c.first.size()), c.kind) << c.what;
    EXPECT_EQ(RecognizeImageKind(nullptr, 0), DriveKind::DoadImage);
}

TEST(Pc99Recognition, BlankImagesAreRecognised) {
    for (bool dd : {false, true}) {
        auto image = BlankPc99Image(false, dd);
        EXPECT_EQ(RecognizeImageKind(image.data(), 41),
                  dd ? DriveKind::Pc99Mfm : DriveKind::Pc99Fm);
    }
}

TEST(Pc99Blank, SizesAndTrackLayout) {
    EXPECT_EQ(BlankPc99Image(false, false).size(), 130120u);
    EXPECT_EQ(BlankPc99Image(true, false).size(), 260240u);
    EXPECT_EQ(BlankPc99Image(false, true).size(), 274880u);
    EXPECT_EQ(BlankPc99Image(true, true).size(), 549760u);

    for (bool dd : {false, true}) {
        const Pc99Geometry& g = Pc99Layout(dd);
        auto image = BlankPc99Image(true, dd);
        // Every slot of every track: ID mark, track, side, sector number of the interleave,
        // size code and CRC placeholder, then the data mark, blank data and its CRC.
        for (int side = 0; side < 2; ++side) {
            int s0 = 0;
            for (int track = 0; track < 40; ++track) {
                const size_t p = static_cast<size_t>((side * 40 + track) * g.trackLength);
                for (int k = 0; k < g.sectorsPerTrack; ++k) {
                    const size_t id = p + g.preamble + k * g.slotLength + g.idSectorOffset;
                    ASSERT_EQ(image[id - 3], 0xFE);
                    ASSERT_EQ(image[id - 2], track);
                    ASSERT_EQ(image[id - 1], side);
                    ASSERT_EQ(image[id], (s0 + 7 * k) % g.sectorsPerTrack);
                    ASSERT_EQ(image[id + 1], 0x01);
                    ASSERT_EQ(image[id + 2], 0xF7);
                    const size_t data = p + g.preamble + k * g.slotLength + g.dataOffset;
                    ASSERT_EQ(image[data - 1], 0xFB);
                    ASSERT_TRUE(std::all_of(&image[data], &image[data + 256],
                                            [](uint8_t b) { return b == 0xE5; }));
                    ASSERT_EQ(image[data + 256], 0xF7);
                    ASSERT_EQ(image[data + 257], 0xF7);
                }
                s0 = (s0 + (side == 0 ? 6 : 3)) % g.sectorsPerTrack;
            }
        }
        // The sector-number byte and data field at the positions counted from the track start.
        EXPECT_EQ(g.preamble + g.idSectorOffset, dd ? 56 : 25);
        EXPECT_EQ(g.preamble + g.dataOffset, dd ? 98 : 47);
    }
}

int64_t Locate(CMemFile& file, bool dd, int n, bool writing = false, int64_t start = 0) {
    return LocatePc99Sector(file, start, dd, n, writing);
}

TEST(Pc99Locate, InterleaveAndSideOneTrackOrder) {
    CMemFile fm(BlankPc99Image(true, false));
    const Pc99Geometry& g = Pc99Layout(false);
    auto slotData = [&](int track, int slot) {
        return int64_t{track} * g.trackLength + g.preamble + slot * g.slotLength + g.dataOffset;
    };
    EXPECT_EQ(Locate(fm, false, 0), slotData(0, 0));
    EXPECT_EQ(Locate(fm, false, 1), slotData(0, 4));  // 4 x 7 = 28 = 1 mod 9
    EXPECT_EQ(Locate(fm, false, 9), slotData(1, 3));  // track 1 begins with sector 6
    EXPECT_EQ(Locate(fm, false, 360), slotData(79, 0));
    EXPECT_GE(Locate(fm, false, 360), 260240 - 3253);
    EXPECT_EQ(Locate(fm, false, 719) / g.trackLength, 40);  // logical track 79: side 1, track 0
    // There is no 81st track: sector 720 must not fold back onto side 0.
    EXPECT_EQ(Locate(fm, false, 720), DiskError::PastEnd);
    EXPECT_EQ(Locate(fm, false, 1599), DiskError::PastEnd);
    EXPECT_EQ(Locate(fm, false, -1), DiskError::PastEnd);

    CMemFile mfm(BlankPc99Image(true, true));
    const Pc99Geometry& m = Pc99Layout(true);
    // Side 1 tracks start with sectors 0, 3, 6, 9: logical track 79 is side 1 track 0.
    const int64_t t79 = Locate(mfm, true, 79 * 18);
    EXPECT_EQ(t79, 40 * m.trackLength + m.preamble + m.dataOffset);
    const int64_t t78 = Locate(mfm, true, 78 * 18 + 3);  // side 1 track 1, slot 0 holds sector 3
    EXPECT_EQ(t78, 41 * m.trackLength + m.preamble + m.dataOffset);
    EXPECT_EQ(Locate(mfm, true, 1439) / m.trackLength, 40);
    EXPECT_EQ(Locate(mfm, true, 1440), DiskError::PastEnd);
}

TEST(Pc99Locate, EverySectorHasItsOwnPlace) {
    for (bool dd : {false, true}) {
        CMemFile file(BlankPc99Image(true, dd));
        const int total = dd ? 1440 : 720;
        std::vector<int64_t> seen;
        for (int n = 0; n < total; ++n) {
            int64_t at = Locate(file, dd, n);
            ASSERT_GT(at, 0) << n;
            seen.push_back(at);
        }
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    }
}

TEST(Pc99Locate, TruncatedAndDamagedImages) {
    const Pc99Geometry& g = Pc99Layout(false);
    auto image = BlankPc99Image(false, false);

    // A track that lacks its last byte can be written but not read.
    CMemFile shortByOne(std::vector<uint8_t>(image.begin(), image.begin() + g.trackLength - 1));
    EXPECT_EQ(Locate(shortByOne, false, 0), DiskError::PastEnd);
    EXPECT_GT(Locate(shortByOne, false, 0, true), 0);
    CMemFile shortByTwo(std::vector<uint8_t>(image.begin(), image.begin() + g.trackLength - 2));
    EXPECT_EQ(Locate(shortByTwo, false, 0, true), DiskError::PastEnd);
    const auto mfmImage = BlankPc99Image(false, true);
    CMemFile mfmShort(std::vector<uint8_t>(mfmImage.begin(), mfmImage.end() - 2));
    EXPECT_GT(Locate(mfmShort, true, 39 * 18, true), 0);
    EXPECT_EQ(Locate(mfmShort, true, 39 * 18, false), DiskError::PastEnd);

    // A damaged ID affects only its own sector; the other sectors of the track stay readable.
    auto damaged = image;
    damaged[static_cast<size_t>(g.preamble + 4 * g.slotLength + g.idSectorOffset)] = 0x55;
    CMemFile file(damaged);
    EXPECT_EQ(Locate(file, false, 1), DiskError::BadPc99);
    for (int n : {0, 2, 8, 9})
        EXPECT_GT(Locate(file, false, n), 0) << n;

    // Only the sector byte is compared: a wrong track byte does not matter.
    auto wrongTrack = image;
    wrongTrack[static_cast<size_t>(g.preamble + g.idSectorOffset - 2)] = 33;
    CMemFile wt(wrongTrack);
    EXPECT_GT(Locate(wt, false, 0), 0);

    // The track images may start inside a larger file.
    CMemFile inside(std::vector<uint8_t>(1000, 0x77));
    ASSERT_EQ(inside.WriteAt(1000, image.data(), image.size()), static_cast<int64_t>(image.size()));
    EXPECT_EQ(Locate(inside, false, 1, false, 1000),
              Locate(file, false, 0) + 1000 + 4 * g.slotLength);
}

}  // namespace
}  // namespace tavik
