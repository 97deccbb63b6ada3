#include "exchange/TextExport.h"

namespace tavik {

void AppendWithTabs(const uint8_t* record, int length, const std::vector<uint16_t>& tabStops,
                    std::string& out) {
    if (tabStops.size() < 2) {
        out.append(reinterpret_cast<const char*>(record), static_cast<size_t>(length));
        return;
    }
    const size_t last = tabStops.size() - 2;
    size_t i = 0;
    int next = tabStops[0];
    int written = 0;
    for (int c = 0; c < length; ++c) {
        if (c == next) {
            if (c > written) {
                out.push_back('\t');
                written = c;
            }
            if (i < last) next = tabStops[++i];
        } else if (c > next) {
            if (i < last) next = tabStops[++i];
        }
        if (record[c] != ' ') {
            if (written < c) out.append(static_cast<size_t>(c - written), ' ');
            out.push_back(static_cast<char>(record[c]));
            written = c + 1;
        }
    }
    if (written < length) out.append(static_cast<size_t>(length - written), ' ');
}

void AppendRecordLine(const uint8_t* record, int length, bool tabs,
                      const std::vector<uint16_t>& tabStops, bool crLf, std::string& out) {
    if (tabs && !tabStops.empty())
        AppendWithTabs(record, length, tabStops, out);
    else
        out.append(reinterpret_cast<const char*>(record), static_cast<size_t>(length));
    if (crLf && !(length > 0 && record[length - 1] == '\r')) out.push_back('\r');
    out.push_back('\n');
}

}  // namespace tavik
