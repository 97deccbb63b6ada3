// The platform steps of the start-up order: recent files, the main window, the database and
// the command line, as the application object calls them.
#pragma once

#include <QStringList>
#include <memory>

#include "app/Application.h"
#include "app/gui/RecentFiles.h"

namespace tavik {

class CMainFrame;
class CQtUserPrompt;

class CShell : public CShellHost {
public:
    CShell(CApplication& app, CQtUserPrompt& prompt, QStringList imagePaths,
           CRecentFiles recent = CRecentFiles());
    ~CShell() override;

    void LoadRecentFiles(int count) override;
    void CreateListeningWindow(const std::string& title) override;
    void CreateMainWindow() override;
    void OpenDatabase(const std::string& path) override;
    bool ProcessCommandLine() override;

    CMainFrame* Frame() const { return m_frame.get(); }

private:
    CApplication& m_app;
    CQtUserPrompt& m_prompt;
    QStringList m_imagePaths;
    CRecentFiles m_recent;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace tavik
