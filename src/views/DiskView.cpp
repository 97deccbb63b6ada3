#include "views/DiskView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <set>

#include "views/CatalogModel.h"
#include "views/FileCommands.h"

namespace tavik {

CDiskView::CDiskView(CUserPrompt& prompt, QWidget* parent)
    : QTreeView(parent), m_prompt(prompt), m_model(new CCatalogModel(this)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    static const int kWidths[] = {100, 50, 45, 60, 95, 110, 45};
    for (int c = 0; c < CCatalogModel::ColumnCount; ++c)
        header()->resizeSection(c, kWidths[c]);
}

void CDiskView::ListDisk(CVirtualDrive* drive, const QString& itemText, int itemId) {
    m_mode = ListMode::DiskCatalog;
    m_itemText = itemText;
    m_itemId = itemId;
    m_model->ListDisk(drive, m_prompt);
}

void CDiskView::Relist() {
    if (m_mode != ListMode::DiskCatalog || !Drive()) return;
    const std::vector<int> kept = SelectedFdrs();
    const int currentFdr = currentIndex().isValid() ? m_model->FdrOfRow(currentIndex().row()) : 0;
    m_model->ListDisk(Drive(), m_prompt);
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

void CDiskView::SetFileCommands(CFileCommands* commands) {
    m_files = commands;
    if (!commands) {
        m_model->onRename = nullptr;
        return;
    }
    setEditTriggers(QAbstractItemView::EditKeyPressed);
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
    index = m_model->index(index.row(), CCatalogModel::Name);
    setCurrentIndex(index);
    edit(index);
}

void CDiskView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid() || m_mode != ListMode::DiskCatalog || !m_files) return;
    if (!selectionModel()->isRowSelected(index.row(), {}))
        selectionModel()->select(index,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setCurrentIndex(index);
    QMenu menu("File context", this);
    const std::pair<const char*, CommandId> entries[] = {
        {"File properties", CommandId::FileProperties},
        {"Rename", CommandId::FileRename},
        {"(Un)Proctect", CommandId::FileProtect},
        {"Delete", CommandId::FileDelete},
        {nullptr, CommandId::Count},
        {"View as text", CommandId::FileViewText},
        {"View hexadecimal", CommandId::FileViewHex},
        {"Export", CommandId::FileExport},
        {nullptr, CommandId::Count},
        {"Select in map", CommandId::EditSelect}};
    for (const auto& [text, id] : entries) {
        if (!text) {
            menu.addSeparator();
            continue;
        }
        const CommandId command = id;
        QAction* a = menu.addAction(text, this, [this, command] { m_files->Run(command); });
        // The map takes files once it selects sectors.
        if (command == CommandId::EditSelect) a->setEnabled(false);
    }
    menu.exec(event->globalPos());
}

void CDiskView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (m_files && m_mode == ListMode::DiskCatalog && SelectedCount() == 1)
        m_files->Properties(SelectedFdrs().front());
}

void CDiskView::Clear() {
    m_itemText.clear();
    m_model->Clear();
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
    QString text = QStringLiteral("Disk: ") + m_itemText + QStringLiteral("\r\n");
    QStringList heads;
    for (int c = 0; c < m_model->columnCount(); ++c)
        heads << m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    text += heads.join('\t') + QStringLiteral("\r\n");
    for (int r = 0; r < m_model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m_model->columnCount(); ++c)
            cells << m_model->data(m_model->index(r, c), Qt::DisplayRole).toString();
        text += cells.join('\t') + QStringLiteral("\r\n");
    }
    return text;
}

bool CDiskView::HasHandler(CommandId id) const {
    if (m_files && id >= CommandId::FileCreate && id <= CommandId::FileImport) return false;
    return id == CommandId::EditCopy || id == CommandId::EditPaste || id == CommandId::EditSelect ||
           id == CommandId::DeleteKey;
}

bool CDiskView::IsEnabledHere(CommandId id, const CommandState& s) const {
    switch (id) {
        case CommandId::EditCopy:
            return DiskShown();
        case CommandId::EditPaste:
            return m_files && m_files->CanPaste();
        case CommandId::EditSelect:
            return DiskShown() && s.selectedRows > 0 && s.mapLoaded;
        case CommandId::DeleteKey:
            return DiskShown() && s.selectedRows > 0;
        default:
            return false;
    }
}

const char* CDiskView::CaptionHere(CommandId id, const CommandState&) const {
    return id == CommandId::EditSelect ? "Select current files" : nullptr;
}

bool CDiskView::HandleCommand(CommandId id) {
    if (m_files && m_mode == ListMode::DiskCatalog && m_files->Run(id)) return true;
    if (id == CommandId::EditCopy) {
        QApplication::clipboard()->setText(ListAsText());
        return true;
    }
    return false;
}

}  // namespace tavik
