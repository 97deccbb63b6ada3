// The drive tree without any widget: items in display order, each with its node (and, for image
// and drive nodes, the drive the node owns). The desktop program shows this model in a tree
// view; every change goes through the model, which tells its observers before and after, in
// pairs that map onto a Qt item model's begin/end notifications.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/TreeNode.h"

namespace tavik {

// Unique for the whole run; never reused. Names an item in the internal clip ("<%d> Disk: ").
using ItemId = int32_t;

class CTreeModel;

class CTreeItem {
public:
    ItemId Id() const { return m_id; }
    // Null for a root.
    CTreeItem* Parent() const;
    int ChildCount() const { return static_cast<int>(m_children.size()); }
    CTreeItem* Child(int row) const;
    // Position among its siblings (for a root: among the roots).
    int Row() const { return m_row; }
    const std::string& Text() const { return m_text; }
    NodeKind Kind() const { return m_node.kind; }
    CTreeNode& Node() { return m_node; }
    const CTreeNode& Node() const { return m_node; }
    CVirtualDrive* Drive() const { return m_node.drive.get(); }
    // True when this item is other or one of other's ancestors.
    bool Contains(const CTreeItem* other) const;

private:
    friend class CTreeModel;
    CTreeItem(ItemId id, CTreeItem* parent, CTreeNode node, std::string text)
        : m_id(id), m_parent(parent), m_text(std::move(text)), m_node(std::move(node)) {}

    ItemId m_id;
    CTreeItem* m_parent;  // the model's hidden top item for roots
    int m_row = 0;
    std::vector<std::unique_ptr<CTreeItem>> m_children;
    std::string m_text;
    CTreeNode m_node;
};

// Notifications; parent null means the top level (the roots). Rows are positions among the
// parent's children; for a move, destinationRow is the position in the destination before the
// move takes place (as Qt's beginMoveRows counts it).
class CTreeObserver {
public:
    virtual ~CTreeObserver() = default;
    virtual void AboutToInsert(CTreeItem* /*parent*/, int /*row*/) {}
    virtual void Inserted(CTreeItem* /*parent*/, int /*row*/) {}
    // The item and everything below it are about to go (nodes and drives with them).
    virtual void AboutToRemove(CTreeItem* /*item*/) {}
    virtual void Removed(CTreeItem* /*parent*/, int /*row*/) {}
    virtual void AboutToMove(CTreeItem* /*item*/, CTreeItem* /*destination*/,
                             int /*destinationRow*/) {}
    virtual void Moved(CTreeItem* /*item*/) {}
    // The children of parent are about to be reordered / have been.
    virtual void AboutToReorder(CTreeItem* /*parent*/) {}
    virtual void Reordered(CTreeItem* /*parent*/) {}
    // Text or kind (icon) changed.
    virtual void Changed(CTreeItem* /*item*/) {}
    virtual void ExpandRequested(CTreeItem* /*item*/) {}
};

class CTreeModel {
public:
    CTreeModel();
    ~CTreeModel();
    CTreeModel(const CTreeModel&) = delete;
    CTreeModel& operator=(const CTreeModel&) = delete;

    // Creates, in this order, "PC", "TI-99/4A", the emulator root "Zantu" and "Database closed"
    // with "Saved queries" and "Parameters" under it.
    void CreateRoots();
    CTreeItem* PcRootItem() const { return m_pcRoot; }
    CTreeItem* TiRootItem() const { return m_tiRoot; }
    CTreeItem* EmulatorRootItem() const { return m_emulatorRoot; }
    CTreeItem* DatabaseRootItem() const { return m_databaseRoot; }
    CTreeItem* SavedQueriesItem() const { return m_savedQueries; }
    CTreeItem* ParametersItem() const { return m_parameters; }

    int RootCount() const { return m_top->ChildCount(); }
    CTreeItem* Root(int row) const { return m_top->Child(row); }
    int ChildCount(const CTreeItem* parent) const;  // parent null: the roots
    CTreeItem* Child(const CTreeItem* parent, int row) const;

    // Inserts at row (-1: as the last child). Parent null makes a root.
    CTreeItem* Insert(CTreeItem* parent, CTreeNode node, std::string text, int row = -1);
    // Deletes the item and all below it, with their nodes and drives.
    void Remove(CTreeItem* item);
    // Deletes the children of parent except those keep() says to keep.
    void RemoveChildren(CTreeItem* parent, const std::function<bool(const CTreeItem&)>& keep = {});
    // Moves the item with its children under destination at row (-1: last). Refused (false) for
    // roots, and for a destination that is the item itself or lies below it.
    bool Move(CTreeItem* item, CTreeItem* destination, int row = -1);
    // Stable sort of the children of parent.
    void SortChildren(CTreeItem* parent,
                      const std::function<bool(const CTreeItem&, const CTreeItem&)>& less);

    void SetText(CTreeItem* item, std::string text);
    void SetKind(CTreeItem* item, NodeKind kind);
    // For other changes of an item's node that a view shows.
    void NotifyChanged(CTreeItem* item);
    void Expand(CTreeItem* item);

    // The item with this id, null when it is gone.
    CTreeItem* Find(ItemId id) const;
    // Every item, depth-first in display order.
    void ForEach(const std::function<void(CTreeItem&)>& visit) const;

    void AddObserver(CTreeObserver* observer);
    void RemoveObserver(CTreeObserver* observer);

private:
    CTreeItem* Top(CTreeItem* parent) const { return parent ? parent : m_top.get(); }
    CTreeItem* Outer(CTreeItem* parent) const { return parent == m_top.get() ? nullptr : parent; }
    void Renumber(CTreeItem* parent, size_t from);
    void Forget(CTreeItem* item);
    template <typename F>
    void Notify(F f) {
        for (CTreeObserver* o : std::vector<CTreeObserver*>(m_observers))
            f(*o);
    }

    std::unique_ptr<CTreeItem> m_top;
    ItemId m_nextId = 1;
    std::unordered_map<ItemId, CTreeItem*> m_items;
    std::vector<CTreeObserver*> m_observers;
    CTreeItem* m_pcRoot = nullptr;
    CTreeItem* m_tiRoot = nullptr;
    CTreeItem* m_emulatorRoot = nullptr;
    CTreeItem* m_databaseRoot = nullptr;
    CTreeItem* m_savedQueries = nullptr;
    CTreeItem* m_parameters = nullptr;
};

}  // namespace tavik
