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
        case TifilesPacked:
            return "Add TIFILES header, packed records";
        case FiadPacked:
            return "Add FIAD header, packed records";
        default:
            return {};
    }
}

int HeaderKindOf(int format) {
    switch (format) {
        case NoHeader:
            return 0;
        case FiadHeader:
        case FiadPacked:
            return 1;
        case TifilesHeader:
        case TifilesPacked:
            return 2;
        default:
            return -1;
    }
}

bool IsWholeSectors(int format) {
    return format == TifilesHeader || format == FiadHeader;
}

bool IsTextFormat(int format) {
    return format == Text || format == TextWithTabs;
}

}  // namespace tavik
