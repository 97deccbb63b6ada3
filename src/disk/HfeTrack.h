// The bit cells of one side of one track of an HFE image, and the TI-99/4A sectors in them.
//
// A track side is a stream of bit cells, the first cell in bit 0 of the first byte; a cell of 1
// is a flux transition. Bytes are recorded high bit first as pairs of cells, a clock cell and
// then a data cell:
//   FM (single density): every clock cell is 1, except in an address mark, whose clock byte is
//     0xC7 (ID mark 0xFE, data mark 0xFB, deleted-data mark 0xF8).
//   MFM (double density): a clock cell is 1 only between two data bits of 0. An address mark
//     follows three 0xA1 bytes that lack the clock cell before data bit 2 (the cells 0x4489),
//     a sync that no data can produce.
// An image kept at twice the bit rate of its coding (an FM track at the rate of MFM) spends two
// stream cells on each cell of the coding, the transition in the second.
// ID field: mark, track, side, sector, size code (1: 256 bytes), CRC. Data field: mark, 256
// bytes, CRC. The CRC is CRC-CCITT (polynomial 0x1021, starting at 0xFFFF) over the mark (with
// the three 0xA1 in MFM) and the field, stored high byte first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tavik {

// How the cells of a track carry bytes.
struct CellCoding {
    bool mfm = false;
    int scale = 1;  // stream cells per cell of the coding: 1, or 2 at twice the bit rate
    bool operator==(const CellCoding&) const = default;
};

constexpr uint8_t kIdAddressMark = 0xFE;
constexpr uint8_t kDataAddressMark = 0xFB;
constexpr uint8_t kDeletedDataMark = 0xF8;
constexpr uint8_t kSizeCode256 = 0x01;

uint16_t CrcCcitt(uint16_t crc, const uint8_t* bytes, size_t count);

// One sector as the track shows it: an ID field with a good CRC and, when one follows close
// enough, its data field.
struct TrackSector {
    uint8_t track = 0;
    uint8_t side = 0;
    uint8_t sector = 0;
    uint8_t sizeCode = 0;
    bool hasData = false;
    uint8_t dataMark = 0;
    size_t dataCell = 0;  // first stream cell of the data bytes
};

class CHfeTrack {
public:
    CHfeTrack() = default;
    // `circular`: the stream is the whole revolution, so a field may run over its end into its
    // start. A stream cut short (the file ends early) is not.
    CHfeTrack(std::vector<uint8_t> stream, bool circular);

    // Finds every ID field with a good CRC and the data field after it; returns how many.
    int Scan(const CellCoding& coding);
    const std::vector<TrackSector>& Sectors() const { return m_sectors; }
    const CellCoding& Coding() const { return m_coding; }
    // The first sector numbered `sector` with a 256-byte data field, or nullptr.
    const TrackSector* Find(int sector) const;

    // The 256 data bytes; false when the data CRC does not match.
    bool ReadData(const TrackSector& sector, uint8_t* data) const;
    // Re-encodes the data field and its CRC (and, in MFM, the clock cell after them) and leaves
    // every other cell as it was. Returns the stream bytes that changed as [first, end) ranges.
    std::vector<std::pair<size_t, size_t>> WriteData(const TrackSector& sector,
                                                     const uint8_t* data);

    const std::vector<uint8_t>& Stream() const { return m_stream; }

private:
    struct Mark {
        size_t start;  // first stream cell after the mark byte
        uint8_t value;
    };
    size_t Wrap(size_t cell) const { return m_circular && m_cells ? cell % m_cells : cell; }
    bool Cell(size_t cell) const;
    void SetCell(size_t cell, bool value);
    // Cell j of the coding from `start` (any of its stream cells set).
    bool CodingCell(size_t start, size_t j) const;
    void SetCodingCell(size_t start, size_t j, bool value);
    uint8_t DecodeByte(size_t start, size_t index) const;
    // The field of `count` bytes from `start` lies inside the stream.
    bool Fits(size_t start, size_t count) const;
    std::vector<Mark> FindMarks() const;
    uint16_t MarkCrc(uint8_t mark) const;

    std::vector<uint8_t> m_stream;
    size_t m_cells = 0;
    bool m_circular = false;
    CellCoding m_coding;
    std::vector<TrackSector> m_sectors;
};

// Writes a new track side: bytes, address marks and CRCs in the cells of a coding.
class CTrackEncoder {
public:
    CTrackEncoder(const CellCoding& coding, size_t streamBytes);
    void Fill(uint8_t value, int count);
    // The address mark (in MFM with its three sync bytes); the CRC starts here.
    void Mark(uint8_t mark);
    void Bytes(const uint8_t* bytes, size_t count);
    void Crc();
    // Gap bytes up to the end of the stream.
    std::vector<uint8_t> Finish(uint8_t gap);

private:
    void Emit(uint8_t data, uint8_t clock, uint8_t missingClocks);
    void EmitCell(bool value);

    CellCoding m_coding;
    std::vector<uint8_t> m_stream;
    size_t m_cell = 0;
    bool m_lastData = false;
    uint16_t m_crc = 0xFFFF;
};

}  // namespace tavik
