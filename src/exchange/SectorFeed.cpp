#include "exchange/SectorFeed.h"

#include <algorithm>
#include <cstring>

namespace tavik {

bool CMemorySectorFeed::Read(int k, uint8_t* out) {
    if (k < 0 || k >= Count()) return false;
    std::memset(out, 0, 256);
    const auto& s = m_sectors[static_cast<size_t>(k)];
    if (!s.empty()) std::memcpy(out, s.data(), std::min<size_t>(s.size(), 256));
    return true;
}

bool VariableRecordAt(const uint8_t* sector, int offset, int recordLength, int& length) {
    if (offset < 0 || offset > 255) return false;
    length = sector[offset];
    if (length == 0xFF && !(offset == 0 && recordLength == 255)) return false;
    return offset + length <= 255;
}

}  // namespace tavik
