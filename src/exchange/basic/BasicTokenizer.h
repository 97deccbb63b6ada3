// Turning a listing back into program lines, the way the TI crunches a line typed after its
// line number: keywords and symbols become tokens, numbers unquoted strings (or line numbers
// after GOTO, THEN, ELSE, RUN, ...), names stay characters in upper case; strings in quotes,
// DATA items, IMAGE formats and remarks keep their characters as typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/basic/BasicLayout.h"

namespace tavik::basic {

// The tokens of one line's statements (the text after the line number). False, with the
// reason in `error`, for text the TI would refuse: a string without its closing quote, a
// string longer than 255 characters, a line number outside 1 to 32767, a character that has
// no place outside a string.
bool TokenizeStatements(std::string_view text, std::vector<uint8_t>& tokens, std::string& error);

// Every line of a listing (text lines, each beginning with its line number; empty ones are
// skipped), in ascending order. False, with `error` naming the text line, on the first line
// that cannot be read or a line number given twice.
bool TokenizeListing(std::string_view text, std::vector<BasicLine>& lines, std::string& error);

}  // namespace tavik::basic
