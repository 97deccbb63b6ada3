// A small, bounded subset of scanf's pattern matching for reading typed dates, times and file
// types: "%d" reads a decimal number, "%i" a C integer literal (both skip leading blanks), a
// blank in the pattern matches any run of blanks (none included), any other character must
// match itself. Numbers too large for an int are clamped instead of overflowing.
#pragma once

#include <string_view>
#include <vector>

namespace tavik {

// The number of conversions made before the text stopped matching, as scanf counts them; the
// numbers read are appended to `numbers`.
int ScanPattern(std::string_view text, std::string_view pattern, std::vector<int>& numbers);

}  // namespace tavik
