// Small rules of saving and loading queries and of editing parameters, kept apart from the
// database so that they can be checked on their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "database/query/QueryFields.h"

namespace tavik {

// Column codes as Queries.Columns holds them: "%08X," per code; reading takes the text up to
// each "," as hexadecimal until no "," remains or a value does not read.
std::string WriteColumnCodes(const std::vector<int32_t>& codes);
std::vector<int32_t> ReadColumnCodes(const std::string& text);

// Queries.From for a node kind ("Disks", "Files", "SQL") and back (nothing for other texts).
std::string FromText(int32_t kind);
std::optional<int32_t> KindFromText(const std::string& from);

// Whether a query node of `candidateKind` with `candidateCombination` may take a loaded query
// of `kind` with `combination` (1 to 6) as its child.
bool SuitableParent(int32_t kind, int32_t combination, int32_t candidateKind,
                    int32_t candidateCombination);

// The Type typed into the parameter list: "TEXT" 10, then "NUM" 4, then "BOOL" 1 (searched in
// the upper-cased text); nothing when none is there ("Illegal type. Must be TEXT, NUM or BOOL.").
std::optional<int32_t> TypeFromText(const std::string& text);
// The list's text for a stored Type ("BOOL", "NUM", "TEXT"; the number for invalid ones).
std::string TypeText(int32_t type);

// Bulk replace: "Add" in the SET row, and the statement "Update" runs.
void AppendSetColumn(std::string& set, const std::string& column, const std::string& value);
std::string BulkUpdateStatement(bool files, const std::string& set, const std::string& where);

}  // namespace tavik
