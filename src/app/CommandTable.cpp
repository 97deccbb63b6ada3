#include "app/CommandTable.h"

#include <array>

namespace tavik {

namespace {

using C = CommandId;
using P = Pane;

const std::vector<CommandEntry>& Table() {
    static const std::vector<CommandEntry> table = {
        // Drive menu
        {C::NewPcFile,
         "New PC file...",
         "Create a new disk image in a PC file\nNew disk file",
         {"Ctrl+N"},
         P::DriveTree},
        {C::MountPcFile,
         "Mount PC file...",
         "Use an existing PC file as a virtual disk\nOpen disk file",
         {"Ctrl+M"},
         P::DriveTree},
        {C::MountPcFolder,
         "Mount PC folder...",
         "Mount all disk images in a folder\nOpen all disks in folder",
         {},
         P::DriveTree},
        {C::DriveProperties,
         "Properties...",
         "Edit virtual drive properties\nDrive properties",
         {},
         P::DriveTree},
        {C::Dismount,
         "Dismount",
         "Close disk file or delete folder\nClose file or folder",
         {},
         P::DriveTree},
        {C::DummyFolder,
         "Dummy folder",
         "Create a folder unlinked to a PC folder\nNew dummy folder",
         {},
         P::DriveTree},
        {C::AlphaSort,
         "Alpha sort",
         "Sort disk files and folders aphabetically\nSort items",
         {},
         P::DriveTree},
        {C::ScanRemote,
         "Scan remote TI-99/4a",
         "Check remote TI-99/4A for existing drives\nList remote drives",
         {},
         P::DriveTree},
        {C::RefreshDrive,
         "Refresh",
         "Refresh remote drive (in case disk was swapped)\nRefresh buffer",
         {},
         P::DriveTree},
        {C::Unhook,
         "Unhook TI-99/4A",
         "Return control to the remote TI-99/4A\nRelease TI-99/4A",
         {},
         P::DriveTree},
        {C::ScanEmulator,
         "Scan Zantu",
         "Check Zantu for emulated drives\nList emulated drives",
         {},
         P::DriveTree},
        {C::Exit, "Exit", "Exit program\nExit program", {}, P::None},
        // Disk menu
        {C::DiskProperties,
         "Properties...",
         "Edit disk properties\nDisk properties",
         {},
         P::DriveTree},
        {C::DiskDiagnose,
         "Diagnose",
         "Check disk for format and organisation errors\nCheck disk",
         {},
         P::DriveTree},
        {C::DiskDefragment,
         "Defragment",
         "Defragment and re-order files on disk\nDefragment files",
         {},
         P::DriveTree},
        {C::DiskCopy, "Copy...", "Copy disk into a PC file\nCopy disk to PC", {}, P::DriveTree},
        {C::DiskFormat, "Format...", "Format disk directory\nFormat disk", {}, P::DriveTree},
        {C::DiskPurge,
         "Purge",
         "Empty disk but keep its characteristics\nEmpty disk",
         {},
         P::DriveTree},
        {C::DiskSortFiles,
         "Sort files",
         "Sort files in alphabetical order\nRe-sort files",
         {},
         P::DriveTree},
        // File menu
        {C::FileCreate, "Create...", "Create new (empty) file\nCreate file", {}, P::CatalogList},
        {C::FileProperties,
         "Properties...",
         "Edit file properties\nFile properties",
         {},
         P::CatalogList},
        {C::FileRename, "Rename", "Rename selected file\nFile rename", {}, P::CatalogList},
        {C::FileProtect,
         "Protect",
         "Toggle file protection\nToggle file protect",
         {"Ctrl+P"},
         P::CatalogList},
        {C::FilePurge, "Purge", "Empty file (irreversible!)\nEmpty file", {}, P::CatalogList},
        {C::FileDelete,
         "Delete",
         "Remove file from disk directory\nDelete file",
         {},
         P::CatalogList},
        {C::FileUndelete,
         "Undelete...",
         "Attempts to recover a deleted file\nTry to undelete file",
         {},
         P::CatalogList},
        {C::FileViewText,
         "As text",
         "Export to text file and view in editor\nView text file",
         {"Ctrl+T"},
         P::CatalogList},
        {C::FileViewHex,
         "Hexadecimal",
         "View hex dump in text editor\nView hex dump",
         {"Ctrl+X"},
         P::CatalogList},
        {C::FileViewBasic,
         "As BASIC",
         "List the BASIC program in the viewer\nView BASIC listing",
         {},
         P::CatalogList},
        {C::FileExport,
         "Export...",
         "Export a TI file into a PC file\nExport to PC",
         {"Ctrl+E"},
         P::CatalogList},
        {C::FileImport,
         "Import...",
         "Import a PC file into TI disk\nImport PC file",
         {"Ctrl+I"},
         P::CatalogList},
        {C::FileCreateArchive,
         "Create archive...",
         "Pack the selected files into a new compressed Archiver file\nCreate archive",
         {},
         P::CatalogList},
        // Sector menu
        {C::SectorNext, "Next", "Read next sector\nNext sector", {}, P::SectorEditor},
        {C::SectorPrevious,
         "Previous",
         "Read previous sector\nPrevious sector",
         {},
         P::SectorEditor},
        {C::SectorNextTrack,
         "Next track",
         "Jump to next track or file cluster (Ctrl+Right)\nNext track/cluster",
         {"Ctrl+Right"},
         P::SectorEditor},
        {C::SectorPreviousTrack,
         "Previous track",
         "Jump to previous track of file cluster (Ctrl+Left)\nPrevious track/cluster",
         {"Ctrl+Left"},
         P::SectorEditor},
        {C::SectorStayInFile,
         "Stay in file",
         "Confine sector moves to file highighted in map\nStay in file",
         {"F5"},
         P::SectorEditor,
         true},
        {C::SectorRead, "Read...", "Input sector to read\nRead a sector", {}, P::SectorEditor},
        {C::SectorSave,
         "Save",
         "Save changes to current sector\nSave current sector",
         {},
         P::SectorEditor},
        {C::SectorSaveAs,
         "Save as...",
         "Save displayed sector onto another one\nSave as another sector",
         {},
         P::SectorEditor},
        {C::SectorCompare,
         "Compare...",
         "Compare current sector with another\nCompare two sectors",
         {},
         P::SectorEditor},
        {C::SectorCopy,
         "Copy...",
         "Copy current sector on several others\nMultiple copies",
         {},
         P::SectorEditor},
        {C::SectorSwapTarget,
         "Swap target",
         "Swap current disk with target disk (if any)\nSwap target",
         {"Ctrl+W"},
         P::SectorEditor},
        {C::SectorMark, "Mark sector...", "", {}, P::SectorEditor},
        // Edit menu
        {C::EditCopy,
         "&Copy",
         "Copy the selection and put it on the Clipboard\nCopy",
         {"Ctrl+C", "Ctrl+Ins"},
         P::None},
        {C::EditPaste,
         "&Paste",
         "Insert Clipboard contents\nPaste",
         {"Ctrl+V", "Shift+Ins"},
         P::None},
        {C::EditSelect, "Select", "Select current disk/files/sector\nSelect", {"Ctrl+2"}, P::None},
        {C::EditSelection,
         "Edit selection...",
         "Edit list of selected sectors\nList selected sectors ",
         {},
         P::SectorMap},
        {C::EditClearSelection,
         "Clear selection",
         "Clear highlighted sectors in map\nClear map selection",
         {},
         P::SectorMap},
        {C::EditFind, "Find...", "Find data within sectors\nSector Find", {"Ctrl+F"}, P::SectorMap},
        {C::EditFindNext,
         "Find next",
         "Find the next occurence\nFind next match",
         {"F2"},
         P::SectorMap},
        {C::EditFindAll,
         "Find all",
         "Find all remaining occurences\nFind all remaining",
         {"Shift+F2"},
         P::SectorMap},
        {C::EditReplace, "Replace", "Replace found data\nReplace in sector", {"F3"}, P::SectorMap},
        {C::EditReplaceAll,
         "Replace all",
         "Replace all occurences\nReplace all matches",
         {"Shift+F3"},
         P::SectorMap},
        // View menu
        {C::ViewAdvanced,
         "Advanced",
         "View sector map and sector editor\nToggle advanced display",
         {},
         P::None,
         true},
        {C::ViewToolbar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", {}, P::None, true},
        {C::ViewStatusBar,
         "&Status Bar",
         "Show or hide the status bar\nToggle StatusBar",
         {},
         P::None,
         true},
        {C::ViewDevices,
         "Devices",
         "Show device names/CRU for Zantu and remote TI-99/4A\nShow device names/CRU ",
         {},
         P::DriveTree,
         true},
        {C::ViewFullPathNames,
         "Full path names",
         "Display full path names for folders\nToggle folder names",
         {},
         P::DriveTree,
         true},
        {C::ViewCustomizeList,
         "Customize list...",
         "Customize list display\nCustomize list",
         {},
         P::CatalogList},
        // Database menu
        {C::DbNew, "New...", "Create new empty database\nNew database", {}, P::DriveTree},
        {C::DbOpen, "Open...", "Open another existing database\nOpen database", {}, P::DriveTree},
        {C::DbClose, "Close", "Close current database\nClose database", {}, P::DriveTree},
        {C::DbExport, "Export...", "Export database to file\nExport database", {}, P::DriveTree},
        {C::DbMerge,
         "Merge...",
         "Merge exported database with current one\nMerge database",
         {},
         P::DriveTree},
        {C::DbBrowseAllDisks,
         "All disks",
         "Browse all disks in database\nAll disks",
         {},
         P::CatalogList},
        {C::DbBrowseAllFiles,
         "All files",
         "Browse all files in database\nAll files",
         {},
         P::CatalogList},
        {C::DbBrowseCurrentSet,
         "Current set",
         "Browse currently displayed set\nCurrent set",
         {},
         P::CatalogList},
        {C::DbBrowseDuplicateDisks,
         "Duplicate disks",
         "Browse disks held more than once (same sectors or same files)\nDuplicate disks",
         {},
         P::CatalogList},
        {C::DbBrowseDuplicateFiles,
         "Duplicate files",
         "Browse files recorded on more than one disk\nDuplicate files",
         {},
         P::CatalogList},
        {C::DbAddDisk, "Add disk", "Scan disk into database\nAdd disk", {}, P::DriveTree},
        {C::DbRescanDisk,
         "Rescan disk",
         "Rescan a disk already in database\nRescan disk",
         {},
         P::DriveTree},
        {C::DbMountDisk, "Mount disk", "Mount selected (PC) disks\nMount disk", {}, P::CatalogList},
        {C::DbRemoveDisk,
         "Remove disk",
         "Remove disk record from database\nRemove disk",
         {},
         P::CatalogList},
        {C::DbNewQuery, "New query...", "Create a new query\nNew query", {}, P::DriveTree},
        {C::DbEditQuery, "Edit query...", "Edit current query\nEdit query", {}, P::DriveTree},
        {C::DbLoadQuery,
         "Load query",
         "Import query from database into tree\nLoad query",
         {},
         P::CatalogList},
        {C::DbSaveQuery,
         "Save query",
         "Save current query into database\nSave query",
         {},
         P::DriveTree},
        {C::DbDeleteQuery,
         "Delete query",
         "Remove current query from tree or database\nDelete query",
         {},
         P::None},
        {C::DbSqlQuery, "SQL query...", "Enter new SQL query\nSQL query", {}, P::DriveTree},
        {C::DbNewParameter,
         "New parameter",
         "Create new parameter\nNew parameter",
         {},
         P::CatalogList},
        {C::DbDeleteParameter,
         "Delete parameter",
         "Delete parameter from list\nDelete parameter",
         {},
         P::CatalogList},
        {C::DbBulkUpdate,
         "Bulk update",
         "Updates one or more fields in the whole database\nBulk update",
         {},
         P::CatalogList},
        // Setup and Help menus
        {C::SetupOptions, "Options...", "Set options\nSet options", {}, P::None},
        {C::SetupUploadHook,
         "Upload hook...",
         "Transmit hook routine to remote TI-99/4A\nSend hook routine",
         {},
         P::None},
        {C::SetupLoadWorkspace,
         "Load workspace...",
         "Load options and tree layout\nLoad workspace",
         {"Ctrl+O"},
         P::None},
        {C::SetupSaveWorkspace,
         "Save workspace...",
         "Save options and tree layout\nSave workspace",
         {"Ctrl+S"},
         P::None},
        {C::HelpAbout,
         "&About TAVIK...",
         "Display program information, version number and copyright\nAbout",
         {},
         P::None},
        // Without a main-menu item
        {C::MarkUsed,
         "Mark used",
         "Mark sector as used in the bitmap\nMark used",
         {"Ctrl+1"},
         P::SectorMap},
        {C::MarkFree,
         "Mark free",
         "Mark sector as free in the bitmap\nMark free",
         {"Ctrl+0"},
         P::SectorMap},
        {C::DeleteKey, "Delete", "", {"Del"}, P::None},
        {C::NextPane, "Next pane", "Switch to the next window pane\nNext Pane", {"F6"}, P::None},
        {C::PreviousPane,
         "Previous pane",
         "Switch back to the previous window pane\nPrevious Pane",
         {"Shift+F6"},
         P::None},
    };
    return table;
}

MenuLine Cmd(CommandId id) {
    return {MenuLine::Command, id};
}
MenuLine Sep() {
    return {MenuLine::Separator};
}
MenuLine Sub(const char* title, std::vector<CommandId> ids) {
    return {MenuLine::Submenu, CommandId::Count, title, std::move(ids)};
}

}  // namespace

const std::vector<CommandEntry>& AllCommands() {
    return Table();
}

const CommandEntry& Command(CommandId id) {
    static const auto index = [] {
        std::array<const CommandEntry*, kCommandCount> byId{};
        for (const CommandEntry& e : Table())
            byId[static_cast<int>(e.id)] = &e;
        return byId;
    }();
    return *index[static_cast<int>(id)];
}

const std::vector<MenuSpec>& MenuLayout() {
    static const std::vector<MenuSpec> menus = {
        {"&Drive",
         {Cmd(C::NewPcFile),
          Cmd(C::MountPcFile),
          Cmd(C::MountPcFolder),
          Cmd(C::DriveProperties),
          Cmd(C::Dismount),
          Sep(),
          Cmd(C::DummyFolder),
          Cmd(C::AlphaSort),
          Sep(),
          Cmd(C::ScanRemote),
          Cmd(C::RefreshDrive),
          Cmd(C::Unhook),
          Sep(),
          Cmd(C::ScanEmulator),
          Sep(),
          {MenuLine::RecentFiles},
          Sep(),
          Cmd(C::Exit)}},
        {"Dis&k",
         {Cmd(C::DiskProperties), Cmd(C::DiskDiagnose), Cmd(C::DiskDefragment), Sep(),
          Cmd(C::DiskCopy), Cmd(C::DiskFormat), Cmd(C::DiskPurge), Sep(), Cmd(C::DiskSortFiles)}},
        {"&File",
         {Cmd(C::FileCreate), Cmd(C::FileProperties), Cmd(C::FileRename), Cmd(C::FileProtect),
          Cmd(C::FilePurge), Cmd(C::FileDelete), Cmd(C::FileUndelete), Sep(),
          Sub("&View", {C::FileViewText, C::FileViewHex, C::FileViewBasic}), Cmd(C::FileExport),
          Cmd(C::FileImport), Sep(), Cmd(C::FileCreateArchive)}},
        {"&Sector",
         {Cmd(C::SectorNext), Cmd(C::SectorPrevious), Cmd(C::SectorNextTrack),
          Cmd(C::SectorPreviousTrack), Cmd(C::SectorStayInFile), Sep(), Cmd(C::SectorRead),
          Cmd(C::SectorSave), Cmd(C::SectorSaveAs), Sep(), Cmd(C::SectorCompare),
          Cmd(C::SectorCopy), Cmd(C::SectorSwapTarget), Sep(), Cmd(C::SectorMark)}},
        {"&Edit",
         {Cmd(C::EditCopy), Cmd(C::EditPaste), Sep(), Cmd(C::EditSelect), Cmd(C::EditSelection),
          Cmd(C::EditClearSelection), Sep(), Cmd(C::EditFind), Cmd(C::EditFindNext),
          Cmd(C::EditFindAll), Cmd(C::EditReplace), Cmd(C::EditReplaceAll)}},
        {"&View",
         {Cmd(C::ViewAdvanced), Sep(), Cmd(C::ViewToolbar), Cmd(C::ViewStatusBar), Sep(),
          Cmd(C::ViewDevices), Cmd(C::ViewFullPathNames), Sep(), Cmd(C::ViewCustomizeList)}},
        {"Data&base",
         {Cmd(C::DbNew),
          Cmd(C::DbOpen),
          Cmd(C::DbClose),
          Sep(),
          Cmd(C::DbExport),
          Cmd(C::DbMerge),
          Sep(),
          Sub("&Browse", {C::DbBrowseAllDisks, C::DbBrowseAllFiles, C::DbBrowseCurrentSet,
                          C::DbBrowseDuplicateDisks, C::DbBrowseDuplicateFiles}),
          Sep(),
          Cmd(C::DbAddDisk),
          Cmd(C::DbRescanDisk),
          Cmd(C::DbMountDisk),
          Cmd(C::DbRemoveDisk),
          Sep(),
          Cmd(C::DbNewQuery),
          Cmd(C::DbEditQuery),
          Cmd(C::DbLoadQuery),
          Cmd(C::DbSaveQuery),
          Cmd(C::DbDeleteQuery),
          Cmd(C::DbSqlQuery),
          Sep(),
          Cmd(C::DbNewParameter),
          Cmd(C::DbDeleteParameter),
          Sep(),
          Cmd(C::DbBulkUpdate)}},
        {"Se&tup",
         {Cmd(C::SetupOptions), Cmd(C::SetupUploadHook), Sep(), Cmd(C::SetupLoadWorkspace),
          Cmd(C::SetupSaveWorkspace)}},
        {"&Help", {Cmd(C::HelpAbout)}},
    };
    return menus;
}

const std::vector<CommandId>& ToolbarLayout() {
    static const std::vector<CommandId> bar = {
        C::NewPcFile,
        C::MountPcFile,
        C::DummyFolder,
        C::Count,
        C::FileProtect,
        C::FileDelete,
        C::FileExport,
        C::FileImport,
        C::Count,
        C::EditSelect,
        C::EditClearSelection,
        C::SectorSwapTarget,
        C::SectorPreviousTrack,
        C::SectorPrevious,
        C::SectorSave,
        C::SectorNext,
        C::SectorNextTrack,
        C::SectorStayInFile,
        C::MarkUsed,
        C::Count,
        C::EditFind,
        C::EditFindNext,
        C::EditFindAll,
        C::EditCopy,
        C::EditPaste,
    };
    return bar;
}

std::string StatusPrompt(const CommandEntry& entry) {
    std::string p = entry.prompt;
    return p.substr(0, p.find('\n'));
}

std::string TooltipPrompt(const CommandEntry& entry) {
    std::string p = entry.prompt;
    size_t nl = p.find('\n');
    return nl == std::string::npos ? p : p.substr(nl + 1);
}

namespace {

bool FocusedDecides(CommandId id, const CommandState& s, const CCommandTarget* focused) {
    return focused && focused->HasHandler(id) && focused->IsEnabledHere(id, s);
}

}  // namespace

bool CommandEnabled(CommandId id, const CommandState& s, const CCommandTarget* focused) {
    const NodeKind k = s.selectedKind;
    const bool mounted = IsDriveKind(k);
    const bool folderOrRoot = k == NodeKind::PcRoot || IsFolderKind(k);
    const bool filesSelected =
        s.listMode == ListMode::DiskCatalog && s.diskShown && s.selectedRows > 0;
    const bool db = s.databaseOpen;
    const bool listsDisks = s.listMode == ListMode::DiskRecords;
    const bool queryReady = db && (IsQueryKind(k) || s.queryPending);
    const bool replaceReady =
        s.mapLoaded && s.findPatternSet && s.replacePatternSet && s.currentMatch;

    switch (id) {
        case C::DriveProperties:
            return mounted;
        case C::Dismount:
            return IsFolderOrImageKind(k);
        case C::DummyFolder:
        case C::AlphaSort:
            return folderOrRoot;
        case C::RefreshDrive:
            return s.diskShown;

        case C::DiskProperties:
        case C::DiskDiagnose:
        case C::DiskDefragment:
        case C::DiskCopy:
        case C::DiskFormat:
        case C::DiskPurge:
        case C::DiskSortFiles:
            return mounted;

        case C::FileCreate:
        case C::FileUndelete:
        case C::FileImport:
            return s.diskShown && s.listMode == ListMode::DiskCatalog && !s.membersShown;
        case C::FileProperties:
        case C::FileRename:
        case C::FileProtect:
        case C::FilePurge:
        case C::FileViewText:
        case C::FileViewHex:
        case C::FileCreateArchive:
            return filesSelected && !s.membersShown;
        case C::FileDelete:
        case C::FileExport:
            return filesSelected;
        case C::FileViewBasic:
            return filesSelected && s.basicSelected;

        case C::SectorNext:
        case C::SectorPrevious:
        case C::SectorNextTrack:
        case C::SectorPreviousTrack:
        case C::SectorRead:
        case C::SectorSave:
        case C::SectorSaveAs:
        case C::SectorCompare:
        case C::SectorCopy:
        case C::EditClearSelection:
        case C::MarkUsed:
        case C::MarkFree:
            return s.editorLoaded;
        case C::SectorStayInFile:
            return s.editorLoaded && s.fileHighlighted;
        case C::SectorSwapTarget:
            return s.editorLoaded && s.targetSet;

        case C::EditCopy:
        case C::EditPaste:
        case C::EditSelect:
        case C::DeleteKey:
            return FocusedDecides(id, s, focused);
        case C::EditSelection:
        case C::EditFind:
        case C::EditFindNext:
        case C::EditFindAll:
            return s.mapLoaded;
        case C::EditReplace:
        case C::EditReplaceAll:
            return replaceReady;

        case C::DbClose:
        case C::DbExport:
        case C::DbMerge:
        case C::DbBrowseAllDisks:
        case C::DbBrowseAllFiles:
        case C::DbBrowseDuplicateDisks:
        case C::DbBrowseDuplicateFiles:
        case C::DbNewQuery:
        case C::DbSqlQuery:
        case C::DbBulkUpdate:
            return db;
        case C::DbBrowseCurrentSet:
            return db && (listsDisks || s.listMode == ListMode::FileRecords);
        case C::DbAddDisk:
            return db && (mounted || IsFolderKind(k));  // a folder: every disk in it
        case C::DbRescanDisk:
            return db && mounted;
        case C::DbMountDisk:
            return db && listsDisks && s.selectedRows > 0;
        case C::DbRemoveDisk:
            return listsDisks && s.selectedRows > 0;
        case C::DbEditQuery:
        case C::DbSaveQuery:
            return queryReady;
        case C::DbLoadQuery:
            return s.listMode == ListMode::SavedQueries && s.selectedRows > 0;
        case C::DbDeleteQuery:
            if (s.focus == Pane::CatalogList)
                return s.listMode == ListMode::SavedQueries && s.selectedRows > 0;
            return IsQueryKind(k);
        case C::DbNewParameter:
            return db && s.listMode == ListMode::Parameters;
        case C::DbDeleteParameter:
            return db && s.listMode == ListMode::Parameters && s.selectedRows > 0;

        default:
            return true;  // always enabled
    }
}

bool CommandChecked(CommandId id, const CommandState& s) {
    switch (id) {
        case C::SectorStayInFile:
            return s.stayInFile;
        case C::ViewAdvanced:
            return s.advanced;
        case C::ViewToolbar:
            return s.toolbarVisible;
        case C::ViewStatusBar:
            return s.statusBarVisible;
        case C::ViewDevices:
            return s.devices;
        case C::ViewFullPathNames:
            return s.fullPathNames;
        default:
            return false;
    }
}

std::string CommandCaption(CommandId id, const CommandState& s, const CCommandTarget* focused) {
    if (focused && focused->HasHandler(id))
        if (const char* own = focused->CaptionHere(id, s)) return own;
    switch (id) {
        case C::SectorNextTrack:
            return s.stayInFile ? "Next cluster" : "Next track";
        case C::SectorPreviousTrack:
            return s.stayInFile ? "Previous cluster" : "Previous track";
        default:
            return Command(id).caption;
    }
}

}  // namespace tavik
