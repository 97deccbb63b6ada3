#include "views/RemoteTreeCommands.h"

#include <QDialog>
#include <QLineEdit>

#include "app/Options.h"
#include "exchange/TiFileChooser.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "remote/LocalSocketChannel.h"
#include "views/DriveView.h"
#include "views/QtUserPrompt.h"
#include "views/RemoteConnection.h"
#include "views/RemoteTree.h"

namespace tavik {

namespace {
constexpr const char* kHookFilePattern = "Hook*.DF80";
}

CRemoteTreeCommands::CRemoteTreeCommands(CDriveView& view, COptions& options, CQtUserPrompt& prompt,
                                         CLocalSocketChannel* channel, QWidget* window)
    : QObject(window), m_view(view), m_options(options), m_prompt(prompt), m_window(window) {
    if (!channel) {
        m_ownChannel = std::make_unique<CLocalSocketChannel>();
        m_ownChannel->Listen();
        channel = m_ownChannel.get();
    }
    m_channel = channel;
    m_connection = std::make_unique<CRemoteConnection>(m_prompt, *m_channel);
    ApplySettings(options);
}

CRemoteTreeCommands::~CRemoteTreeCommands() = default;

void CRemoteTreeCommands::ApplySettings(const COptions& options) {
    m_connection->ApplySettings(RemoteOptionsOf(options));
}

void CRemoteTreeCommands::ScanRemote() {
    m_connection->ScanRemote(m_view.Tree(), RemoteOptionsOf(m_options));
    m_prompt.EndProgress();
}

void CRemoteTreeCommands::Unhook() {
    m_connection->Unhook(m_view.Tree(), RemoteOptionsOf(m_options));
    m_prompt.EndProgress();
    m_view.ShowItem(m_view.SelectedItem());
}

void CRemoteTreeCommands::ScanEmulator() {
    // The emulator answers into the listening window; it may have been taken by another
    // program when this one started.
    if (!m_channel->Listen()) {
        m_prompt.Message(
            std::string("Another program holds the window \"") + kSystemListeningTitle + "\"",
            PromptIcon::Error);
        return;
    }
    m_connection->ScanEmulator(m_view.Tree(), RemoteOptionsOf(m_options));
    m_prompt.EndProgress();
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
    if (chooser.exec() != QDialog::Accepted || chooser.Files().empty()) return {};
    return chooser.Files().front();
}

void CRemoteTreeCommands::UploadHook() {
    const std::string path = ChooseHookFile();
    if (path.empty()) return;
    const UploadOutcome outcome = m_connection->UploadHook(path, RemoteOptionsOf(m_options));
    m_prompt.EndProgress();
    if (outcome == UploadOutcome::ScanRequested) ScanRemote();
}

}  // namespace tavik
