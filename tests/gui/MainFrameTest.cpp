// The main window: menus and shortcuts, the enabling rules on the live panes, the layout, the
// workspace at exit and at start, recent files, and the options sheet.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>

#include "GuiFixture.h"
#include "app/CommandTable.h"
#include "app/TreeOperations.h"
#include "app/gui/OptionsSheet.h"
#include "views/DriveView.h"
#include "views/EditorView.h"
#include "views/MapView.h"

namespace tavik {
namespace {

using test::CProgram;

void CollectMenuTexts(QMenu* menu, QStringList& texts, QStringList& shortcuts) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) CollectMenuTexts(a->menu(), texts, shortcuts);
        if (a->isSeparator()) continue;
        texts << a->text();
        for (const QKeySequence& k : a->shortcuts())
            shortcuts << k.toString();
    }
}

TEST(MainFrame, EveryCaptionAndShortcutOfTheTableIsOnTheMenusOrTheWindow) {
    const std::string folder = test::TempFolder();
    CProgram program(folder);
    ASSERT_TRUE(program.Started());
    QStringList texts, shortcuts;
    for (QAction* top : program.Frame().menuBar()->actions())
        if (top->menu()) CollectMenuTexts(top->menu(), texts, shortcuts);
    for (const char* caption : {"New PC file...",
                                "Mount PC file...",
                                "Mount PC folder...",
                                "Dismount",
                                "Dummy folder",
                                "Alpha sort",
                                "Scan remote TI-99/4a",
                                "Refresh",
                                "Unhook TI-99/4A",
                                "Scan Zantu",
                                "Exit",
                                "Diagnose",
                                "Defragment",
                                "Format...",
                                "Sort files",
                                "Create...",
                                "Undelete...",
                                "As text",
                                "Hexadecimal",
                                "Export...",
                                "Import...",
                                "Next",
                                "Previous",
                                "Next track",
                                "Previous track",
                                "Stay in file",
                                "Read...",
                                "Save as...",
                                "Compare...",
                                "Swap target",
                                "Mark sector...",
                                "&Copy",
                                "&Paste",
                                "Select",
                                "Edit selection...",
                                "Clear selection",
                                "Find...",
                                "Find next",
                                "Find all",
                                "Replace",
                                "Replace all",
                                "Advanced",
                                "&Toolbar",
                                "&Status Bar",
                                "Devices",
                                "Full path names",
                                "Customize list...",
                                "New...",
                                "Open...",
                                "Close",
                                "Merge...",
                                "All disks",
                                "All files",
                                "Current set",
                                "Duplicate disks",
                                "Duplicate files",
                                "Add disk",
                                "Rescan disk",
                                "Mount disk",
                                "Remove disk",
                                "New query...",
                                "Edit query...",
                                "Load query",
                                "Save query",
                                "Delete query",
                                "SQL query...",
                                "New parameter",
                                "Delete parameter",
                                "Bulk update",
                                "Options...",
                                "Upload hook...",
                                "Load workspace...",
                                "Save workspace...",
                                "&About TAVIK...",
                                "Recent File"})
        EXPECT_TRUE(texts.contains(caption)) << caption;
    for (const char* key : {"Ctrl+N",   "Ctrl+M",     "Ctrl+P",    "Ctrl+T", "Ctrl+X", "Ctrl+E",
                            "Ctrl+I",   "Ctrl+Right", "Ctrl+Left", "F5",     "Ctrl+W", "Ctrl+C",
                            "Ctrl+Ins", "Ctrl+V",     "Shift+Ins", "Ctrl+2", "Ctrl+F", "F2",
                            "Shift+F2", "F3",         "Shift+F3",  "Ctrl+O", "Ctrl+S"})
        EXPECT_TRUE(shortcuts.contains(key)) << key;
    // The commands without a menu item keep their shortcuts on the window.
    EXPECT_EQ(program.Frame().Action(CommandId::MarkUsed)->shortcut().toString(), "Ctrl+1");
    EXPECT_EQ(program.Frame().Action(CommandId::MarkFree)->shortcut().toString(), "Ctrl+0");
    EXPECT_EQ(program.Frame().Action(CommandId::NextPane)->shortcut().toString(), "F6");
    EXPECT_EQ(program.Frame().Action(CommandId::DeleteKey)->shortcut().toString(), "Del");
}

TEST(MainFrame, AdvancedShowsTheLowerRowAndTurningItOffDropsTheDisksOfMapAndEditor) {
    const std::string folder = test::TempFolder();
    const std::string image = test::WriteImage(folder, "a.dsk", "ALPHA");
    CProgram program(folder, {QString::fromStdString(image)});
    ASSERT_TRUE(program.Started());
    CMainFrame& frame = program.Frame();
    frame.show();
    EXPECT_TRUE(frame.BottomRow()->isHidden());
    EXPECT_FALSE(frame.IsEnabled(CommandId::SectorNext));
    EXPECT_TRUE(frame.IsEnabled(CommandId::FileCreate));

    ASSERT_TRUE(frame.Execute(CommandId::ViewAdvanced));
    EXPECT_EQ(program.App().Options().advancedView, 1);
    EXPECT_FALSE(frame.BottomRow()->isHidden());
    EXPECT_NE(frame.EditorView()->Drive(), nullptr);
    EXPECT_TRUE(frame.IsEnabled(CommandId::SectorNext));
    EXPECT_TRUE(frame.IsEnabled(CommandId::EditFind));
    frame.UpdateCommands();
    EXPECT_TRUE(frame.Action(CommandId::ViewAdvanced)->isChecked());
    EXPECT_EQ(frame.StatusPaneTexts().value(0), "No target disk");

    ASSERT_TRUE(frame.Execute(CommandId::ViewAdvanced));
    EXPECT_TRUE(frame.BottomRow()->isHidden());
    EXPECT_EQ(frame.EditorView()->Drive(), nullptr);
    EXPECT_EQ(frame.MapView()->Drive(), nullptr);
    for (CommandId id : {CommandId::SectorNext, CommandId::SectorRead, CommandId::EditFind,
                         CommandId::EditClearSelection, CommandId::MarkUsed})
        EXPECT_FALSE(frame.IsEnabled(id)) << static_cast<int>(id);
    frame.UpdateCommands();
    EXPECT_EQ(frame.StatusPaneTexts().value(0), "");  // the editor's panes are blank
}

TEST(MainFrame, ADisabledCommandDoesNotRunFromAnySource) {
    const std::string folder = test::TempFolder();
    CProgram program(folder);
    ASSERT_TRUE(program.Started());
    CTreeModel& tree = program.App().Tree();
    CTreeItem* remote =
        tree.Insert(tree.TiRootItem(), CTreeNode(NodeKind::RemoteDrive, "", "DSK1"), "DSK1");
    program.Frame().DriveView()->Select(remote);
    // A remote drive enables the Disk menu but never "Dismount" (nor the Delete key).
    EXPECT_TRUE(program.Frame().IsEnabled(CommandId::DiskDiagnose));
    EXPECT_FALSE(program.Frame().Execute(CommandId::Dismount));
    program.Frame().SetActivePane(Pane::DriveTree);
    EXPECT_FALSE(program.Frame().Execute(CommandId::DeleteKey));
    EXPECT_EQ(tree.TiRootItem()->ChildCount(), 1);
}

TEST(MainFrame, WorkspaceSavedAtExitIsRestoredAtTheNextStart) {
    const std::string folder = test::TempFolder();
    const std::string a = test::WriteImage(folder, "a.dsk", "ALPHA");
    const std::string b = test::WriteImage(folder, "b.dsk", "BETA");
    {
        CProgram first(folder, {QString::fromStdString(a)});
        ASSERT_TRUE(first.Started());
        CTreeModel& tree = first.App().Tree();
        CTreeItem* dummy = AddDummyFolder(tree, tree.PcRootItem());
        ASSERT_NE(first.Frame().DriveView()->MountByPath(b, dummy), nullptr);
        first.App().Options().saveOnExit = SaveAlways;
        first.App().Options().sectorsPerLine = 24;
        first.Frame().ExitCommand();
    }
    ASSERT_TRUE(QFile::exists(QString::fromStdString(folder + "/Workspace.TVK")));
    CProgram second(folder);
    ASSERT_TRUE(second.Started());
    CTreeItem* pc = second.App().Tree().PcRootItem();
    ASSERT_EQ(pc->ChildCount(), 2);
    EXPECT_EQ(pc->Child(0)->Text(), "ALPHA     ");
    EXPECT_EQ(pc->Child(0)->Kind(), NodeKind::SectorImage);
    EXPECT_NE(pc->Child(0)->Drive(), nullptr);
    EXPECT_EQ(pc->Child(1)->Kind(), NodeKind::DummyFolder);
    ASSERT_EQ(pc->Child(1)->ChildCount(), 1);
    EXPECT_EQ(pc->Child(1)->Child(0)->Text(), "BETA      ");
    EXPECT_EQ(second.App().Options().sectorsPerLine, 24);
    EXPECT_GE(second.App().Options().treeWidth, 0);  // the layout was captured
}

TEST(MainFrame, SaveOnExitAskMeAnsweredNoLeavesTheOldWorkspace) {
    const std::string folder = test::TempFolder();
    const std::string file = folder + "/Workspace.TVK";
    test::WriteBytes(file, {'o', 'l', 'd'});
    CProgram program(folder);  // the old file is refused at start ("Wrong file format")
    program.App().Options().saveOnExit = SaveAskMe;
    program.Prompt().answers = {PromptAnswer::No};
    program.Frame().ExitCommand();
    EXPECT_EQ(program.Prompt().questions.back(), "Save workspace?");
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
}

TEST(MainFrame, LayoutCapturedAndAppliedKeepsTheColumnSplits) {
    const std::string folder = test::TempFolder();
    CProgram program(folder);
    CMainFrame& frame = program.Frame();
    frame.resize(900, 600);
    frame.show();
    QApplication::processEvents();
    frame.TopRow()->setSizes({200, 690});
    QApplication::processEvents();
    COptions& o = program.App().Options();
    frame.CaptureLayout(o);
    EXPECT_EQ(o.bottomRowHeight, 0);  // the lower row is hidden
    const int tree = o.treeWidth;
    EXPECT_NEAR(tree, 200, 2);
    frame.TopRow()->setSizes({400, 490});
    o.advancedView = 1;
    frame.ApplyLayout(o);
    QApplication::processEvents();
    EXPECT_NEAR(frame.TopRow()->sizes().value(0), tree, 2);
    EXPECT_FALSE(frame.BottomRow()->isHidden());
    // The lower row had no height of its own: it gets a third of the recomputed upper row.
    const QList<int> rows = frame.Rows()->sizes();
    EXPECT_GT(rows.value(1), 0);
    EXPECT_LT(rows.value(1), rows.value(0));
}

TEST(MainFrame, RecentFilesTakeMountedImagesAndLoseEntriesThatNoLongerMount) {
    const std::string folder = test::TempFolder();
    const std::string a = test::WriteImage(folder, "a.dsk", "ALPHA");
    CProgram program(folder, {QString::fromStdString(a)}, "recent-test");
    ASSERT_TRUE(program.Started());
    CMainFrame& frame = program.Frame();
    EXPECT_EQ(frame.Recent().Entries(), QStringList{QString::fromStdString(a)});
    frame.OpenRecent(QString::fromStdString(a));
    EXPECT_EQ(program.App().Tree().PcRootItem()->ChildCount(), 2);
    QFile::remove(QString::fromStdString(a));
    frame.OpenRecent(QString::fromStdString(a));
    EXPECT_TRUE(frame.Recent().Entries().isEmpty());
    EXPECT_EQ(program.Prompt().messages.back(),
              "Can't open file on PC\n" + a + ": No such file or directory");
}

TEST(MainFrame, AnImageOnTheCommandLineThatCannotBeMountedEndsTheStart) {
    const std::string folder = test::TempFolder();
    CProgram program(folder, {QString::fromStdString(folder + "/missing.dsk")});
    EXPECT_FALSE(program.Started());
    EXPECT_EQ(program.Prompt().messages,
              std::vector<std::string>{"Can't open file on PC\n" + folder +
                                       "/missing.dsk: No such file or directory"});
}

TEST(OptionsSheetTest, OkCopiesThePagesBackAndCancelChangesNothing) {
    COptions options;
    {
        COptionsSheet sheet(options);
        auto* perLine = sheet.findChild<QLineEdit*>("sectorsPerLine");
        ASSERT_NE(perLine, nullptr);
        EXPECT_EQ(sheet.General().sectorsPerLine, "18");
        perLine->setText("0x10");
        sheet.findChild<QPlainTextEdit*>()->setPlainText("4\n8\n");
        sheet.reject();
    }
    EXPECT_EQ(options.sectorsPerLine, 18);
    {
        COptionsSheet sheet(options);
        EXPECT_EQ(sheet.Convert().tabStops, "7\r\n12\r\n");
        EXPECT_EQ(sheet.Convert().replaceWidth, "25");
        sheet.findChild<QLineEdit*>("sectorsPerLine")->setText("0x10");
        sheet.findChild<QPlainTextEdit*>()->setPlainText("4\n8\n");
        for (QCheckBox* box : sheet.findChildren<QCheckBox*>())
            if (box->text() == "Truncate overlong lines" || box->text() == "Unlock editing")
                box->setChecked(true);
        sheet.accept();
    }
    EXPECT_EQ(options.sectorsPerLine, 16);
    EXPECT_EQ(options.tabList, (std::vector<uint16_t>{4, 8, 25}));
    EXPECT_EQ(options.truncateOverlongLines, 1);
    EXPECT_EQ(options.unlockEditing, 1);
    EXPECT_EQ(options.breakpointXop, 0x2C40);
    COptionsSheet again(options);
    EXPECT_EQ(again.General().sectorsPerLine, "16");
    EXPECT_TRUE(again.Convert().truncateOverlongLines);
    EXPECT_EQ(again.Pages()->tabText(0), "General");
    EXPECT_EQ(again.Pages()->tabText(3), "Database");
}

TEST(OptionsSheetTest, RemoteListsChangeWithContactAndLinkMode) {
    const RemoteLists parallel = RemoteListsFor(ContactCable, LinkParallel);
    EXPECT_EQ(parallel.ports.value(0), "LPT1 single port");
    EXPECT_EQ(parallel.inLines, (QStringList{"Select*", "Init", "AutoLF*", "Strobe*"}));
    EXPECT_EQ(parallel.outLines.size(), 5);
    EXPECT_FALSE(parallel.showSerialOnly);
    const RemoteLists serial = RemoteListsFor(ContactCable, LinkSerial);
    EXPECT_EQ(serial.ports, (QStringList{"COM1", "COM2", "COM3", "COM4"}));
    EXPECT_EQ(serial.inLabel, "DTR:");
    EXPECT_EQ(serial.outLabel, "DCD:");
    EXPECT_TRUE(serial.showSerialOnly);
    const RemoteLists emulated = RemoteListsFor(ContactEmulator, LinkParallel);
    EXPECT_EQ(emulated.ports, (QStringList{"PIO/1", "PIO/2"}));
    EXPECT_FALSE(emulated.showLines);
    EXPECT_EQ(RemoteListsFor(ContactEmulator, LinkSerial).ports.value(3), "RS232/4");

    COptions options;
    options.contact = ContactCable;
    options.linkMode = LinkSerial;
    options.linkPortName = "COM2";
    options.handshakeOut = 2;
    COptionsSheet sheet(options);
    const RemotePage page = sheet.Remote();
    EXPECT_EQ(page.linkPortName, "COM2");
    EXPECT_EQ(page.handshakeOut, 2);
    EXPECT_EQ(page.contact, ContactCable);
}

}  // namespace
}  // namespace tavik
