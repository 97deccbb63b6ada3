#include "Options.h"

#include <algorithm>

#include "app/LayoutHost.h"

namespace tavik {

COptions::COptions() {
    displaySpecs = {
        "[File name] [Type] [Size]<right> [Protected][Creation date] [Modification date] "
        "[FDR]<right>",
        "[ID] [File name] [Type][Size]<right> [CRC] [Info1] [Info2] [Modification date]",
        "[ID] [Disk name] [Size]<right> [CRC-S] [CRC-F] [Info1] [Info2] [Drive type][Drive]",
        "[Query name] [From][Combination][Parent query] [Comments]",
        "[Name] [Type] [Value] [Comments]",
    };
    // Size codes by field number: bits 14-15 justification (3 right), bits 0-11 width.
    columnWidths = {{
        // File name, Type, Size, Records, Last byte, Rec per sec, Protected, Clusters,
        // Creation date/time, Modification date/time.
        {100, 60, 0xC028, 0xC032, 0xC032, 0xC032, 17, 0xC032, 120, 120, 120, 120},
        {150, 0xC028, 150, 0xC032, 0xC032, 0xC032, 17, 120, 120, 120, 120, 120, 120, 70, 150, 150,
         150},
        {100, 0xC028, 0xC032, 0xC032, 0xC032, 17, 17,  17,  120, 120, 120,
         120, 120,    120,    70,     70,     60, 120, 150, 150, 150},
        {100, 0xC028, 50, 150, 150, 60, 150, 70, 0xC046, 100, 300, 300},
        {100, 0xC028, 40, 200, 400},
        {60},
    }};
}

bool COptions::Serialise(CArchive& ar) {
    ar.String(linkPortName);
    ar.Int32(linkMode);
    ar.Int32(linkTimeout);
    ar.Int32(handshakeIn);
    ar.Int32(handshakeOut);
    ar.Int32(ctsLine);
    ar.Int32(baudRate);
    ar.Int32(stopBits);
    ar.Int32(parity);
    ar.Int32(breakpointXop);
    ar.UInt16(hookAddress);
    ar.UInt16(hookWorkspace);
    ar.Int32(contact);
    ar.Int32(pauseBeforeEachByte);
    ar.Int32(fullFolderNames);
    ar.Int32(showRemoteDevices);
    ar.Int32(advancedView);
    ar.Int32(sectorsPerLine);
    ar.Int32(showBeyondDiskSize);
    ar.Int32(saveOnExit);
    ar.Int32(remoteBuffer);
    ar.Int32(saveVdpMemory);
    ar.Int32(crLfOnExport);
    int32_t reservedNumber = 0;
    ar.Int32(reservedNumber);
    ar.Int32(desktopViewer);
    for (int i = 0; i < 3; ++i) {
        std::string reserved;
        ar.String(reserved);
    }
    ar.String(databasePath);
    ar.Int32(openDatabaseOnStartup);
    ar.Int32(reviewDiskInfo);
    ar.Int32(reviewFileInfo);
    ar.Int32(fileDuplicates);
    ar.Int32(unlockEditing);
    ar.Int32(windowPlacement.showState);
    ar.Point(windowPlacement.minimisedPosition);
    ar.Point(windowPlacement.maximisedPosition);
    ar.Rect(windowPlacement.normalRectangle);
    ar.Int32(topRowHeight);
    ar.Int32(bottomRowHeight);
    ar.Int32(treeWidth);
    ar.Int32(listWidth);
    ar.Int32(mapWidth);
    ar.Int32(editorWidth);
    ar.Int32(createTabsOnExport);
    ar.Int32(replaceTabsOnImport);
    ar.Int32(truncateOverlongLines);
    ar.UInt16List(tabList);
    ar.String(lastMountFolder);
    ar.String(lastExchangeFolder);
    ar.String(lastDatabaseFolder);
    ar.StringList(mountFileHistory, kHistoryWritten);
    ar.StringList(exportHistory, kHistoryWritten);
    return ar.Ok();
}

bool COptions::SerialiseColumnWidths(CArchive& ar) {
    for (std::vector<uint16_t>& list : userColumnWidths)
        ar.UInt16List(list);
    return ar.Ok();
}

bool COptions::SerialiseLaterOptions(CArchive& ar) {
    if (ar.IsLoading() && ar.Remaining() == 0) return ar.Ok();
    ar.Int32(fileNameOnNameClash);
    return ar.Ok();
}

bool COptions::HasUserColumnWidths() const {
    for (const std::vector<uint16_t>& list : userColumnWidths)
        if (std::any_of(list.begin(), list.end(), [](uint16_t w) { return w != 0; })) return true;
    return false;
}

void COptions::ResetLaterSettings() {
    const COptions defaults;
    userColumnWidths = defaults.userColumnWidths;
    fileNameOnNameClash = defaults.fileNameOnNameClash;
}

bool COptions::LaterOptionsAreDefault() const {
    return fileNameOnNameClash == COptions().fileNameOnNameClash;
}

void SetUserColumnWidth(std::vector<uint16_t>& widths, int field, int width) {
    constexpr int kMaxFields = 4096;  // far above any list's field count
    if (field < 0 || field >= kMaxFields) return;
    const auto at = static_cast<size_t>(field);
    if (widths.size() <= at) widths.resize(at + 1, 0);
    widths[at] = static_cast<uint16_t>(std::clamp(width, 0, 0xFFFF));
}

int UserColumnWidth(const std::vector<uint16_t>& widths, int field) {
    return field >= 0 && static_cast<size_t>(field) < widths.size()
               ? widths[static_cast<size_t>(field)]
               : 0;
}

void COptions::SetInitialRowHeights(int32_t clientHeight) {
    const RowHeights rows = RecomputedRows(clientHeight);
    topRowHeight = rows.upper;
    bottomRowHeight = rows.lower;
}

bool AddToHistory(std::vector<std::string>& history, const std::string& path) {
    if (std::find(history.begin(), history.end(), path) != history.end()) return false;
    history.insert(history.begin(), path);
    return true;
}

void ToggleFlag(int32_t& flag) {
    flag = flag == 0 ? 1 : 0;
}

}  // namespace tavik
