// The main window: two rows split in two columns each (drive tree and catalog list above,
// sector map and sector editor below, the lower row only with "Advanced"), the menus, toolbar,
// shortcuts and status bar of the command table, and the routing of every command to the
// focused pane first and then to the pane that owns it.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/Command.h"
#include "app/LayoutHost.h"
#include "app/gui/RecentFiles.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;

namespace tavik {

class CApplication;
class CDatabaseCommands;
class CDiskObserver;
class CDiskView;
class CQueryCommands;
class CDriveCommands;
class CDriveView;
class CEditorView;
class CFileCommands;
class CMapView;
class CQtUserPrompt;

class CMainFrame : public QMainWindow, public CLayoutHost {
    Q_OBJECT
public:
    CMainFrame(CApplication& app, CQtUserPrompt& prompt, CRecentFiles recent = CRecentFiles());
    ~CMainFrame() override;

    // The command line: each image path is mounted under "PC" (the last one selected). False
    // when one cannot be mounted (its error was shown).
    bool MountCommandLine(const QStringList& imagePaths);
    // "Exit", as the window's close button: asks about an edited sector, saves after "Save on
    // exit", then closes.
    void ExitCommand();

    // Runs a command as the menu, toolbar and shortcuts do; false when its rule disables it.
    bool Execute(CommandId id);
    // Evaluates every enabling rule, caption and check mark now.
    void UpdateCommands();
    CommandState GatherState() const;
    bool IsEnabled(CommandId id) const;

    void CaptureLayout(COptions& options) override;
    void ApplyLayout(COptions& options) override;
    // The column splits and the rows after advancedView, the window left as it is.
    void ApplyPanes(COptions& options);

    QAction* Action(CommandId id) const { return m_actions[static_cast<int>(id)]; }
    QMenu* RecentMenuAnchor() const { return m_driveMenu; }
    CDriveView* DriveView() const { return m_driveView; }
    CDiskView* DiskView() const { return m_diskView; }
    CMapView* MapView() const { return m_mapView; }
    CEditorView* EditorView() const { return m_editorView; }
    CQtUserPrompt& Prompt() const { return m_prompt; }
    CDriveCommands& DriveCommands() const { return *m_driveCommands; }
    CFileCommands& FileCommands() const { return *m_fileCommands; }
    CDatabaseCommands& DatabaseCommands() const { return *m_databaseCommands; }
    CQueryCommands& QueryCommands() const { return *m_queryCommands; }
    CRecentFiles& Recent() { return m_recent; }
    QSplitter* Rows() const { return m_rows; }
    QSplitter* TopRow() const { return m_topRow; }
    QSplitter* BottomRow() const { return m_bottomRow; }
    // The pane the commands go to first (the last of the four that had the focus).
    Pane ActivePane() const { return m_activePane; }
    void SetActivePane(Pane pane) { m_activePane = pane; }
    CCommandTarget* Target(Pane pane) const;
    QStringList StatusPaneTexts() const;
    // The PC file of the disk selected in the tree, as the status bar shows it (full path).
    QString StatusDiskFile() const;

    // Opens a recent-file entry: mounted as an image under "PC"; removed when that fails.
    void OpenRecent(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The four panes, as the observers of the current disk.
    std::array<CDiskObserver*, 4> Observers() const;
    void CreateActions();
    void CreateMenus();
    void CreateToolbar();
    void CreateStatusBar();
    void RebuildRecentMenu();
    void UpdateStatusPanes();
    bool RunFrameCommand(CommandId id);
    void ToggleAdvanced();
    void ToggleDevices();
    void ToggleFullPathNames();
    void SwitchPane(int step);
    void ShowOptions();
    // The catalog list's columns from the options' catalog specification and sizes.
    void ApplyCatalogSpecification();
    void SaveWorkspaceAs();
    void LoadWorkspaceFrom();
    void About();

    CApplication& m_app;
    CQtUserPrompt& m_prompt;
    CRecentFiles m_recent;
    QSplitter* m_rows = nullptr;
    QSplitter* m_topRow = nullptr;
    QSplitter* m_bottomRow = nullptr;
    CDriveView* m_driveView = nullptr;
    CDiskView* m_diskView = nullptr;
    CMapView* m_mapView = nullptr;
    CEditorView* m_editorView = nullptr;
    std::unique_ptr<CDriveCommands> m_driveCommands;
    std::unique_ptr<CFileCommands> m_fileCommands;
    std::unique_ptr<CDatabaseCommands> m_databaseCommands;
    std::unique_ptr<CQueryCommands> m_queryCommands;
    std::array<QAction*, kCommandCount> m_actions{};
    QMenu* m_driveMenu = nullptr;
    QAction* m_recentAnchor = nullptr;
    std::vector<QAction*> m_recentActions;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_diskFilePane = nullptr;
    QLabel* m_targetPane = nullptr;
    QLabel* m_filePane = nullptr;
    QLabel* m_sectorPane = nullptr;
    QLabel* m_capsPane = nullptr;
    QLabel* m_numPane = nullptr;
    QLabel* m_insertPane = nullptr;
    Pane m_activePane = Pane::None;
    bool m_exiting = false;
};

}  // namespace tavik
