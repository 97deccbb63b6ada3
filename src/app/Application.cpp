#include "Application.h"

#include <filesystem>

#include "app/PathRules.h"

namespace tavik {

namespace {
std::string CurrentDirectory() {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}
}  // namespace

// The default workspace is tied to the directory of the start, so that a later change of the
// current directory cannot send the exit save elsewhere.
CApplication::CApplication(CUserPrompt& prompt, std::string workingDirectory)
    : m_prompt(prompt),
      m_workingDirectory(workingDirectory.empty() ? CurrentDirectory()
                                                  : std::move(workingDirectory)),
      m_database(m_options, m_tree, prompt),
      m_workspace(m_options, m_tree, prompt) {
    m_workspace.SetDefaultPath(
        m_workingDirectory.empty()
            ? std::string(kDefaultWorkspaceName)
            : (std::filesystem::path(m_workingDirectory) / kDefaultWorkspaceName).string());
}

bool CApplication::Startup(CShellHost& host) {
    host.LoadRecentFiles(kRecentFileCount);
    host.CreateListeningWindow(kListeningWindowTitle);
    host.CreateMainWindow();
    if (m_tree.RootCount() == 0) m_tree.CreateRoots();
    m_workspace.LoadWorkspace();
    if (m_options.openDatabaseOnStartup != 0 && !m_options.databasePath.empty())
        host.OpenDatabase(m_options.databasePath);
    if (!host.ProcessCommandLine()) return false;
    m_log.EnableIfPresent(m_workingDirectory);
    return true;
}

void CApplication::ExitCommand() {
    switch (m_options.saveOnExit) {
        case SaveAlways:
            m_workspace.SaveWorkspace();
            break;
        case SaveNever:
            break;
        default:
            if (m_prompt.Ask("Save workspace?", PromptButtons::YesNo) == PromptAnswer::Yes)
                m_workspace.SaveWorkspace();
            break;
    }
}

void CApplication::EndOfRun() {
    m_log.WriteFile(m_prompt);
}

std::string CApplication::WorkspaceDialogFolder() const {
    std::string folder = FolderPart(m_workspace.DefaultPath());
    return folder.empty() ? m_workingDirectory : folder;
}

}  // namespace tavik
