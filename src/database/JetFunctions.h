// The functions the Jet dialect needs at run time, registered on every connection: like() with
// Jet's wildcards, and the Jet functions the translator maps (Left -> jet_left, ...). Text is
// UTF-8 here, as the engine stores it; letters compare without regard to case, as Jet compares
// text.
#pragma once

#include <string_view>

struct sqlite3;

namespace tavik {

// Jet's LIKE: * any text, ? any character, # any digit, [abc] [a-z] one of, [!abc] none of.
bool JetLikeMatch(std::string_view pattern, std::string_view text);

// Registers like() and the jet_* functions; false when SQLite refuses one.
bool RegisterJetFunctions(sqlite3* db);
// The functions of numbers and dates (JetConversions.cpp), registered by the above.
bool RegisterJetConversions(sqlite3* db);

}  // namespace tavik
