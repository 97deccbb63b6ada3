// Writing records as PC text lines: the line end, and the compression of spaces that run up to
// a tab stop into one TAB character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// Appends one record as a line: through tab creation when tabs is set and the list is not
// empty, then CR LF, or only LF when the record's last byte is a CR.
void AppendRecordLine(const uint8_t* record, int length, bool tabs,
                      const std::vector<uint16_t>& tabStops, std::string& out);

// Tab creation. Every entry of the list (the final "spaces per tab" entry included) is taken as
// a stop, in list order; spaces that run up to the next stop become one TAB, all other spaces
// stay, trailing blanks included.
void AppendWithTabs(const uint8_t* record, int length, const std::vector<uint16_t>& tabStops,
                    std::string& out);

}  // namespace tavik
