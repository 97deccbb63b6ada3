#include "exchange/PcFileKind.h"

namespace tavik {

std::string FormatText(int kind) {
    switch (kind) {
        case SectorDump:
            return "DOAD";
        case TrackImageSingle:
        case TrackImageDouble:
            return "PC99";
        case HfeDisk:
            return "HFE";
        case FiadFile:
            return "FIAD";
        case TifilesFile:
            return "TIFILES";
        default:
            return {};
    }
}

std::string ExportFormatText(int format) {
    switch (format) {
        case NoHeader:
            return "No header";
        case FiadHeader:
            return "Add FIAD header";
        case TifilesHeader:
            return "Add TIFILES header";
        case Text:
            return "Convert to text";
        case TextWithTabs:
            return "Convert to text + tabs";
        case TifilesWholeSectors:
            return "Add TIFILES header, whole sectors";
        case FiadWholeSectors:
            return "Add FIAD header, whole sectors";
        default:
            return {};
    }
}

int HeaderKindOf(int format) {
    switch (format) {
        case NoHeader:
            return 0;
        case FiadHeader:
        case FiadWholeSectors:
            return 1;
        case TifilesHeader:
        case TifilesWholeSectors:
            return 2;
        default:
            return -1;
    }
}

bool IsWholeSectors(int format) {
    return format == TifilesWholeSectors || format == FiadWholeSectors;
}

bool IsTextFormat(int format) {
    return format == Text || format == TextWithTabs;
}

}  // namespace tavik
