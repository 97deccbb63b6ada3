#include "app/gui/MainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/Application.h"
#include "app/CommandTable.h"
#include "app/PathRules.h"
#include "app/gui/ListeningWindow.h"
#include "app/gui/OptionsSheet.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "qt/Icons.h"
#include "qt/QtText.h"
#include "qt/QtUserPrompt.h"
#include "views/DatabaseCommands.h"
#include "views/DiskView.h"
#include "views/DriveCommands.h"
#include "views/DriveView.h"
#include "views/DropRouter.h"
#include "views/EditorView.h"
#include "views/FileCommands.h"
#include "views/MapView.h"
#include "views/QueryCommands.h"
#include "views/RemoteTreeCommands.h"
#include "views/TreeItemModel.h"

namespace tavik {

namespace {

constexpr int kShowNormal = 1;  // the show states the placement records
constexpr int kShowMinimised = 2;
constexpr int kShowMaximised = 3;
constexpr int kDiskFilePaneWidth = 200;  // the status bar's PC file, elided in the middle

}  // namespace

CMainFrame::CMainFrame(CApplication& app, CQtUserPrompt& prompt, CRecentFiles recent)
    : m_app(app), m_prompt(prompt), m_recent(std::move(recent)) {
    m_prompt.SetParentWidget(this);
    setWindowTitle("TAVIK");
    setWindowIcon(TreeIcon(NodeKind::SectorImage));
    m_recent.Load();

    if (m_app.Tree().RootCount() == 0) m_app.Tree().CreateRoots();
    // The panes never hold each other: each observes the current disk they share.
    const PaneContext context{m_app.Tree(), m_app.Options(), m_prompt, m_app.InternalClip(),
                              m_app.CurrentDisk()};
    m_driveView = new CDriveView(context);
    m_diskView = new CDiskView(context);
    m_mapView = new CMapView(context);
    m_editorView = new CEditorView(context);
    for (CDiskObserver* pane : Observers())
        m_app.CurrentDisk().AddObserver(pane);
    connect(m_editorView, &CEditorView::StatusChanged, this, &CMainFrame::UpdateStatusPanes);
    m_driveCommands =
        std::make_unique<CDriveCommands>(*m_driveView, m_app.Options(), m_prompt, this);
    m_driveView->SetDialogs(m_driveCommands.get());
    m_fileCommands = std::make_unique<CFileCommands>(*m_diskView, context, this);
    m_diskView->SetFileCommands(m_fileCommands.get());
    auto* drops = new CDropRouter(*m_driveView, *m_fileCommands, m_prompt, this);
    m_driveView->SetDropRouter(drops);
    m_diskView->SetDropRouter(drops);
    m_databaseCommands =
        std::make_unique<CDatabaseCommands>(m_app, *m_driveView, *m_diskView, m_prompt, this);
    m_queryCommands = std::make_unique<CQueryCommands>(*m_driveView, m_app.Database().Catalogue(),
                                                       m_prompt, this, m_app.WorkingDirectory());
    m_driveView->SetQueryHandler(m_queryCommands.get());
    m_queryCommands->SetListHooks(
        {[this](CTreeItem* node) { m_databaseCommands->RunQueryItem(node); },
         [this] { m_diskView->Clear(); },
         [this] { return m_diskView->Mode() == ListMode::SavedQueries; },
         [this] { m_databaseCommands->ShowSavedQueries(); },
         [this] { m_databaseCommands->Redraw(); }});
    CListeningWindow* listening = CListeningWindow::Find();
    auto* remote = new CRemoteTreeCommands(*m_driveView, m_app.Options(), m_prompt,
                                           listening ? &listening->Channel() : nullptr, this);
    m_driveView->SetRemote(remote);
    m_app.Workspace().SetLinkSettingsHandler(
        [remote](const COptions& options) { remote->ApplySettings(options); });
    connect(m_driveView, &CDriveView::ImageMounted, this, [this](const QString& path) {
        m_recent.Add(path);
        RebuildRecentMenu();
    });

    m_topRow = new QSplitter(Qt::Horizontal);
    m_topRow->addWidget(m_driveView);
    m_topRow->addWidget(m_diskView);
    m_bottomRow = new QSplitter(Qt::Horizontal);
    m_bottomRow->addWidget(m_mapView);
    m_bottomRow->addWidget(m_editorView);
    m_rows = new QSplitter(Qt::Vertical);
    m_rows->addWidget(m_topRow);
    m_rows->addWidget(m_bottomRow);
    m_rows->setChildrenCollapsible(false);
    // Both rows grow with the window; the lower one keeps its share of every change.
    m_rows->setStretchFactor(0, 3);
    m_rows->setStretchFactor(1, 2);
    m_topRow->setChildrenCollapsible(false);
    m_bottomRow->setChildrenCollapsible(false);
    setCentralWidget(m_rows);

    ApplyCatalogSpecification();
    CreateActions();
    CreateMenus();
    CreateToolbar();
    CreateStatusBar();
    m_app.Workspace().SetLayoutHost(this);

    // First start: the platform's placement; the rows three fifths and two fifths of the client
    // area, the tree a third of the width; the lower row waits for "Advanced".
    resize(1000, 720);
    const int client = 720 - 90;
    m_app.Options().SetInitialRowHeights(client);
    m_rows->setSizes({m_app.Options().topRowHeight, m_app.Options().bottomRowHeight});
    m_topRow->setSizes({300, 680});
    m_bottomRow->setSizes({420, 560});
    m_bottomRow->setVisible(m_app.Options().advancedView != 0);
    m_driveView->expand(m_driveView->ItemModel()->IndexOf(m_app.Tree().PcRootItem()));

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now) return;
        const std::pair<QWidget*, Pane> panes[] = {{m_driveView, Pane::DriveTree},
                                                   {m_diskView, Pane::CatalogList},
                                                   {m_mapView, Pane::SectorMap},
                                                   {m_editorView, Pane::SectorEditor}};
        for (const auto& [w, pane] : panes)
            if (w == now || w->isAncestorOf(now)) m_activePane = pane;
    });
    connect(&m_prompt, &CQtUserPrompt::InsertModeChanged, this,
            [this](bool) { UpdateStatusPanes(); });
    // Enabling rules are evaluated while idle, as well as when a menu opens.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::UpdateCommands);
    idle->start(250);
    UpdateCommands();
}

CMainFrame::~CMainFrame() {
    for (CDiskObserver* pane : Observers())
        m_app.CurrentDisk().RemoveObserver(pane);
}

std::array<CDiskObserver*, 4> CMainFrame::Observers() const {
    return {m_driveView, m_diskView, m_mapView, m_editorView};
}

// ---- Commands -------------------------------------------------------------------------------

void CMainFrame::CreateActions() {
    for (const CommandEntry& e : AllCommands()) {
        auto* a = new QAction(e.caption, this);
        QList<QKeySequence> keys;
        for (const char* k : e.shortcuts)
            keys << QKeySequence(k);
        a->setShortcuts(keys);
        a->setStatusTip(Q(StatusPrompt(e)));
        a->setToolTip(Q(TooltipPrompt(e)));
        a->setCheckable(e.checkable);
        const QIcon icon = CommandIcon(e.id);
        if (!icon.isNull()) a->setIcon(icon);
        // A menu draws a checked item with an icon as a pressed icon, without a tick.
        if (e.checkable) a->setIconVisibleInMenu(false);
        const CommandId id = e.id;
        connect(a, &QAction::triggered, this, [this, id] { Execute(id); });
        m_actions[static_cast<int>(e.id)] = a;
        addAction(a);  // shortcuts of commands without a menu item work too
    }
}

void CMainFrame::CreateMenus() {
    for (const MenuSpec& spec : MenuLayout()) {
        QMenu* menu = menuBar()->addMenu(spec.title);
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
        if (QString(spec.title) == "&Drive") m_driveMenu = menu;
        for (const MenuLine& line : spec.lines) {
            switch (line.kind) {
                case MenuLine::Command:
                    menu->addAction(Action(line.id));
                    break;
                case MenuLine::Separator:
                    menu->addSeparator();
                    break;
                case MenuLine::Submenu: {
                    QMenu* sub = menu->addMenu(line.title);
                    connect(sub, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
                    for (CommandId id : line.submenu)
                        sub->addAction(Action(id));
                    break;
                }
                case MenuLine::RecentFiles:
                    m_recentAnchor = menu->addSeparator();
                    m_recentAnchor->setVisible(false);
                    break;
            }
        }
    }
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    if (!m_driveMenu || !m_recentAnchor) return;
    for (QAction* a : m_recentActions) {
        m_driveMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    const QStringList& entries = m_recent.Entries();
    if (entries.isEmpty()) {
        auto* none = new QAction("Recent File", this);
        none->setEnabled(false);
        m_driveMenu->insertAction(m_recentAnchor, none);
        m_recentActions.push_back(none);
        return;
    }
    for (int i = 0; i < entries.size(); ++i) {
        const QString path = entries[i];
        auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(path), this);
        a->setStatusTip("Open this document");
        connect(a, &QAction::triggered, this, [this, path] { OpenRecent(path); });
        m_driveMenu->insertAction(m_recentAnchor, a);
        m_recentActions.push_back(a);
    }
}

void CMainFrame::OpenRecent(const QString& path) {
    CTreeItem* item = m_driveView->MountByPath(path.toStdString(), nullptr);
    if (!item) {
        m_recent.Remove(path);
    } else {
        m_driveView->Select(item);
    }
    RebuildRecentMenu();
}

void CMainFrame::CreateToolbar() {
    m_toolbar = addToolBar("Toolbar");
    m_toolbar->setObjectName("Toolbar");
    m_toolbar->setIconSize(QSize(kIconSize, kIconSize));
    m_toolbar->setMovable(false);
    for (CommandId id : ToolbarLayout()) {
        if (id == CommandId::Count)
            m_toolbar->addSeparator();
        else
            m_toolbar->addAction(Action(id));
    }
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    auto pane = [&](const QString& sizedFor) {
        auto* label = new QLabel;
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sizedFor) + 8);
        label->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(label);
        return label;
    };
    // The PC file of the disk selected in the tree, so that same-named disks can be told apart.
    m_diskFilePane = new QLabel;
    m_diskFilePane->setObjectName("diskFilePane");
    m_diskFilePane->setFixedWidth(kDiskFilePaneWidth);
    bar->addPermanentWidget(m_diskFilePane);
    m_targetPane = pane("To MMMMMMMMMM");
    m_filePane = pane("MMMMMMMMMM (FDR)");
    m_sectorPane = pane("1440: DD");
    m_capsPane = pane("CAP");
    m_numPane = pane("NUM");
    m_insertPane = pane("OVR");
    // The lock keys' states are not known to the program; their panes stay greyed.
    m_capsPane->setText("CAP");
    m_capsPane->setEnabled(false);
    m_numPane->setText("NUM");
    m_numPane->setEnabled(false);
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
        if (text.isEmpty()) bar->showMessage("Ready");
    });
    bar->showMessage("Ready");
    // What an operation achieved stays until the next hint or result replaces it.
    connect(&m_prompt, &CQtUserPrompt::StatusChanged, bar,
            [bar](const QString& text) { bar->showMessage(text); });
}

void CMainFrame::UpdateStatusPanes() {
    const CTreeItem* selected = m_driveView->SelectedItem();
    const QString file =
        selected && IsImageKind(selected->Kind()) ? Q(selected->Node().path) : QString();
    if (m_diskFilePane->toolTip() != file) {
        m_diskFilePane->setToolTip(file);
        m_diskFilePane->setText(m_diskFilePane->fontMetrics().elidedText(file, Qt::ElideMiddle,
                                                                         kDiskFilePaneWidth - 8));
    }
    const bool loaded = m_editorView->Drive() != nullptr;
    for (QLabel* l : {m_targetPane, m_filePane, m_sectorPane})
        l->setEnabled(loaded);
    if (!loaded) {
        m_targetPane->clear();
        m_filePane->clear();
        m_sectorPane->clear();
    } else {
        m_targetPane->setText(m_editorView->TargetStatus());
        m_filePane->setText(m_editorView->FileStatus());
        m_sectorPane->setText(m_activePane == Pane::SectorEditor
                                  ? m_editorView->SectorStatus()
                                  : QString::number(m_editorView->CurrentSector()));
    }
    m_insertPane->setText(m_prompt.InsertMode() ? "INS" : "OVR");
}

QStringList CMainFrame::StatusPaneTexts() const {
    return {m_targetPane->text(), m_filePane->text(), m_sectorPane->text(),
            m_capsPane->text(),   m_numPane->text(),  m_insertPane->text()};
}

QString CMainFrame::StatusDiskFile() const {
    return m_diskFilePane->toolTip();
}

CCommandTarget* CMainFrame::Target(Pane pane) const {
    switch (pane) {
        case Pane::DriveTree:
            return m_driveView;
        case Pane::CatalogList:
            return m_diskView;
        case Pane::SectorMap:
            return m_mapView;
        case Pane::SectorEditor:
            return m_editorView;
        default:
            return nullptr;
    }
}

CommandState CMainFrame::GatherState() const {
    CommandState s;
    CTreeItem* item = m_driveView->CommandItem();
    s.selectedKind = item ? item->Kind() : NodeKind::Unset;
    s.diskShown = m_diskView->DiskShown();
    s.listMode = m_diskView->Mode();
    s.selectedRows = m_diskView->SelectedCount();
    s.membersShown = m_diskView->ShowsMembers();
    s.basicSelected = s.selectedRows > 0 && m_fileCommands->CanViewAsBasic();
    s.editorLoaded = m_editorView->Drive() != nullptr;
    s.targetSet = m_editorView->CanSwap();
    s.fileHighlighted = m_editorView->FileHighlighted();
    s.stayInFile = m_editorView->StayInFile();
    s.mapLoaded = m_mapView->Drive() != nullptr;
    s.findPatternSet = m_mapView->Search().FindPatternSet();
    s.replacePatternSet = m_mapView->Search().ReplacePatternSet();
    s.currentMatch = m_mapView->Search().HasMatch();
    s.sectorUnderCaretSelected = m_mapView->IsCellSelected(m_mapView->CurrentCell());
    s.databaseOpen = m_app.Database().IsOpen();
    s.advanced = m_app.Options().advancedView != 0;
    s.devices = m_app.Options().showRemoteDevices != 0;
    s.fullPathNames = m_app.Options().fullFolderNames != 0;
    s.toolbarVisible = m_toolbar && !m_toolbar->isHidden();
    s.statusBarVisible = !statusBar()->isHidden();
    s.focus = m_activePane;
    return s;
}

bool CMainFrame::IsEnabled(CommandId id) const {
    return CommandEnabled(id, GatherState(), Target(m_activePane));
}

void CMainFrame::UpdateCommands() {
    const CommandState s = GatherState();
    CCommandTarget* focused = Target(m_activePane);
    for (const CommandEntry& e : AllCommands()) {
        QAction* a = Action(e.id);
        a->setEnabled(CommandEnabled(e.id, s, focused));
        if (e.checkable) a->setChecked(CommandChecked(e.id, s));
        const QString caption = Q(CommandCaption(e.id, s, focused));
        if (a->text() != caption) a->setText(caption);
    }
    UpdateStatusPanes();
}

bool CMainFrame::Execute(CommandId id) {
    const CommandState s = GatherState();
    CCommandTarget* focused = Target(m_activePane);
    if (!CommandEnabled(id, s, focused)) return false;
    bool done = focused && focused->HandleCommand(id);
    if (!done) done = RunFrameCommand(id);
    if (!done) done = m_databaseCommands->HandleCommand(id, m_activePane);
    if (!done) {
        CCommandTarget* owner = Target(Command(id).owner);
        if (owner && owner != focused) owner->HandleCommand(id);
    }
    if (!m_exiting) UpdateCommands();
    return true;
}

bool CMainFrame::RunFrameCommand(CommandId id) {
    switch (id) {
        case CommandId::Exit:
            ExitCommand();
            return true;
        case CommandId::ViewAdvanced:
            ToggleAdvanced();
            return true;
        case CommandId::ViewToolbar:
            m_toolbar->setVisible(m_toolbar->isHidden());
            return true;
        case CommandId::ViewStatusBar:
            statusBar()->setVisible(statusBar()->isHidden());
            return true;
        case CommandId::ViewDevices:
            ToggleDevices();
            return true;
        case CommandId::ViewFullPathNames:
            ToggleFullPathNames();
            return true;
        case CommandId::ViewCustomizeList:
            m_queryCommands->CustomizeShownList(m_diskView->Mode(), m_databaseCommands->ShownNode(),
                                                &m_app.Options().displaySpecs[CatalogList],
                                                &m_app.Options().columnWidths[CatalogList]);
            ApplyCatalogSpecification();
            return true;
        case CommandId::SetupOptions:
            ShowOptions();
            return true;
        case CommandId::SetupUploadHook:
            m_driveView->Remote()->UploadHook();
            return true;
        case CommandId::SetupLoadWorkspace:
            LoadWorkspaceFrom();
            return true;
        case CommandId::SetupSaveWorkspace:
            SaveWorkspaceAs();
            return true;
        case CommandId::HelpAbout:
            About();
            return true;
        case CommandId::NextPane:
            SwitchPane(1);
            return true;
        case CommandId::PreviousPane:
            SwitchPane(-1);
            return true;
        default:
            return false;
    }
}

// The window keeps its size and place; the lower row comes back at the height it last had.
void CMainFrame::ToggleAdvanced() {
    COptions& o = m_app.Options();
    if (!m_bottomRow->isHidden() && !m_editorView->ConfirmLeave()) return;
    const int32_t lowerHeight = o.bottomRowHeight;
    const int32_t upperHeight = o.topRowHeight;
    CaptureLayout(o);
    if (m_bottomRow->isHidden()) {
        o.topRowHeight = upperHeight;
        o.bottomRowHeight = lowerHeight;
    }
    ToggleFlag(o.advancedView);
    ApplyPanes(o);
}

void CMainFrame::ToggleDevices() {
    ToggleFlag(m_app.Options().showRemoteDevices);
    m_driveView->Remote()->ApplyDevices();
}

void CMainFrame::ToggleFullPathNames() {
    ToggleFlag(m_app.Options().fullFolderNames);
    m_driveView->ApplyFullPathNames();
    m_app.Database().UpdateRootItem();
}

void CMainFrame::SwitchPane(int step) {
    std::vector<QWidget*> panes = {m_driveView, m_diskView};
    if (m_bottomRow->isVisible()) {
        panes.push_back(m_mapView);
        panes.push_back(m_editorView);
    }
    int current = 0;
    for (size_t i = 0; i < panes.size(); ++i)
        if (panes[i]->hasFocus()) current = static_cast<int>(i);
    const int n = static_cast<int>(panes.size());
    panes[static_cast<size_t>(((current + step) % n + n) % n)]->setFocus();
}

void CMainFrame::ApplyCatalogSpecification() {
    const COptions& o = m_app.Options();
    m_diskView->SetCatalogSpecification(o.displaySpecs[CatalogList], o.columnWidths[CatalogList]);
    if (m_diskView->Mode() == ListMode::DiskCatalog) m_diskView->Relist();
}

void CMainFrame::ShowOptions() {
    COptionsSheet sheet(m_app.Options(), this);
    CRemoteTreeCommands* remote = m_driveView->Remote();
    sheet.SetLinkSettingsHandler(
        [remote](const COptions& options) { remote->ApplySettings(options); });
    RunDialog(sheet);
    m_driveView->ItemModel()->RefreshLabels();
}

void CMainFrame::SaveWorkspaceAs() {
    const QString path = ChooseFile(this, FileChoice::Save, "Save workspace",
                                    QString::fromStdString(m_app.WorkspaceDialogFolder()),
                                    "Workspace files (*.TVK);;All files (*.*)");
    if (!path.isEmpty()) m_app.Workspace().SaveWorkspace(path.toStdString());
}

void CMainFrame::LoadWorkspaceFrom() {
    const QString path = ChooseFile(this, FileChoice::Open, "Load workspace",
                                    QString::fromStdString(m_app.WorkspaceDialogFolder()),
                                    "Workspace files (*.TVK);;All files (*.*)");
    if (path.isEmpty()) return;
    m_driveView->SetContextItem(nullptr);
    m_app.Workspace().LoadWorkspace(path.toStdString());
    m_driveView->ApplyFullPathNames();
}

void CMainFrame::About() {
    QMessageBox box(this);
    box.setWindowTitle("About TAVIK");
    box.setIconPixmap(TreeIcon(NodeKind::SectorImage).pixmap(32, 32));
    box.setText("<b>TAVIK</b>");
    box.setInformativeText("Version 2.3");
    RunDialog(box);
}

// ---- Start-up and exit ------------------------------------------------------------------------

bool CMainFrame::MountCommandLine(const QStringList& imagePaths) {
    for (const QString& path : imagePaths) {
        CTreeItem* item = m_driveView->MountByPath(path.toStdString(), m_app.Tree().PcRootItem());
        if (!item) return false;
        m_recent.Add(path);
        m_driveView->Select(item);
    }
    RebuildRecentMenu();
    m_driveView->expand(m_driveView->ItemModel()->IndexOf(m_app.Tree().PcRootItem()));
    UpdateCommands();
    return true;
}

void CMainFrame::ExitCommand() {
    close();
}

// "Exit" and the window's close button end the run alike: an edited sector is saved, dropped
// or kept (and the window with it), then the workspace is saved as "Save on exit" says.
void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        event->accept();
        return;
    }
    if (!m_editorView->ConfirmLeave()) {
        event->ignore();
        return;
    }
    m_app.ExitCommand();
    m_exiting = true;
    event->accept();
}

// ---- Layout -----------------------------------------------------------------------------------

void CMainFrame::CaptureLayout(COptions& options) {
    WindowPlacement& p = options.windowPlacement;
    p.showState = isMaximized() ? kShowMaximised : isMinimized() ? kShowMinimised : kShowNormal;
    p.minimisedPosition = {-1, -1};
    p.maximisedPosition = {-1, -1};
    const QRect g = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    p.normalRectangle = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    const QList<int> rows = m_rows->sizes();
    options.topRowHeight = rows.value(0);
    options.bottomRowHeight = m_bottomRow->isHidden() ? 0 : rows.value(1);
    const QList<int> top = m_topRow->sizes();
    const QList<int> bottom = m_bottomRow->sizes();
    options.treeWidth = top.value(0);
    options.listWidth = top.value(1);
    options.mapWidth = bottom.value(0);
    options.editorWidth = bottom.value(1);
}

void CMainFrame::ApplyLayout(COptions& options) {
    ApplyCatalogSpecification();
    m_driveView->ItemModel()->RefreshLabels();
    if (options.treeWidth < 0) return;
    const ArRect& r = options.windowPlacement.normalRectangle;
    if (r.right > r.left && r.bottom > r.top) {
        if (isMaximized() || isMinimized()) showNormal();
        setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    ApplyPanes(options);
}

void CMainFrame::ApplyPanes(COptions& options) {
    m_topRow->setSizes({options.treeWidth, options.listWidth});
    m_bottomRow->setSizes({options.mapWidth, options.editorWidth});
    if (options.advancedView) {
        m_bottomRow->show();
        if (options.bottomRowHeight == 0) {
            const RowHeights rows = RecomputedRows(std::max(m_rows->height(), 1));
            m_rows->setSizes({rows.upper, rows.lower});
        } else {
            m_rows->setSizes({options.topRowHeight, options.bottomRowHeight});
        }
        m_driveView->ShowCurrentAgain();
    } else {
        m_rows->setSizes({2048, 0});
        m_bottomRow->hide();
        m_mapView->Clear();
        m_editorView->Clear();
    }
    m_rows->updateGeometry();
}

}  // namespace tavik
