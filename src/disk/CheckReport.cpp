#include "disk/CheckReport.h"

#include <cstdio>

namespace tavik {

namespace {

// Sectors 1440 to 1599 are never counted: no disk geometry reaches them.
constexpr int kCountedSectors = 1440;

void AddCount(std::string& report, const char* format, int count) {
    if (count == 0) return;
    char line[80];
    std::snprintf(line, sizeof line, format, count);
    report += line;
    report += "\r\n";
}

}  // namespace

std::string CheckReport(int flags, const DiskUsage& usage) {
    std::string report;
    if (flags & kCheckSizeTooBig) report += "Size is too big for sides & density\r\n";
    if (flags & kCheckNotSorted) report += "File list is not in alphabetical order\r\n";
    if (flags & kCheckBadFdrNumber) report += "Illegal FDR number found in file list\r\n";
    if (flags & kCheckBadClusterSector) report += "Illegal sector number found in FDR\r\n";
    if (flags & kCheckBeyondImage) report += "Size is bigger than the image holds\r\n";
    if (flags & kCheckNotAnFdr) report += "File list names a sector that holds no file\r\n";

    int usedNotUsed = 0, freeButUsed = 0, beyondFree = 0, beyondUsed = 0, shared = 0;
    for (int s = 0; s < kCountedSectors; ++s) {
        const uint16_t word = usage[static_cast<size_t>(s)];
        const int count = word & kUsageCountMask;
        if (word == kUsageBitmapUsed) ++usedNotUsed;
        if (!(word & kUsageBitmapUsed) && count != 0) ++freeButUsed;
        if ((word & (kUsageBitmapUsed | kUsageBeyondTotal)) == kUsageBeyondTotal) ++beyondFree;
        if ((word & kUsageBeyondTotal) && count != 0) ++beyondUsed;
        if (count > 1) ++shared;
    }
    AddCount(report, "%d sectors marked as used but not used", usedNotUsed);
    AddCount(report, "%d sectors marked as free but used by file(s)", freeButUsed);
    AddCount(report, "%d sectors beyond disk size marked as free", beyondFree);
    AddCount(report, "%d sectors beyond disk size used by file(s)", beyondUsed);
    AddCount(report, "%d sectors used by more than one file", shared);
    return report;
}

}  // namespace tavik
