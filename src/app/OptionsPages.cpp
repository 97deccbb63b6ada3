#include "OptionsPages.h"

#include <cstdio>
#include <string_view>

#include "base/CInteger.h"

namespace tavik {

const int kBaudRates[9] = {38400, 19200, 9600, 4800, 2400, 1200, 600, 300, 110};

int BaudRateIndex(int rate) {
    for (int i = 0; i < 9; ++i)
        if (kBaudRates[i] == rate) return i;
    return -1;
}

namespace {
std::string Format(const char* format, long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

template <typename T>
void ReadNumberInto(const std::string& text, T& field) {
    if (auto value = ReadCInteger(text)) field = static_cast<T>(*value);
}

int32_t Flag(bool on) {
    return on ? 1 : 0;
}
}  // namespace

GeneralPage FillGeneralPage(const COptions& o) {
    GeneralPage p;
    p.showRemoteDevices = o.showRemoteDevices != 0;
    p.fullFolderNames = o.fullFolderNames != 0;
    p.fileNameOnNameClash = o.fileNameOnNameClash != 0;
    p.showBeyondDiskSize = o.showBeyondDiskSize != 0;
    p.saveOnExit = o.saveOnExit;
    p.remoteBuffer = o.remoteBuffer;
    p.saveVdpMemory = o.saveVdpMemory != 0;
    p.sectorsPerLine = Format("%ld", o.sectorsPerLine);
    return p;
}

void ApplyGeneralPage(const GeneralPage& p, COptions& o) {
    o.showRemoteDevices = Flag(p.showRemoteDevices);
    o.fullFolderNames = Flag(p.fullFolderNames);
    o.fileNameOnNameClash = Flag(p.fileNameOnNameClash);
    o.showBeyondDiskSize = Flag(p.showBeyondDiskSize);
    o.saveOnExit = p.saveOnExit;
    o.remoteBuffer = p.remoteBuffer;
    o.saveVdpMemory = Flag(p.saveVdpMemory);
    ReadNumberInto(p.sectorsPerLine, o.sectorsPerLine);
}

ConvertPage FillConvertPage(const COptions& o) {
    ConvertPage p;
    p.createTabsOnExport = o.createTabsOnExport != 0;
    p.replaceTabsOnImport = o.replaceTabsOnImport != 0;
    p.truncateOverlongLines = o.truncateOverlongLines != 0;
    p.crLfOnExport = o.crLfOnExport != 0;
    p.desktopViewer = o.desktopViewer != 0;
    if (!o.tabList.empty()) {
        for (size_t i = 0; i + 1 < o.tabList.size(); ++i)
            p.tabStops += Format("%ld\r\n", o.tabList[i]);
        p.replaceWidth = Format("%ld", o.tabList.back());
    }
    return p;
}

// The stops are one per line. Lines end in CR LF as the page shows them; a bare CR or a bare
// LF (what a text control on this platform hands back) ends a line as well.
void ApplyConvertPage(const ConvertPage& p, COptions& o) {
    o.createTabsOnExport = Flag(p.createTabsOnExport);
    o.replaceTabsOnImport = Flag(p.replaceTabsOnImport);
    o.truncateOverlongLines = Flag(p.truncateOverlongLines);
    o.crLfOnExport = Flag(p.crLfOnExport);
    o.desktopViewer = Flag(p.desktopViewer);
    o.tabList.clear();
    std::string_view rest = p.tabStops;
    while (!rest.empty()) {
        size_t end = rest.find_first_of("\r\n");
        std::string_view piece = rest.substr(0, end);
        if (auto value = ReadCInteger(piece)) o.tabList.push_back(static_cast<uint16_t>(*value));
        if (end == std::string_view::npos) break;
        size_t next = end + 1;
        if (rest[end] == '\r' && next < rest.size() && rest[next] == '\n') ++next;
        rest.remove_prefix(next);
    }
    if (auto value = ReadCInteger(p.replaceWidth))
        o.tabList.push_back(static_cast<uint16_t>(*value));
}

RemotePage FillRemotePage(const COptions& o) {
    RemotePage p;
    p.linkPortName = o.linkPortName;
    p.linkMode = o.linkMode;
    p.linkTimeout = Format("%ld", o.linkTimeout);
    p.handshakeIn = o.handshakeIn;
    p.handshakeOut = o.handshakeOut;
    p.ctsLine = o.ctsLine;
    p.baudRate = o.baudRate;
    p.stopBits = o.stopBits;
    p.parity = o.parity;
    p.breakpointXop = Format("%ld", (o.breakpointXop >> 6) & 15);
    p.hookAddress = Format("0x%04lX", o.hookAddress);
    p.hookWorkspace = Format("0x%04lX", o.hookWorkspace);
    p.contact = o.contact;
    p.pauseBeforeEachByte = o.pauseBeforeEachByte != 0;
    return p;
}

void ApplyRemotePage(const RemotePage& p, COptions& o) {
    o.linkPortName = p.linkPortName;
    o.linkMode = p.linkMode;
    ReadNumberInto(p.linkTimeout, o.linkTimeout);
    o.handshakeIn = p.handshakeIn;
    o.handshakeOut = p.handshakeOut;
    o.ctsLine = p.ctsLine;
    o.baudRate = p.baudRate;
    o.stopBits = p.stopBits;
    o.parity = p.parity;
    o.breakpointXop = kBreakpointXop;
    ReadNumberInto(p.hookAddress, o.hookAddress);
    ReadNumberInto(p.hookWorkspace, o.hookWorkspace);
    o.contact = p.contact;
    o.pauseBeforeEachByte = Flag(p.pauseBeforeEachByte);
}

DatabasePage FillDatabasePage(const COptions& o) {
    DatabasePage p;
    p.databasePath = o.databasePath;
    p.openDatabaseOnStartup = o.openDatabaseOnStartup != 0;
    p.reviewDiskInfo = o.reviewDiskInfo != 0;
    p.reviewFileInfo = o.reviewFileInfo != 0;
    p.fileDuplicates = o.fileDuplicates;
    p.unlockEditing = o.unlockEditing != 0;
    return p;
}

void ApplyDatabasePage(const DatabasePage& p, COptions& o) {
    o.openDatabaseOnStartup = Flag(p.openDatabaseOnStartup);
    o.reviewDiskInfo = Flag(p.reviewDiskInfo);
    o.reviewFileInfo = Flag(p.reviewFileInfo);
    o.fileDuplicates = p.fileDuplicates;
    o.unlockEditing = Flag(p.unlockEditing);
}

}  // namespace tavik
