// What the four pages of the options sheet ("General", "Convert", "Remote", "Database") show,
// and how closing the sheet with OK copies each page back into the options. The sheet fills its
// controls from these records and hands them back; Cancel simply drops them. Number fields are
// texts read as C integer literals; one that does not read as a number keeps the old value.
#pragma once

#include <string>

#include "app/Options.h"

namespace tavik {

struct GeneralPage {
    bool showRemoteDevices = false;
    bool fullFolderNames = false;
    bool fileNameOnNameClash = false;
    bool showBeyondDiskSize = false;
    int saveOnExit = 0;    // "Always", "Never", "Ask me"
    int remoteBuffer = 0;  // "Nothing", "Sec 0+1+FDR", "Whole disk"
    bool saveVdpMemory = false;
    std::string sectorsPerLine;
};

struct ConvertPage {
    bool createTabsOnExport = false;
    bool replaceTabsOnImport = false;
    bool truncateOverlongLines = false;
    bool crLfOnExport = false;
    bool desktopViewer = false;  // "Open views in the desktop's viewer"
    std::string tabStops;        // one stop per line
    std::string replaceWidth;    // "Then replace tab with " ... "spaces"
};

struct RemotePage {
    std::string linkPortName;
    int linkMode = 0;  // "Parallel", "Serial"
    std::string linkTimeout;
    int handshakeIn = 0;
    int handshakeOut = 0;
    int ctsLine = 0;
    int baudRate = 0;  // the rate itself, not the list index
    int stopBits = 0;
    int parity = 0;
    std::string breakpointXop;  // shown only
    std::string hookAddress;
    std::string hookWorkspace;
    int contact = 0;
    bool pauseBeforeEachByte = false;
};

struct DatabasePage {
    std::string databasePath;  // shown only
    bool openDatabaseOnStartup = false;
    bool reviewDiskInfo = false;
    bool reviewFileInfo = false;
    int fileDuplicates = 0;
    bool unlockEditing = false;
};

GeneralPage FillGeneralPage(const COptions& options);
void ApplyGeneralPage(const GeneralPage& page, COptions& options);

ConvertPage FillConvertPage(const COptions& options);
void ApplyConvertPage(const ConvertPage& page, COptions& options);

RemotePage FillRemotePage(const COptions& options);
// Also resets breakpointXop; the caller then hands the new settings to the cable link.
void ApplyRemotePage(const RemotePage& page, COptions& options);

DatabasePage FillDatabasePage(const COptions& options);
// databasePath is not changed here.
void ApplyDatabasePage(const DatabasePage& page, COptions& options);

// The "Bauds:" list in its order, and the position of a rate in it (-1 when absent).
extern const int kBaudRates[9];
int BaudRateIndex(int rate);

}  // namespace tavik
