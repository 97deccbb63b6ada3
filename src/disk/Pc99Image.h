// PC99 track images: the raw byte stream of every track, gaps and address marks included,
// 40 tracks per side, side 0 first. FM tracks are 3253 bytes with 9 sectors, MFM tracks 6872
// bytes with 18. Sectors are found by the sector-number byte of their ID field at fixed slot
// positions; CRC positions hold 0xF7 0xF7.
#pragma once

#include <cstdint>
#include <vector>

#include "base/PcFile.h"

namespace tavik {

struct Pc99Geometry {
    int sectorsPerTrack;
    int trackLength;
    int preamble;
    int slotLength;
    int idSectorOffset;  // offset of the sector-number byte within a slot
    int dataOffset;      // offset of the data field within a slot
};

const Pc99Geometry& Pc99Layout(bool doubleDensity);

// Recognition from the first 41 bytes of a PC file: DriveKind HfeImage, Pc99Fm, Pc99Mfm or
// DoadImage.
int RecognizeImageKind(const uint8_t* first, size_t count);

// Byte offset of the data field of TI sector n in the image, or a negative DiskError
// (PastEnd, BadPc99). `writing` allows the track's last byte(s) to be missing.
int64_t LocatePc99Sector(CPcFile& file, int64_t start, bool doubleDensity, int n, bool writing);

// The sector a TI controller formats into slot `slot` of a track: slot k holds sector
// (s0 + 7k) mod spt, s0 advancing by 6 per track on side 0 and by 3 on side 1.
int InterleavedSector(bool doubleDensity, int side, int track, int slot);

// A blank (unformatted) image: 40 tracks per side, data bytes 0xE5.
std::vector<uint8_t> BlankPc99Image(bool doubleSided, bool doubleDensity);

}  // namespace tavik
