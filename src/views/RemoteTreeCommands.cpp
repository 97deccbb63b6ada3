#include "views/RemoteTreeCommands.h"

#include <QDialog>
#include <QLineEdit>
#include <optional>

#include "app/Options.h"
#include "app/RemoteConnection.h"
#include "app/RemoteTree.h"
#include "base/Progress.h"
#include "exchange/TiFileChooser.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "qt/QtUserPrompt.h"
#include "remote/LocalSocketChannel.h"
#include "views/DriveView.h"

namespace tavik {

namespace {
constexpr const char* kHookFilePattern = "Hook*.DF80";
}

// The prompt of the remote connection. While a scan, unhook or upload runs, the progress
// dialog's Cancel also counts as Escape held, which is what the link's waits poll; at other
// times (a disk copy from a remote drive) it counts as F4 only, so the copy asks before it stops.
class CRemoteTreeCommands::CWaitPrompt : public CUserPrompt {
public:
    explicit CWaitPrompt(CQtUserPrompt& prompt) : m_prompt(prompt) {}
    void SetCancelIsEscape(bool on) { m_cancelIsEscape = on; }

    void Message(const std::string& text, PromptIcon icon) override {
        m_prompt.Message(text, icon);
    }
    PromptAnswer Ask(const std::string& text, PromptButtons buttons) override {
        return m_prompt.Ask(text, buttons);
    }
    bool KeyHeld(PolledKey key) override {
        if (key == PolledKey::Escape && m_cancelIsEscape)
            return m_prompt.KeyHeld(PolledKey::Escape) || m_prompt.KeyHeld(PolledKey::F4);
        return m_prompt.KeyHeld(key);
    }

protected:
    void ShowProgress(const std::string& what, int done, int total) override {
        ShowProgressOn(m_prompt, what, done, total);
    }
    void EndProgress() override { EndProgressOn(m_prompt); }

private:
    CQtUserPrompt& m_prompt;
    bool m_cancelIsEscape = false;
};

// A remote command from start to end: the progress dialog (window-modal once it shows, so the
// tree takes no clicks that would talk to the link in the middle of the command) and the flag
// that refuses a second command meanwhile.
class CRemoteTreeCommands::CBusy {
public:
    CBusy(CRemoteTreeCommands& commands, const char* what) : m_commands(commands) {
        m_commands.m_busy = true;
        m_commands.m_waitPrompt->SetCancelIsEscape(true);
        m_progress.emplace(*m_commands.m_waitPrompt, what, 1);
    }
    ~CBusy() {
        m_progress.reset();
        m_commands.m_waitPrompt->SetCancelIsEscape(false);
        m_commands.m_busy = false;
    }
    CBusy(const CBusy&) = delete;
    CBusy& operator=(const CBusy&) = delete;

private:
    CRemoteTreeCommands& m_commands;
    std::optional<CProgress> m_progress;
};

CRemoteTreeCommands::CRemoteTreeCommands(CDriveView& view, COptions& options, CQtUserPrompt& prompt,
                                         CLocalSocketChannel* channel, QWidget* window)
    : QObject(window), m_view(view), m_options(options), m_prompt(prompt), m_window(window) {
    if (!channel) {
        m_ownChannel = std::make_unique<CLocalSocketChannel>();
        m_ownChannel->Listen();
        channel = m_ownChannel.get();
    }
    m_channel = channel;
    m_waitPrompt = std::make_unique<CWaitPrompt>(m_prompt);
    m_connection = std::make_unique<CRemoteConnection>(*m_waitPrompt, *m_channel);
    ApplySettings(options);
}

CRemoteTreeCommands::~CRemoteTreeCommands() {
    // The drives of both roots read through this connection: they go before it does.
    CTreeModel& tree = m_view.Tree();
    for (CTreeItem* root : {tree.TiRootItem(), tree.EmulatorRootItem()})
        if (root && root->ChildCount() > 0) ClearRootDrives(tree, root);
}

void CRemoteTreeCommands::ApplySettings(const COptions& options) {
    m_connection->ApplySettings(RemoteOptionsOf(options));
}

void CRemoteTreeCommands::ScanRemote() {
    if (m_busy) return;
    CBusy busy(*this, "Scanning remote TI-99/4A");
    RunScanRemote();
}

void CRemoteTreeCommands::RunScanRemote() {
    m_connection->ScanRemote(m_view.Tree(), RemoteOptionsOf(m_options));
}

void CRemoteTreeCommands::Unhook() {
    if (m_busy) return;
    {
        CBusy busy(*this, "Unhooking TI-99/4A");
        m_connection->Unhook(m_view.Tree(), RemoteOptionsOf(m_options));
    }
    m_view.ShowItem(m_view.SelectedItem());
}

void CRemoteTreeCommands::ScanEmulator() {
    if (m_busy) return;
    // The emulator answers into the listening window; it may have been taken by another
    // program when this one started.
    if (!m_channel->Listen()) {
        m_prompt.Message(
            std::string("Another program holds the window \"") + kSystemListeningTitle + "\"",
            PromptIcon::Error);
        return;
    }
    CBusy busy(*this, "Scanning Zantu");
    m_connection->ScanEmulator(m_view.Tree(), RemoteOptionsOf(m_options));
}

void CRemoteTreeCommands::ApplyDevices() {
    ShowDeviceNodes(m_view.Tree(), m_options.showRemoteDevices != 0);
}

std::string CRemoteTreeCommands::ChooseHookFile() {
    if (m_chooseHook) return m_chooseHook();
    CTiFileDialog chooser(ChooseUpload, {}, m_options.lastExchangeFolder, m_window);
    // A typed pattern filters the listing: the chooser opens on the hook files.
    chooser.NameEdit()->setText(kHookFilePattern);
    chooser.accept();
    if (RunDialog(chooser) != QDialog::Accepted || chooser.Files().empty()) return {};
    return chooser.Files().front();
}

void CRemoteTreeCommands::UploadHook() {
    if (m_busy) return;
    const std::string path = ChooseHookFile();
    if (path.empty()) return;
    CBusy busy(*this, "Uploading hook");
    if (m_connection->UploadHook(path, RemoteOptionsOf(m_options)) == UploadOutcome::ScanRequested)
        RunScanRemote();
}

}  // namespace tavik
