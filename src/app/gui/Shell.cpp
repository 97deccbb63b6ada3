#include "app/gui/Shell.h"

#include "app/gui/MainFrame.h"
#include "views/QtUserPrompt.h"

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

void CShell::CreateListeningWindow(const std::string&) {
    // The emulator reaches the program through the remote layer's channel, opened with it.
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
