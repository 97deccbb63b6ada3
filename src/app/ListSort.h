// Column-click sorting of the catalog list. The clicked column becomes the sort column and its
// header carries the direction: every header loses a trailing mark ("  ^" or "  v") and trailing
// blanks, and the clicked one gets "  ^" unless it carried "^" before, then "  v". Rows are
// ordered by their key in that column, compared byte by byte (so capitals sort before small
// letters); a numeric column's key is its text behind "000000", cut to the last six characters,
// so that 9 comes before 10.
#pragma once

#include <string>
#include <vector>

namespace tavik {

inline constexpr const char* kSortUp = "  ^";
inline constexpr const char* kSortDown = "  v";

// The header without a trailing mark and trailing blanks.
std::string HeaderWithoutMark(const std::string& header);

// Marks the clicked header in `headers` (the others lose theirs); true when the order is now
// descending.
bool ClickHeader(std::vector<std::string>& headers, int column);

std::string SortKey(const std::string& text, bool numeric);

// The order of rows (indexes into keys) ascending or descending by key; rows with equal keys
// keep their relative order.
std::vector<int> SortedOrder(const std::vector<std::string>& keys, bool descending);

}  // namespace tavik
