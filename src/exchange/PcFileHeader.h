// The two 128-byte headers that precede a TI file kept as a PC file.
//
// TIFILES: byte 0x07 and the letters "TIFILES"; sectors (2 bytes, high first), status, records
// per sector, end-of-file offset, record length, record count (2 bytes, low first), the 10-byte
// name at 16; zero bytes up to 127. FIAD: the first 28 bytes of the file descriptor record as
// they stand (name, status, counts, stamps) and 100 zero bytes; the cluster chain is not kept.
#pragma once

#include <array>
#include <cstdint>

namespace tavik {

constexpr int kHeaderSize = 128;
using PcHeader = std::array<uint8_t, kHeaderSize>;

enum HeaderKind : int { HeaderNone = 0, HeaderFiad = 1, HeaderTifiles = 2 };

constexpr int kTifilesSectors = 8;
constexpr int kTifilesStatus = 10;
constexpr int kTifilesRecordsPerSector = 11;
constexpr int kTifilesEofOffset = 12;
constexpr int kTifilesRecordLength = 13;
constexpr int kTifilesRecords = 14;
constexpr int kTifilesName = 16;

PcHeader MakeTifilesHeader(const uint8_t* fdr);
PcHeader MakeFiadHeader(const uint8_t* fdr);

}  // namespace tavik
