#include "exchange/HexDump.h"

#include <cstdio>

namespace tavik {

void AppendHexDumpSector(int sector, const uint8_t* bytes, std::string& out) {
    char buf[16];
    for (int line = 0; line < 16; ++line) {
        const uint8_t* b = bytes + line * 16;
        std::snprintf(buf, sizeof buf, "%04X: ", (sector * 256 + line * 16) & 0xFFFFFF);
        out += buf;
        for (int i = 0; i < 16; ++i) {
            std::snprintf(buf, sizeof buf, "%02X ", b[i]);
            out += buf;
        }
        for (int i = 0; i < 16; ++i)
            out.push_back(b[i] < 0x20 ? ' ' : static_cast<char>(b[i]));
        out += "\r\n";
    }
}

}  // namespace tavik
