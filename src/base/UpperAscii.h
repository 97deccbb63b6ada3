// Upper-casing of TI file and disk names, SQL names and option words: the ASCII letters only,
// the same in every locale; every other byte (code page 1252 letters among them) stays.
#pragma once

#include <string>
#include <string_view>

namespace tavik {

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = UpperAscii(c);
    return upper;
}

}  // namespace tavik
