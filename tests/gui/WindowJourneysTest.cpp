// Journeys through the main window as a collector lives in it: columns that fit what they show
// and keep the widths the user gave them, disks of the same name told apart, and the window's
// close button, the lower row and an edited sector.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSplitter>

#include "GuiFixture.h"
#include "app/CommandTable.h"
#include "disk/VirtualDrive.h"
#include "views/DriveView.h"
#include "views/EditorView.h"
#include "views/TreeItemModel.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::CProgram;

// 8 December 2026, 23:59:58, as the disk stamps it.
constexpr uint16_t kDate = (26 << 9) | (12 << 5) | 8;
constexpr uint16_t kTime = (23 << 11) | (59 << 5) | 29;

std::string WriteNamedFiles(const std::string& folder, const std::string& file,
                            const std::string& diskName) {
    CImageBuilder image;
    image.SetName(diskName);
    for (const char* name : {"COMMENTARY", "WWWWWWWWWW", "A"}) {
        BuiltFile f = BuiltFile::Program(name, std::vector<uint8_t>(300, 1));
        f.creationDate = f.updateDate = kDate;
        f.creationTime = f.updateTime = kTime;
        image.AddFile(f);
    }
    const std::string path = folder + "/" + file;
    test::WriteBytes(path, image.Image());
    return path;
}

TEST(WindowJourneys, ColumnsFitTheirTextsAndKeepTheWidthsTheUserGave) {
    const std::string folder = test::TempFolder();
    const std::string image = WriteNamedFiles(folder, "names.dsk", "NAMES");
    {
        CProgram program(folder, {QString::fromStdString(image)});
        ASSERT_TRUE(program.Started());
        CMainFrame& frame = program.Frame();
        frame.show();
        CDiskView& list = *frame.DiskView();
        ASSERT_EQ(list.model()->rowCount(), 3);
        // Every header and every cell fits its column: no "COMMEN...", no "Pro...".
        for (int c = 0; c < list.model()->columnCount(); ++c) {
            EXPECT_GE(list.header()->sectionSize(c), list.header()->sectionSizeHint(c)) << c;
            for (int r = 0; r < list.model()->rowCount(); ++r)
                EXPECT_GE(list.header()->sectionSize(c),
                          list.sizeHintForIndex(list.model()->index(r, c)).width())
                    << r << "," << c;
        }
        // The sort mark is the header's arrow, the caption stays whole.
        list.header()->sectionClicked(CCatalogModel::Name);
        EXPECT_EQ(list.header()->sortIndicatorSection(), CCatalogModel::Name);
        EXPECT_EQ(list.model()->headerData(CCatalogModel::Name, Qt::Horizontal).toString(),
                  "File name");
        // Listing, sorting and fitting are the program's doing: no width counts as the user's.
        frame.DriveView()->Select(program.App().Tree().PcRootItem()->Child(0));
        EXPECT_FALSE(program.App().Options().HasUserColumnWidths());
        // The user narrows the name column and widens the dates.
        list.header()->resizeSection(CCatalogModel::Name, 61);
        list.header()->resizeSection(CCatalogModel::Modified, 240);
        program.App().Options().saveOnExit = SaveAlways;
        frame.close();
    }
    CProgram again(folder, {QString::fromStdString(image)});
    ASSERT_TRUE(again.Started());
    const QHeaderView& header = *again.Frame().DiskView()->header();
    EXPECT_EQ(header.sectionSize(CCatalogModel::Name), 61);
    EXPECT_EQ(header.sectionSize(CCatalogModel::Modified), 240);
    EXPECT_EQ(header.sortIndicatorSection(), -1);  // a new listing is in disk order
}

TEST(WindowJourneys, DisksOfTheSameNameShowTheirPcFiles) {
    const std::string folder = test::TempFolder();
    const std::string a = test::WriteImage(folder, "games.dsk", "SSSD");
    const std::string b = test::WriteImage(folder, "tools.dsk", "SSSD");
    const std::string c = test::WriteImage(folder, "other.dsk", "OTHER");
    CProgram program(
        folder, {QString::fromStdString(a), QString::fromStdString(b), QString::fromStdString(c)});
    ASSERT_TRUE(program.Started());
    CMainFrame& frame = program.Frame();
    CTreeItemModel& model = *frame.DriveView()->ItemModel();
    CTreeItem* pc = program.App().Tree().PcRootItem();
    ASSERT_EQ(pc->ChildCount(), 3);
    auto shown = [&](int row) {
        return model.data(model.IndexOf(pc->Child(row)), Qt::DisplayRole).toString();
    };
    EXPECT_EQ(shown(0), "SSSD (games.dsk)");
    EXPECT_EQ(shown(1), "SSSD (tools.dsk)");
    EXPECT_EQ(shown(2), "OTHER     ");
    EXPECT_EQ(model.data(model.IndexOf(pc->Child(1)), Qt::ToolTipRole).toString(),
              QString::fromStdString(b));
    EXPECT_EQ(model.data(model.IndexOf(pc->Child(1)), Qt::EditRole).toString(), "SSSD      ");
    frame.DriveView()->Select(pc->Child(1));
    frame.UpdateCommands();
    EXPECT_EQ(frame.StatusDiskFile(), QString::fromStdString(b));

    // Renaming one ends the clash; the option off shows the disk names alone.
    model.setData(model.IndexOf(pc->Child(1)), "TOOLS", Qt::EditRole);
    EXPECT_EQ(shown(0), "SSSD      ");
    ASSERT_NE(frame.DriveView()->MountByPath(b, nullptr), nullptr);
    EXPECT_EQ(shown(0), "SSSD (games.dsk)");
    program.App().Options().fileNameOnNameClash = 0;
    model.RefreshLabels();
    EXPECT_EQ(shown(0), "SSSD      ");
}

TEST(WindowJourneys, CloseIsExitAndTheLowerRowAndAnEditedSectorBehave) {
    const std::string folder = test::TempFolder();
    const std::string image = test::WriteImage(folder, "a.dsk", "ALPHA");
    const QString workspace = QString::fromStdString(folder + "/Workspace.TVK");
    CProgram program(folder, {QString::fromStdString(image)});
    ASSERT_TRUE(program.Started());
    CMainFrame& frame = program.Frame();
    test::CAnsweringPrompt& prompt = program.Prompt();
    frame.CaptureLayout(program.App().Options());  // as a workspace from an earlier run holds it
    frame.resize(1100, 800);
    frame.show();
    QApplication::processEvents();

    // Advanced on and off leaves the window as the user sized it; the lower row has a fair
    // share and grows with the window.
    const QSize size = frame.size();
    ASSERT_TRUE(frame.Execute(CommandId::ViewAdvanced));
    QApplication::processEvents();
    EXPECT_EQ(frame.size(), size);
    const int lower = frame.Rows()->sizes().value(1);
    EXPECT_GE(lower * 3, frame.Rows()->height()) << lower;
    frame.resize(1100, 1000);
    QApplication::processEvents();
    EXPECT_GT(frame.Rows()->sizes().value(1), lower + 50);

    // An edited sector is not left without a word: Cancel stays, No drops the edit, Yes saves.
    CEditorView& editor = *frame.EditorView();
    auto typeHex = [&](int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&editor, &press);
    };
    auto byte0 = [&](int sector) {
        Sector s{};
        editor.Drive()->ReadSector(sector, s.data());
        return s[0];
    };
    struct Case {
        PromptAnswer answer;
        int sectorAfter;
        bool written;
    } cases[] = {{PromptAnswer::Cancel, 20, false},  // then dropped, on to 21
                 {PromptAnswer::No, 22, false},
                 {PromptAnswer::Yes, 23, true}};
    ASSERT_TRUE(editor.ShowSector(20));
    for (const Case& c : cases) {
        const int from = editor.CurrentSector();
        const uint8_t before = byte0(from);
        typeHex(Qt::Key_4, "4");
        typeHex(Qt::Key_2, "2");
        ASSERT_TRUE(editor.HasUnsavedEdits());
        prompt.questions.clear();
        prompt.answers = {c.answer};
        frame.SetActivePane(Pane::SectorEditor);
        frame.Execute(CommandId::SectorNext);
        ASSERT_EQ(prompt.questions.size(), 1u) << static_cast<int>(c.answer);
        EXPECT_EQ(editor.CurrentSector(), c.sectorAfter);
        EXPECT_EQ(byte0(from), c.written ? 0x42 : before);
        if (c.answer == PromptAnswer::Cancel) {
            ASSERT_TRUE(editor.HasUnsavedEdits());
            prompt.answers = {PromptAnswer::No};
            frame.Execute(CommandId::SectorNext);
        }
        EXPECT_FALSE(editor.HasUnsavedEdits());
    }

    // Another disk chosen in the tree: Cancel keeps the edited disk shown and selected.
    CDriveView& tree = *frame.DriveView();
    CTreeItem* edited = tree.SelectedItem();
    CTreeItem* other = tree.MountByPath(test::WriteImage(folder, "b.dsk", "BETA"), nullptr);
    ASSERT_NE(other, nullptr);
    typeHex(Qt::Key_4, "4");
    prompt.questions.clear();
    prompt.answers = {PromptAnswer::Cancel};
    tree.Select(other);
    QApplication::processEvents();
    EXPECT_EQ(prompt.questions.size(), 1u);
    EXPECT_EQ(tree.SelectedItem(), edited);
    EXPECT_EQ(editor.Drive(), edited->Drive());
    EXPECT_TRUE(editor.HasUnsavedEdits());

    // The close button with an edit: Cancel keeps the window; then it closes as Exit does,
    // saving the workspace ("Save on exit": Always).
    prompt.answers = {PromptAnswer::Cancel};
    program.App().Options().saveOnExit = SaveAlways;
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_FALSE(QFile::exists(workspace));
    prompt.answers = {PromptAnswer::No};
    EXPECT_TRUE(frame.close());
    EXPECT_TRUE(QFile::exists(workspace));
}

}  // namespace
}  // namespace tavik
