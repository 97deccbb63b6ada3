#include "database/SqlText.h"

namespace tavik {

namespace {

std::string Enclosed(std::string_view text, char quote) {
    std::string out(1, quote);
    out.reserve(text.size() + 2);
    for (char c : text) {
        if (c == quote) out += quote;
        out += c;
    }
    return out + quote;
}

}  // namespace

std::string JetTextLiteral(std::string_view text) {
    return Enclosed(text, '"');
}

std::string SqlName(std::string_view name) {
    return Enclosed(name, '"');
}

std::string SqlTextLiteral(std::string_view text) {
    return Enclosed(text, '\'');
}

}  // namespace tavik
