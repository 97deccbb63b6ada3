// HFE images (the HxC floppy emulator format): the bit cells of every track of a floppy, as a
// floppy emulator plays them to a TI-99/4A disk controller. Numbers are little-endian.
//
//   block 0 (512 bytes), the header:
//     0 "HXCPICFE"   8 format revision (0)   9 tracks per side   10 sides
//     11 track encoding (0 MFM, 1 Amiga MFM, 2 FM, 3 emulator FM, 0xFF unknown)
//     12-13 bit rate in kbit/s   14-15 rotations per minute   16 floppy interface mode
//     (7: generic Shugart double density)   17 unused (1)   18-19 block of the track table
//     20 write allowed (0xFF)   21 single step (0xFF)   22-25 other encodings of track 0 side 0
//     and side 1 (0xFF: none); 0xFF up to the end of the block
//   track table: per cylinder its first block and the length in bytes of both sides together
//   track data: 512-byte blocks, the first 256 bytes of each holding side 0, the second 256
//     side 1, until each side has half the track's length (see HfeTrack.h for the cells).
// Side 0 holds logical tracks 0 to n-1 on cylinders 0 to n-1. The TI numbers side 1 from its
// outermost cylinder inwards, so logical track n is cylinder n-1 of side 1.
//
// Sectors are found through the address marks of their track; a sector rewritten gets a new
// data field and CRC, and every other cell of its track stays as it was.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "base/PcFile.h"
#include "disk/HfeTrack.h"
#include "disk/SectorSource.h"

namespace tavik {

struct HfeGeometry {
    int tracks = 40;  // per side
    int sides = 1;
    bool mfm = false;
    int SectorsPerTrack() const { return mfm ? 18 : 9; }
    int TotalSectors() const { return tracks * sides * SectorsPerTrack(); }
};

// The first bytes of a PC file name an HFE image (of either format revision).
bool IsHfeSignature(const uint8_t* first, size_t count);

class CHfeImage : public CSectorSource {
public:
    // Reads the header and the track table of the file. Tracks the table does not place inside
    // the file, or places over the header, are left out. 0 or a negative DiskError.
    int Open(CPcFile& file);
    const HfeGeometry& Geometry() const { return m_geometry; }

    // Sector n (counted as the TI counts, over both sides): 0 or a negative DiskError:
    // PastEnd for a sector whose track the image lacks, ReadFailed for one its track does not
    // hold readable (no ID field, no data field, a bad CRC) or a failed file access.
    int ReadSector(CPcFile& file, int n, uint8_t* buffer);
    int WriteSector(CPcFile& file, int n, const uint8_t* buffer);

    int ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) override;
    int WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) override;
    int ConfirmDrive(CVirtualDrive& /*drive*/) override { return 0; }

private:
    struct TrackPlace {
        int64_t offset = 0;  // bytes
        int64_t length = 0;  // bytes of both sides
    };
    int Locate(int n, int& cylinder, int& side) const;
    // The track side, decoded, or null with the error in `error`. A track decoded before is
    // reused while the file still holds the same cells.
    CHfeTrack* LoadTrack(CPcFile& file, int cylinder, int side, int& error);
    int64_t StreamByteOffset(int cylinder, int side, size_t index) const;

    HfeGeometry m_geometry;
    CellCoding m_coding;  // as the first readable track showed it
    std::vector<TrackPlace> m_places;
    // The track sides decoded last; a few, so that thousands of mounted images stay small.
    struct DecodedTrack {
        int cylinder = -1;
        int side = -1;
        uint64_t used = 0;
        CHfeTrack track;
    };
    std::array<DecodedTrack, 4> m_decoded;
    uint64_t m_uses = 0;
};

// A new image of the geometry whose sector n holds bytes 256n to 256n+255 of `sectors` (0xE5,
// as on a blank disk, past their end), laid out as a TI controller formats a disk.
std::vector<uint8_t> BuildHfeImage(const HfeGeometry& geometry,
                                   const std::vector<uint8_t>& sectors = {});

}  // namespace tavik
