#include "views/TreeItemModel.h"

#include "qt/Icons.h"
#include "qt/QtText.h"

namespace tavik {

namespace {
bool HoldsImage(const CTreeItem* item) {
    if (!item) return false;
    if (IsImageKind(item->Kind())) return true;
    for (int i = 0; i < item->ChildCount(); ++i)
        if (HoldsImage(item->Child(i))) return true;
    return false;
}
}  // namespace

CTreeItemModel::CTreeItemModel(CTreeModel& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {
    m_tree.AddObserver(this);
}

CTreeItemModel::~CTreeItemModel() {
    m_tree.RemoveObserver(this);
}

CTreeItem* CTreeItemModel::ItemOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<CTreeItem*>(index.internalPointer()) : nullptr;
}

QModelIndex CTreeItemModel::IndexOf(const CTreeItem* item) const {
    if (!item) return {};
    return createIndex(item->Row(), 0, const_cast<CTreeItem*>(item));
}

QModelIndex CTreeItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    CTreeItem* p = ItemOf(parent);
    if (row >= m_tree.ChildCount(p)) return {};
    return createIndex(row, 0, m_tree.Child(p, row));
}

QModelIndex CTreeItemModel::parent(const QModelIndex& child) const {
    CTreeItem* item = ItemOf(child);
    return item ? IndexOf(item->Parent()) : QModelIndex();
}

int CTreeItemModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return m_tree.ChildCount(ItemOf(parent));
}

int CTreeItemModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant CTreeItemModel::data(const QModelIndex& index, int role) const {
    CTreeItem* item = ItemOf(index);
    if (!item) return {};
    switch (role) {
        case Qt::DisplayRole:
            if (fileNamesOnClash && fileNamesOnClash() && Clashes().Clashes(*item))
                return Q(LabelWithFileName(*item));
            return Q(item->Text());
        case Qt::EditRole:
            return Q(item->Text());
        case Qt::DecorationRole:
            return TreeIcon(item->Kind());
        case Qt::ToolTipRole:
            if (!item->Node().path.empty() && item->Kind() >= NodeKind::PcFolder &&
                item->Kind() <= NodeKind::TrackImage)
                return Q(item->Node().path);
            return {};
        default:
            return {};
    }
}

bool CTreeItemModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    CTreeItem* item = ItemOf(index);
    if (!item || role != Qt::EditRole) return false;
    const std::string text = S(value.toString());
    if (text.empty()) return false;
    item->Node().label = text;
    m_tree.SetText(item, text);
    return true;
}

Qt::ItemFlags CTreeItemModel::flags(const QModelIndex& index) const {
    CTreeItem* item = ItemOf(index);
    if (!item) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
    if (item->Kind() >= NodeKind::PcFolder) f |= Qt::ItemIsDragEnabled;
    return f;
}

const CDiskNameClashes& CTreeItemModel::Clashes() const {
    if (!m_clashesCounted) {
        m_clashes.Count(m_tree);
        m_clashesCounted = true;
    }
    return m_clashes;
}

void CTreeItemModel::RefreshLabels() {
    m_clashesCounted = false;
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

// Labels change only outside an insertion or removal, where the rows around it must keep theirs.
void CTreeItemModel::ImagesCameOrWent() {
    m_clashesCounted = false;
    if (fileNamesOnClash && fileNamesOnClash()) RefreshLabels();
}

void CTreeItemModel::AboutToInsert(CTreeItem* parent, int row) {
    beginInsertRows(IndexOf(parent), row, row);
}

void CTreeItemModel::Inserted(CTreeItem* parent, int row) {
    endInsertRows();
    if (HoldsImage(m_tree.Child(parent, row))) ImagesCameOrWent();
}

void CTreeItemModel::AboutToRemove(CTreeItem* item) {
    m_removingImages = HoldsImage(item);
    beginRemoveRows(IndexOf(item->Parent()), item->Row(), item->Row());
}

void CTreeItemModel::Removed(CTreeItem*, int) {
    endRemoveRows();
    if (m_removingImages) ImagesCameOrWent();
    m_removingImages = false;
}

void CTreeItemModel::AboutToMove(CTreeItem* item, CTreeItem* destination, int destinationRow) {
    const QModelIndex from = IndexOf(item->Parent());
    m_moveAsLayout =
        !beginMoveRows(from, item->Row(), item->Row(), IndexOf(destination), destinationRow);
    if (m_moveAsLayout) AboutToReorder(nullptr);
}

void CTreeItemModel::Moved(CTreeItem*) {
    if (m_moveAsLayout) {
        Reordered(nullptr);
        m_moveAsLayout = false;
    } else {
        endMoveRows();
    }
}

void CTreeItemModel::AboutToReorder(CTreeItem*) {
    emit layoutAboutToBeChanged();
    m_reorderIndexes = persistentIndexList();
    m_reorderItems.clear();
    for (const QModelIndex& i : m_reorderIndexes)
        m_reorderItems.push_back(ItemOf(i));
}

void CTreeItemModel::Reordered(CTreeItem*) {
    QModelIndexList to;
    for (CTreeItem* item : m_reorderItems)
        to << IndexOf(item);
    changePersistentIndexList(m_reorderIndexes, to);
    m_reorderIndexes.clear();
    m_reorderItems.clear();
    emit layoutChanged();
}

void CTreeItemModel::Changed(CTreeItem* item) {
    // A new disk name may start or end a clash with images elsewhere in the tree.
    if (IsImageKind(item->Kind())) {
        RefreshLabels();
        return;
    }
    const QModelIndex i = IndexOf(item);
    emit dataChanged(i, i);
}

void CTreeItemModel::ExpandRequested(CTreeItem* item) {
    emit ExpandIndex(IndexOf(item));
}

}  // namespace tavik
