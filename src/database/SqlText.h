// Quoting for SQL texts, in one place. Values are bound to parameters wherever a statement runs
// often; these are for names, and for the few texts a user sees or types.
#pragma once

#include <string>
#include <string_view>

namespace tavik {

// A Jet text literal: in double quotes, a double quote inside doubled ("Say ""Hi""").
std::string JetTextLiteral(std::string_view text);

// An SQLite name: in double quotes, a double quote inside doubled.
std::string SqlName(std::string_view name);

// An SQLite text literal: in single quotes, a single quote inside doubled.
std::string SqlTextLiteral(std::string_view text);

}  // namespace tavik
