// The text builders of the query designer and of the bulk replace dialog: conditions appended
// to a WHERE text, columns appended to an ORDER BY text, join columns appended to a join-on
// text, with the operators, value templates and tips each column kind offers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "database/query/QueryColumns.h"

namespace tavik {

// The operators offered for a column kind, as the operator list shows them.
const std::vector<std::string>& ConditionOperators(ColumnKind kind);

// The value box when a column is chosen: "x" in double quotes for text columns, else empty.
std::string DefaultConditionValue(ColumnKind kind);

// Choosing an operator: the text put into the value box (nothing: the box keeps its text), the
// tips line, and whether the value box is shown at all.
struct OperatorChoice {
    std::optional<std::string> value;
    std::string tip;
    bool valueShown = true;
};
OperatorChoice ChooseOperator(ColumnKind kind, const std::string& op);

// The parameter names the value box offers.
const std::vector<std::string>& ConditionParameterNames();

enum class Conjunction { And, Or };

// Appends one condition: "\r\n AND " or "\r\n OR " first when `where` is not empty, then
// "[column] " ("[this].[column] " for a left join), the operator, one space and the value.
void AppendCondition(std::string& where, Conjunction conjunction, const std::string& column,
                     const std::string& op, const std::string& value, bool leftJoin = false);

// Appends "[column]" (", " first when not empty; " DESC" after when descending).
void AppendOrderColumn(std::string& orderBy, const std::string& column, bool descending,
                       bool leftJoin = false);

// Appends a join column. The first sets `joinOn` to "[this].[C] = [parent].[C]" and adds the
// condition "[this].[ID] <> [parent].[ID]" to `where`; later ones extend `joinOn`.
void AppendJoinColumn(std::string& joinOn, std::string& where, const std::string& column);

}  // namespace tavik
