// The commands of the main window and the state their enabling rules read. Every menu item,
// toolbar button and shortcut is one CommandId; a command reaches the focused pane first
// (CCommandTarget), then the main window, which forwards it to the pane that owns it.
#pragma once

#include "app/NodeKind.h"

namespace tavik {

enum class CommandId {
    // Drive menu
    NewPcFile,
    MountPcFile,
    MountPcFolder,
    DriveProperties,
    Dismount,
    DummyFolder,
    AlphaSort,
    ScanRemote,
    RefreshDrive,
    Unhook,
    ScanEmulator,
    Exit,
    // Disk menu
    DiskProperties,
    DiskDiagnose,
    DiskDefragment,
    DiskCopy,
    DiskFormat,
    DiskPurge,
    DiskSortFiles,
    // File menu
    FileCreate,
    FileProperties,
    FileRename,
    FileProtect,
    FilePurge,
    FileDelete,
    FileUndelete,
    FileViewText,
    FileViewHex,
    FileViewBasic,
    FileExport,
    FileImport,
    // Sector menu
    SectorNext,
    SectorPrevious,
    SectorNextTrack,
    SectorPreviousTrack,
    SectorStayInFile,
    SectorRead,
    SectorSave,
    SectorSaveAs,
    SectorCompare,
    SectorCopy,
    SectorSwapTarget,
    SectorMark,
    // Edit menu
    EditCopy,
    EditPaste,
    EditSelect,
    EditSelection,
    EditClearSelection,
    EditFind,
    EditFindNext,
    EditFindAll,
    EditReplace,
    EditReplaceAll,
    // View menu
    ViewAdvanced,
    ViewToolbar,
    ViewStatusBar,
    ViewDevices,
    ViewFullPathNames,
    ViewCustomizeList,
    // Database menu
    DbNew,
    DbOpen,
    DbClose,
    DbExport,
    DbMerge,
    DbBrowseAllDisks,
    DbBrowseAllFiles,
    DbBrowseCurrentSet,
    DbBrowseDuplicateDisks,
    DbBrowseDuplicateFiles,
    DbAddDisk,
    DbRescanDisk,
    DbMountDisk,
    DbRemoveDisk,
    DbNewQuery,
    DbEditQuery,
    DbLoadQuery,
    DbSaveQuery,
    DbDeleteQuery,
    DbSqlQuery,
    DbNewParameter,
    DbDeleteParameter,
    DbBulkUpdate,
    // Setup and Help menus
    SetupOptions,
    SetupUploadHook,
    SetupLoadWorkspace,
    SetupSaveWorkspace,
    HelpAbout,
    // Without a main-menu item
    MarkUsed,
    MarkFree,
    DeleteKey,
    NextPane,
    PreviousPane,
    Count
};

constexpr int kCommandCount = static_cast<int>(CommandId::Count);

// The pane that owns a command (or has the focus).
enum class Pane { None, DriveTree, CatalogList, SectorMap, SectorEditor };

// Modes of the catalog list.
enum class ListMode {
    DiskCatalog = 0,
    DiskRecords,
    FileRecords,
    SavedQueries,
    Parameters,
    SqlResults
};

// Everything an enabling rule may read, gathered from the panes before the rules run.
struct CommandState {
    NodeKind selectedKind = NodeKind::Unset;  // the drive tree's selection (or context item)
    bool queryPending = false;                // a query node waits in the tree to be saved
    // Catalog list
    bool diskShown = false;
    ListMode listMode = ListMode::DiskCatalog;
    int selectedRows = 0;
    bool basicSelected = false;  // the first selected file holds a BASIC program
    // Sector editor
    bool editorLoaded = false;
    bool targetSet = false;  // a target disk or a remembered sector exists
    bool fileHighlighted = false;
    bool stayInFile = false;
    // Sector map
    bool mapLoaded = false;
    bool findPatternSet = false;
    bool replacePatternSet = false;
    bool currentMatch = false;
    bool sectorUnderCaretSelected = false;
    // Elsewhere
    bool databaseOpen = false;
    bool advanced = false;
    bool devices = false;
    bool fullPathNames = false;
    bool toolbarVisible = true;
    bool statusBarVisible = true;
    Pane focus = Pane::None;
};

// A pane's part of the routing: it may run a command itself and may decide the enabling of the
// commands that "the focused view decides" (Copy, Paste, Select, Delete query).
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    // True when the pane ran the command.
    virtual bool HandleCommand(CommandId id) = 0;
    // Whether the focused pane has its own handler, and if so whether it is enabled now.
    virtual bool HasHandler(CommandId /*id*/) const { return false; }
    virtual bool IsEnabledHere(CommandId /*id*/, const CommandState& /*state*/) const {
        return false;
    }
    // The caption a focused pane gives a command ("Select disk as target"); empty for none.
    virtual const char* CaptionHere(CommandId /*id*/, const CommandState& /*state*/) const {
        return nullptr;
    }
};

}  // namespace tavik
