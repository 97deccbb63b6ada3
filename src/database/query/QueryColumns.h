// The columns a query over disks or files can name, their kinds (which decide the operators a
// condition offers), and the qualification of column names with a table alias for statements
// that join several tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

enum class ColumnKind { Text, Number, YesNo };

// The columns of Disks or Files in table order ("Disk name", "ID", "Size", ...).
const std::vector<std::string>& QueryColumns(bool files);

// The kind of a column of Disks or Files; an unknown name counts as text.
ColumnKind QueryColumnKind(bool files, std::string_view column);

// Puts `alias` + "." before every bracketed catalogue column name ("[Size]" -> " t0.[Size]" for
// the alias " t0"); bracketed names that are no column (parameters) and text in double quotes
// stay as they are.
std::string QualifyColumns(std::string_view text, std::string_view alias);

}  // namespace tavik
