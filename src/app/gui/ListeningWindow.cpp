#include "app/gui/ListeningWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>

#include "remote/EmulatorChannel.h"
#include "remote/LocalSocketChannel.h"

namespace tavik {

namespace {

constexpr int kPumpIntervalMs = 100;

std::string ChannelFolder(const std::string& folder) {
    if (!folder.empty()) return folder;
    const char* chosen = std::getenv("TAVIK_CHANNEL_FOLDER");
    return chosen && *chosen ? std::string(chosen) : std::string();
}

}  // namespace

CListeningWindow::CListeningWindow(const std::string& title, const std::string& folder)
    : QWidget(nullptr),
      m_channel(std::make_unique<CLocalSocketChannel>(ChannelFolder(folder))),
      m_pump(new QTimer(this)) {
    setWindowTitle(QString::fromStdString(title));
    setObjectName("ListeningWindow");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(kSystemListeningText));
    m_listening = m_channel->Listen();
    connect(m_pump, &QTimer::timeout, this, [this] { m_channel->Pump(); });
    m_pump->start(kPumpIntervalMs);
}

CListeningWindow::~CListeningWindow() = default;

CListeningWindow* CListeningWindow::Find() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<CListeningWindow*>(w);
        if (window && window->windowTitle() == kSystemListeningTitle) return window;
    }
    return nullptr;
}

}  // namespace tavik
