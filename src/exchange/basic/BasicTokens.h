// The tokens of TI BASIC and TI Extended BASIC (one table: Extended BASIC keeps every token of
// TI BASIC and adds its own in codes TI BASIC leaves unused). A program line holds these
// tokens (bytes 0x81 to 0xFE) and, between them, plain characters (variable names and other
// characters, bytes below 0x80). Three tokens carry data after them:
//   0xC7 quoted string:    length byte, characters (a string typed in quotes)
//   0xC8 unquoted string:  length byte, characters (numbers, DATA items, subprogram names)
//   0xC9 line number:      two bytes, high first (GOTO 100, THEN 200, ...)
// REM and "!" are followed by the remark's characters up to the end of the line.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavik::basic {

constexpr uint8_t kTokenElse = 0x81;
constexpr uint8_t kTokenSeparator = 0x82;  // "::"
constexpr uint8_t kTokenTail = 0x83;       // "!", a remark at the end of a line
constexpr uint8_t kTokenGo = 0x85;
constexpr uint8_t kTokenData = 0x93;
constexpr uint8_t kTokenRem = 0x9A;
constexpr uint8_t kTokenCall = 0x9D;
constexpr uint8_t kTokenSub = 0xA1;
constexpr uint8_t kTokenImage = 0xA3;
constexpr uint8_t kTokenThen = 0xB0;
constexpr uint8_t kTokenTo = 0xB1;
constexpr uint8_t kTokenComma = 0xB3;
constexpr uint8_t kTokenColon = 0xB5;
constexpr uint8_t kTokenQuoted = 0xC7;
constexpr uint8_t kTokenUnquoted = 0xC8;
constexpr uint8_t kTokenLineNumber = 0xC9;
constexpr uint8_t kTokenUsing = 0xED;
constexpr uint8_t kTokenNumberSign = 0xFD;  // "#"

// How LIST spaces a token.
enum class TokenClass : uint8_t {
    Unused,      // no token of either dialect
    Statement,   // a word after which LIST always leaves a blank (PRINT, THEN, "::", USING)
    Word,        // a word that is blank-separated only from neighbouring words (OR, TAB, ALL)
    Symbol,      // punctuation and operators (, ; : ( ) & = < > + - * / ^)
    NumberSign,  // "#": blank-separated from a word before it, never from what follows
    Data,        // 0xC7, 0xC8, 0xC9: a string or line number follows
};

struct TokenInfo {
    const char* text;  // nullptr for Unused and Data
    TokenClass cls;
};

TokenInfo Token(uint8_t code);

// The token of a keyword or symbol as typed in upper case ("PRINT", "::", "<"); 0 when the
// text is none.
uint8_t TokenOf(std::string_view text);

// Keywords after which a number is a line number: GOTO 100, THEN 100, RUN 100, USING 100 ...
bool TakesLineNumbers(uint8_t code);

}  // namespace tavik::basic
