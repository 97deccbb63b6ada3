#include "disk/HfeTrack.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tavik {

namespace {

constexpr size_t kCellsPerByte = 16;  // a clock and a data cell per bit
constexpr size_t kIdFieldBytes = 6;   // track, side, sector, size code, CRC
constexpr size_t kDataFieldBytes = 258;
constexpr size_t kDataBytes = 256;
// How far after its ID field a controller still takes a data mark as that sector's (gaps,
// MFM sync and the mark byte included).
constexpr size_t kDataWindowBytes = 64;

constexpr uint8_t kMfmSyncByte = 0xA1;
constexpr uint8_t kMfmSyncMissingClock = 0x04;      // no clock cell before data bit 2
constexpr uint64_t kMfmSyncCells = 0x448944894489;  // three sync bytes in a row
constexpr size_t kMfmSyncLength = 48;
constexpr uint8_t kFmMarkClock = 0xC7;

bool IsDataMark(uint8_t mark) {
    return mark >= kDeletedDataMark && mark <= kDataAddressMark;
}

// The stream cells of a byte and its clock byte, the earliest cell in the highest bit.
uint64_t ByteCells(uint8_t data, uint8_t clock, int scale) {
    uint64_t cells = 0;
    for (int bit = 7; bit >= 0; --bit) {
        cells = cells << scale | (clock >> bit & 1u);
        cells = cells << scale | (data >> bit & 1u);
    }
    return cells;
}

}  // namespace

uint16_t CrcCcitt(uint16_t crc, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        crc = static_cast<uint16_t>(crc ^ (bytes[i] << 8));
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

// ---- Reading and rewriting a track side ---------------------------------------------------

CHfeTrack::CHfeTrack(std::vector<uint8_t> stream, bool circular)
    : m_stream(std::move(stream)), m_cells(m_stream.size() * 8), m_circular(circular) {}

bool CHfeTrack::Cell(size_t cell) const {
    if (cell >= m_cells) {
        if (!m_circular || m_cells == 0) return false;
        cell %= m_cells;
    }
    return (m_stream[cell >> 3] >> (cell & 7) & 1) != 0;
}

void CHfeTrack::SetCell(size_t cell, bool value) {
    if (m_circular && m_cells > 0) cell %= m_cells;
    if (cell >= m_cells) return;
    const auto bit = static_cast<uint8_t>(1u << (cell % 8));
    if (value)
        m_stream[cell / 8] |= bit;
    else
        m_stream[cell / 8] &= static_cast<uint8_t>(~bit);
}

bool CHfeTrack::CodingCell(size_t start, size_t j) const {
    const size_t s = static_cast<size_t>(m_coding.scale);
    for (size_t k = 0; k < s; ++k)
        if (Cell(start + j * s + k)) return true;
    return false;
}

void CHfeTrack::SetCodingCell(size_t start, size_t j, bool value) {
    const size_t s = static_cast<size_t>(m_coding.scale);
    for (size_t k = 0; k < s; ++k)
        SetCell(start + j * s + k, value && k == s - 1);
}

uint8_t CHfeTrack::DecodeByte(size_t start, size_t index) const {
    const size_t s = static_cast<size_t>(m_coding.scale);
    const size_t first = start + index * kCellsPerByte * s;
    // The byte's cells (at most 32) in the low bits, the first cell lowest.
    uint64_t cells = 0;
    if ((first >> 3) + 5 <= m_stream.size()) {
        for (size_t i = 0; i < 5; ++i)
            cells |= uint64_t{m_stream[(first >> 3) + i]} << (8 * i);
        cells >>= first & 7;
    } else {
        for (size_t i = 0; i < kCellsPerByte * s; ++i)
            cells |= uint64_t{Cell(first + i)} << i;
    }
    const uint64_t group = (uint64_t{1} << s) - 1;
    unsigned value = 0;
    for (size_t bit = 0; bit < 8; ++bit)
        value = value << 1 | ((cells >> ((2 * bit + 1) * s) & group) != 0 ? 1u : 0u);
    return static_cast<uint8_t>(value);
}

bool CHfeTrack::Fits(size_t start, size_t count) const {
    const size_t cells = count * kCellsPerByte * static_cast<size_t>(m_coding.scale);
    return m_circular ? cells <= m_cells : start <= m_cells && cells <= m_cells - start;
}

// A window over the cells finds each mark where its transitions fall into the last stream cell
// of each coding cell, the alignment a rewrite keeps.
std::vector<CHfeTrack::Mark> CHfeTrack::FindMarks() const {
    const int s = m_coding.scale;
    const size_t length = m_coding.mfm ? kMfmSyncLength : kCellsPerByte * static_cast<size_t>(s);
    const uint64_t window = (uint64_t{1} << length) - 1;
    const uint64_t fixed = m_coding.mfm ? kMfmSyncCells : ByteCells(0x00, kFmMarkClock, s);
    const uint64_t data = m_coding.mfm ? 0 : ByteCells(0xFF, 0x00, s);
    const uint64_t sieve = window & ~data;
    std::vector<Mark> marks;
    auto found = [&](size_t cell, uint64_t cells) {
        size_t start = cell + 1;
        unsigned mark = 0;
        if (m_coding.mfm) {
            if (!Fits(start, 1)) return;
            mark = DecodeByte(start, 0);
            start += kCellsPerByte;
        } else {
            for (size_t k = 0; k < 8; ++k)
                mark = mark << 1 | (cells >> (length - 2 * s * (k + 1)) & 1u);
        }
        if (mark == kIdAddressMark || IsDataMark(static_cast<uint8_t>(mark)))
            marks.push_back({Wrap(start), static_cast<uint8_t>(mark)});
    };
    uint64_t cells = 0;
    for (size_t i = 0; i < m_stream.size(); ++i) {
        unsigned byte = m_stream[i];
        for (size_t k = 0; k < 8; ++k, byte >>= 1) {
            cells = cells << 1 | (byte & 1u);
            if ((cells & sieve) == fixed && 8 * i + k + 1 >= length) found(8 * i + k, cells);
        }
    }
    // A circular stream is read on past its end far enough to complete a mark begun before it.
    for (size_t cell = m_cells; m_circular && cell < m_cells + length; ++cell) {
        cells = cells << 1 | (Cell(cell) ? 1u : 0u);
        if ((cells & sieve) == fixed) found(cell, cells);
    }
    std::sort(marks.begin(), marks.end(),
              [](const Mark& a, const Mark& b) { return a.start < b.start; });
    marks.erase(std::unique(marks.begin(), marks.end(),
                            [](const Mark& a, const Mark& b) { return a.start == b.start; }),
                marks.end());
    return marks;
}

uint16_t CHfeTrack::MarkCrc(uint8_t mark) const {
    uint16_t crc = 0xFFFF;
    if (m_coding.mfm) {
        const uint8_t sync[3] = {kMfmSyncByte, kMfmSyncByte, kMfmSyncByte};
        crc = CrcCcitt(crc, sync, sizeof sync);
    }
    return CrcCcitt(crc, &mark, 1);
}

int CHfeTrack::Scan(const CellCoding& coding) {
    m_coding = coding;
    // FM may be kept at twice its rate; MFM at 500 kbit/s is no TI disk.
    m_coding.scale = coding.mfm ? 1 : std::clamp(coding.scale, 1, 2);
    m_sectors.clear();
    const size_t s = static_cast<size_t>(m_coding.scale);
    if (m_cells < 2 * kMfmSyncLength * s) return 0;
    const std::vector<Mark> marks = FindMarks();
    for (size_t i = 0; i < marks.size(); ++i) {
        const Mark& id = marks[i];
        if (id.value != kIdAddressMark || !Fits(id.start, kIdFieldBytes)) continue;
        uint8_t field[kIdFieldBytes];
        for (size_t b = 0; b < kIdFieldBytes; ++b)
            field[b] = DecodeByte(id.start, b);
        const uint16_t crc = CrcCcitt(MarkCrc(kIdAddressMark), field, 4);
        if (field[4] != crc >> 8 || field[5] != (crc & 0xFF)) continue;
        TrackSector sector;
        sector.track = field[0];
        sector.side = field[1];
        sector.sector = field[2];
        sector.sizeCode = field[3];

        // The data mark is the next mark, and close behind the ID field.
        const size_t idEnd = id.start + kIdFieldBytes * kCellsPerByte * s;
        const bool last = i + 1 == marks.size();
        if (!last || (m_circular && marks.size() > 1)) {
            const Mark& data = marks[last ? 0 : i + 1];
            size_t distance = data.start - idEnd;
            if (m_circular)
                distance = (data.start + m_cells - idEnd % m_cells) % m_cells;
            else if (data.start < idEnd)
                distance = SIZE_MAX;
            if (IsDataMark(data.value) && distance <= kDataWindowBytes * kCellsPerByte * s &&
                Fits(data.start, kDataFieldBytes)) {
                sector.hasData = true;
                sector.dataMark = data.value;
                sector.dataCell = data.start;
            }
        }
        m_sectors.push_back(sector);
    }
    return static_cast<int>(m_sectors.size());
}

const TrackSector* CHfeTrack::Find(int sector) const {
    for (const TrackSector& s : m_sectors)
        if (s.sector == sector && s.sizeCode == kSizeCode256 && s.hasData) return &s;
    return nullptr;
}

bool CHfeTrack::ReadData(const TrackSector& sector, uint8_t* data) const {
    uint8_t field[kDataFieldBytes];
    for (size_t b = 0; b < kDataFieldBytes; ++b)
        field[b] = DecodeByte(sector.dataCell, b);
    const uint16_t crc = CrcCcitt(MarkCrc(sector.dataMark), field, kDataBytes);
    std::memcpy(data, field, kDataBytes);
    return field[kDataBytes] == crc >> 8 && field[kDataBytes + 1] == (crc & 0xFF);
}

std::vector<std::pair<size_t, size_t>> CHfeTrack::WriteData(const TrackSector& sector,
                                                            const uint8_t* data) {
    uint8_t field[kDataFieldBytes];
    std::memcpy(field, data, kDataBytes);
    const uint16_t crc = CrcCcitt(MarkCrc(sector.dataMark), data, kDataBytes);
    field[kDataBytes] = static_cast<uint8_t>(crc >> 8);
    field[kDataBytes + 1] = static_cast<uint8_t>(crc & 0xFF);

    const size_t s = static_cast<size_t>(m_coding.scale);
    const size_t start = sector.dataCell;
    // The last data bit of the mark decides the first clock cell in MFM.
    bool previous = CodingCell(m_circular ? start + m_cells - s : start - s, 0);
    size_t j = 0;
    for (uint8_t byte : field) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool value = (byte >> bit & 1) != 0;
            SetCodingCell(start, j++, m_coding.mfm ? !(previous || value) : true);
            SetCodingCell(start, j++, value);
            previous = value;
        }
    }
    // The clock cell of the byte after the CRC depends on the CRC's last bit.
    if (m_coding.mfm && Fits(start, kDataFieldBytes + 1)) {
        SetCodingCell(start, j, !(previous || CodingCell(start, j + 1)));
        ++j;
    }
    const size_t end = start + j * s;
    if (end <= m_cells) return {{start / 8, (end + 7) / 8}};
    return {{start / 8, m_cells / 8}, {0, (end - m_cells + 7) / 8}};
}

// ---- Writing new tracks -------------------------------------------------------------------

CTrackEncoder::CTrackEncoder(const CellCoding& coding, size_t streamBytes)
    : m_coding(coding), m_stream(streamBytes, 0) {}

void CTrackEncoder::EmitCell(bool value) {
    m_cell += static_cast<size_t>(m_coding.scale) - 1;
    if (m_cell < m_stream.size() * 8 && value)
        m_stream[m_cell / 8] |= static_cast<uint8_t>(1u << (m_cell % 8));
    ++m_cell;
}

void CTrackEncoder::Emit(uint8_t data, uint8_t clock, uint8_t missingClocks) {
    for (int bit = 7; bit >= 0; --bit) {
        const bool value = (data >> bit & 1) != 0;
        const bool clockCell = m_coding.mfm ? !(m_lastData || value) && !(missingClocks >> bit & 1)
                                            : (clock >> bit & 1) != 0;
        EmitCell(clockCell);
        EmitCell(value);
        m_lastData = value;
    }
}

void CTrackEncoder::Fill(uint8_t value, int count) {
    for (int k = 0; k < count; ++k)
        Emit(value, 0xFF, 0);
}

void CTrackEncoder::Mark(uint8_t mark) {
    m_crc = 0xFFFF;
    if (m_coding.mfm) {
        for (int k = 0; k < 3; ++k) {
            Emit(kMfmSyncByte, 0, kMfmSyncMissingClock);
            m_crc = CrcCcitt(m_crc, &kMfmSyncByte, 1);
        }
        Emit(mark, 0, 0);
    } else {
        Emit(mark, kFmMarkClock, 0);
    }
    m_crc = CrcCcitt(m_crc, &mark, 1);
}

void CTrackEncoder::Bytes(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
        Emit(bytes[i], 0xFF, 0);
    m_crc = CrcCcitt(m_crc, bytes, count);
}

void CTrackEncoder::Crc() {
    const uint16_t crc = m_crc;
    Emit(static_cast<uint8_t>(crc >> 8), 0xFF, 0);
    Emit(static_cast<uint8_t>(crc & 0xFF), 0xFF, 0);
}

std::vector<uint8_t> CTrackEncoder::Finish(uint8_t gap) {
    const size_t byteCells = kCellsPerByte * static_cast<size_t>(m_coding.scale);
    while (m_cell + byteCells <= m_stream.size() * 8)
        Emit(gap, 0xFF, 0);
    return std::move(m_stream);
}

}  // namespace tavik
