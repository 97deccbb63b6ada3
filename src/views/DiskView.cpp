#include "views/DiskView.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>

#include "views/CatalogModel.h"

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

void CDiskView::ListDisk(CVirtualDrive* drive, const QString& itemText) {
    m_mode = ListMode::DiskCatalog;
    m_itemText = itemText;
    m_model->ListDisk(drive, m_prompt);
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
    return id == CommandId::EditCopy || id == CommandId::EditPaste || id == CommandId::EditSelect ||
           id == CommandId::DeleteKey;
}

bool CDiskView::IsEnabledHere(CommandId id, const CommandState& s) const {
    switch (id) {
        case CommandId::EditCopy:
            return DiskShown();
        case CommandId::EditPaste:
            return false;  // file clips arrive with the file commands
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
    if (id == CommandId::EditCopy) {
        QApplication::clipboard()->setText(ListAsText());
        return true;
    }
    return false;
}

}  // namespace tavik
