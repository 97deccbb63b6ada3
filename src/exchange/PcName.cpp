#include "exchange/PcName.h"

#include <cstdint>
#include <cstring>

namespace tavik {

namespace {

bool Escaped(uint8_t c) {
    return c < 0x20 || c >= 0x7F || std::strchr("/\\:*?\"<>|.%", c) != nullptr;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string PcNameOf(const std::string& tiName) {
    std::string name = tiName;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : name) {
        const auto c = static_cast<uint8_t>(ch);
        if (Escaped(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string TiNameOf(const std::string& pcName) {
    std::string out;
    for (size_t i = 0; i < pcName.size(); ++i) {
        if (pcName[i] == '%' && i + 2 < pcName.size() && HexDigit(pcName[i + 1]) >= 0 &&
            HexDigit(pcName[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(pcName[i + 1]) << 4 | HexDigit(pcName[i + 2]));
            i += 2;
        } else {
            out += pcName[i];
        }
    }
    return out;
}

}  // namespace tavik
