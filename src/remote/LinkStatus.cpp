#include "remote/LinkStatus.h"

#include <array>

namespace tavik {

std::string LinkStatusName(int code) {
    static const std::array<const char*, 27> kNames = {
        "unknown",
        "Export byte",
        "Import byte",
        "Read byte",
        "Write byte",
        "Read word",
        "Write word",
        "Read memory",
        "Write memory",
        "Bad address",
        "Set XOP",
        "Step",
        "Run",
        "Where",
        "Poke CRU",
        "Peek CRU",
        "BLWP",
        "TB",
        "Get address",
        "Set BP",
        "Set page",
        "Move Hook",
        "BL",
        "Zantu not answering",
        " Serial port not found / initialized",
        "INPOUT32.DLL not found / not loaded",
        "Parallel port not found / initialized",
    };
    if (code < 1 || code >= static_cast<int>(kNames.size())) return "unknown";
    return kNames[code];
}

}  // namespace tavik
