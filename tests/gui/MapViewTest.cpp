// The sector map in the whole program: its grid of a sample disk, clicks that move the sector
// editor, marking the bitmap, selections and find and replace through the Edit commands.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QTextBlock>
#include <QTextCursor>
#include <deque>

#include "GuiFixture.h"
#include "app/Options.h"
#include "app/TreeOperations.h"
#include "disk/Layout.h"
#include "views/DiskView.h"
#include "views/DriveView.h"
#include "views/EditorView.h"
#include "views/MapView.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::CProgram;

// Answers the map's dialogs from a script instead of a user.
class CScriptedMapDialogs : public CMapDialogs {
public:
    std::deque<std::string> selections;  // texts typed into "Selected sectors"
    std::string shownSelection;
    struct Find {
        SearchForm form;
        SearchMode mode;
        bool inside = false;
    };
    std::deque<Find> finds;
    QString fileLabel;
    bool insideOffered = false;

    bool EditSelection(QWidget*, std::string& text) override {
        shownSelection = text;
        if (selections.empty()) return false;
        text = selections.front();
        selections.pop_front();
        return true;
    }
    bool FindReplace(QWidget*, SearchForm& form, const QString& label, bool& inside,
                     SearchMode& mode) override {
        fileLabel = label;
        insideOffered = inside;
        if (finds.empty()) return false;
        const int file = form.insideFile;
        form = finds.front().form;
        form.insideFile = file;
        inside = finds.front().inside;
        mode = finds.front().mode;
        finds.pop_front();
        return true;
    }
};

SearchForm Ascii(const std::string& text) {
    SearchForm form;
    form.find = text;
    return form;
}

class MapView : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        CImageBuilder image;
        image.SetName("MAPDISK");
        m_alpha = image.AddFile(BuiltFile::Program("ALPHA", std::vector<uint8_t>(600, 0x11)));
        std::vector<uint8_t> text(256, ' ');
        std::copy_n("NEEDLE IN SECTOR", 16, text.begin() + 40);
        m_beta = image.AddFile(BuiltFile::Program("BETA", text));
        std::vector<uint8_t> bytes = image.Image();
        bytes[56 + 300 / 8] |= 1 << (300 % 8);  // marked used, used by nothing
        const std::string path = m_folder + "/map.dsk";
        test::WriteBytes(path, bytes);
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
        Frame().resize(1000, 700);
        Frame().show();
        ASSERT_TRUE(Frame().Execute(CommandId::ViewAdvanced));
        m_item = Tree().MountByPath(path, nullptr);
        ASSERT_TRUE(m_item);
        Tree().Select(m_item);
        QApplication::processEvents();
        Map().SetDialogs(&m_dialogs);
        ASSERT_EQ(Map().Drive(), m_item->Drive());
    }
    void TearDown() override {
        if (m_program) Map().SetDialogs(nullptr);
    }
    CMainFrame& Frame() { return m_program->Frame(); }
    CDriveView& Tree() { return *Frame().DriveView(); }
    CDiskView& List() { return *Frame().DiskView(); }
    CMapView& Map() { return *Frame().MapView(); }
    CEditorView& Editor() { return *Frame().EditorView(); }
    CVirtualDrive& Drive() { return *m_item->Drive(); }
    test::CAnsweringPrompt& Prompt() { return m_program->Prompt(); }

    // The character and colour of a cell as the grid shows them.
    QChar CellChar(int sector) {
        const int w = m_program->App().Options().sectorsPerLine;
        const QTextBlock line = Map().document()->findBlockByNumber(sector / w);
        return line.text().at(sector % w);
    }
    QColor CellColour(int sector) {
        const int w = m_program->App().Options().sectorsPerLine;
        const QTextBlock line = Map().document()->findBlockByNumber(sector / w);
        QTextCursor cursor(line);
        cursor.setPosition(line.position() + sector % w + 1);  // the format before the caret
        return cursor.charFormat().foreground().color();
    }
    void Click(int sector, int dx) {
        const QRect cell = Map().CellRect(sector);
        ASSERT_TRUE(cell.isValid()) << sector;
        const QPointF at(cell.x() + dx, cell.center().y());
        QMouseEvent press(QEvent::MouseButtonPress, at, Map().viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Map().viewport(), &press);
    }
    bool BitmapUsed(int sector) {
        Drive().ReadVib(true);
        return layout::BitmapUsed(Drive().VibBuffer(), sector);
    }

    std::string m_folder;
    std::unique_ptr<CProgram> m_program;
    CTreeItem* m_item = nullptr;
    CScriptedMapDialogs m_dialogs;
    int m_alpha = 0;
    int m_beta = 0;
};

TEST_F(MapView, GridOfTheSampleDiskShowsEachSectorsState) {
    EXPECT_EQ(Map().document()->blockCount(), 20);  // 360 sectors, 18 to a line
    QString expected = QString::fromStdString(Map().GridText());
    EXPECT_EQ(Map().toPlainText(), expected.replace("\r\n", "\n"));
    EXPECT_EQ(CellChar(0), 'D');
    EXPECT_EQ(CellChar(1), 'D');
    EXPECT_EQ(CellChar(m_alpha), 'F');
    const int data = Drive().FileToDiskSector(m_alpha, 0);
    EXPECT_EQ(CellChar(data), 'o');
    EXPECT_EQ(CellChar(300), '-');
    EXPECT_EQ(CellColour(300), QColor(0, 0, 255));
    EXPECT_EQ(CellChar(301), '.');
    EXPECT_EQ(CellColour(301), QColor(0, 255, 0));
    EXPECT_EQ(Map().font().pointSize(), 10);
    EXPECT_TRUE(QFontInfo(Map().font()).fixedPitch());

    m_program->App().Options().showBeyondDiskSize = 1;
    Map().Redraw();
    EXPECT_EQ(Map().document()->blockCount(), 89);
    EXPECT_EQ(Map().document()->lastBlock().text().size(), 16);
    EXPECT_EQ(CellChar(400), 'X');
    EXPECT_EQ(CellColour(400), QColor(0, 0, 0));
    // The check that fills the grid leaves no "Checking files" progress up.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Frame().findChildren<QProgressDialog*>().isEmpty());
}

TEST_F(MapView, ClickingACellMovesTheEditorThere) {
    const int w = 18;
    Click(2 * w, 1);  // the left edge of a line's first cell
    EXPECT_EQ(Editor().CurrentSector(), 2 * w);
    EXPECT_EQ(Map().CurrentCell(), 2 * w);
    const int cellWidth = Map().CellRect(0).width();
    Click(45, cellWidth - 2);  // the right half of a cell
    EXPECT_EQ(Editor().CurrentSector(), 45);
    Click(45, cellWidth - 2);  // again: the same cell, not the next one
    EXPECT_EQ(Editor().CurrentSector(), 45);
    // Beside the grid nothing changes.
    const QRect last = Map().CellRect(17);
    EXPECT_EQ(Map().CellAt(QPoint(last.right() + 3 * cellWidth, last.center().y())), -1);

    // Arrow keys move by a cell and by a line; the editor follows.
    for (const auto& [key, expected] : {std::pair{Qt::Key_Right, 46}, std::pair{Qt::Key_Down, 64},
                                        std::pair{Qt::Key_Home, 54}, std::pair{Qt::Key_Left, 53}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&Map(), &press);
        EXPECT_EQ(Editor().CurrentSector(), expected) << key;
    }

    // The editor moving the map's cell does not move the editor again.
    Map().SetCurrentCell(100);
    EXPECT_EQ(Map().CurrentCell(), 100);
    EXPECT_EQ(Editor().CurrentSector(), 53);
}

TEST_F(MapView, MarkUsedAndFreeChangeTheBitmapAndTheCell) {
    Map().MoveCaretTo(200);
    ASSERT_FALSE(BitmapUsed(200));
    ASSERT_TRUE(Frame().Execute(CommandId::MarkUsed));
    EXPECT_TRUE(BitmapUsed(200));
    EXPECT_EQ(CellChar(200), '-');
    EXPECT_EQ(CellColour(200), QColor(0, 0, 255));
    EXPECT_EQ(Map().CurrentCell(), 200);
    ASSERT_TRUE(Frame().Execute(CommandId::MarkFree));
    EXPECT_FALSE(BitmapUsed(200));
    EXPECT_EQ(CellChar(200), '.');
    EXPECT_EQ(CellColour(200), QColor(0, 255, 0));
}

TEST_F(MapView, SelectTogglesTheCurrentCellAndNamesWhatItWillDo) {
    Map().MoveCaretTo(30);
    const CommandState state;
    EXPECT_STREQ(Map().CaptionHere(CommandId::EditSelect, state), "Select sector");
    ASSERT_TRUE(Map().HandleCommand(CommandId::EditSelect));
    EXPECT_TRUE(Map().IsCellSelected(30));
    EXPECT_EQ(CellColour(30), QColor(255, 0, 0));
    EXPECT_STREQ(Map().CaptionHere(CommandId::EditSelect, state), "Deselect sector");
    ASSERT_TRUE(Map().HandleCommand(CommandId::EditSelect));
    EXPECT_FALSE(Map().IsCellSelected(30));
    EXPECT_EQ(CellColour(30), QColor(0, 255, 0));

    Map().SelectCell(1600, true);  // nothing to select there
    EXPECT_EQ(Map().Map().SelectedSectors(), std::vector<int>{});
}

// A disk of 80 tracks: the map draws all 2880 sectors and the editor reads past sector 1599.
TEST_F(MapView, ADiskOf2880SectorsIsDrawnAndReadToItsEnd) {
    const std::string path = m_folder + "/big.dsk";
    test::WriteBytes(path, std::vector<uint8_t>(2880 * 256, 0));
    {
        CVirtualDrive drive;
        ASSERT_NE(drive.OpenImage(path), 0);
        ASSERT_EQ(drive.Format("BIG", true, true, 0, 80), 1);
    }
    CTreeItem* big = Tree().MountByPath(path, nullptr);
    ASSERT_TRUE(big);
    Tree().Select(big);
    QApplication::processEvents();
    ASSERT_EQ(Map().Drive(), big->Drive());
    EXPECT_EQ(Map().Map().CellCount(false), 2880);
    Map().SelectCell(2879, true);
    EXPECT_EQ(Map().Map().SelectedSectors(), std::vector<int>{2879});
    EXPECT_TRUE(Editor().ShowSector(2879));
    EXPECT_FALSE(Editor().ShowSector(2880));
}

TEST_F(MapView, EditSelectionShowsRunsAndReadsTheTextBack) {
    Map().SelectCell(7, true);
    Map().SelectCell(8, true);
    m_dialogs.selections = {"3-5\r\n9"};
    ASSERT_TRUE(Frame().Execute(CommandId::EditSelection));
    EXPECT_EQ(m_dialogs.shownSelection, "7-8");
    EXPECT_EQ(Map().Map().SelectedSectors(), (std::vector<int>{3, 4, 5, 9}));
    EXPECT_EQ(CellColour(4), QColor(255, 0, 0));
    EXPECT_EQ(CellColour(7), QColor(0, 255, 0));
    m_dialogs.selections = {"Sectors 3-5"};
    Frame().Execute(CommandId::EditSelection);
    EXPECT_EQ(Map().Map().SelectedSectors(), std::vector<int>{});
    Map().SelectCell(12, true);
    ASSERT_TRUE(Frame().Execute(CommandId::EditClearSelection));
    EXPECT_EQ(Map().Map().SelectedSectors(), std::vector<int>{});
}

TEST_F(MapView, SelectCurrentFilesSelectsTheirSectorsAndTheEditorStaysInTheFile) {
    List().selectionModel()->clearSelection();
    for (int r = 0; r < List().model()->rowCount(); ++r)
        if (List().model()->index(r, 0).data().toString().trimmed() == "ALPHA")
            List().selectionModel()->select(
                List().model()->index(r, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
    ASSERT_EQ(List().SelectedFdrs(), std::vector<int>{m_alpha});
    ASSERT_TRUE(List().HandleCommand(CommandId::EditSelect));
    std::vector<int> expected = {m_alpha};
    for (int k = 0; k < 3; ++k)
        expected.push_back(Drive().FileToDiskSector(m_alpha, k));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Map().Map().SelectedSectors(), expected);
    EXPECT_EQ(Editor().CurrentSector(), m_alpha);
    EXPECT_TRUE(Editor().StayInFile());
    EXPECT_EQ(Editor().FileLabel(), "ALPHA");
}

TEST_F(MapView, FindSelectsTheMatchingSectorAndReportsNotFound) {
    const int sector = Drive().FileToDiskSector(m_beta, 0);
    m_dialogs.finds = {{Ascii("NEEDLE"), SearchMode::FindNext}};
    ASSERT_TRUE(Frame().Execute(CommandId::EditFind));
    EXPECT_EQ(Map().Map().SelectedSectors(), std::vector<int>{sector});
    EXPECT_EQ(Editor().CurrentSector(), sector);
    EXPECT_EQ(Map().CurrentCell(), sector);
    EXPECT_TRUE(Prompt().messages.empty());
    EXPECT_TRUE(Frame().IsEnabled(CommandId::EditFindNext));
    EXPECT_FALSE(Frame().IsEnabled(CommandId::EditReplace)) << "no replacement set";
    // The matched bytes are marked in the dump.
    EXPECT_FALSE(Editor().extraSelections().isEmpty());

    ASSERT_TRUE(Frame().Execute(CommandId::EditFindNext));
    ASSERT_EQ(Prompt().messages.size(), 1u);
    EXPECT_EQ(Prompt().messages.back(), "Not found");

    SearchForm bad = Ascii("X");
    bad.first = "one";
    m_dialogs.finds = {{bad, SearchMode::FindNext}};
    Frame().Execute(CommandId::EditFind);
    EXPECT_EQ(Prompt().messages.back(), "Invalid number: First sector");
    bad.first = "";
    bad.format = "dvx80";
    m_dialogs.finds = {{bad, SearchMode::FindNext}};
    Frame().Execute(CommandId::EditFind);
    EXPECT_EQ(Prompt().messages.back(), "Invalid format specification");
}

TEST_F(MapView, FindInsideTheFileTheEditorStaysIn) {
    Map().SelectFile(m_alpha);
    m_dialogs.finds = {{Ascii("NEEDLE"), SearchMode::FindAll, true}};
    ASSERT_TRUE(Frame().Execute(CommandId::EditFind));
    EXPECT_EQ(m_dialogs.fileLabel, "ALPHA");
    EXPECT_TRUE(m_dialogs.insideOffered);
    ASSERT_FALSE(Prompt().messages.empty());
    EXPECT_EQ(Prompt().messages.back(), "Not found") << "BETA's data lies outside ALPHA";
    EXPECT_TRUE(Editor().StayInFile());

    // Searching the disk leaves the file only remembered.
    m_dialogs.finds = {{Ascii("NEEDLE"), SearchMode::FindNext, false}};
    ASSERT_TRUE(Frame().Execute(CommandId::EditFind));
    EXPECT_EQ(Editor().CurrentSector(), Drive().FileToDiskSector(m_beta, 0));
    EXPECT_FALSE(Editor().StayInFile());
    EXPECT_EQ(Editor().StayFile(), -m_alpha);
}

TEST_F(MapView, ReplaceWritesTheShownMatchAndListsTheCatalogAgain) {
    const int sector = Drive().FileToDiskSector(m_beta, 0);
    SearchForm form = Ascii("NEEDLE");
    form.replace = "PEBBLE";
    m_dialogs.finds = {{form, SearchMode::FindNext}};
    ASSERT_TRUE(Frame().Execute(CommandId::EditFind));
    EXPECT_TRUE(Frame().IsEnabled(CommandId::EditReplace));
    ASSERT_TRUE(Frame().Execute(CommandId::EditReplace));
    Sector data;
    ASSERT_TRUE(Drive().ReadSector(sector, data.data()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data()) + 40, 16), "PEBBLE IN SECTOR");
    EXPECT_FALSE(Frame().IsEnabled(CommandId::EditReplace)) << "the replaced match is gone";
    EXPECT_EQ(List().model()->rowCount(), 2);
}

TEST_F(MapView, CopyPutsTheGridOnTheClipboard) {
    ASSERT_TRUE(Map().HandleCommand(CommandId::EditCopy));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), Map().GridText());
    EXPECT_EQ(CMapView::ContextEntries(),
              (QStringList{"Mark used", "Mark free", "(Un)Select", "Clear selection"}));
}

TEST_F(MapView, PasteTakesSectorFilesAndDiskClips) {
    std::string& clip = m_program->App().InternalClip();
    clip = FilesClip(m_item->Id(), {m_beta});
    ASSERT_TRUE(Map().HandleCommand(CommandId::EditPaste));
    const int data = Drive().FileToDiskSector(m_beta, 0);
    EXPECT_EQ(Map().Map().SelectedSectors(), (std::vector<int>{m_beta, data}));
    EXPECT_EQ(Editor().CurrentSector(), m_beta);

    clip = "<" + std::to_string(m_item->Id()) + "> Sector: " + std::to_string(data);
    ASSERT_TRUE(Map().HandleCommand(CommandId::EditPaste));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Editor().Buffer().data()) + 40, 6),
              "NEEDLE");

    clip = ItemClip(*m_item);
    ASSERT_TRUE(Map().HandleCommand(CommandId::EditPaste));
    EXPECT_EQ(Editor().Target(), &Drive());
}

TEST_F(MapView, ScreenshotOfTheLowerRow) {
    Map().SelectCell(40, true);
    Map().MoveCaretTo(20);
    QApplication::processEvents();
    const QPixmap shot = Frame().grab();
    EXPECT_FALSE(shot.isNull());
    const QByteArray folder = qgetenv("TAVIK_SHOTS");
    if (!folder.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(folder)).filePath("sector-map.png"));
}

}  // namespace
}  // namespace tavik
