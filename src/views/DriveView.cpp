#include "views/DriveView.h"

#include <QTimer>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>

#include "app/ArchiveFolders.h"
#include "app/DropRules.h"
#include "app/Options.h"
#include "app/PathRules.h"
#include "app/RemoteTree.h"
#include "app/TreeOperations.h"
#include "base/Progress.h"
#include "qt/Icons.h"
#include "qt/QtText.h"
#include "views/DragPayload.h"
#include "views/DropRouter.h"
#include "views/RemoteTreeCommands.h"
#include "views/TreeItemModel.h"

namespace tavik {

namespace {

bool IsFolderOrPc(NodeKind k) {
    return k == NodeKind::PcRoot || IsFolderKind(k);
}

}  // namespace

CDriveView::CDriveView(const PaneContext& context, QWidget* parent)
    : QTreeView(parent),
      m_tree(context.tree),
      m_options(context.options),
      m_prompt(context.prompt),
      m_clip(context.clip),
      m_disk(context.disk),
      m_model(new CTreeItemModel(context.tree, this)) {
    setModel(m_model);
    m_model->fileNamesOnClash = [this] { return m_options.fileNameOnNameClash != 0; };
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setIconSize(QSize(kIconSize, kIconSize));
    connect(m_model, &CTreeItemModel::ExpandIndex, this,
            [this](const QModelIndex& i) { expand(i); });
    m_tree.AddObserver(this);
}

CDriveView::~CDriveView() {
    m_tree.RemoveObserver(this);
}

CTreeItem* CDriveView::SelectedItem() const {
    return m_model->ItemOf(currentIndex());
}

CTreeItem* CDriveView::CommandItem() const {
    return m_context ? m_context : SelectedItem();
}

void CDriveView::Select(CTreeItem* item) {
    if (!item) return;
    const QModelIndex i = m_model->IndexOf(item);
    scrollTo(i);
    setCurrentIndex(i);
}

bool CDriveView::DatabaseOpen() const {
    const CTreeItem* db = m_tree.DatabaseRootItem();
    return db && db->Kind() == NodeKind::DatabaseOpen;
}

void CDriveView::Fail(const std::string& text) {
    m_prompt.Message(text, PromptIcon::Error);
}

// ---- Showing the selected item ----------------------------------------------------------

void CDriveView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (m_following) return;
    CTreeItem* item = m_model->ItemOf(current);
    if (item && item != m_disk.Item() && IsDriveKind(item->Kind()) && !m_disk.MayLeave()) {
        // The user stays with the disk shown: the selection goes back once this change is over.
        const QPersistentModelIndex back = m_model->IndexOf(m_disk.Item());
        QTimer::singleShot(0, this, [this, back] {
            m_following = true;
            if (back.isValid()) setCurrentIndex(back);
            m_following = false;
        });
        return;
    }
    ShowItem(item);
}

void CDriveView::ShowItem(CTreeItem* item) {
    // A free SQL command changes the catalogue: it runs when asked ("Run"), not when selected.
    if (item && item->Kind() == NodeKind::SqlQuery && item->Node().display == "None") return;
    if (item && m_database &&
        (IsQueryKind(item->Kind()) || item->Kind() == NodeKind::SavedQueries ||
         item->Kind() == NodeKind::Parameters)) {
        m_database->ShowDatabaseItem(item);
        return;
    }
    if (item && item->Kind() == NodeKind::ArchiveFile) {
        m_disk.Show(item, this);
        return;
    }
    if (!item || !IsDriveKind(item->Kind()) || !item->Drive()) return;
    RefreshRemoteDriveText(m_tree, item);
    m_disk.Show(item, this);
}

void CDriveView::ShowCurrentAgain() {
    if (CTreeItem* current = m_disk.Archive() ? m_disk.Archive() : m_disk.Item()) ShowItem(current);
}

void CDriveView::DiskShown(CTreeItem* item) {
    if (!item || item == SelectedItem()) return;
    m_following = true;
    Select(item);
    m_following = false;
    RefreshRemoteDriveText(m_tree, item);
}

void CDriveView::AboutToRemove(CTreeItem* item) {
    if (m_context && item->Contains(m_context)) m_context = nullptr;
}

// ---- Operations ---------------------------------------------------------------------------

CTreeItem* CDriveView::MountByPath(const std::string& path, CTreeItem* parent) {
    std::string error;
    CTreeItem* item = tavik::MountByPath(m_tree, path, parent, error);
    if (!item) Fail(error);
    return item;
}

void CDriveView::MountPcFile() {
    CTreeItem* context = CommandItem();
    if (!m_dialogs) return;
    std::string start = m_options.lastMountFolder;
    if (context && context->Kind() == NodeKind::PcFolder) start = context->Node().path;
    std::vector<std::string> files;
    bool folderToo = false;
    if (!m_dialogs->ChooseImages(start, files, folderToo) || files.empty()) return;
    const std::string folder = FolderPart(files.front());
    m_options.lastMountFolder = folder;
    CTreeItem* parent = context;
    if (folderToo) {
        parent = InsertPcFolder(m_tree, folder, context, m_options.fullFolderNames != 0, true);
        m_tree.Expand(parent->Parent());
    }
    MountImages(files, parent);
}

void CDriveView::MountImages(const std::vector<std::string>& files, CTreeItem* parent) {
    CTreeItem* last = nullptr;
    for (const std::string& path : files) {
        CTreeItem* item = MountByPath(path, parent);
        if (!item) break;  // the first failure stops
        last = item;
        AddToHistory(m_options.mountFileHistory, path);
        emit ImageMounted(Q(path));
    }
    if (parent) m_tree.Expand(parent);
    if (last) Select(last);
}

void CDriveView::MountPcFolder(const std::string& chosen) {
    CTreeItem* context = CommandItem();
    std::string folder = chosen;
    if (folder.empty() && (!m_dialogs || !m_dialogs->ChooseFolder("Select PC folder", folder)))
        return;
    CTreeItem* item =
        InsertPcFolder(m_tree, folder, context, m_options.fullFolderNames != 0, false);
    m_tree.Expand(item->Parent());
    const std::vector<std::string> images = DiskImagesInFolder(item->Node().path);
    const int total = static_cast<int>(images.size());
    CProgress progress(m_prompt, "Mounting " + item->Node().path, total);
    for (int i = 0; i < total; ++i) {
        if (i % 50 == 0) progress.Step(i);
        std::string error;
        if (!tavik::MountByPath(m_tree, images[i], item, error)) {
            Fail(error);
            break;
        }
        if (progress.AbortRequested("Abort mounting?")) break;
    }
    m_tree.Expand(item);
}

void CDriveView::DismountItem() {
    CTreeItem* item = CommandItem();
    if (!item || !CanDismount(item->Kind())) return;
    m_disk.Clear(this);
    m_context = nullptr;
    Dismount(m_tree, item);
    ShowItem(SelectedItem());
}

void CDriveView::NewDummyFolder() {
    AddDummyFolder(m_tree, CommandItem());
}

void CDriveView::AlphaSortItem() {
    CTreeItem* item = CommandItem();
    if (item && IsFolderOrPc(item->Kind())) AlphaSort(m_tree, item);
}

void CDriveView::SelectAsTarget() {
    CTreeItem* item = CommandItem();
    if (item && IsDriveKind(item->Kind())) m_disk.SetTarget(item);
}

void CDriveView::CopyPath() {
    if (CTreeItem* item = CommandItem()) QApplication::clipboard()->setText(Q(item->Node().path));
}

void CDriveView::CopyClip() {
    CTreeItem* item = CommandItem();
    if (!item) return;
    const std::string clip = ItemClip(*item);
    if (!clip.empty()) m_clip = clip;
}

void CDriveView::PasteClip() {
    CTreeItem* target = CommandItem();
    CTreeItem* source = m_tree.Find(ClipSourceNumber(m_clip));
    if (!source || !target) return;
    if (const int sector = ClipSectorNumber(m_clip); sector >= 0) {
        if (source->Drive()) m_disk.PasteSector(*source->Drive(), sector, this);
    } else if (IsFilesClip(m_clip) && target->Kind() == NodeKind::ArchiveFile) {
        PasteFilesIntoArchive(m_clip, target);
    } else if (IsMembersClip(m_clip)) {
        PasteMembersOnto(m_clip, target);
    } else if (IsFilesClip(m_clip)) {
        if (!IsDriveKind(target->Kind())) return;
        PasteFiles(m_clip, target);
    } else if (m_clip.find("Disk") != std::string::npos) {
        if (source != target) DropOnto(source, target);
    } else if (m_clip.find("Query") != std::string::npos) {
        if (m_queries) m_queries->DropQuery(source, target, true);
    }
}

void CDriveView::PasteFiles(const std::string& clip, CTreeItem* target) {
    if (!target || !target->Drive()) return;
    std::string error;
    if (PasteFilesClip(m_tree, clip, *target->Drive(), m_prompt, error) == 0) Fail(error);
    SyncArchiveFolders(m_tree, target);
    ShowItem(SelectedItem());
}

void CDriveView::PasteMembersOnto(const std::string& clip, CTreeItem* target) {
    if (!target || !target->Drive() || !IsDriveKind(target->Kind())) return;
    std::string error;
    if (!PasteMembers(m_tree, clip, *target->Drive(), error)) Fail(error);
    SyncArchiveFolders(m_tree, target);
    ShowItem(SelectedItem());
}

void CDriveView::PasteFilesIntoArchive(const std::string& clip, CTreeItem* target) {
    CTreeItem* source = m_tree.Find(ClipSourceNumber(clip));
    if (!target || target->Kind() != NodeKind::ArchiveFile || !source || !source->Drive()) return;
    std::string error;
    if (!PasteIntoArchive(*target, *source->Drive(), ClipFileSectors(clip), error)) Fail(error);
    ShowItem(SelectedItem());
}

void CDriveView::RefreshDrive() {
    if (CVirtualDrive* drive = m_disk.Drive()) drive->Refresh();
    ShowCurrentAgain();
}

void CDriveView::ApplyFullPathNames() {
    RelabelFolders(m_tree, m_options.fullFolderNames != 0);
    CTreeItem* db = m_tree.DatabaseRootItem();
    if (db && db->Kind() == NodeKind::DatabaseOpen) {
        const CTreeNode& n = db->Node();
        m_tree.SetText(db, m_options.fullFolderNames || n.label.empty() ? n.path : n.label);
    }
}

// ---- Routing ------------------------------------------------------------------------------

bool CDriveView::HasHandler(CommandId id) const {
    switch (id) {
        case CommandId::EditCopy:
        case CommandId::EditPaste:
        case CommandId::EditSelect:
        case CommandId::DeleteKey:
            return true;
        default:
            return false;
    }
}

bool CDriveView::IsEnabledHere(CommandId id, const CommandState&) const {
    const CTreeItem* item = CommandItem();
    const NodeKind k = item ? item->Kind() : NodeKind::Unset;
    switch (id) {
        case CommandId::EditCopy:
            return IsDriveKind(k) || IsQueryKind(k);
        case CommandId::EditPaste:
            return !m_clip.empty() && item;
        case CommandId::EditSelect:
            return IsDriveKind(k);
        case CommandId::DeleteKey:
            return IsFolderOrImageKind(k);
        default:
            return false;
    }
}

const char* CDriveView::CaptionHere(CommandId id, const CommandState&) const {
    return id == CommandId::EditSelect ? "Select disk as target" : nullptr;
}

bool CDriveView::HandleCommand(CommandId id) {
    bool handled = true;
    switch (id) {
        case CommandId::MountPcFile:
            MountPcFile();
            break;
        case CommandId::MountPcFolder:
            MountPcFolder();
            break;
        case CommandId::Dismount:
        case CommandId::DeleteKey:
            DismountItem();
            break;
        case CommandId::DummyFolder:
            NewDummyFolder();
            break;
        case CommandId::AlphaSort:
            AlphaSortItem();
            break;
        case CommandId::RefreshDrive:
            RefreshDrive();
            break;
        case CommandId::ScanRemote:
            if (m_remote) m_remote->ScanRemote();
            break;
        case CommandId::Unhook:
            if (m_remote) m_remote->Unhook();
            break;
        case CommandId::ScanEmulator:
            if (m_remote) m_remote->ScanEmulator();
            break;
        case CommandId::EditSelect:
            SelectAsTarget();
            break;
        case CommandId::EditCopy:
            CopyClip();
            break;
        case CommandId::EditPaste:
            PasteClip();
            break;
        case CommandId::NewPcFile: {
            CTreeItem* item = CommandItem();
            CTreeItem* folder = item && IsFolderOrPc(item->Kind()) ? item : m_tree.PcRootItem();
            handled = m_dialogs && m_dialogs->RunDiskCommand(id, folder, nullptr);
            break;
        }
        case CommandId::DriveProperties:
        case CommandId::DiskProperties:
        case CommandId::DiskDiagnose:
        case CommandId::DiskDefragment:
        case CommandId::DiskCopy:
        case CommandId::DiskFormat:
        case CommandId::DiskPurge:
        case CommandId::DiskSortFiles: {
            CTreeItem* item = CommandItem();
            handled = item && IsDriveKind(item->Kind()) && m_dialogs &&
                      m_dialogs->RunDiskCommand(id, item, nullptr);
            break;
        }
        default:
            handled = m_queries && m_queries->RunQueryCommand(id, CommandItem());
            break;
    }
    m_context = nullptr;
    return handled;
}

// ---- Context menus, double-click ----------------------------------------------------------

QStringList CDriveView::ContextEntries(NodeKind kind, QString* title) {
    auto set = [&](const char* t) {
        if (title) *title = t;
    };
    switch (kind) {
        case NodeKind::DatabaseOpen:
            set("DBase context");
            return {"Database properties", "Copy path"};
        case NodeKind::PcRoot:
        case NodeKind::PcFolder:
        case NodeKind::DummyFolder:
            set("Folder context");
            return {"New PC file",      "Mount PC file", "Remove", "",
                    "New dummy folder", "Alpha sort",    "",       "Copy path"};
        case NodeKind::TiRoot:
        case NodeKind::TiRootActive:
            set("TI99 context");
            return {"Scan", "Refresh", "Unhook"};
        case NodeKind::EmulatorRoot:
        case NodeKind::EmulatorRootActive:
            set("Zantu context");
            return {"Scan"};
        case NodeKind::RemoteDevice:
        case NodeKind::SectorImage:
        case NodeKind::TrackImage:
        case NodeKind::EmulatorDisk:
        case NodeKind::RemoteDrive:
            set("Drive context");
            return {"Drive properties", "Disk properties", "Dismount", "Select as target",
                    "Add to database",  "Format...",       "",         "Copy path"};
        case NodeKind::DiskQuery:
        case NodeKind::FileQuery:
        case NodeKind::SqlQuery:
            set("Query context");
            return {"Save", "Delete", "Edit", "Run"};
        default:
            set("");
            return {};
    }
}

void CDriveView::contextMenuEvent(QContextMenuEvent* event) {
    CTreeItem* item = m_model->ItemOf(indexAt(event->pos()));
    if (!item) return;
    QString title;
    const QStringList entries = ContextEntries(item->Kind(), &title);
    if (entries.isEmpty()) return;
    QMenu menu(title, this);
    for (const QString& e : entries) {
        if (e.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(e);
        const bool drive = IsDriveKind(item->Kind());
        // Entries whose operation this item cannot take are shown greyed.
        if ((e == "Remove" || e == "Dismount") && !CanDismount(item->Kind())) a->setEnabled(false);
        if ((e == "Drive properties" || e == "Disk properties" || e == "Select as target" ||
             e == "Format...") &&
            !drive)
            a->setEnabled(false);
        if (e == "Copy path" && item->Node().path.empty()) a->setEnabled(false);
        if (e == "Add to database" && (!drive || !DatabaseOpen())) a->setEnabled(false);
    }
    m_context = item;
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen) RunContextEntry(chosen->text(), item);
    m_context = nullptr;
}

void CDriveView::RunContextEntry(const QString& entry, CTreeItem* item) {
    m_context = item;
    if (entry == "New PC file")
        HandleCommand(CommandId::NewPcFile);
    else if (entry == "Mount PC file")
        HandleCommand(CommandId::MountPcFile);
    else if (entry == "Remove" || entry == "Dismount")
        HandleCommand(CommandId::Dismount);
    else if (entry == "New dummy folder")
        HandleCommand(CommandId::DummyFolder);
    else if (entry == "Alpha sort")
        HandleCommand(CommandId::AlphaSort);
    else if (entry == "Copy path")
        CopyPath();
    else if (entry == "Drive properties")
        HandleCommand(CommandId::DriveProperties);
    else if (entry == "Disk properties")
        HandleCommand(CommandId::DiskProperties);
    else if (entry == "Select as target")
        SelectAsTarget();
    else if (entry == "Format...")
        HandleCommand(CommandId::DiskFormat);
    else if (entry == "Refresh")
        HandleCommand(CommandId::RefreshDrive);
    else if (entry == "Add to database" && m_database)
        m_database->AddToDatabase(item);
    else if (entry == "Database properties" && m_database)
        m_database->DatabaseProperties();
    else if (entry == "Scan")
        HandleCommand(item->Kind() == NodeKind::EmulatorRoot ||
                              item->Kind() == NodeKind::EmulatorRootActive
                          ? CommandId::ScanEmulator
                          : CommandId::ScanRemote);
    else if (entry == "Unhook")
        HandleCommand(CommandId::Unhook);
    else if (IsQueryKind(item->Kind()))
        RunQueryEntry(entry, item);
    m_context = nullptr;
}

void CDriveView::RunQueryEntry(const QString& entry, CTreeItem* item) {
    m_context = item;
    if (entry == "Save")
        HandleCommand(CommandId::DbSaveQuery);
    else if (entry == "Delete")
        HandleCommand(CommandId::DbDeleteQuery);
    else if (entry == "Edit")
        HandleCommand(CommandId::DbEditQuery);
    else if (entry == "Run" && m_queries)
        m_queries->RunNode(item);
    m_context = nullptr;
}

void CDriveView::mouseDoubleClickEvent(QMouseEvent* event) {
    CTreeItem* item = m_model->ItemOf(indexAt(event->pos()));
    if (item && IsQueryKind(item->Kind())) {
        RunQueryEntry("Edit", item);  // a query opens for editing
        return;
    }
    if (item && IsDriveKind(item->Kind())) {
        m_context = item;
        HandleCommand(CommandId::DiskProperties);
        m_context = nullptr;
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

// ---- Drag and drop ----------------------------------------------------------------------------

void CDriveView::startDrag(Qt::DropActions) {
    CTreeItem* item = SelectedItem();
    if (!item || item->Kind() < NodeKind::PcFolder) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(TreeItemMime(*item));
    drag->setPixmap(TreeIcon(item->Kind()).pixmap(kIconSize, kIconSize));
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void CDriveView::dragEnterEvent(QDragEnterEvent* event) {
    // Whether the item under the mouse takes it is decided while the drag moves.
    if (m_router && ReadPayload(*event->mimeData()).source != DragPayload::Source::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void CDriveView::dragMoveEvent(QDragMoveEvent* event) {
    QTreeView::dragMoveEvent(event);  // scrolls and expands under the mouse
    const QModelIndex at = indexAt(event->position().toPoint());
    CTreeItem* target = m_model->ItemOf(at);
    if (m_router && m_router->OnTree(*event->mimeData(), target) != DropEffect::Refused) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        SetDropTarget(at);
    } else {
        event->ignore();
        SetDropTarget({});
    }
}

void CDriveView::dragLeaveEvent(QDragLeaveEvent* event) {
    QTreeView::dragLeaveEvent(event);
    SetDropTarget({});
}

void CDriveView::SetDropTarget(const QModelIndex& index) {
    if (index == m_dropTarget) return;
    m_dropTarget = index;
    viewport()->update();
}

void CDriveView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    if (!m_dropTarget.isValid() || index != m_dropTarget) return;
    const QColor highlight = palette().color(QPalette::Highlight);
    QColor fill = highlight;
    fill.setAlpha(60);
    const QRect row = visualRect(index).adjusted(0, 0, -1, -1);
    painter->fillRect(row, fill);
    painter->setPen(highlight);
    painter->drawRect(row);
}

void CDriveView::dropEvent(QDropEvent* event) {
    CTreeItem* target = m_model->ItemOf(indexAt(event->position().toPoint()));
    if (!m_router || !m_router->DropOnTree(*event, target)) event->ignore();
    SetDropTarget({});
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

void CDriveView::DropOnto(CTreeItem* source, CTreeItem* target) {
    switch (TreeItemDropOf(*source, *target, DatabaseOpen())) {
        case TreeItemDrop::CombineQuery:
        case TreeItemDrop::SaveQuery:
            if (m_queries) m_queries->DropQuery(source, target, false);
            break;
        case TreeItemDrop::CopyDisk:
            if (m_dialogs) m_dialogs->RunDiskCommand(CommandId::DiskCopy, source, target);
            break;
        case TreeItemDrop::NewImage:
            if (m_dialogs) m_dialogs->RunDiskCommand(CommandId::NewPcFile, target, source);
            break;
        case TreeItemDrop::MoveIntoFolder:
            MoveIntoFolder(m_tree, source, target);
            break;
        case TreeItemDrop::AddToDatabase:
            if (m_database) m_database->AddToDatabase(source);
            break;
        case TreeItemDrop::None:
            break;
    }
}

}  // namespace tavik
