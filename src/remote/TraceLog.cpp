#include "remote/TraceLog.h"

#include <cstdio>

#include "remote/LinkStatus.h"

namespace tavik {

namespace {
// Control characters would break the log's lines; they are shown as a dot.
char Printable(int value) {
    const auto c = static_cast<unsigned char>(value);
    return (c < 0x20 || c == 0x7F) ? '.' : static_cast<char>(c);
}
}  // namespace

std::string TraceEntryText(int kind, int value) {
    char text[32];
    switch (kind) {
        case TraceSent:
            std::snprintf(text, sizeof text, ">%02X  %c", value & 0xFF, Printable(value));
            return text;
        case TraceReceived:
            std::snprintf(text, sizeof text, "<%02X %c", value & 0xFF, Printable(value));
            return text;
        case TraceNeutral:
            std::snprintf(text, sizeof text, "%02X %c", value & 0xFF, Printable(value));
            return text;
        case TraceCommand:
            return LinkStatusName(value);
        case TraceError:
            return "Err " + LinkStatusName(value);
        default:
            std::snprintf(text, sizeof text, "%02X %02X", kind & 0xFF, value & 0xFF);
            return text;
    }
}

}  // namespace tavik
