// The settings an export, import or text view runs with. The drive keeps the header kind and
// the two flags (SetConversion); the tab stops come from the options just before each use.
#pragma once

#include <cstdint>
#include <vector>

#include "disk/VirtualDrive.h"
#include "exchange/TextExport.h"

namespace tavik {

struct ConversionSettings {
    int headerKind = 2;  // 0 none, 1 FIAD, 2 TIFILES
    bool tabs = true;
    bool truncate = false;
    // Tab-stop columns as typed, then the number of spaces of a tab beyond them.
    std::vector<uint16_t> tabStops{7, 12, 25};
    // Binary export of the sectors exactly as they stand on the disk.
    bool wholeSectors = false;
    // Text export: lines end in CR LF rather than this platform's line end.
    bool crLf = kPlatformCrLf;
};

inline ConversionSettings ConversionOf(const CVirtualDrive& drive, std::vector<uint16_t> tabStops,
                                       bool wholeSectors = false) {
    ConversionSettings s;
    s.headerKind = drive.ExportHeaderKind();
    s.tabs = drive.TabsFlag() != 0;
    s.truncate = drive.TruncateFlag() != 0;
    s.tabStops = std::move(tabStops);
    s.wholeSectors = wholeSectors;
    return s;
}

}  // namespace tavik
