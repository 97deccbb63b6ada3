// The drive tree's commands for the cabled TI-99/4A and the emulator: "Scan remote TI-99/4a",
// "Unhook TI-99/4A", "Scan Zantu", the "Devices" view flag and "Upload hook...". The work is the
// remote connection's; this class hands it the options and the tree, shows the result in the
// tree view and closes the progress dialog afterwards.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

class QDialog;
class QWidget;

namespace tavik {

class CDriveView;
class CLocalSocketChannel;
class COptions;
class CQtUserPrompt;
class CRemoteConnection;

class CRemoteTreeCommands : public QObject {
    Q_OBJECT
public:
    // channel: the listening window's end of the emulator channel; without one the commands
    // keep a channel of their own.
    CRemoteTreeCommands(CDriveView& view, COptions& options, CQtUserPrompt& prompt,
                        CLocalSocketChannel* channel, QWidget* window);
    ~CRemoteTreeCommands() override;

    void ScanRemote();
    void Unhook();
    void ScanEmulator();
    // After the "Devices" flag changed.
    void ApplyDevices();
    void UploadHook();
    // The options sheet's OK and a loaded workspace hand the link its settings here.
    void ApplySettings(const COptions& options);

    CRemoteConnection& Connection() { return *m_connection; }
    CLocalSocketChannel& Channel() { return *m_channel; }

    // Tests choose the hook file instead of a user ("" cancels).
    void SetHookChooser(std::function<std::string()> chooser) { m_chooseHook = std::move(chooser); }

    // True while a scan, unhook or upload runs (the link is busy; others are refused).
    bool Busy() const { return m_busy; }

private:
    class CWaitPrompt;
    class CBusy;
    std::string ChooseHookFile();
    void RunScanRemote();

    CDriveView& m_view;
    COptions& m_options;
    CQtUserPrompt& m_prompt;
    QWidget* m_window;
    std::unique_ptr<CWaitPrompt> m_waitPrompt;
    bool m_busy = false;
    std::unique_ptr<CLocalSocketChannel> m_ownChannel;
    CLocalSocketChannel* m_channel;
    std::unique_ptr<CRemoteConnection> m_connection;
    std::function<std::string()> m_chooseHook;
};

}  // namespace tavik
