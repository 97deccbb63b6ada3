// Every user setting of the program, the main window's layout and a few remembered folders. One
// instance lives for the whole run: defaults at start, replaced from the workspace file, edited
// by the options sheet and the View menu, written back into the workspace file.
//
// Workspace record, in this order (archive encoding, see Archive.h):
//    1 linkPortName string        2 linkMode             3 linkTimeout      4 handshakeIn
//    5 handshakeOut               6 ctsLine              7 baudRate         8 stopBits
//    9 parity                    10 breakpointXop       11 hookAddress u16 12 hookWorkspace u16
//   13 contact                   14 pauseBeforeEachByte 15 fullFolderNames 16 showRemoteDevices
//   17 advancedView              18 sectorsPerLine      19 showBeyondDiskSize 20 saveOnExit
//   21 remoteBuffer              22 saveVdpMemory       23 crLfOnExport
//   24 int32 0 (reserved)        25 desktopViewer (23 and 25 were reserved too, so older
//   files read as LF line ends and the program's own viewer)
//   26-28 three empty strings (reserved)                29 databasePath string
//   30 openDatabaseOnStartup     31 reviewDiskInfo      32 reviewFileInfo  33 fileDuplicates
//   34 unlockEditing             35 placement show state 36 minimised position (point)
//   37 maximised position (point) 38 normal rectangle   39 topRowHeight    40 bottomRowHeight
//   41 treeWidth                 42 listWidth           43 mapWidth        44 editorWidth
//   45 createTabsOnExport        46 replaceTabsOnImport 47 truncateOverlongLines
//   48 tabList (counted uint16)  49 lastMountFolder     50 lastExchangeFolder
//   51 lastDatabaseFolder        52 mountFileHistory (counted strings, at most 10 written)
//   53 exportHistory (counted strings, at most 10 written)
// Fields not marked otherwise are int32. The display specifications and default column widths
// are kept beside the record and never written. The settings added after this record (the
// column widths the user set, later options) travel in the workspace file's extension sections
// (Workspace.h), which older files simply lack.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <vector>
#include "database/ScanDialogs.h"

#include "app/Archive.h"

namespace tavik {

// The main window's placement as the platform reports it.
struct WindowPlacement {
    int32_t showState = 0;
    ArPoint minimisedPosition;
    ArPoint maximisedPosition;
    ArRect normalRectangle;
    bool operator==(const WindowPlacement&) const = default;
};

enum SaveOnExit : int32_t { SaveAlways = 0, SaveNever = 1, SaveAskMe = 2 };
enum LinkMode : int32_t { LinkParallel = 0, LinkSerial = 1 };
enum Contact : int32_t { ContactCable = 0, ContactEmulator = 1 };

// The lists whose display specifications and column widths the options carry.
enum DisplayList : int {
    CatalogList = 0,
    FileRecordList = 1,
    DiskRecordList = 2,
    SavedQueryList = 3,
    ParameterList = 4,
    FreeSqlList = 5  // column widths only
};

constexpr int32_t kBreakpointXop = 0x2C40;
constexpr size_t kHistoryWritten = 10;

class COptions {
public:
    COptions();

    // Writes or reads the record, as the archive's direction says. Reading stops at the first
    // damage; the fields read before it keep their new values.
    bool Serialise(CArchive& ar);

    // The row heights the main window starts with: three fifths and two fifths of its client
    // area (RecomputedRows), so that the sector editor shows a whole sector.
    void SetInitialRowHeights(int32_t clientHeight);

    bool operator==(const COptions&) const = default;

    // Remote link.
    std::string linkPortName = "LPT1";
    int32_t linkMode = LinkParallel;
    int32_t linkTimeout = 4096;
    int32_t handshakeIn = 0;
    int32_t handshakeOut = 0;
    int32_t ctsLine = 0;
    int32_t baudRate = 9600;
    int32_t stopBits = 0;
    int32_t parity = 0;
    int32_t breakpointXop = kBreakpointXop;
    uint16_t hookAddress = 0xA000;
    uint16_t hookWorkspace = 0xA180;
    int32_t contact = ContactEmulator;
    int32_t pauseBeforeEachByte = 0;

    // General.
    int32_t fullFolderNames = 1;
    int32_t showRemoteDevices = 1;
    int32_t advancedView = 0;
    int32_t sectorsPerLine = 18;
    int32_t showBeyondDiskSize = 0;
    int32_t saveOnExit = SaveAlways;
    int32_t remoteBuffer = 2;
    int32_t saveVdpMemory = 1;

    // Database.
    std::string databasePath = "Floppies";
    int32_t openDatabaseOnStartup = 1;
    int32_t reviewDiskInfo = 1;
    int32_t reviewFileInfo = 1;
    int32_t fileDuplicates = DuplicatesAskMe;
    int32_t unlockEditing = 0;

    // Layout; meaningless until the main window captured it (treeWidth negative until then).
    WindowPlacement windowPlacement;
    int32_t topRowHeight = 0;
    int32_t bottomRowHeight = 100;
    int32_t treeWidth = -1;
    int32_t listWidth = 0;
    int32_t mapWidth = 0;
    int32_t editorWidth = 0;

    // Text conversion: tab stops, then the tab replacement width as the last element.
    int32_t createTabsOnExport = 0;
    int32_t replaceTabsOnImport = 0;
    int32_t truncateOverlongLines = 0;
    std::vector<uint16_t> tabList{7, 12, 25};
    // Text exported to the PC ends its lines in CR LF rather than this platform's line end.
    int32_t crLfOnExport = 0;
    // The views of a file open in the desktop's default viewer rather than the program's own.
    int32_t desktopViewer = 0;

    // Remembered folders and histories (newest first).
    std::string lastMountFolder;
    std::string lastExchangeFolder;
    std::string lastDatabaseFolder;
    std::vector<std::string> mountFileHistory;
    std::vector<std::string> exportHistory;

    // Never written: the default display specifications and column widths of the lists.
    std::array<std::string, 5> displaySpecs;
    std::array<std::vector<uint16_t>, 6> columnWidths;

    // Widths in pixels the user gave the lists' columns by dragging a header edge, by field
    // number (0: the program sizes the column to its content). Kept in the workspace's
    // "Columns" section.
    std::array<std::vector<uint16_t>, 6> userColumnWidths;
    // Later options, kept in the workspace's "Options" section in this order.
    // A disk whose name another disk in the tree shares is labelled with its PC file's name too.
    int32_t fileNameOnNameClash = 1;

    // The "Columns" and "Options" sections' contents. Loading reads as many later options as
    // the section holds (older sections are shorter); the rest keep their defaults.
    bool SerialiseColumnWidths(CArchive& ar);
    bool SerialiseLaterOptions(CArchive& ar);
    bool HasUserColumnWidths() const;
    void ResetLaterSettings();
    bool LaterOptionsAreDefault() const;
};

// Records a width the user gave the column of `field` (width 0 forgets it).
void SetUserColumnWidth(std::vector<uint16_t>& widths, int field, int width);
// The user's width of a field's column, 0 when none.
int UserColumnWidth(const std::vector<uint16_t>& widths, int field);

// Puts path at the front of a history list unless it is already there (exact comparison).
// True when the list changed.
bool AddToHistory(std::vector<std::string>& history, const std::string& path);

// The View menu's check items: 0 becomes 1, anything else 0.
void ToggleFlag(int32_t& flag);

}  // namespace tavik
