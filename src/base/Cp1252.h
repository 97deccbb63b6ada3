// Text on TI disks and in the catalogue is 8-bit, code page 1252. The user interface and the
// command-line tool's JSON convert at their edge with these two functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavik {

// The UTF-8 form of one code point (up to U+10FFFF), appended to out.
void AppendUtf8(std::string& out, uint32_t codePoint);

std::string Cp1252ToUtf8(std::string_view text);
// Characters without a code page 1252 form become '?'.
std::string Utf8ToCp1252(std::string_view text);

}  // namespace tavik
