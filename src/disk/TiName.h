// Names on TI disks: 10 bytes padded with spaces, compared byte-wise (unsigned, case-sensitive).
#pragma once

#include <cstdint>
#include <string>

#include "disk/Layout.h"

namespace tavik {

// A name a new file may take: 1 to 10 characters, none of them a period or a space.
inline bool IsLegalTiName(const std::string& name) {
    return !name.empty() && name.size() <= static_cast<size_t>(layout::kNameLength) &&
           name.find_first_of(". ") == std::string::npos;
}

// Cut to 10 characters and padded with spaces.
inline std::string PadTiName(const std::string& name) {
    std::string padded = name.substr(0, layout::kNameLength);
    padded.resize(layout::kNameLength, ' ');
    return padded;
}

// Negative, zero or positive as a sorts before, with or after b. A zero byte ends a name, so
// that the index order agrees with the order the file system itself keeps.
inline int CompareTiNames(const uint8_t* a, const uint8_t* b) {
    for (int k = 0; k < layout::kNameLength; ++k) {
        if (a[k] != b[k]) return a[k] < b[k] ? -1 : 1;
        if (a[k] == 0) return 0;
    }
    return 0;
}

}  // namespace tavik
