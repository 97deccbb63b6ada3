#include "views/DiskView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <set>

#include "app/ArchiveFolders.h"
#include "app/Options.h"
#include "database/DisplaySpec.h"
#include "qt/QtText.h"
#include "views/ArchiveCommands.h"
#include "views/CatalogModel.h"
#include "views/DropRouter.h"
#include "views/FileCommands.h"
#include "views/RecordListModel.h"

namespace tavik {

namespace {

// A click this close to a row's left edge lands on its icon and opens no edit box.
constexpr int kIconMargin = 16;

// Rows measured when a column is sized to its content: a whole disk catalog, the first page of
// a record list (the rows shown first, already read).
constexpr int kMeasuredRows = 128;
constexpr int kContentPadding = 8;

DisplayList ListOfMode(ListMode mode) {
    switch (mode) {
        case ListMode::DiskRecords:
            return DiskRecordList;
        case ListMode::FileRecords:
            return FileRecordList;
        case ListMode::SavedQueries:
            return SavedQueryList;
        case ListMode::Parameters:
            return ParameterList;
        case ListMode::SqlResults:
            return FreeSqlList;
        default:
            return CatalogList;
    }
}

}  // namespace

CDiskView::CDiskView(const PaneContext& context, QWidget* parent)
    : QTreeView(parent),
      m_prompt(context.prompt),
      m_options(context.options),
      m_disk(context.disk),
      m_model(new CCatalogModel(this)),
      m_records(new CRecordListModel(this)) {
    setModel(m_model);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header(), &QHeaderView::sectionClicked, this, &CDiskView::SortByColumn);
    connect(header(), &QHeaderView::sectionResized, this, &CDiskView::ColumnResized);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);  // a drop goes to the whole disk, not between rows
    FitColumns();
}

int CDiskView::FieldOfColumn(int column) const {
    if (!ShowsRecords()) return m_model->FieldOfColumn(column);
    const auto& columns = m_records->Columns();
    return column >= 0 && column < static_cast<int>(columns.size())
               ? columns[static_cast<size_t>(column)].field
               : -1;
}

int CDiskView::ContentWidth(int column) const {
    int width = header()->sectionSizeHint(column);
    const int rows = std::min(model()->rowCount(), kMeasuredRows);
    for (int r = 0; r < rows; ++r)
        width = std::max(width, sizeHintForIndex(model()->index(r, column)).width());
    return width + kContentPadding;
}

// A column the user sized keeps that width; any other one is as wide as its size code says and
// as wide as its header and cells need, so that names, headers and dates are never cut.
void CDiskView::FitColumns() {
    const std::vector<uint16_t>& user = m_options.userColumnWidths[ListOfMode(m_mode)];
    m_fitting = true;
    for (int c = 0; c < model()->columnCount(); ++c) {
        const int own = UserColumnWidth(user, FieldOfColumn(c));
        if (own > 0) {
            header()->resizeSection(c, own);
            continue;
        }
        const int coded = ShowsRecords() ? m_records->Columns()[static_cast<size_t>(c)].width
                                         : CodeWidth(m_model->Columns()[static_cast<size_t>(c)]);
        header()->resizeSection(c, std::max(coded, ContentWidth(c)));
    }
    m_fitting = false;
}

void CDiskView::ColumnResized(int column, int, int width) {
    if (m_fitting) return;
    SetUserColumnWidth(m_options.userColumnWidths[ListOfMode(m_mode)], FieldOfColumn(column),
                       width);
}

void CDiskView::ClearSortArrow() {
    header()->setSortIndicator(-1, Qt::AscendingOrder);
}

void CDiskView::ListDisk(CVirtualDrive* drive, const QString& itemText, int itemId) {
    if (ShowsRecords() || model() != m_model) {
        m_records->Clear();
        setModel(m_model);
    }
    m_mode = ListMode::DiskCatalog;
    m_itemText = itemText;
    m_itemId = itemId;
    m_model->ListDisk(drive, m_prompt);
    ClearSortArrow();
    FitColumns();
}

void CDiskView::SetCatalogSpecification(const std::string& spec,
                                        const std::vector<uint16_t>& sizes) {
    m_model->SetSpecification(spec, sizes);
    if (model() == m_model) FitColumns();
}

void CDiskView::ListArchive(CTreeItem* archive) {
    if (ShowsRecords() || model() != m_model) {
        m_records->Clear();
        setModel(m_model);
    }
    // What is wrong with an archive is told when it is opened, not at every new listing.
    const bool opened = !ShowsMembers() || m_itemId != archive->Id();
    m_mode = ListMode::DiskCatalog;
    m_itemText = Q(archive->Text());
    m_itemId = archive->Id();
    CArkFile ark;
    std::string error;
    const bool read = OpenArchiveItem(*archive, ark, error) != 0;
    std::vector<FileProperties> members;
    for (const ArkMember& m : ark.members)
        members.push_back(m.image.file);
    m_model->ListMembers(ArchiveDisk(*archive), std::move(members));
    ClearSortArrow();
    FitColumns();
    if (read) error = ark.FirstDamage();
    if (opened && !error.empty()) m_prompt.Message(error, PromptIcon::Warning);
}

bool CDiskView::ShowsMembers() const {
    return !ShowsRecords() && m_model->ListsMembers();
}

std::vector<std::string> CDiskView::SelectedMemberNames() const {
    std::vector<std::string> names;
    if (!ShowsMembers()) return names;
    for (int row : SelectedRows())
        names.push_back(m_model->NameOfRow(row));
    return names;
}

void CDiskView::Relist() {
    if (m_mode != ListMode::DiskCatalog || !Drive()) return;
    if (ShowsMembers() || m_disk.Archive()) {
        const std::vector<std::string> kept = SelectedMemberNames();
        if (CTreeItem* archive = m_disk.Archive())
            ListArchive(archive);
        else  // the archive is gone: its disk again
            ListDisk(m_disk.Drive(), Q(m_disk.Item()->Text()), m_disk.Id());
        for (int r = 0; r < m_model->rowCount(); ++r)
            if (std::find(kept.begin(), kept.end(), m_model->NameOfRow(r)) != kept.end())
                selectionModel()->select(m_model->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        return;
    }
    const std::vector<int> kept = SelectedFdrs();
    const int currentFdr = currentIndex().isValid() ? m_model->FdrOfRow(currentIndex().row()) : 0;
    m_model->ListDisk(Drive(), m_prompt);
    ClearSortArrow();
    FitColumns();
    const std::set<int> wanted(kept.begin(), kept.end());
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const int fdr = m_model->FdrOfRow(r);
        const QModelIndex index = m_model->index(r, 0);
        if (wanted.count(fdr))
            selectionModel()->select(index,
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (fdr == currentFdr)
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
}

void CDiskView::DiskShown(CTreeItem* item) {
    if (item && m_disk.Archive())
        ListArchive(m_disk.Archive());
    else if (item)
        ListDisk(item->Drive(), Q(item->Text()), item->Id());
    else
        Clear();
}

void CDiskView::FilesChanged() {
    Relist();
}

void CDiskView::SetFileCommands(CFileCommands* commands) {
    m_files = commands;
    if (!commands) {
        m_model->onRename = nullptr;
        return;
    }
    // The rename lists the disk again, which must wait until the editor has let go of its row.
    m_model->onRename = [this](int fdr, const std::string& name) {
        QTimer::singleShot(0, this, [this, fdr, name] {
            if (m_files) m_files->Rename(fdr, name);
        });
        return true;
    };
}

void CDiskView::StartRename() {
    QModelIndex index = currentIndex();
    if (!index.isValid() && SelectedCount() > 0) index = selectionModel()->selectedRows().front();
    if (!index.isValid()) return;
    int nameColumn = 0;
    while (nameColumn < m_model->columnCount() &&
           m_model->FieldOfColumn(nameColumn) != CCatalogModel::FileName)
        ++nameColumn;
    if (nameColumn == m_model->columnCount()) return;  // the list shows no name to edit
    index = m_model->index(index.row(), nameColumn);
    setCurrentIndex(index);
    edit(index);
}

void CDiskView::FileContextMenu(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid() || !m_files) return;
    if (!selectionModel()->isRowSelected(index.row(), {}))
        selectionModel()->select(index,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setCurrentIndex(index);
    if (ShowsMembers()) {
        QMenu members("Member context", this);
        members.addAction("Export", this, [this] { m_files->Archives().Export(); });
        members.addAction("Delete", this, [this] { m_files->Archives().Remove(); });
        members.exec(event->globalPos());
        return;
    }
    QMenu menu("File context", this);
    const std::pair<const char*, CommandId> entries[] = {
        {"File properties", CommandId::FileProperties},
        {"Rename", CommandId::FileRename},
        {"(Un)Proctect", CommandId::FileProtect},
        {"Delete", CommandId::FileDelete},
        {nullptr, CommandId::Count},
        {"View as text", CommandId::FileViewText},
        {"View hexadecimal", CommandId::FileViewHex},
        {"View as BASIC", CommandId::FileViewBasic},
        {"Export", CommandId::FileExport},
        {"Create archive...", CommandId::FileCreateArchive},
        {nullptr, CommandId::Count},
        {"Select in map", CommandId::EditSelect}};
    for (const auto& [text, id] : entries) {
        if (!text) {
            menu.addSeparator();
            continue;
        }
        const CommandId command = id;
        if (command == CommandId::EditSelect) {
            QAction* a = menu.addAction(text, this, [this] { SelectInMap(); });
            a->setEnabled(m_options.advancedView && m_disk.Drive());
            continue;
        }
        QAction* a = menu.addAction(text, this, [this, command] { m_files->Run(command); });
        if (command == CommandId::FileViewBasic) a->setEnabled(m_files->CanViewAsBasic());
    }
    menu.exec(event->globalPos());
}

void CDiskView::ShowRecords(ListMode mode, CRecordSet& set, const std::vector<uint32_t>& codes,
                            const QString& title) {
    m_model->Clear();  // the list forgets the drive it showed
    m_itemText.clear();
    m_mode = mode;
    m_recordTitle = title;
    if (model() != m_records) setModel(m_records);
    m_records->Fill(mode, set, codes, m_prompt);
    ClearSortArrow();
    FitColumns();
}

void CDiskView::Clear() {
    m_itemText.clear();
    m_model->Clear();
    m_records->Clear();
}

void CDiskView::SortByColumn(int column) {
    const bool descending =
        ShowsRecords() ? m_records->SortByColumn(column) : m_model->SortByColumn(column);
    header()->setSortIndicator(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

std::vector<int> CDiskView::SelectedRows() const {
    std::vector<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<int> CDiskView::SelectedRecordIds() const {
    std::vector<int> ids;
    if (!ShowsRecords()) return ids;
    for (int row : SelectedRows())
        ids.push_back(m_records->RecordId(row));
    return ids;
}

CVirtualDrive* CDiskView::Drive() const {
    return m_model->Drive();
}

int CDiskView::SelectedCount() const {
    return selectionModel() ? static_cast<int>(selectionModel()->selectedRows().size()) : 0;
}

std::vector<int> CDiskView::SelectedFdrs() const {
    std::vector<int> fdrs;
    if (!selectionModel()) return fdrs;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        fdrs.push_back(m_model->FdrOfRow(i.row()));
    return fdrs;
}

QString CDiskView::ListAsText() const {
    const QAbstractItemModel* shown = ShowsRecords()
                                          ? static_cast<const QAbstractItemModel*>(m_records)
                                          : static_cast<const QAbstractItemModel*>(m_model);
    const QString title = ShowsRecords()   ? m_recordTitle
                          : ShowsMembers() ? QStringLiteral("Archive: ") + m_itemText
                                           : QStringLiteral("Disk: ") + m_itemText;
    QString text = title + QStringLiteral("\r\n");
    QStringList heads;
    for (int c = 0; c < shown->columnCount(); ++c)
        heads << shown->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    text += heads.join('\t') + QStringLiteral("\r\n");
    for (int r = 0; r < shown->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < shown->columnCount(); ++c)
            cells << shown->data(shown->index(r, c), Qt::DisplayRole).toString();
        text += cells.join('\t') + QStringLiteral("\r\n");
    }
    return text;
}

QStringList CDiskView::RecordContextEntries(ListMode mode, QString* title) {
    auto set = [&](const char* t) {
        if (title) *title = t;
    };
    switch (mode) {
        case ListMode::DiskRecords:
        case ListMode::FileRecords:
            set("Query context");
            return {"Browse record", "Mount disk"};
        case ListMode::SavedQueries:
            set("Query list context");
            return {"Load in tree", "Remove"};
        case ListMode::Parameters:
            set("Param context");
            return {"Delete"};
        default:
            set("");
            return {};
    }
}

void CDiskView::contextMenuEvent(QContextMenuEvent* event) {
    if (!ShowsRecords()) {
        FileContextMenu(event);
        return;
    }
    const QModelIndex at = indexAt(event->pos());
    QString title;
    const QStringList entries = RecordContextEntries(m_mode, &title);
    if (!at.isValid() || entries.isEmpty() || !m_recordActions) return;
    if (!selectionModel()->isRowSelected(at.row(), {}))
        selectionModel()->select(at,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QMenu menu(title, this);
    for (const QString& e : entries) {
        QAction* a = menu.addAction(e);
        // Only disk records name images that can be mounted.
        if (e == "Mount disk" && m_mode != ListMode::DiskRecords) a->setEnabled(false);
    }
    if (QAction* chosen = menu.exec(event->globalPos()))
        m_recordActions->RunRecordEntry(chosen->text());
}

void CDiskView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (ShowsRecords() && m_recordActions) {
        const QModelIndex at = indexAt(event->pos());
        if (at.isValid()) {
            m_recordActions->RecordDoubleClicked(at.row());
            return;
        }
    }
    QTreeView::mouseDoubleClickEvent(event);
    if (!ShowsRecords() && m_files && SelectedCount() == 1 && indexAt(event->pos()).isValid())
        m_files->Properties(SelectedFdrs().front());
}

bool CDiskView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (ShowsRecords() && trigger == SelectedClicked && event &&
        (event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonPress)) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->position().x() < kIconMargin) return false;
    }
    return QTreeView::edit(index, trigger, event);
}

bool CDiskView::HasHandler(CommandId id) const {
    if (m_files && id >= CommandId::FileCreate && id <= CommandId::FileCreateArchive) return false;
    return id == CommandId::EditCopy || id == CommandId::EditPaste || id == CommandId::EditSelect ||
           id == CommandId::DeleteKey;
}

bool CDiskView::IsEnabledHere(CommandId id, const CommandState& s) const {
    if (ShowsRecords()) {
        if (id == CommandId::EditCopy) return true;
        if (id == CommandId::DeleteKey)
            return s.selectedRows > 0 &&
                   (m_mode == ListMode::DiskRecords || m_mode == ListMode::SavedQueries ||
                    m_mode == ListMode::Parameters);
        return false;
    }
    switch (id) {
        case CommandId::EditCopy:
            return DiskShown();
        case CommandId::EditPaste:
            if (ShowsMembers()) return m_files && m_files->Archives().CanPaste();
            return m_files && m_files->CanPaste();
        case CommandId::EditSelect:
            return DiskShown() && !ShowsMembers() && s.selectedRows > 0 && s.mapLoaded;
        case CommandId::DeleteKey:
            return DiskShown() && s.selectedRows > 0;
        default:
            return false;
    }
}

const char* CDiskView::CaptionHere(CommandId id, const CommandState&) const {
    return id == CommandId::EditSelect ? "Select current files" : nullptr;
}

void CDiskView::SelectInMap() {
    if (ShowsRecords() || ShowsMembers()) return;
    for (const int fdr : SelectedFdrs())
        m_disk.SelectFile(fdr, this);
}

bool CDiskView::HandleCommand(CommandId id) {
    if (id == CommandId::EditSelect && !ShowsRecords()) {
        SelectInMap();
        return true;
    }
    if (m_files && ShowsMembers()) return m_files->Archives().Run(id);
    if (m_files && !ShowsRecords() && m_files->Run(id)) return true;
    if (id == CommandId::EditCopy) {
        QApplication::clipboard()->setText(ListAsText());
        if (ShowsRecords() && m_recordActions) m_recordActions->RecordsCopied();
        return true;
    }
    if (id == CommandId::DeleteKey && ShowsRecords()) {
        if (m_recordActions) m_recordActions->DeleteRecords();
        return true;
    }
    return false;
}

// ---- Drag and drop ------------------------------------------------------------------------

void CDiskView::startDrag(Qt::DropActions) {
    if (!m_router || ShowsRecords()) return;
    if (ShowsMembers()) {
        if (CTreeItem* archive = m_disk.Archive())
            m_router->DragMembers(this, archive->Id(), SelectedMemberNames());
        return;
    }
    if (!Drive() || m_itemId <= 0) return;
    m_router->DragFiles(this, m_itemId, SelectedFdrs());
}

CTreeItem* CDiskView::DropItem() const {
    return ShowsMembers() ? m_disk.Archive() : m_disk.Item();
}

void CDiskView::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void CDiskView::dragMoveEvent(QDragMoveEvent* event) {
    if (m_router && !ShowsRecords() &&
        m_router->OnList(*event->mimeData(), DropItem()) != DropEffect::Refused) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CDiskView::dropEvent(QDropEvent* event) {
    if (!m_router || ShowsRecords() || !m_router->DropOnList(*event, DropItem())) event->ignore();
    stopAutoScroll();
    setState(NoState);
}

}  // namespace tavik
