#include "CInteger.h"

#include <cctype>
#include <limits>

namespace tavik {

std::optional<long> ReadCInteger(std::string_view text, size_t& consumed) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    size_t digitsStart = i;
    if (i < text.size() && text[i] == '0') {
        if (i + 2 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            base = 16;
            i += 2;
            digitsStart = i;
        } else {
            base = 8;
        }
    }
    unsigned long long value = 0;
    bool overflow = false;
    size_t j = digitsStart;
    for (; j < text.size(); ++j) {
        int c = static_cast<unsigned char>(text[j]);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        if (digit >= base) break;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > static_cast<unsigned long long>(std::numeric_limits<long>::max()))
            overflow = true;
    }
    if (j == digitsStart) return std::nullopt;
    consumed = j;
    if (overflow)
        return negative ? std::numeric_limits<long>::min() : std::numeric_limits<long>::max();
    long result = static_cast<long>(value);
    return negative ? -result : result;
}

std::optional<long> ReadCInteger(std::string_view text) {
    size_t consumed = 0;
    return ReadCInteger(text, consumed);
}

}  // namespace tavik
