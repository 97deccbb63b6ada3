// The sector editor in the whole program: typing through key events, the Sector menu's commands
// with their dialogs answered by the tests, the status panes, and the map marks a comparison
// leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCharFormat>

#include "GuiFixture.h"
#include "disk/dialogs/SectorDialogs.h"
#include "qt/DialogRunner.h"
#include "views/DriveView.h"
#include "views/EditorView.h"
#include "views/MapView.h"

namespace tavik {
namespace {

using test::BuiltFile;
using test::CImageBuilder;
using test::CProgram;

// A disk with one file in two clusters (five data sectors) and sectors 100-104 numbered.
std::string WriteDisk(const std::string& folder, const std::string& file, const std::string& name,
                      uint8_t fill) {
    CImageBuilder image;
    image.SetName(name);
    BuiltFile split = BuiltFile::Program("SPLIT", std::vector<uint8_t>(5 * 256, 0x22));
    split.clusterSizes = {2, 3};
    image.AddFile(split);
    std::vector<uint8_t> bytes = image.Image();
    for (int n = 100; n < 105; ++n)
        std::fill_n(bytes.begin() + 256 * n, 256, static_cast<uint8_t>(fill + n));
    const std::string path = folder + "/" + file;
    test::WriteBytes(path, bytes);
    return path;
}

std::vector<uint8_t> FileSector(const std::string& path, int n) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(256 * n)) return {};
    const QByteArray data = f.read(256);
    return std::vector<uint8_t>(data.begin(), data.end());
}

class SectorEditor : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
        Frame().show();
        ASSERT_TRUE(Frame().Execute(CommandId::ViewAdvanced));
        m_path = WriteDisk(m_folder, "edit.dsk", "EDITED", 0);
        m_item = Tree().MountByPath(m_path, nullptr);
        ASSERT_TRUE(m_item);
        Tree().Select(m_item);
        ASSERT_EQ(Editor().Drive(), m_item->Drive());
        Editor().setFocus();
        Frame().SetActivePane(Pane::SectorEditor);
    }
    CMainFrame& Frame() { return m_program->Frame(); }
    CDriveView& Tree() { return *Frame().DriveView(); }
    CEditorView& Editor() { return *Frame().EditorView(); }
    CMapView& Map() { return *Frame().MapView(); }
    test::CAnsweringPrompt& Prompt() { return m_program->Prompt(); }
    bool Run(CommandId id) { return Frame().Execute(id); }

    void Key(int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        // Each press is a new one (the Insert toggle tells presses apart by their time).
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        press.setTimestamp(++m_time);
        QApplication::sendEvent(&Editor(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        release.setTimestamp(++m_time);
        QApplication::sendEvent(&Editor(), &release);
    }
    void Type(const QString& text) {
        for (QChar c : text)
            Key(c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                             : Qt::Key_0 + (c.unicode() - '0'),
                QString(c));
    }
    // The next dialog gets these answers; SaveAs and Read share the number dialog.
    void AnswerNumber(const QString& sector, bool toTarget = false, const QString& last = {},
                      bool free = false) {
        SetNextAnswer([=](QDialog& d) {
            auto& dialog = dynamic_cast<CSectorNumberDialog&>(d);
            dialog.SetSectorText(sector);
            dialog.SetLastText(last);
            dialog.SetToTarget(toTarget);
            if (free)
                dialog.PressFree();
            else
                dialog.accept();
        });
    }
    void AnswerRun(const QString& from, const QString& to, bool toTarget,
                   const QString& destinationFrom, const QString& destinationTo = {},
                   bool markUsed = false) {
        SetNextAnswer([=](QDialog& d) {
            auto& dialog = dynamic_cast<CSectorRunDialog&>(d);
            dialog.SetTexts(from, to, destinationFrom, destinationTo);
            dialog.SetToTarget(toTarget);
            dialog.SetMarkUsed(markUsed);
            dialog.accept();
        });
    }
    CTreeItem* MountOther(uint8_t fill) {
        m_otherPath = WriteDisk(m_folder, "other.dsk", "OTHER", fill);
        return Tree().MountByPath(m_otherPath, nullptr);
    }
    QColor ColourAt(int line, int column) {
        const QTextBlock block = Editor().document()->findBlockByNumber(line);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int at = f.position() - block.position();
            if (column >= at && column < at + f.length())
                return f.charFormat().foreground().color();
        }
        return {};
    }

    std::string m_folder, m_path, m_otherPath;
    std::unique_ptr<CProgram> m_program;
    CTreeItem* m_item = nullptr;
    unsigned long m_time = 1000;
};

TEST_F(SectorEditor, TypedDigitsAndCharactersEditTheBufferAndSaveWritesTheDisk) {
    ASSERT_TRUE(Editor().ShowSector(100));
    EXPECT_EQ(Editor().Buffer()[0], 100);
    Type("4a");
    Type("z");  // no hex digit: nothing
    EXPECT_EQ(Editor().Buffer()[0], 0x4A);
    EXPECT_EQ(Editor().Buffer()[1], 100);
    EXPECT_EQ(Editor().CaretPosition(), (Caret{0, dump::HexColumn(1)}));
    Editor().SetCaretPosition({1, dump::CharColumn(0)});
    Type("Q");
    EXPECT_EQ(Editor().Buffer()[16], 'Q');
    // The edited bytes show red in both parts, the others do not.
    EXPECT_EQ(ColourAt(0, dump::HexColumn(0)), QColor(255, 0, 0));
    EXPECT_EQ(ColourAt(0, dump::CharColumn(0)), QColor(255, 0, 0));
    EXPECT_NE(ColourAt(0, dump::HexColumn(1)), QColor(255, 0, 0));
    EXPECT_EQ(Editor().document()->findBlockByNumber(0).text().left(10), "00: 4A 64 ");
    // Nothing is on the disk before Save.
    EXPECT_EQ(FileSector(m_path, 100)[0], 100);
    ASSERT_TRUE(Run(CommandId::SectorSave));
    const std::vector<uint8_t> saved = FileSector(m_path, 100);
    EXPECT_EQ(saved[0], 0x4A);
    EXPECT_EQ(saved[16], 'Q');
    EXPECT_NE(ColourAt(0, dump::HexColumn(0)), QColor(255, 0, 0));
    EXPECT_TRUE(Prompt().messages.empty());
}

TEST_F(SectorEditor, InsertModeAndTheDeleteKeyShiftTheSector) {
    ASSERT_TRUE(Editor().ShowSector(100));  // every byte 100
    Key(Qt::Key_Insert);
    Type("41");
    EXPECT_EQ(Editor().Buffer()[0], 0x41);
    EXPECT_EQ(Editor().Buffer()[1], 100);
    Key(Qt::Key_Insert);  // overwrite again
    Editor().SetCaretPosition({0, dump::HexColumn(0)});
    ASSERT_TRUE(Run(CommandId::DeleteKey));
    EXPECT_EQ(Editor().Buffer()[0], 100);
    Type("1");
    EXPECT_EQ(Editor().Buffer()[0], 0x14);
    EXPECT_EQ(Editor().Buffer()[1], 100);
}

TEST_F(SectorEditor, TheReadDialogRefusesNumbersOutsideTheDrive) {
    AnswerNumber("1601");
    Run(CommandId::SectorRead);
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Invalid sector number"}));
    EXPECT_EQ(Editor().CurrentSector(), 0);
    AnswerNumber("0x64");
    Run(CommandId::SectorRead);
    EXPECT_EQ(Editor().CurrentSector(), 100);
    EXPECT_EQ(Map().CurrentCell(), 100);
    EXPECT_EQ(Frame().StatusPaneTexts().value(2), "100: 64");
}

TEST_F(SectorEditor, SaveAsWritesToTheTargetDiskOrMovesOnThisOne) {
    ASSERT_TRUE(Editor().ShowSector(101));
    AnswerNumber("50", true);
    Run(CommandId::SectorSaveAs);
    EXPECT_EQ(Prompt().messages,
              (std::vector<std::string>{"Target disk in undefined. Drag one into sector editor."}));
    Prompt().messages.clear();

    CTreeItem* other = MountOther(0x10);
    ASSERT_TRUE(other);
    Tree().Select(m_item);
    m_program->App().InternalClip() = "<" + std::to_string(other->Id()) + "> Disk: OTHER";
    ASSERT_TRUE(Run(CommandId::EditPaste));
    EXPECT_EQ(Editor().Target(), other->Drive());
    Frame().UpdateCommands();
    EXPECT_EQ(Frame().StatusPaneTexts().value(0), "To " + QString::fromStdString(other->Text()));

    AnswerNumber("50", true);
    Run(CommandId::SectorSaveAs);
    EXPECT_TRUE(Prompt().messages.empty());
    EXPECT_EQ(FileSector(m_otherPath, 50)[0], 101);
    EXPECT_EQ(Editor().CurrentSector(), 101);

    AnswerNumber("60");
    Run(CommandId::SectorSaveAs);
    EXPECT_EQ(FileSector(m_path, 60)[0], 101);
    EXPECT_EQ(Editor().CurrentSector(), 60);
}

TEST_F(SectorEditor, CompareMarksTheDifferingSectorsAndShowsPartnersDifferences) {
    CTreeItem* other = MountOther(0);
    ASSERT_TRUE(other);
    // Sector 102 differs from its partner in one byte.
    Sector changed{};
    ASSERT_TRUE(other->Drive()->ReadSector(102, changed.data()));
    changed[5] ^= 0xFF;
    ASSERT_TRUE(other->Drive()->WriteSector(102, changed.data()));
    Tree().Select(m_item);
    m_program->App().CurrentDisk().SetTarget(other);

    AnswerRun("100", "104", true, "100");
    Run(CommandId::SectorCompare);
    EXPECT_TRUE(Prompt().messages.empty());
    for (int n = 100; n <= 104; ++n)
        EXPECT_EQ(Map().IsCellSelected(n), n == 102) << n;
    EXPECT_EQ(Editor().CurrentSector(), 102);
    EXPECT_EQ(Map().CurrentCell(), 102);
    EXPECT_EQ(Editor().Reference()[5], changed[5]);
    EXPECT_EQ(ColourAt(0, dump::HexColumn(5)), QColor(255, 0, 0));
    EXPECT_NE(ColourAt(0, dump::HexColumn(4)), QColor(255, 0, 0));
    // Outside the range the reference is the sector itself again.
    ASSERT_TRUE(Editor().ShowSector(105));
    EXPECT_EQ(Editor().Reference(), Editor().Buffer());

    // A bad number names the field.
    AnswerRun("100", "1600", true, "100");
    Run(CommandId::SectorCompare);
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Invalid sector number: 1600"}));
}

TEST_F(SectorEditor, SwapTargetShowsTheTargetAndSwapsTheSidesOfAComparison) {
    CTreeItem* other = MountOther(0);
    ASSERT_TRUE(other);
    Tree().Select(m_item);
    EXPECT_FALSE(Frame().IsEnabled(CommandId::SectorSwapTarget));
    m_program->App().CurrentDisk().SetTarget(other);
    EXPECT_TRUE(Frame().IsEnabled(CommandId::SectorSwapTarget));
    ASSERT_TRUE(Run(CommandId::SectorSwapTarget));
    EXPECT_EQ(Tree().CurrentDriveItem(), other);
    EXPECT_EQ(Editor().Drive(), other->Drive());
    EXPECT_EQ(Editor().Target(), m_item->Drive());

    // A comparison of 100-101 on this disk against 103-104 of the target, swapped.
    AnswerRun("100", "101", true, "103");
    Run(CommandId::SectorCompare);
    ASSERT_TRUE(Editor().Range().Active());
    EXPECT_EQ(Editor().CurrentSector(), 100);
    ASSERT_TRUE(Run(CommandId::SectorSwapTarget));
    EXPECT_EQ(Editor().Drive(), m_item->Drive());
    EXPECT_EQ(Editor().CurrentSector(), 103);
    EXPECT_EQ(Editor().Range().first, 103);
    EXPECT_EQ(Editor().Range().other, other->Drive());
    EXPECT_TRUE(Map().IsCellSelected(103));
    EXPECT_EQ(Editor().Reference()[0], 100);  // the partner on the other disk
    EXPECT_TRUE(Prompt().messages.empty());
}

TEST_F(SectorEditor, MovesInAFileFollowItsSectorsAndTheCaptionsSaySo) {
    // The file's FDR is the first sector after the index.
    CVirtualDrive& drive = *m_item->Drive();
    const int fdr = drive.FindFile("SPLIT");
    ASSERT_GE(fdr, 2);
    Frame().UpdateCommands();
    EXPECT_EQ(Frame().Action(CommandId::SectorNextTrack)->text(), "Next track");
    EXPECT_FALSE(Frame().IsEnabled(CommandId::SectorStayInFile));
    EXPECT_EQ(Frame().StatusPaneTexts().value(1), "No file selected");

    Editor().SetStayInFile(fdr, drive.GetFileName(fdr));
    ASSERT_TRUE(Editor().ShowSector(fdr));
    Frame().UpdateCommands();
    EXPECT_EQ(Frame().Action(CommandId::SectorNextTrack)->text(), "Next cluster");
    EXPECT_EQ(Frame().Action(CommandId::SectorPreviousTrack)->text(), "Previous cluster");
    EXPECT_TRUE(Frame().Action(CommandId::SectorStayInFile)->isChecked());
    EXPECT_EQ(Frame().StatusPaneTexts().value(1), "SPLIT [FDR]");

    const int first = drive.FileToDiskSector(fdr, 0);
    Run(CommandId::SectorNext);
    EXPECT_EQ(Editor().CurrentSector(), first);
    EXPECT_EQ(Frame().StatusPaneTexts().value(1), "SPLIT [0]");
    Run(CommandId::SectorNextTrack);  // the second cluster
    EXPECT_EQ(Editor().CurrentSector(), drive.FileToDiskSector(fdr, 2));
    Run(CommandId::SectorNextTrack);  // on to the last sector
    EXPECT_EQ(Editor().CurrentSector(), drive.FileToDiskSector(fdr, 4));
    Run(CommandId::SectorNext);  // the end of the file: nowhere
    EXPECT_EQ(Editor().CurrentSector(), drive.FileToDiskSector(fdr, 4));
    Run(CommandId::SectorPreviousTrack);
    Run(CommandId::SectorPreviousTrack);
    EXPECT_EQ(Editor().CurrentSector(), first);
    Run(CommandId::SectorPrevious);
    EXPECT_EQ(Editor().CurrentSector(), fdr);
    Frame().UpdateCommands();
    EXPECT_EQ(Frame().StatusPaneTexts().value(1), "SPLIT [FDR]");

    // F5 keeps the file remembered but moves on the disk again, track by track.
    Run(CommandId::SectorStayInFile);
    Frame().UpdateCommands();
    EXPECT_FALSE(Frame().Action(CommandId::SectorStayInFile)->isChecked());
    EXPECT_EQ(Frame().Action(CommandId::SectorNextTrack)->text(), "Next track");
    ASSERT_TRUE(Editor().ShowSector(5));
    Run(CommandId::SectorNextTrack);
    EXPECT_EQ(Editor().CurrentSector(), 9);
    Run(CommandId::SectorNextTrack);
    EXPECT_EQ(Editor().CurrentSector(), 18);
    Run(CommandId::SectorPrevious);
    EXPECT_EQ(Editor().CurrentSector(), 17);

    // A file handed over as only remembered keeps its label but confines nothing.
    Editor().SetStayInFile(-fdr, "SPLIT");
    EXPECT_FALSE(Editor().StayInFile());
    EXPECT_TRUE(Frame().IsEnabled(CommandId::SectorStayInFile));
    Run(CommandId::SectorStayInFile);
    EXPECT_EQ(Editor().StayFile(), fdr);
}

TEST_F(SectorEditor, CopyAndMarkChangeSectorsAndTheBitmap) {
    AnswerRun("100", "101", false, "200", "", true);
    Run(CommandId::SectorCopy);
    EXPECT_TRUE(Prompt().messages.empty());
    EXPECT_EQ(FileSector(m_path, 200)[0], 100);
    EXPECT_EQ(FileSector(m_path, 201)[0], 101);
    auto used = [&](int n) { return (FileSector(m_path, 0)[56 + n / 8] >> (n % 8)) & 1; };
    EXPECT_TRUE(used(200));
    EXPECT_TRUE(used(201));

    AnswerNumber("200", false, "201", true);  // "Free"
    Run(CommandId::SectorMark);
    EXPECT_FALSE(used(200));
    EXPECT_FALSE(used(201));
    AnswerNumber("300", false, "");  // "Used", one sector
    Run(CommandId::SectorMark);
    EXPECT_TRUE(used(300));
    EXPECT_FALSE(used(301));
    AnswerNumber("300", false, "zz");
    Run(CommandId::SectorMark);
    EXPECT_EQ(Prompt().messages, (std::vector<std::string>{"Invalid sector number: zz"}));
}

TEST_F(SectorEditor, CopyAndPasteOfSectorClipsGoThroughTheInternalClip) {
    ASSERT_TRUE(Editor().ShowSector(104));
    ASSERT_TRUE(Run(CommandId::EditCopy));
    EXPECT_EQ(m_program->App().InternalClip(),
              "<" + std::to_string(m_item->Id()) + "> Sector: 104");
    ASSERT_TRUE(Editor().ShowSector(100));
    ASSERT_TRUE(Run(CommandId::EditPaste));
    EXPECT_EQ(Editor().Buffer()[0], 104);  // in the buffer, not yet on the disk
    EXPECT_EQ(Editor().CurrentSector(), 100);
    EXPECT_EQ(FileSector(m_path, 100)[0], 100);
}

TEST_F(SectorEditor, ATargetDiskThatIsDismountedIsForgotten) {
    CTreeItem* other = MountOther(0);
    ASSERT_TRUE(other);
    Tree().Select(m_item);
    m_program->App().InternalClip() = "<" + std::to_string(other->Id()) + "> Disk: OTHER";
    Run(CommandId::EditPaste);
    ASSERT_EQ(Editor().Target(), other->Drive());
    Tree().SetContextItem(other);
    Tree().DismountItem();
    EXPECT_EQ(Editor().Target(), nullptr);

    // A target the tree chose and the editor has since replaced: dismounting the old one
    // leaves the editor's own target alone.
    CTreeItem* first = MountOther(0);
    CTreeItem* second = MountOther(0);
    ASSERT_TRUE(first && second);
    Tree().SetContextItem(first);
    Tree().SelectAsTarget();
    m_program->App().InternalClip() = "<" + std::to_string(second->Id()) + "> Disk: OTHER";
    Tree().Select(m_item);
    Run(CommandId::EditPaste);
    ASSERT_EQ(Editor().Target(), second->Drive());
    Tree().SetContextItem(first);
    Tree().DismountItem();
    EXPECT_EQ(Editor().Target(), second->Drive());
}

TEST_F(SectorEditor, ADriveItemDroppedOnTheEditorBecomesTheTarget) {
    CTreeItem* other = MountOther(0);
    ASSERT_TRUE(other);
    Tree().Select(m_item);
    QMimeData mime;
    mime.setData("application/x-tavik-tree-item", QByteArray::number(other->Id()));
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Editor().viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Editor().viewport(), &drop);
    EXPECT_EQ(Editor().Target(), other->Drive());
    EXPECT_EQ(Editor().TargetStatus(), "To " + QString::fromStdString(other->Text()));
    EXPECT_EQ(Editor().Drive(), m_item->Drive()) << "the shown disk stays";
    // A folder is no target.
    mime.setData("application/x-tavik-tree-item",
                 QByteArray::number(Tree().Tree().PcRootItem()->Id()));
    QDragEnterEvent again(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Editor().viewport(), &again);
    QDropEvent folder(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Editor().viewport(), &folder);
    EXPECT_EQ(Editor().Target(), other->Drive());
}

TEST_F(SectorEditor, AnUnreadableSectorIsReportedAndTheShownOneStays) {
    ASSERT_TRUE(Editor().ShowSector(100));
    Type("99");
    EXPECT_FALSE(Editor().ShowSector(1600));
    ASSERT_EQ(Prompt().messages.size(), 1u);
    EXPECT_EQ(Prompt().messages[0], m_item->Drive()->ErrorText());
    EXPECT_EQ(Editor().CurrentSector(), 100);
    EXPECT_EQ(Editor().Buffer()[0], 0x99) << "the edit is kept";
    EXPECT_FALSE(Editor().ShowSector(1601));  // refused without reading
    EXPECT_EQ(Prompt().messages.size(), 1u);
}

TEST_F(SectorEditor, AScreenshotOfTheEditor) {
    ASSERT_TRUE(Editor().ShowSector(2));
    Type("41");
    const QPixmap shot = Frame().grab();
    EXPECT_FALSE(shot.isNull());
    const QByteArray folder = qgetenv("TAVIK_SHOTS");
    if (!folder.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(folder)).filePath("sector-editor.png"));
    // The editor alone, tall enough for its 16 lines.
    Frame().Rows()->setSizes({200, 400});
    const QPixmap pane = Editor().grab();
    if (!folder.isEmpty())
        pane.save(QDir(QString::fromLocal8Bit(folder)).filePath("sector-editor-pane.png"));
}

}  // namespace
}  // namespace tavik
