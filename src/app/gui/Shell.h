// The platform steps of the start-up order: recent files, the main window, the database and
// the command line, as the application object calls them.
#pragma once

#include <QStringList>
#include <memory>

#include "app/Application.h"
#include "app/gui/RecentFiles.h"

namespace tavik {

class CListeningWindow;
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
    // Created before the main window and gone after it: the frame's drives use its channel.
    std::unique_ptr<CListeningWindow> m_listening;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace tavik
