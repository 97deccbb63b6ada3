// Progress, results and failures as a user meets them in the whole window: no progress outlives
// its operation or covers a question, a Cancel ends with the loop it was pressed in, the status
// bar says what an operation achieved, and a failing PC file is named with the system's reason.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <filesystem>

#include "GuiFixture.h"
#include "app/Options.h"
#include "base/Progress.h"
#include "database/dialogs/RecordDialog.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "views/DiskView.h"
#include "views/DriveView.h"
#include "views/FileCommands.h"

namespace tavik {
namespace {

using test::CProgram;

// A moment of a user's time: timers run and windows show as they would meanwhile.
void Pause() {
    QTest::qWait(400);
}

QProgressDialog* VisibleProgress() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(w); progress && w->isVisible())
            return progress;
    return nullptr;
}

class ProgressJourneys : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
        for (const char* name : {"ONE", "TWO", "THREE"}) {
            const std::string file = m_folder + "/" + name + ".dsk";
            m_disks.push_back(Tree().MountByPath(
                test::WriteImage(m_folder, name + std::string(".dsk"), name, 4), nullptr));
            ASSERT_TRUE(m_disks.back()) << file;
        }
        Frame().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    }
    void TearDown() override { ClearAnswers(); }

    CMainFrame& Frame() { return m_program->Frame(); }
    CDriveView& Tree() { return *Frame().DriveView(); }
    test::CAnsweringPrompt& Prompt() { return m_program->Prompt(); }
    std::string StatusText() { return Frame().statusBar()->currentMessage().toStdString(); }
    // The program's windows a user sees besides the main window.
    std::vector<std::string> OtherWindows() {
        std::vector<std::string> shown;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &Frame() && w->isVisible())
                shown.push_back(std::string(w->metaObject()->className()) + " " +
                                w->windowTitle().toStdString());
        return shown;
    }

    std::string m_folder;
    std::unique_ptr<CProgram> m_program;
    std::vector<CTreeItem*> m_disks;
};

TEST_F(ProgressJourneys, AWalkThroughTheTreeWithAdvancedOnLeavesOnlyTheMainWindow) {
    if (!m_program->App().Options().advancedView) {
        ASSERT_TRUE(Frame().Execute(CommandId::ViewAdvanced));
    }
    ASSERT_TRUE(m_program->App().Options().advancedView);
    Tree().setFocus();
    const std::vector<CTreeItem*> clicks = {m_disks[0], m_disks[1], m_disks[2], m_disks[0]};
    for (CTreeItem* item : clicks) {
        Tree().Select(item);
        Pause();
        EXPECT_EQ(OtherWindows(), std::vector<std::string>{}) << "after clicking " << item->Text();
    }
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(&Tree(), Qt::Key_Down);
        Pause();
        EXPECT_EQ(OtherWindows(), std::vector<std::string>{}) << "after key step " << step;
    }
    EXPECT_EQ(Prompt().questions, std::vector<std::string>{});
    EXPECT_EQ(Prompt().messages, std::vector<std::string>{});
}

TEST_F(ProgressJourneys, AddDiskShowsEachReviewUncoveredAndItsBarMoves) {
    const std::string catalogue = m_folder + "/Catalogue";
    std::vector<int> barAtReviews;
    int coveredReviews = 0;
    SetStandingAnswer([&](QDialog& d) {
        if (AnswerFileDialog(d, catalogue)) return;
        auto* review = dynamic_cast<CRecordDialog*>(&d);
        ASSERT_TRUE(review);
        Pause();  // the user reads the record
        if (VisibleProgress()) ++coveredReviews;
        if (auto* progress = Frame().findChild<QProgressDialog*>())
            barAtReviews.push_back(progress->value());
        review->accept();
    });
    ASSERT_TRUE(Frame().Execute(CommandId::DbNew));
    ASSERT_TRUE(m_program->App().Options().reviewDiskInfo &&
                m_program->App().Options().reviewFileInfo);
    Tree().Select(m_disks[0]);
    Pause();
    ASSERT_TRUE(Frame().Execute(CommandId::DbAddDisk));
    EXPECT_EQ(coveredReviews, 0);
    ASSERT_EQ(barAtReviews.size(), 1u + 4u) << "the disk's review and one per file";
    EXPECT_TRUE(std::is_sorted(barAtReviews.begin(), barAtReviews.end()));
    EXPECT_LT(barAtReviews.front(), barAtReviews.back());
    EXPECT_EQ(StatusText(), "Added 1 disk to the catalogue");
    Pause();
    EXPECT_EQ(OtherWindows(), std::vector<std::string>{});
}

TEST_F(ProgressJourneys, AddDiskOnAFolderStepsPerDiskAndPerFile) {
    const std::string shelf = m_folder + "/shelf";
    std::filesystem::create_directory(shelf);
    // Files of the same content: one (CRC-F of that file) and two (CRC-F 0) are told apart.
    test::WriteImage(shelf, "FOUR.dsk", "FOUR", 1);
    test::WriteImage(shelf, "FIVE.dsk", "FIVE", 2);
    SetStandingAnswer([&](QDialog& d) { AnswerFileDialog(d, m_folder + "/Catalogue"); });
    ASSERT_TRUE(Frame().Execute(CommandId::DbNew));
    m_program->App().Options().reviewDiskInfo = 0;
    m_program->App().Options().reviewFileInfo = 0;
    Tree().MountPcFolder(shelf);
    CTreeItem* root = m_program->App().Tree().PcRootItem();
    CTreeItem* folder = nullptr;
    for (int i = 0; i < root->ChildCount(); ++i)
        if (root->Child(i)->Kind() == NodeKind::PcFolder) folder = root->Child(i);
    ASSERT_TRUE(folder);
    Tree().Select(folder);
    Prompt().progressTexts.clear();
    ASSERT_TRUE(Frame().Execute(CommandId::DbAddDisk));
    EXPECT_EQ(StatusText(), "Added 2 disks to the catalogue");
    const std::vector<std::string> expected = {"Adding FIVE to the database",
                                               "Adding FIVE to the database\nReading files",
                                               "Adding FIVE to the database\nRecording files",
                                               "Adding FIVE to the database",
                                               "Adding FOUR to the database",
                                               "Adding FOUR to the database\nReading files",
                                               "Adding FOUR to the database\nRecording files",
                                               "Adding FOUR to the database"};
    EXPECT_EQ(Prompt().progressTexts, expected);
}

TEST_F(ProgressJourneys, ACancelEndsWithTheLoopItWasPressedIn) {
    struct Case {
        const char* what;
        PromptAnswer answer;  // to the loop's question; none asked when the loop polls no more
        int polls;
    };
    for (const Case& c : {Case{"pressed at the last step", PromptAnswer::Yes, 0},
                          Case{"answered No", PromptAnswer::No, 2}}) {
        Prompt().questions.clear();
        Prompt().answers = {c.answer};
        {
            CProgress copy(Prompt(), "Copying files", 3);
            copy.Step(1);
            Pause();
            QProgressDialog* shown = VisibleProgress();
            ASSERT_TRUE(shown) << c.what;
            const QByteArray shots = qgetenv("TAVIK_SHOTS");
            if (!shots.isEmpty())
                Frame().screen()->grabWindow(0).save(
                    QDir(QString::fromLocal8Bit(shots)).filePath("progress.png"));
            for (QPushButton* button : shown->findChildren<QPushButton*>())
                button->click();
            for (int poll = 0; poll < c.polls; ++poll)
                EXPECT_FALSE(copy.AbortRequested("Abort copy?")) << c.what;
        }
        EXPECT_EQ(Prompt().questions.size(), c.polls ? 1u : 0u) << c.what;
        EXPECT_EQ(OtherWindows(), std::vector<std::string>{}) << c.what;
        // The next operations, unrelated, ask nothing.
        Prompt().questions.clear();
        Tree().Select(m_disks[1]);
        ASSERT_TRUE(Frame().Execute(CommandId::DiskDiagnose));
        Tree().Select(m_disks[2]);
        EXPECT_EQ(Prompt().questions, std::vector<std::string>{}) << c.what;
    }
}

TEST_F(ProgressJourneys, TheStatusBarSaysWhatFinished) {
    EXPECT_EQ(StatusText(), "Ready");
    Tree().Select(m_disks[0]);
    Frame().DiskView()->selectAll();
    SetStandingAnswer([&](QDialog& d) {
        auto& chooser = dynamic_cast<CTiFileDialog&>(d);
        chooser.NameEdit()->setText(
            QString::fromStdString(m_folder + "/" + chooser.NameEdit()->text().toStdString()));
        chooser.accept();
    });
    ASSERT_TRUE(Frame().Execute(CommandId::FileExport));
    EXPECT_EQ(StatusText(), "Exported 4 files to " + m_folder + "/");
    const QByteArray shots = qgetenv("TAVIK_SHOTS");
    if (!shots.isEmpty())
        Frame().grab().save(
            QDir(QString::fromLocal8Bit(shots)).filePath("status-after-export.png"));
    ClearAnswers();

    ASSERT_TRUE(Frame().Execute(CommandId::DiskDefragment));
    EXPECT_EQ(StatusText(), "Defragmented ONE");
}

TEST_F(ProgressJourneys, AFailingPcFileIsNamedWithTheSystemsReason) {
    const std::string missing = m_folder + "/no such folder/GAMMA";
    struct Case {
        const char* what;
        std::function<void()> run;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"export into a missing folder",
         [&] {
             Tree().Select(m_disks[0]);
             Frame().DiskView()->selectAll();
             SetNextAnswer([&](QDialog& d) {
                 auto& chooser = dynamic_cast<CTiFileDialog&>(d);
                 chooser.NameEdit()->setText(QString::fromStdString(missing));
                 chooser.accept();
             });
             SetStandingAnswer([](QDialog& d) { d.reject(); });
             Frame().Execute(CommandId::FileExport);
         },
         "Can't open file on PC\n" + missing + ": No such file or directory"},
        {"import of a missing file", [&] { Frame().FileCommands().Import({missing}); },
         "Cannot open PC file\n" + missing + ": No such file or directory"},
        {"mount of a missing image", [&] { Tree().MountByPath(missing, nullptr); },
         "Can't open file on PC\n" + missing + ": No such file or directory"},
    };
    for (const Case& c : cases) {
        Prompt().messages.clear();
        c.run();
        ClearAnswers();
        EXPECT_EQ(Prompt().messages, std::vector<std::string>{c.message}) << c.what;
    }
}

}  // namespace
}  // namespace tavik
