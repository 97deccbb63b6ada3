#include "disk/TextScan.h"

#include <cctype>
#include <climits>

#include "base/CInteger.h"

namespace tavik {

namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

int Clamp(long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Decimal number with optional sign after optional blanks; false when no digit follows.
bool ReadDecimal(std::string_view text, size_t& pos, int& value) {
    size_t i = pos;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    size_t digits = i;
    long result = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (result <= INT_MAX) result = result * 10 + (text[i] - '0');
    }
    if (i == digits) return false;
    value = Clamp(negative ? -result : result);
    pos = i;
    return true;
}

}  // namespace

int ScanPattern(std::string_view text, std::string_view pattern, std::vector<int>& numbers) {
    size_t pos = 0;
    int conversions = 0;
    for (size_t p = 0; p < pattern.size(); ++p) {
        const char c = pattern[p];
        if (c == '%' && p + 1 < pattern.size() &&
            (pattern[p + 1] == 'd' || pattern[p + 1] == 'i')) {
            int value = 0;
            if (pattern[++p] == 'd') {
                if (!ReadDecimal(text, pos, value)) return conversions;
            } else {
                size_t consumed = 0;
                auto read = ReadCInteger(text.substr(pos), consumed);
                if (!read) return conversions;
                value = Clamp(*read);
                pos += consumed;
            }
            numbers.push_back(value);
            ++conversions;
        } else if (IsBlank(c)) {
            while (pos < text.size() && IsBlank(text[pos]))
                ++pos;
        } else {
            if (pos >= text.size() || text[pos] != c) return conversions;
            ++pos;
        }
    }
    return conversions;
}

}  // namespace tavik
