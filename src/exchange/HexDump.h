// The text of "View hexadecimal": 16 lines per data sector, each the address, 16 bytes in hex
// and the same bytes as characters (control characters as blanks), ended by CR LF.
#pragma once

#include <cstdint>
#include <string>

namespace tavik {

// Appends the 16 lines of file sector `sector` (the addresses count from 256 x sector).
void AppendHexDumpSector(int sector, const uint8_t* bytes, std::string& out);

}  // namespace tavik
