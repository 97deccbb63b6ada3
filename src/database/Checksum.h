// The catalogue's checksums. All three use one byte step: the reflected CRC-32 polynomial
// 0xEDB88320 with start value 0 and no final inversion (so it differs from the common CRC-32).
//   CRC-S: every sector of the disk, used or free, 0 up to the VIB's total - 1;
//   file checksum: the data a file really holds, by its kind (below);
//   CRC-F: the XOR of the file checksums of all files in file-index order (0 without files).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavik {

class CVirtualDrive;

uint32_t ChecksumStep(uint32_t crc, const uint8_t* bytes, size_t count);

// False (with the drive's last error) when a sector cannot be read. A failure is reported
// apart from the value, since any 32-bit value is a valid checksum.
bool SectorChecksum(CVirtualDrive& drive, uint32_t& crc);

// The checksum of the file whose FDR is in sector fdr (2 or more). Display/variable files feed
// each record's bytes without the length bytes; programs feed whole sectors and the last one up
// to the end-of-file offset; other files feed records-per-sector x record length bytes of each
// sector while records remain.
bool FileChecksum(CVirtualDrive& drive, int fdr, uint32_t& crc);

}  // namespace tavik
