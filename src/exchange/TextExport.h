// Writing records as PC text lines: the line end, and the compression of spaces that run up to
// a tab stop into one TAB character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// Lines end as this platform's texts do (LF; CR LF on Windows) unless CR LF is asked for.
#ifdef _WIN32
constexpr bool kPlatformCrLf = true;
#else
constexpr bool kPlatformCrLf = false;
#endif

// Appends one record as a line: through tab creation when tabs is set and the list holds a
// stop, then the line end: LF, or CR LF when crLf is set (only LF when the record's last byte is
// a CR, which makes the CR LF itself).
void AppendRecordLine(const uint8_t* record, int length, bool tabs,
                      const std::vector<uint16_t>& tabStops, bool crLf, std::string& out);

// Tab creation. The list's entries before the final "spaces per tab" entry are the stops, in
// list order; spaces that run up to the next stop become one TAB, all other spaces stay,
// trailing blanks included. (The final entry is no column: a TAB made there would come back
// from an import as that many spaces from wherever it stands.)
void AppendWithTabs(const uint8_t* record, int length, const std::vector<uint16_t>& tabStops,
                    std::string& out);

}  // namespace tavik
