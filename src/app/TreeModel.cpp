#include "TreeModel.h"

#include <algorithm>

namespace tavik {

CTreeItem* CTreeItem::Parent() const {
    return m_parent && m_parent->m_parent ? m_parent : nullptr;
}

CTreeItem* CTreeItem::Child(int row) const {
    if (row < 0 || row >= ChildCount()) return nullptr;
    return m_children[static_cast<size_t>(row)].get();
}

bool CTreeItem::Contains(const CTreeItem* other) const {
    for (const CTreeItem* p = other; p; p = p->m_parent)
        if (p == this) return true;
    return false;
}

CTreeModel::CTreeModel() : m_top(new CTreeItem(0, nullptr, CTreeNode(), {})) {}

CTreeModel::~CTreeModel() = default;

void CTreeModel::CreateRoots() {
    m_pcRoot = Insert(nullptr, CTreeNode(NodeKind::PcRoot, {}, "PC"), "PC");
    m_tiRoot = Insert(nullptr, CTreeNode(NodeKind::TiRoot, {}, "TI-99/4A"), "TI-99/4A");
    m_emulatorRoot = Insert(nullptr, CTreeNode(NodeKind::EmulatorRoot, {}, "Zantu"), "Zantu");
    m_databaseRoot =
        Insert(nullptr, CTreeNode(NodeKind::DatabaseClosed, "Database closed", "Database closed"),
               "Database closed");
    m_savedQueries = Insert(m_databaseRoot, CTreeNode(NodeKind::SavedQueries, {}, "Saved queries"),
                            "Saved queries");
    m_parameters =
        Insert(m_databaseRoot, CTreeNode(NodeKind::Parameters, {}, "Parameters"), "Parameters");
}

int CTreeModel::ChildCount(const CTreeItem* parent) const {
    return parent ? parent->ChildCount() : m_top->ChildCount();
}

CTreeItem* CTreeModel::Child(const CTreeItem* parent, int row) const {
    return parent ? parent->Child(row) : m_top->Child(row);
}

void CTreeModel::Renumber(CTreeItem* parent, size_t from) {
    for (size_t i = from; i < parent->m_children.size(); ++i)
        parent->m_children[i]->m_row = static_cast<int>(i);
}

CTreeItem* CTreeModel::Insert(CTreeItem* parent, CTreeNode node, std::string text, int row) {
    CTreeItem* p = Top(parent);
    const int count = p->ChildCount();
    if (row < 0 || row > count) row = count;
    Notify([&](CTreeObserver& o) { o.AboutToInsert(parent, row); });
    std::unique_ptr<CTreeItem> item(new CTreeItem(m_nextId++, p, std::move(node), std::move(text)));
    CTreeItem* raw = item.get();
    p->m_children.insert(p->m_children.begin() + row, std::move(item));
    Renumber(p, static_cast<size_t>(row));
    m_items[raw->m_id] = raw;
    Notify([&](CTreeObserver& o) { o.Inserted(parent, row); });
    return raw;
}

void CTreeModel::Forget(CTreeItem* item) {
    m_items.erase(item->m_id);
    CTreeItem** named[] = {&m_pcRoot,       &m_tiRoot,       &m_emulatorRoot,
                           &m_databaseRoot, &m_savedQueries, &m_parameters};
    for (CTreeItem** n : named)
        if (*n == item) *n = nullptr;
    for (auto& child : item->m_children)
        Forget(child.get());
}

void CTreeModel::Remove(CTreeItem* item) {
    if (!item || item == m_top.get()) return;
    CTreeItem* p = item->m_parent;
    CTreeItem* parent = Outer(p);
    const int row = item->m_row;
    Notify([&](CTreeObserver& o) { o.AboutToRemove(item); });
    Forget(item);
    std::unique_ptr<CTreeItem> gone = std::move(p->m_children[static_cast<size_t>(row)]);
    p->m_children.erase(p->m_children.begin() + row);
    Renumber(p, static_cast<size_t>(row));
    gone.reset();
    Notify([&](CTreeObserver& o) { o.Removed(parent, row); });
}

void CTreeModel::RemoveChildren(CTreeItem* parent,
                                const std::function<bool(const CTreeItem&)>& keep) {
    CTreeItem* p = Top(parent);
    for (int row = p->ChildCount() - 1; row >= 0; --row) {
        CTreeItem* child = p->Child(row);
        if (!keep || !keep(*child)) Remove(child);
    }
}

bool CTreeModel::Move(CTreeItem* item, CTreeItem* destination, int row) {
    if (!item || !destination || !item->Parent() || item->Contains(destination)) return false;
    CTreeItem* from = item->m_parent;
    const int count = destination->ChildCount();
    if (row < 0 || row > count) row = count;
    const int oldRow = item->m_row;
    if (from == destination && (row == oldRow || row == oldRow + 1)) return true;  // stays put
    Notify([&](CTreeObserver& o) { o.AboutToMove(item, destination, row); });
    std::unique_ptr<CTreeItem> moving = std::move(from->m_children[static_cast<size_t>(oldRow)]);
    from->m_children.erase(from->m_children.begin() + oldRow);
    Renumber(from, static_cast<size_t>(oldRow));
    if (from == destination && row > oldRow) --row;
    moving->m_parent = destination;
    destination->m_children.insert(destination->m_children.begin() + row, std::move(moving));
    Renumber(destination, static_cast<size_t>(row));
    Notify([&](CTreeObserver& o) { o.Moved(item); });
    return true;
}

void CTreeModel::SortChildren(CTreeItem* parent,
                              const std::function<bool(const CTreeItem&, const CTreeItem&)>& less) {
    CTreeItem* p = Top(parent);
    Notify([&](CTreeObserver& o) { o.AboutToReorder(parent); });
    std::stable_sort(p->m_children.begin(), p->m_children.end(),
                     [&](const auto& a, const auto& b) { return less(*a, *b); });
    Renumber(p, 0);
    Notify([&](CTreeObserver& o) { o.Reordered(parent); });
}

void CTreeModel::SetText(CTreeItem* item, std::string text) {
    item->m_text = std::move(text);
    NotifyChanged(item);
}

void CTreeModel::SetKind(CTreeItem* item, NodeKind kind) {
    item->m_node.kind = kind;
    NotifyChanged(item);
}

void CTreeModel::NotifyChanged(CTreeItem* item) {
    Notify([&](CTreeObserver& o) { o.Changed(item); });
}

void CTreeModel::Expand(CTreeItem* item) {
    Notify([&](CTreeObserver& o) { o.ExpandRequested(item); });
}

CTreeItem* CTreeModel::Find(ItemId id) const {
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second;
}

void CTreeModel::ForEach(const std::function<void(CTreeItem&)>& visit) const {
    std::vector<CTreeItem*> stack;
    for (int i = m_top->ChildCount() - 1; i >= 0; --i)
        stack.push_back(m_top->Child(i));
    while (!stack.empty()) {
        CTreeItem* item = stack.back();
        stack.pop_back();
        visit(*item);
        for (int i = item->ChildCount() - 1; i >= 0; --i)
            stack.push_back(item->Child(i));
    }
}

void CTreeModel::AddObserver(CTreeObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CTreeModel::RemoveObserver(CTreeObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

}  // namespace tavik
