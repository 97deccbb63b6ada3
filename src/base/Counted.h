// "1 file", "3 files": a count with its noun, for the texts that say what an operation did.
#pragma once

#include <string>

namespace tavik {

inline std::string Counted(int count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace tavik
