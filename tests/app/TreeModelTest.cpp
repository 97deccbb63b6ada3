#include "app/TreeModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace tavik;

namespace {
// Keeps a copy of the tree's shape from the notifications alone, as a Qt item model would, and
// checks each notification against the model's state at that moment.
class CMirror : public CTreeObserver {
public:
    explicit CMirror(CTreeModel& model) : m_model(model) {}

    void AboutToInsert(CTreeItem* parent, int row) override {
        auto& rows = m_rows[Key(parent)];
        EXPECT_EQ(static_cast<int>(rows.size()), m_model.ChildCount(parent));
        EXPECT_LE(row, static_cast<int>(rows.size()));
    }
    void Inserted(CTreeItem* parent, int row) override {
        CTreeItem* item = m_model.Child(parent, row);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Parent(), parent);
        auto& rows = m_rows[Key(parent)];
        rows.insert(rows.begin() + row, item->Id());
    }
    void AboutToRemove(CTreeItem* item) override {
        auto& rows = m_rows[Key(item->Parent())];
        ASSERT_LT(item->Row(), static_cast<int>(rows.size()));
        EXPECT_EQ(rows[static_cast<size_t>(item->Row())], item->Id());
        m_pendingRow = item->Row();
        m_pendingParent = Key(item->Parent());
        Drop(item->Id());
    }
    void Removed(CTreeItem* parent, int row) override {
        EXPECT_EQ(Key(parent), m_pendingParent);
        EXPECT_EQ(row, m_pendingRow);
        auto& rows = m_rows[Key(parent)];
        rows.erase(rows.begin() + row);
    }
    void AboutToMove(CTreeItem* item, CTreeItem* destination, int destinationRow) override {
        m_move = {Key(item->Parent()), item->Row(), Key(destination), destinationRow};
        EXPECT_EQ(m_rows[m_move.from][static_cast<size_t>(m_move.row)], item->Id());
    }
    void Moved(CTreeItem* item) override {
        auto& from = m_rows[m_move.from];
        from.erase(from.begin() + m_move.row);
        int to = m_move.destinationRow;
        if (m_move.from == m_move.to && to > m_move.row) --to;
        auto& dest = m_rows[m_move.to];
        dest.insert(dest.begin() + to, item->Id());
    }
    void Reordered(CTreeItem* parent) override {
        auto& rows = m_rows[Key(parent)];
        std::vector<ItemId> now;
        for (int i = 0; i < m_model.ChildCount(parent); ++i)
            now.push_back(m_model.Child(parent, i)->Id());
        auto a = rows, b = now;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        EXPECT_EQ(a, b);  // a reorder neither adds nor loses items
        rows = now;
    }

    // The mirror equals the model, every item's Row() and Parent() agree and Find() finds it.
    void Verify() const {
        size_t seen = 0;
        VerifyChildren(nullptr, seen);
        size_t mirrored = 0;
        for (const auto& [key, rows] : m_rows)
            mirrored += rows.size();
        EXPECT_EQ(mirrored, seen);
    }

private:
    ItemId Key(const CTreeItem* parent) const { return parent ? parent->Id() : 0; }
    void Drop(ItemId id) {
        auto it = m_rows.find(id);
        if (it == m_rows.end()) return;
        auto children = it->second;
        m_rows.erase(it);
        for (ItemId c : children)
            Drop(c);
    }
    void VerifyChildren(CTreeItem* parent, size_t& seen) const {
        auto it = m_rows.find(Key(parent));
        const int count = m_model.ChildCount(parent);
        ASSERT_EQ(it == m_rows.end() ? 0 : static_cast<int>(it->second.size()), count);
        for (int row = 0; row < count; ++row) {
            CTreeItem* child = m_model.Child(parent, row);
            EXPECT_EQ(it->second[static_cast<size_t>(row)], child->Id());
            EXPECT_EQ(child->Row(), row);
            EXPECT_EQ(child->Parent(), parent);
            EXPECT_EQ(m_model.Find(child->Id()), child);
            ++seen;
            VerifyChildren(child, seen);
        }
    }

    CTreeModel& m_model;
    std::map<ItemId, std::vector<ItemId>> m_rows;
    struct Move {
        ItemId from = 0;
        int row = 0;
        ItemId to = 0;
        int destinationRow = 0;
    } m_move;
    ItemId m_pendingParent = -1;
    int m_pendingRow = -1;
};

CTreeNode Folder(const std::string& name) {
    return CTreeNode(NodeKind::DummyFolder, {}, name);
}

std::vector<std::string> Texts(const CTreeItem* parent) {
    std::vector<std::string> out;
    for (int i = 0; i < parent->ChildCount(); ++i)
        out.push_back(parent->Child(i)->Text());
    return out;
}
}  // namespace

TEST(TreeModel, RootsComeInTheirOrderWithTheDatabaseGroups) {
    CTreeModel model;
    model.CreateRoots();
    ASSERT_EQ(model.RootCount(), 4);
    const NodeKind kinds[] = {NodeKind::PcRoot, NodeKind::TiRoot, NodeKind::EmulatorRoot,
                              NodeKind::DatabaseClosed};
    const char* texts[] = {"PC", "TI-99/4A", "Zantu", "Database closed"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model.Root(i)->Kind(), kinds[i]);
        EXPECT_EQ(model.Root(i)->Text(), texts[i]);
        EXPECT_EQ(model.Root(i)->Parent(), nullptr);
    }
    EXPECT_EQ(model.DatabaseRootItem()->Node().path, "Database closed");
    EXPECT_EQ(Texts(model.DatabaseRootItem()),
              (std::vector<std::string>{"Saved queries", "Parameters"}));
    EXPECT_EQ(model.SavedQueriesItem()->Kind(), NodeKind::SavedQueries);
    EXPECT_EQ(model.ParametersItem()->Kind(), NodeKind::Parameters);
}

TEST(TreeModel, NotificationsDescribeEveryChange) {
    CTreeModel model;
    CMirror mirror(model);
    model.AddObserver(&mirror);
    model.CreateRoots();
    CTreeItem* pc = model.PcRootItem();
    CTreeItem* a = model.Insert(pc, Folder("A"), "A");
    CTreeItem* b = model.Insert(pc, Folder("B"), "B");
    CTreeItem* c = model.Insert(pc, Folder("C"), "C", 0);
    CTreeItem* a1 = model.Insert(a, Folder("a1"), "a1");
    model.Insert(a1, Folder("a11"), "a11");
    model.Insert(a, Folder("a2"), "a2");
    mirror.Verify();
    EXPECT_EQ(Texts(pc), (std::vector<std::string>{"C", "A", "B"}));

    EXPECT_TRUE(model.Move(c, pc));  // to the end of its own parent
    EXPECT_EQ(Texts(pc), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_TRUE(model.Move(c, pc, 0));
    EXPECT_TRUE(model.Move(a1, b));
    EXPECT_TRUE(model.Move(b, c, 0));
    mirror.Verify();
    EXPECT_EQ(Texts(pc), (std::vector<std::string>{"C", "A"}));
    EXPECT_EQ(c->Child(0), b);
    EXPECT_EQ(b->Child(0), a1);

    model.SortChildren(pc,
                       [](const CTreeItem& x, const CTreeItem& y) { return x.Text() < y.Text(); });
    EXPECT_EQ(Texts(pc), (std::vector<std::string>{"A", "C"}));
    mirror.Verify();

    const ItemId gone = a1->Id();
    model.Remove(c);  // with b, a1 and a11 below it
    mirror.Verify();
    EXPECT_EQ(model.Find(gone), nullptr);
    model.RemoveChildren(model.DatabaseRootItem(),
                         [](const CTreeItem& i) { return i.Kind() == NodeKind::Parameters; });
    EXPECT_EQ(model.SavedQueriesItem(), nullptr);
    EXPECT_EQ(Texts(model.DatabaseRootItem()), std::vector<std::string>{"Parameters"});
    mirror.Verify();
}

TEST(TreeModel, RefusesMovesIntoItselfOrBelowAndOfRoots) {
    CTreeModel model;
    model.CreateRoots();
    CTreeItem* pc = model.PcRootItem();
    CTreeItem* a = model.Insert(pc, Folder("A"), "A");
    CTreeItem* a1 = model.Insert(a, Folder("a1"), "a1");
    EXPECT_FALSE(model.Move(a, a));
    EXPECT_FALSE(model.Move(a, a1));
    EXPECT_FALSE(model.Move(pc, a));
    EXPECT_FALSE(model.Move(a, nullptr));
    EXPECT_EQ(a->Parent(), pc);
    EXPECT_EQ(a1->Parent(), a);
}

TEST(TreeModel, IdsAreNeverReusedAndChangesAreReported) {
    CTreeModel model;
    model.CreateRoots();
    struct Changes : CTreeObserver {
        std::vector<ItemId> changed;
        void Changed(CTreeItem* item) override { changed.push_back(item->Id()); }
    } changes;
    model.AddObserver(&changes);
    CTreeItem* a = model.Insert(model.PcRootItem(), Folder("A"), "A");
    const ItemId first = a->Id();
    model.SetText(a, "Renamed");
    model.SetKind(a, NodeKind::PcFolder);
    EXPECT_EQ(changes.changed, (std::vector<ItemId>{first, first}));
    EXPECT_EQ(IconIndex(a->Kind()), 8);
    model.Remove(a);
    CTreeItem* b = model.Insert(model.PcRootItem(), Folder("B"), "B");
    EXPECT_NE(b->Id(), first);
    EXPECT_EQ(model.Find(first), nullptr);
    model.RemoveObserver(&changes);
    model.SetText(b, "x");
    EXPECT_EQ(changes.changed.size(), 2u);
}
