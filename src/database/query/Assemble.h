// The one statement a query node gives together with its ancestors: each combined node wraps
// the statement of its parent (as a list of ids) into its own condition.
#pragma once

#include <span>
#include <string>

#include "database/query/QueryFields.h"

namespace tavik {

// `chain` is the node, then its parent, its parent's parent and so on, as long as each is a
// query node; the node at position `index` is assembled at `depth` (aliases " t<depth>"...).
// idsOnly selects [ID] instead of every column. An empty chain, a position outside it or a
// combination outside 0 to 6 gives the empty text.
std::string Assemble(std::span<const QueryFields> chain, size_t index, int depth, bool idsOnly);

// The selected node's statement: Assemble(chain, 0, 0, false).
inline std::string Assemble(std::span<const QueryFields> chain) {
    return Assemble(chain, 0, 0, false);
}

// Trailing blanks (spaces, tabs, line ends) removed.
std::string TrimRight(std::string text);

}  // namespace tavik
