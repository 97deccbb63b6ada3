#include "app/gui/Shell.h"

#include "app/gui/ListeningWindow.h"
#include "app/gui/MainFrame.h"
#include "qt/QtUserPrompt.h"

namespace tavik {

CShell::CShell(CApplication& app, CQtUserPrompt& prompt, QStringList imagePaths,
               CRecentFiles recent)
    : m_app(app),
      m_prompt(prompt),
      m_imagePaths(std::move(imagePaths)),
      m_recent(std::move(recent)) {}

CShell::~CShell() = default;

void CShell::LoadRecentFiles(int) {
    m_recent.Load();
}

void CShell::CreateListeningWindow(const std::string& title) {
    // Hidden: it exists only to be found by the emulator.
    m_listening = std::make_unique<CListeningWindow>(title);
}

void CShell::CreateMainWindow() {
    m_frame = std::make_unique<CMainFrame>(m_app, m_prompt, m_recent);
}

void CShell::OpenDatabase(const std::string& path) {
    m_app.Database().OpenOnStartup(path);
}

bool CShell::ProcessCommandLine() {
    return m_frame->MountCommandLine(m_imagePaths);
}

}  // namespace tavik
