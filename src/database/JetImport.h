// Importing an old Jet catalogue: the six tables are copied, every ID kept, into a new SQLite
// catalogue. A Jet file without the catalogue's tables is refused and nothing is created.
#pragma once

#include <string>

#include "database/JetReader.h"

namespace tavik {

// Where the import of a Jet file goes: beside it, with the extension ".db"; an existing file is
// never replaced ("name (2).db", "name (3).db", ... are tried).
std::string ImportTargetPath(const std::string& jetPath);

// Copies the catalogue tables the reader offers into a new catalogue at `target` (which must not
// exist). False with `error` set; a half-written target is removed.
bool ImportJetCatalogue(CJetReader& reader, const std::string& target, std::string& error);

}  // namespace tavik
