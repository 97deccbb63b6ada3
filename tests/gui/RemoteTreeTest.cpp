// The drive tree with a virtual TI-99/4A on a pseudo-terminal and the emulator peer on the
// local-socket channel: scans, the remote drive text, "Devices", "Refresh", "Unhook", a copy to
// a new image, and the listening window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "EmulatorPeer.h"
#include "GuiFixture.h"
#include "PtyPeer.h"
#include "VirtualTi.h"
#include "app/gui/ListeningWindow.h"
#include "base/PcFile.h"
#include "base/Progress.h"
#include "disk/dialogs/DrivePropertiesDialog.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "remote/LocalSocketChannel.h"
#include "views/DiskView.h"
#include "views/DriveCommands.h"
#include "views/DriveView.h"
#include "views/RemoteTreeCommands.h"
#include "views/TreeItemModel.h"

namespace tavik {
namespace {

using Bytes = std::vector<uint8_t>;
using test::CProgram;

std::vector<std::string> Texts(const CTreeItem* parent) {
    std::vector<std::string> texts;
    for (int i = 0; i < parent->ChildCount(); ++i)
        texts.push_back(parent->Child(i)->Text());
    return texts;
}

std::vector<ItemId> Ids(const CTreeItem* parent) {
    std::vector<ItemId> ids;
    for (int i = 0; i < parent->ChildCount(); ++i)
        ids.push_back(parent->Child(i)->Id());
    return ids;
}

// What the user's click on the progress dialog's Cancel button does.
void ClickCancel(QProgressDialog& progress) {
    for (QPushButton* button : progress.findChildren<QPushButton*>())
        button->click();
}

class RemoteTree : public testing::Test {
protected:
    void SetUp() override {
        m_folder = test::TempFolder();
        // The program's listening window and the emulator meet in the test's own folder.
        if (const char* old = std::getenv("TAVIK_CHANNEL_FOLDER")) m_oldChannelFolder = old;
        setenv("TAVIK_CHANNEL_FOLDER", m_folder.c_str(), 1);
        test::CImageBuilder one(64);
        one.SetName("CABLED");
        one.AddFile(test::BuiltFile::Program("HELLO", Bytes(300, 0x5A)));
        one.AddFile(test::BuiltFile::Program("WORLD", Bytes(600, 0x33)));
        ASSERT_TRUE(WriteWholeFile(m_folder + "/one.dsk", one.Image()));
        test::CImageBuilder two(64);
        two.SetName("SECOND");
        ASSERT_TRUE(WriteWholeFile(m_folder + "/two.dsk", two.Image()));
        test::VirtualCard card;
        card.drives[1].imagePath = m_folder + "/one.dsk";
        card.drives[2].imagePath = m_folder + "/two.dsk";
        m_vti.AddCard(card);
        m_pty = std::make_unique<test::CPtyPeer>(m_vti, m_vti.Mutex());
        m_program = std::make_unique<CProgram>(m_folder);
        ASSERT_TRUE(m_program->Started());
        COptions& o = m_program->App().Options();
        o.contact = ContactCable;
        o.linkMode = LinkSerial;
        o.linkPortName = m_pty->SlavePath();
        o.baudRate = 38400;
        o.linkTimeout = 300;
        o.showRemoteDevices = 0;
    }
    void TearDown() override {
        m_program.reset();
        if (m_pty) m_pty->Stop();
        setenv("TAVIK_CHANNEL_FOLDER", m_oldChannelFolder.c_str(), 1);
    }
    CMainFrame& Frame() { return m_program->Frame(); }
    CDriveView& View() { return *Frame().DriveView(); }
    CTreeModel& Tree() { return m_program->App().Tree(); }
    CTreeItem* Ti() { return Tree().TiRootItem(); }
    CTreeItem* Emulator() { return Tree().EmulatorRootItem(); }
    bool Expanded(CTreeItem* item) { return View().isExpanded(View().ItemModel()->IndexOf(item)); }
    std::vector<std::string>& Messages() { return m_program->Prompt().messages; }
    template <class Fn>
    auto WithTi(Fn fn) {
        std::lock_guard<std::mutex> lock(m_vti.Mutex());
        return fn(m_vti);
    }

    std::string m_folder;
    std::string m_oldChannelFolder;
    test::CVirtualTi m_vti;
    std::unique_ptr<test::CPtyPeer> m_pty;
    std::unique_ptr<CProgram> m_program;
};

TEST_F(RemoteTree, ScanListDevicesAndUnhook) {
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    ASSERT_EQ(Texts(Ti()), (std::vector<std::string>{"DSK1", "DSK2", "DSK3"}))
        << testing::PrintToString(Messages());
    EXPECT_EQ(Ti()->Kind(), NodeKind::TiRootActive);
    EXPECT_TRUE(Expanded(Ti()));
    CTreeItem* dsk1 = Ti()->Child(0);
    EXPECT_EQ(dsk1->Kind(), NodeKind::RemoteDrive);

    // Selecting the drive lists its catalog and shows the disk name in the item.
    View().Select(dsk1);
    CDiskView& list = *Frame().DiskView();
    EXPECT_EQ(list.Drive(), dsk1->Drive());
    EXPECT_EQ(list.model()->rowCount(), 2);
    EXPECT_EQ(dsk1->Text(), "DSK1 [CABLED]");
    EXPECT_TRUE(Frame().IsEnabled(CommandId::RefreshDrive));
    EXPECT_FALSE(Frame().IsEnabled(CommandId::Dismount));

    // The disk is swapped behind the program's back; "Refresh" reads it again.
    test::CImageBuilder swapped(64);
    swapped.SetName("SWAPPED");
    swapped.AddFile(test::BuiltFile::Program("ONLY", Bytes(100, 1)));
    ASSERT_TRUE(WriteWholeFile(m_folder + "/one.dsk", swapped.Image()));
    ASSERT_TRUE(Frame().Execute(CommandId::RefreshDrive));
    EXPECT_EQ(dsk1->Text(), "DSK1 [SWAPPED]");
    EXPECT_EQ(list.model()->rowCount(), 1);

    // "Devices" groups the drives under their card and back.
    ASSERT_TRUE(Frame().Execute(CommandId::ViewDevices));
    EXPECT_EQ(m_program->App().Options().showRemoteDevices, 1);
    ASSERT_EQ(Texts(Ti()), (std::vector<std::string>{"CRU >1100"}));
    EXPECT_EQ(Ti()->Child(0)->Kind(), NodeKind::RemoteDevice);
    EXPECT_EQ(Texts(Ti()->Child(0)), (std::vector<std::string>{"DSK1 [SWAPPED]", "DSK2", "DSK3"}));
    EXPECT_TRUE(Expanded(Ti()->Child(0)));
    EXPECT_TRUE(Frame().Action(CommandId::ViewDevices)->isChecked());
    EXPECT_EQ(list.Drive(), dsk1->Drive());  // the shown drive stays shown
    ASSERT_TRUE(Frame().Execute(CommandId::ViewDevices));
    EXPECT_EQ(Texts(Ti()), (std::vector<std::string>{"DSK1 [SWAPPED]", "DSK2", "DSK3"}));

    // "Unhook" from the TI-99/4A root's menu: the drives go, the panes forget the shown one.
    View().SetContextItem(Ti());
    ASSERT_TRUE(View().HandleCommand(CommandId::Unhook));
    EXPECT_EQ(Ti()->ChildCount(), 0);
    EXPECT_EQ(Ti()->Kind(), NodeKind::TiRoot);
    EXPECT_EQ(list.Drive(), nullptr);
    EXPECT_EQ(list.model()->rowCount(), 0);
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    bool resumed = false;
    for (int i = 0; i < 300 && !resumed; ++i) {
        resumed = WithTi([](test::CVirtualTi& t) { return t.Resumed(); });
        if (!resumed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(resumed);
    // The disk was read through DSR calls; the TI still resumes its own program.
    EXPECT_EQ(WithTi([](test::CVirtualTi& t) { return t.ResumedAt(); }),
              test::CVirtualTi::kProgramResume);
}

TEST_F(RemoteTree, ScanWithDevicesOnAndARescanReplacesTheItems) {
    m_program->App().Options().showRemoteDevices = 1;
    View().SetContextItem(Ti());
    ASSERT_TRUE(View().HandleCommand(CommandId::ScanRemote));  // "Scan" of "TI99 context"
    ASSERT_EQ(Texts(Ti()), (std::vector<std::string>{"CRU >1100"}));
    const std::vector<ItemId> before = Ids(Ti()->Child(0));
    View().Select(Ti()->Child(0)->Child(0));
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    ASSERT_EQ(Ti()->ChildCount(), 1);
    EXPECT_EQ(Texts(Ti()->Child(0)), (std::vector<std::string>{"DSK1", "DSK2", "DSK3"}));
    for (ItemId id : before)
        EXPECT_EQ(Tree().Find(id), nullptr);
    EXPECT_EQ(Frame().DiskView()->Drive(), nullptr);  // the shown drive was replaced
}

TEST_F(RemoteTree, ASilentPortShowsTheErrorAndLeavesTheTreeAsItWas) {
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    const std::vector<ItemId> before = Ids(Ti());
    ASSERT_EQ(before.size(), 3u);
    WithTi([](test::CVirtualTi& t) { t.SetSilent(true); });
    Messages().clear();
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "No DSKx DSR found");
    EXPECT_EQ(Ids(Ti()), before);
    EXPECT_EQ(Ti()->Kind(), NodeKind::TiRootActive);

    Messages().clear();
    ASSERT_TRUE(Frame().Execute(CommandId::Unhook));
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Transmission error");
    EXPECT_EQ(Ids(Ti()), before);
}

TEST_F(RemoteTree, CancelInTheProgressDialogEndsAWaitWithoutTimeOut) {
    m_program->App().Options().linkTimeout = 0;  // the link waits until Escape
    WithTi([](test::CVirtualTi& t) { t.SetSilent(true); });
    bool busyMeanwhile = false;
    bool cancelled = false;
    QTimer::singleShot(500, [&] {
        busyMeanwhile = View().Remote()->Busy();
        View().Remote()->ScanRemote();  // refused: the link is in use
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w)) {
                EXPECT_TRUE(progress->isVisible());
                ClickCancel(*progress);
                cancelled = true;
            }
    });
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(View().Remote()->Busy());
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "No DSKx DSR found");
    EXPECT_EQ(Ti()->ChildCount(), 0);
}

TEST_F(RemoteTree, ARemoteDiskCopiedToANewPcFile) {
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    CTreeItem* dsk1 = Ti()->Child(0);
    const std::string copy = m_folder + "/copy.dsk";
    int dialogs = 0;
    SetStandingAnswer([&](QDialog& d) {
        ++dialogs;
        auto* properties = qobject_cast<CDrivePropertiesDialog*>(&d);
        ASSERT_NE(properties, nullptr);
        EXPECT_EQ(properties->Path(), "CABLED.DSK");  // proposed from the disk name
        properties->SetPath(QString::fromStdString(copy));
        d.accept();
    });
    ASSERT_TRUE(
        Frame().DriveCommands().RunDiskCommand(CommandId::NewPcFile, Tree().PcRootItem(), dsk1));
    EXPECT_EQ(dialogs, 1);
    ASSERT_EQ(Tree().PcRootItem()->ChildCount(), 1);
    CTreeItem* image = Tree().PcRootItem()->Child(0);
    EXPECT_EQ(image->Text(), "CABLED    ");
    EXPECT_EQ(image->Kind(), NodeKind::SectorImage);
    Bytes original, copied;
    ASSERT_TRUE(ReadWholeFile(m_folder + "/one.dsk", original));
    ASSERT_TRUE(ReadWholeFile(copy, copied));
    ASSERT_GE(copied.size(), original.size());
    EXPECT_EQ(Bytes(copied.begin(), copied.begin() + static_cast<long>(original.size())), original);
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
}

TEST_F(RemoteTree, UploadHookThenScan) {
    WithTi([](test::CVirtualTi& t) {
        t.RemoveHook();
        t.StartLoader();
    });
    const Bytes file = test::LoaderHookFile();
    const std::string hook = m_folder + "/HOOK.DF80";
    ASSERT_TRUE(WriteWholeFile(hook, file));
    View().Remote()->SetHookChooser([&] { return hook; });
    m_program->Prompt().answers = {PromptAnswer::Yes};
    ASSERT_TRUE(Frame().Execute(CommandId::SetupUploadHook));
    EXPECT_EQ(m_program->Prompt().questions,
              (std::vector<std::string>{"Hook uploaded. Scan remote TI-99/4A for drives?"}));
    EXPECT_EQ(Texts(Ti()), (std::vector<std::string>{"DSK1", "DSK2", "DSK3"}));

    View().Remote()->SetHookChooser([] { return std::string(); });  // cancelled
    ASSERT_TRUE(Frame().Execute(CommandId::SetupUploadHook));
    EXPECT_EQ(m_program->Prompt().questions.size(), 1u);
}

TEST_F(RemoteTree, TheHookChooserOpensOnTheHookFiles) {
    // A hook file as TI tools write it: a TIFILES header of a DIS/FIX 80 file, then its sectors.
    Bytes hook(128 + 2 * 256, 0);
    const char magic[] = "\x07TIFILES";
    std::copy(magic, magic + 8, hook.begin());
    hook[9] = 2;    // sectors
    hook[11] = 3;   // records per sector
    hook[13] = 80;  // record length
    hook[14] = 5;   // records
    ASSERT_TRUE(WriteWholeFile(m_folder + "/Hook2.DF80", hook));
    ASSERT_TRUE(WriteWholeFile(m_folder + "/GAME.TFI", hook));  // a TI file, but no hook
    m_program->App().Options().lastExchangeFolder = m_folder;
    QStringList listed;
    SetStandingAnswer([&](QDialog& d) {
        auto* chooser = qobject_cast<CTiFileDialog*>(&d);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->NameEdit()->text(), "Hook*.DF80");
        for (int i = 0; i < chooser->List()->topLevelItemCount(); ++i)
            listed << chooser->List()->topLevelItem(i)->text(0);
        chooser->reject();
    });
    ASSERT_TRUE(Frame().Execute(CommandId::SetupUploadHook));
    EXPECT_EQ(listed, QStringList{"Hook2.DF80"});  // only what the preset name matches
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    EXPECT_TRUE(m_program->Prompt().questions.empty());  // nothing was sent
}

TEST_F(RemoteTree, EmulatorScanShowsNamedDrivesAndTheFloppies) {
    ASSERT_TRUE(Frame().Execute(CommandId::ScanEmulator));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Zantu not found"}));
    EXPECT_EQ(Emulator()->ChildCount(), 0);

    test::CImageBuilder a;
    a.SetName("EMUONE");
    a.AddFile(test::BuiltFile::Program("GAME", Bytes(500, 2)));
    ASSERT_TRUE(WriteWholeFile(m_folder + "/a.dsk", a.Image()));
    test::CImageBuilder b;
    b.SetName("EMUTWO");
    ASSERT_TRUE(WriteWholeFile(m_folder + "/b.dsk", b.Image()));
    test::CEmulatorPeer peer(m_folder);
    peer.drives['1'] = {m_folder + "/a.dsk", 1};
    peer.drives['2'] = {m_folder + "/b.dsk", 2};
    peer.floppies = "a.dsk\r\nb.dsk\r\n";
    ASSERT_TRUE(peer.Start(true, false));
    ASSERT_NE(CListeningWindow::Find(), nullptr);
    EXPECT_TRUE(CListeningWindow::Find()->Listening());

    Messages().clear();
    View().SetContextItem(Emulator());
    ASSERT_TRUE(View().HandleCommand(CommandId::ScanEmulator));  // "Scan" of "Zantu context"
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    EXPECT_EQ(Emulator()->Kind(), NodeKind::EmulatorRootActive);
    EXPECT_TRUE(Expanded(Emulator()));
    ASSERT_EQ(Texts(Emulator()),
              (std::vector<std::string>{"DSK1 [EMUONE]", "DSK2 [EMUTWO]", "Floppies"}));
    EXPECT_EQ(Emulator()->Child(0)->Kind(), NodeKind::EmulatorDisk);
    EXPECT_EQ(Emulator()->Child(2)->Kind(), NodeKind::DummyFolder);
    EXPECT_EQ(Texts(Emulator()->Child(2)), (std::vector<std::string>{"a.dsk", "b.dsk"}));

    View().Select(Emulator()->Child(0));
    EXPECT_EQ(Frame().DiskView()->model()->rowCount(), 1);
    EXPECT_EQ(Emulator()->Child(0)->Text(), "DSK1 [EMUONE]");

    ASSERT_TRUE(Frame().Execute(CommandId::ViewDevices));
    EXPECT_EQ(Texts(Emulator()), (std::vector<std::string>{"Floppies", "Ramdisk", "Dravel card"}));

    // An emulator disk copied to a new PC file.
    const std::string copy = m_folder + "/emu-copy.dsk";
    SetStandingAnswer([&](QDialog& d) {
        auto* properties = qobject_cast<CDrivePropertiesDialog*>(&d);
        ASSERT_NE(properties, nullptr);
        EXPECT_EQ(properties->Path(), "EMUONE.DSK");
        properties->SetPath(QString::fromStdString(copy));
        d.accept();
    });
    CTreeItem* dsk1 = Emulator()->Child(1)->Child(0);
    ASSERT_EQ(dsk1->Kind(), NodeKind::EmulatorDisk);
    ASSERT_TRUE(
        Frame().DriveCommands().RunDiskCommand(CommandId::NewPcFile, Tree().PcRootItem(), dsk1));
    Bytes original, copied;
    ASSERT_TRUE(ReadWholeFile(m_folder + "/a.dsk", original));
    ASSERT_TRUE(ReadWholeFile(copy, copied));
    EXPECT_EQ(copied, original);
    EXPECT_EQ(Tree().PcRootItem()->Child(0)->Text(), "EMUONE    ");
    EXPECT_TRUE(Messages().empty()) << testing::PrintToString(Messages());
    peer.Stop();
}

// With TAVIK_SHOTS set to a folder, the window is saved there as remote-tree.png to be looked at.
TEST_F(RemoteTree, WindowWithRemoteAndEmulatorDrives) {
    test::CImageBuilder a;
    a.SetName("EMUGAMES");
    ASSERT_TRUE(WriteWholeFile(m_folder + "/a.dsk", a.Image()));
    test::CEmulatorPeer peer(m_folder);
    peer.drives['1'] = {m_folder + "/a.dsk", 1};
    peer.drives['2'] = {m_folder + "/a.dsk", 1};
    peer.floppies = "DSK1 = games.dsk\r\nDSK2 = tools.dsk\r\n";
    ASSERT_TRUE(peer.Start(true, false));
    m_program->App().Options().showRemoteDevices = 1;
    ASSERT_TRUE(Frame().Execute(CommandId::ScanRemote));
    ASSERT_TRUE(Frame().Execute(CommandId::ScanEmulator));
    View().expand(View().ItemModel()->IndexOf(Emulator()->Child(1)));
    View().Select(Ti()->Child(0)->Child(0));
    Frame().resize(900, 520);
    Frame().show();
    QApplication::processEvents();
    const QPixmap shot = Frame().grab();
    EXPECT_FALSE(shot.isNull());
    const QByteArray folder = qgetenv("TAVIK_SHOTS");
    if (!folder.isEmpty())
        shot.save(QDir(QString::fromLocal8Bit(folder)).filePath("remote-tree.png"));
    Frame().hide();
    peer.Stop();
}

TEST_F(RemoteTree, DrivesGoWithTheWindowWhoseConnectionTheyReadThrough) {
    m_program.reset();
    test::CAnsweringPrompt prompt;
    CApplication app(prompt, m_folder);
    {
        CShell shell(app, prompt, {}, CRecentFiles("TAVIK-tests", "remote"));
        ASSERT_TRUE(app.Startup(shell));
        app.Options().contact = ContactCable;
        app.Options().linkMode = LinkSerial;
        app.Options().linkPortName = m_pty->SlavePath();
        app.Options().linkTimeout = 300;
        app.Options().showRemoteDevices = 0;
        ASSERT_TRUE(shell.Frame()->Execute(CommandId::ScanRemote));
        ASSERT_EQ(app.Tree().TiRootItem()->ChildCount(), 3);
    }
    // The tree lives on with the application object; no drive in it points at a gone link.
    EXPECT_EQ(app.Tree().TiRootItem()->ChildCount(), 0);
    EXPECT_EQ(app.Tree().TiRootItem()->Kind(), NodeKind::TiRoot);
}

TEST(QtUserPromptTest, AnEndedProgressDialogDoesNotLeaveF4Held) {
    CQtUserPrompt prompt;
    { const CProgress copy(prompt, "Copying sectors", 10); }
    EXPECT_FALSE(prompt.KeyHeld(PolledKey::F4));
    {
        CProgress copy(prompt, "Copying sectors", 10);
        copy.Step(3);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w)) ClickCancel(*progress);
        EXPECT_TRUE(prompt.KeyHeld(PolledKey::F4));  // a real Cancel still counts
    }
    EXPECT_FALSE(prompt.KeyHeld(PolledKey::F4));
}

TEST(ListeningWindowTest, HiddenTitledWindowWithItsTextThatOwnsTheChannel) {
    const std::string folder = test::TempFolder();
    {
        CListeningWindow window("TAVIK listening", folder);
        EXPECT_EQ(window.windowTitle(), "TAVIK listening");
        EXPECT_FALSE(window.isVisible());
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0]->text(), "This window is used to communicate with Zantu");
        EXPECT_TRUE(window.Listening());
        EXPECT_EQ(CListeningWindow::Find(), &window);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(folder + "/TAVIK listening")));
        // A second program finds the window taken.
        CListeningWindow other("TAVIK listening", folder);
        EXPECT_FALSE(other.Listening());
    }
    EXPECT_EQ(CListeningWindow::Find(), nullptr);
    CLocalSocketChannel after(folder);
    EXPECT_TRUE(after.Listen());  // the window's socket went with it
}

}  // namespace
}  // namespace tavik
