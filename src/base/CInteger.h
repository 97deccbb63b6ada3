// Numbers typed into dialogs are C integer literals: decimal, 0x hexadecimal or 0 octal, with
// an optional sign and leading blanks; the reading stops at the first character that does not
// belong to the number (as sscanf's "%i" does).
#pragma once

#include <optional>
#include <string_view>

namespace tavik {

// The number at the start of text, or nothing when no digits are there.
std::optional<long> ReadCInteger(std::string_view text);

// As ReadCInteger, also telling how many characters were consumed.
std::optional<long> ReadCInteger(std::string_view text, size_t& consumed);

}  // namespace tavik
