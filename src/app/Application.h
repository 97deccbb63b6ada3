// The application object: the one options object, the drive tree, the workspace, the log, the
// internal clip and the disk the panes show, and the order in which the program starts and
// ends. The desktop program supplies the platform steps through CShellHost and calls Startup,
// ExitCommand and EndOfRun.
#pragma once

#include <string>

#include "app/CatalogueHost.h"
#include "app/CurrentDisk.h"
#include "app/LogFile.h"
#include "app/Options.h"
#include "app/TreeModel.h"
#include "app/Workspace.h"
#include "base/UserPrompt.h"

namespace tavik {

inline constexpr int kRecentFileCount = 4;
inline constexpr const char* kListeningWindowTitle = "TAVIK listening";

class CShellHost {
public:
    virtual ~CShellHost() = default;
    virtual void LoadRecentFiles(int count) = 0;
    // The hidden window (or socket) through which the emulator reaches the program.
    virtual void CreateListeningWindow(const std::string& title) = 0;
    // Main window with tool bar, status bar, panes and views. The panes start at two thirds and
    // one third of the client height (COptions::SetInitialRowHeights).
    virtual void CreateMainWindow() = 0;
    virtual void OpenDatabase(const std::string& path) = 0;
    // False ends the program.
    virtual bool ProcessCommandLine() = 0;
};

class CApplication {
public:
    // Records the working directory; the options get their defaults.
    explicit CApplication(CUserPrompt& prompt, std::string workingDirectory = {});

    // In this order: recent files, listening window, main window and the tree's roots, the
    // default workspace, the database when "Open on startup" is set, the command line, the log.
    // False when the command line failed: the program ends.
    bool Startup(CShellHost& host);

    // The Drive menu's "Exit": saves the default workspace after "Save on exit" ("Always",
    // "Never", or "Ask me" with the question "Save workspace?"). Values outside the list ask.
    void ExitCommand();
    // At the very end of the run: writes the log.
    void EndOfRun();

    COptions& Options() { return m_options; }
    CTreeModel& Tree() { return m_tree; }
    // The one catalogue database of the run.
    CCatalogueHost& Database() { return m_database; }
    CWorkspace& Workspace() { return m_workspace; }
    CLogFile& Log() { return m_log; }
    CUserPrompt& Prompt() { return m_prompt; }
    const std::string& WorkingDirectory() const { return m_workingDirectory; }
    // The folder the save and load dialogs of the workspace open in.
    std::string WorkspaceDialogFolder() const;
    // Shared by the tree, the catalog list and the sector editor for copy and paste.
    std::string& InternalClip() { return m_clip; }
    // The disk the panes show and the sector editor's target.
    CCurrentDisk& CurrentDisk() { return m_currentDisk; }

private:
    CUserPrompt& m_prompt;
    std::string m_workingDirectory;
    COptions m_options;
    CTreeModel m_tree;
    CCatalogueHost m_database;
    CWorkspace m_workspace;
    CLogFile m_log;
    std::string m_clip;
    CCurrentDisk m_currentDisk{m_tree};
};

}  // namespace tavik
