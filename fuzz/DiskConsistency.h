// What every fuzz target that writes onto a disk demands of it afterwards, whatever the input
// did: a clean check, no sector owned twice, every owned sector marked in the bitmap. A broken
// rule aborts, which the fuzzer reports.
#pragma once

#include <cstdlib>

#include "disk/VirtualDrive.h"

namespace tavik::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline void RequireConsistentDisk(CVirtualDrive& drive) {
    int flags = 0;
    DiskUsage usage{};
    Require(drive.CheckDisk(flags, usage) != 0);
    Require(flags == 0);
    for (int s = 0; s < kMaxSectors; ++s) {
        const int count = usage[static_cast<size_t>(s)] & kUsageCountMask;
        Require(count <= 1);
        if (count) Require(usage[static_cast<size_t>(s)] & kUsageBitmapUsed);
    }
}

}  // namespace tavik::fuzz
