// The query nodes of the drive tree as the catalogue's query logic sees them: the fields of a
// node, the chain of a node and its query ancestors that a statement is assembled from, and the
// tree access that loading saved queries needs.
#pragma once

#include <functional>
#include <vector>

#include "app/TreeModel.h"
#include "database/query/QueryFields.h"
#include "database/query/QueryStore.h"

namespace tavik {

QueryFields QueryFieldsOf(const CTreeItem& item);
// Writes the fields into the node; the item's text becomes the query name.
void SetQueryFields(CTreeModel& model, CTreeItem& item, const QueryFields& fields);

// The item, then each ancestor as long as it is a query node.
std::vector<QueryFields> QueryChain(const CTreeItem* item);

// Query nodes of a tree model; new nodes go under the database's query root unless a parent is
// given.
class CTreeQueryAccess : public CQueryTree {
public:
    CTreeQueryAccess(CTreeModel& model, CTreeItem* queryRoot) : m_model(model), m_root(queryRoot) {}

    std::vector<Node> QueryNodes(const std::string& name) override;
    QueryFields Fields(Node node) override;
    Node Insert(Node parent, const QueryFields& fields, bool select) override;

    static CTreeItem* Item(Node node) {
        return const_cast<CTreeItem*>(static_cast<const CTreeItem*>(node));
    }

    // Called with each node inserted with `select` set.
    std::function<void(CTreeItem*)> onSelect;

private:
    CTreeModel& m_model;
    CTreeItem* m_root;
};

}  // namespace tavik
