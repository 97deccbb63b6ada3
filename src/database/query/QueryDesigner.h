// The logic behind the "Database query" designer: which combinations a query may have under
// its parent, and what OK writes into the query node.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "database/query/QueryFields.h"

namespace tavik {

enum class SelectChoice { All = 0, Top = 1, TopPercent = 2, DistinctRow = 3 };

// The combination list for a query over files (or disks) under a parent of the given kind;
// empty when there is no parent query (the list is then hidden). The list position is what
// DesignerInput::combination holds.
std::vector<std::string> CombinationChoices(bool files, std::optional<int32_t> parentKind);

// The designer's text for a stored combination value (0 to 6).
std::string CombinationText(int32_t combination);

// "SELECT ALL ", "SELECT TOP 5 ", "SELECT TOP 100 PERCENT " (capped at 100), "SELECT DISTINCTROW ".
std::string PredicateText(SelectChoice choice, long number);

struct DesignerInput {
    std::string name;
    SelectChoice select = SelectChoice::All;
    long number = 0;
    bool files = false;  // FROM Files, else Disks
    std::string where;
    std::string orderBy;
    std::string joinOn;
    std::string comments;
    int combination = 0;  // position in CombinationChoices
    std::string display;
};

// OK: writes the designer's fields into the node. `parentKind` is the kind of the parent node
// when that is a query node.
void ApplyDesigner(const DesignerInput& input, std::optional<int32_t> parentKind,
                   QueryFields& node);

}  // namespace tavik
