// The command table's enabling rules, captions and layout, without a window.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/CommandTable.h"

namespace tavik {
namespace {

using C = CommandId;

CommandState Selected(NodeKind kind) {
    CommandState s;
    s.selectedKind = kind;
    return s;
}

// A focused pane that enables whatever it is asked about.
class CWillingPane : public CCommandTarget {
public:
    bool HandleCommand(CommandId) override { return true; }
    bool HasHandler(CommandId) const override { return true; }
    bool IsEnabledHere(CommandId, const CommandState&) const override { return true; }
    const char* CaptionHere(CommandId id, const CommandState&) const override {
        return id == C::EditSelect ? "Select disk as target" : nullptr;
    }
};

struct KindRow {
    NodeKind kind;
    bool properties, dismount, dummyFolder, diskMenu;
};

class DriveRules : public testing::TestWithParam<KindRow> {};

TEST_P(DriveRules, FollowTheSelectedKind) {
    const KindRow r = GetParam();
    const CommandState s = Selected(r.kind);
    EXPECT_EQ(CommandEnabled(C::DriveProperties, s), r.properties);
    EXPECT_EQ(CommandEnabled(C::Dismount, s), r.dismount);
    EXPECT_EQ(CommandEnabled(C::DummyFolder, s), r.dummyFolder);
    EXPECT_EQ(CommandEnabled(C::AlphaSort, s), r.dummyFolder);
    for (C id : {C::DiskProperties, C::DiskDiagnose, C::DiskDefragment, C::DiskCopy, C::DiskFormat,
                 C::DiskPurge, C::DiskSortFiles})
        EXPECT_EQ(CommandEnabled(id, s), r.diskMenu) << static_cast<int>(id);
    for (C id : {C::NewPcFile, C::MountPcFile, C::MountPcFolder, C::ScanRemote, C::Unhook,
                 C::ScanEmulator, C::Exit})
        EXPECT_TRUE(CommandEnabled(id, s));
}

using K = NodeKind;
INSTANTIATE_TEST_SUITE_P(Kinds, DriveRules,
                         testing::Values(KindRow{K::Unset, false, false, false, false},
                                         KindRow{K::PcRoot, false, false, true, false},
                                         KindRow{K::TiRoot, false, false, false, false},
                                         KindRow{K::RemoteDevice, false, false, false, false},
                                         KindRow{K::PcFolder, false, true, true, false},
                                         KindRow{K::DummyFolder, false, true, true, false},
                                         KindRow{K::SectorImage, true, true, false, true},
                                         KindRow{K::TrackImage, true, true, false, true},
                                         // remote and emulator drives: Disk menu, never dismount
                                         KindRow{K::EmulatorDisk, true, false, false, true},
                                         KindRow{K::RemoteDrive, true, false, false, true},
                                         KindRow{K::DiskQuery, false, false, false, false}));

TEST(CommandRules, DatabaseMenuWithoutDatabaseLeavesOnlyNewOpenAndTheListBoundItems) {
    CommandState s = Selected(NodeKind::SectorImage);
    const std::set<C> open = {C::DbNew, C::DbOpen, C::DbRemoveDisk, C::DbLoadQuery};
    const C all[] = {C::DbNew,
                     C::DbOpen,
                     C::DbClose,
                     C::DbExport,
                     C::DbMerge,
                     C::DbBrowseAllDisks,
                     C::DbBrowseAllFiles,
                     C::DbBrowseCurrentSet,
                     C::DbAddDisk,
                     C::DbRescanDisk,
                     C::DbMountDisk,
                     C::DbRemoveDisk,
                     C::DbNewQuery,
                     C::DbEditQuery,
                     C::DbLoadQuery,
                     C::DbSaveQuery,
                     C::DbDeleteQuery,
                     C::DbSqlQuery,
                     C::DbNewParameter,
                     C::DbDeleteParameter,
                     C::DbBulkUpdate,
                     C::DbBrowseDuplicateDisks,
                     C::DbBrowseDuplicateFiles};
    // The list shows nothing of the database: only New and Open.
    for (C id : all)
        EXPECT_EQ(CommandEnabled(id, s), id == C::DbNew || id == C::DbOpen) << static_cast<int>(id);
    // "Remove disk" and "Load query" follow the list mode alone, database or not.
    s.selectedRows = 2;
    s.listMode = ListMode::DiskRecords;
    EXPECT_TRUE(CommandEnabled(C::DbRemoveDisk, s));
    EXPECT_FALSE(CommandEnabled(C::DbMountDisk, s));
    s.listMode = ListMode::SavedQueries;
    EXPECT_TRUE(CommandEnabled(C::DbLoadQuery, s));
    for (C id : all) {
        if (open.count(id)) continue;
        EXPECT_FALSE(CommandEnabled(id, s)) << static_cast<int>(id);
    }
}

TEST(CommandRules, DatabaseOpenEnablesByListModeAndSelection) {
    CommandState s = Selected(NodeKind::SectorImage);
    s.databaseOpen = true;
    EXPECT_TRUE(CommandEnabled(C::DbAddDisk, s));
    EXPECT_FALSE(CommandEnabled(C::DbBrowseCurrentSet, s));
    EXPECT_FALSE(CommandEnabled(C::DbEditQuery, s));
    s.queryPending = true;
    EXPECT_TRUE(CommandEnabled(C::DbEditQuery, s));
    EXPECT_TRUE(CommandEnabled(C::DbSaveQuery, s));
    s.listMode = ListMode::Parameters;
    EXPECT_TRUE(CommandEnabled(C::DbNewParameter, s));
    EXPECT_FALSE(CommandEnabled(C::DbDeleteParameter, s));
    s.selectedRows = 1;
    EXPECT_TRUE(CommandEnabled(C::DbDeleteParameter, s));
    s.listMode = ListMode::FileRecords;
    EXPECT_TRUE(CommandEnabled(C::DbBrowseCurrentSet, s));
    // Delete query: the tree's query node, or the list's saved queries when the list is focused.
    s = Selected(NodeKind::FileQuery);
    EXPECT_TRUE(CommandEnabled(C::DbDeleteQuery, s));
    s.focus = Pane::CatalogList;
    EXPECT_FALSE(CommandEnabled(C::DbDeleteQuery, s));
    s.listMode = ListMode::SavedQueries;
    s.selectedRows = 1;
    EXPECT_TRUE(CommandEnabled(C::DbDeleteQuery, s));
}

TEST(CommandRules, FileMenuNeedsADiskAndSelectedRows) {
    CommandState s = Selected(NodeKind::SectorImage);
    EXPECT_FALSE(CommandEnabled(C::FileCreate, s));
    s.diskShown = true;
    EXPECT_TRUE(CommandEnabled(C::FileCreate, s));
    EXPECT_TRUE(CommandEnabled(C::FileImport, s));
    EXPECT_TRUE(CommandEnabled(C::FileUndelete, s));
    for (C id : {C::FileProperties, C::FileRename, C::FileProtect, C::FilePurge, C::FileDelete,
                 C::FileViewText, C::FileViewHex, C::FileExport}) {
        s.selectedRows = 0;
        EXPECT_FALSE(CommandEnabled(id, s));
        s.selectedRows = 3;
        EXPECT_TRUE(CommandEnabled(id, s));
        s.listMode = ListMode::FileRecords;  // database rows are no files
        EXPECT_FALSE(CommandEnabled(id, s));
        s.listMode = ListMode::DiskCatalog;
    }
    // "View as BASIC" also needs a BASIC program first in the selection.
    EXPECT_FALSE(CommandEnabled(C::FileViewBasic, s));
    s.basicSelected = true;
    EXPECT_TRUE(CommandEnabled(C::FileViewBasic, s));
}

TEST(CommandRules, SectorAndMapItemsFollowTheLowerPanes) {
    CommandState s = Selected(NodeKind::SectorImage);
    s.diskShown = true;
    const C editorItems[] = {C::SectorNext,          C::SectorPrevious, C::SectorNextTrack,
                             C::SectorPreviousTrack, C::SectorRead,     C::SectorSave,
                             C::SectorSaveAs,        C::SectorCompare,  C::SectorCopy,
                             C::EditClearSelection,  C::MarkUsed,       C::MarkFree};
    const C mapItems[] = {C::EditSelection, C::EditFind, C::EditFindNext, C::EditFindAll};
    // "Advanced" off: the map and the editor hold no disk, so all of these are greyed.
    for (C id : editorItems)
        EXPECT_FALSE(CommandEnabled(id, s));
    for (C id : mapItems)
        EXPECT_FALSE(CommandEnabled(id, s));
    EXPECT_TRUE(CommandEnabled(C::SectorMark, s));
    s.editorLoaded = s.mapLoaded = true;
    for (C id : editorItems)
        EXPECT_TRUE(CommandEnabled(id, s));
    for (C id : mapItems)
        EXPECT_TRUE(CommandEnabled(id, s));
    EXPECT_FALSE(CommandEnabled(C::SectorStayInFile, s));
    EXPECT_FALSE(CommandEnabled(C::SectorSwapTarget, s));
    s.fileHighlighted = s.targetSet = true;
    EXPECT_TRUE(CommandEnabled(C::SectorStayInFile, s));
    EXPECT_TRUE(CommandEnabled(C::SectorSwapTarget, s));
    // Replace needs both patterns and a current match.
    s.findPatternSet = s.replacePatternSet = true;
    EXPECT_FALSE(CommandEnabled(C::EditReplace, s));
    s.currentMatch = true;
    EXPECT_TRUE(CommandEnabled(C::EditReplace, s));
    EXPECT_TRUE(CommandEnabled(C::EditReplaceAll, s));
}

TEST(CommandRules, FocusedPaneDecidesCopyPasteSelectAndItsCaption) {
    const CommandState s = Selected(NodeKind::SectorImage);
    for (C id : {C::EditCopy, C::EditPaste, C::EditSelect, C::DeleteKey})
        EXPECT_FALSE(CommandEnabled(id, s, nullptr));
    CWillingPane pane;
    for (C id : {C::EditCopy, C::EditPaste, C::EditSelect, C::DeleteKey})
        EXPECT_TRUE(CommandEnabled(id, s, &pane));
    EXPECT_EQ(CommandCaption(C::EditSelect, s, nullptr), "Select");
    EXPECT_EQ(CommandCaption(C::EditSelect, s, &pane), "Select disk as target");
}

TEST(CommandRules, TrackCaptionsFollowFileConfinedMoves) {
    CommandState s;
    EXPECT_EQ(CommandCaption(C::SectorNextTrack, s), "Next track");
    EXPECT_EQ(CommandCaption(C::SectorPreviousTrack, s), "Previous track");
    s.stayInFile = true;
    EXPECT_EQ(CommandCaption(C::SectorNextTrack, s), "Next cluster");
    EXPECT_EQ(CommandCaption(C::SectorPreviousTrack, s), "Previous cluster");
    EXPECT_TRUE(CommandChecked(C::SectorStayInFile, s));
}

TEST(CommandTable, EveryCommandHasOneEntryAndMenusNameEachAtMostOnce) {
    std::set<int> ids;
    for (const CommandEntry& e : AllCommands()) {
        EXPECT_TRUE(ids.insert(static_cast<int>(e.id)).second) << e.caption;
        EXPECT_EQ(&Command(e.id), &e);
    }
    EXPECT_EQ(static_cast<int>(ids.size()), kCommandCount);
    std::set<int> inMenus;
    for (const MenuSpec& m : MenuLayout())
        for (const MenuLine& l : m.lines) {
            if (l.kind == MenuLine::Command) {
                EXPECT_TRUE(inMenus.insert(static_cast<int>(l.id)).second);
            }
            for (C id : l.submenu)
                EXPECT_TRUE(inMenus.insert(static_cast<int>(id)).second);
        }
    // Everything but the commands that have only a shortcut or a context menu is in a menu.
    for (C id : {C::MarkUsed, C::MarkFree, C::DeleteKey, C::NextPane, C::PreviousPane})
        EXPECT_FALSE(inMenus.count(static_cast<int>(id)));
    EXPECT_EQ(inMenus.size(), ids.size() - 5);
}

TEST(CommandTable, ToolbarOrderWithItsThreeGaps) {
    const std::vector<C> expected = {C::NewPcFile,
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
                                     C::EditPaste};
    EXPECT_EQ(ToolbarLayout(), expected);
}

TEST(CommandTable, PromptsSplitIntoStatusTextAndTooltip) {
    const CommandEntry& e = Command(C::MountPcFile);
    EXPECT_EQ(StatusPrompt(e), "Use an existing PC file as a virtual disk");
    EXPECT_EQ(TooltipPrompt(e), "Open disk file");
    EXPECT_EQ(TooltipPrompt(Command(C::SectorMark)), "");
}

}  // namespace
}  // namespace tavik
