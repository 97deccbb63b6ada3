// The hidden top-level window titled "TAVIK listening" through which the emulator reaches the
// program: it owns the program's end of the emulator channel (a local socket named after the
// title) and services it while the program is idle, so an emulator that calls between two
// requests is answered too. Its only text reads "This window is used to communicate with Zantu".
#pragma once

#include <QWidget>
#include <memory>
#include <string>

class QTimer;

namespace tavik {

class CLocalSocketChannel;

class CListeningWindow : public QWidget {
    Q_OBJECT
public:
    // folder: where the channel's sockets live; "" for the folder named by the environment
    // variable TAVIK_CHANNEL_FOLDER, else the user's runtime folder.
    explicit CListeningWindow(const std::string& title, const std::string& folder = {});
    ~CListeningWindow() override;

    CLocalSocketChannel& Channel() const { return *m_channel; }
    // False when another program holds the window's socket.
    bool Listening() const { return m_listening; }

    // The program's listening window, found by its title among the top-level windows.
    static CListeningWindow* Find();

private:
    std::unique_ptr<CLocalSocketChannel> m_channel;
    QTimer* m_pump;
    bool m_listening = false;
};

}  // namespace tavik
