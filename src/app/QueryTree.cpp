#include "app/QueryTree.h"

namespace tavik {

QueryFields QueryFieldsOf(const CTreeItem& item) {
    const CTreeNode& n = item.Node();
    QueryFields f;
    f.kind = static_cast<int32_t>(n.kind);
    f.name = n.label;
    f.comments = n.comments;
    f.predicate = n.predicate;
    f.where = n.where;
    f.orderBy = n.orderBy;
    f.joinOn = n.joinOn;
    f.combination = n.combination;
    f.sql = n.sql;
    f.display = n.display;
    f.columns = n.columns;
    return f;
}

void SetQueryFields(CTreeModel& model, CTreeItem& item, const QueryFields& f) {
    CTreeNode& n = item.Node();
    n.label = f.name;
    n.comments = f.comments;
    n.predicate = f.predicate;
    n.where = f.where;
    n.orderBy = f.orderBy;
    n.joinOn = f.joinOn;
    n.combination = f.combination;
    n.sql = f.sql;
    n.display = f.display;
    n.columns = f.columns;
    model.SetKind(&item, static_cast<NodeKind>(f.kind));
    model.SetText(&item, f.name);
}

std::vector<QueryFields> QueryChain(const CTreeItem* item) {
    std::vector<QueryFields> chain;
    for (const CTreeItem* i = item; i && IsQueryKind(i->Kind()); i = i->Parent())
        chain.push_back(QueryFieldsOf(*i));
    return chain;
}

std::vector<CQueryTree::Node> CTreeQueryAccess::QueryNodes(const std::string& name) {
    std::vector<Node> nodes;
    m_model.ForEach([&](CTreeItem& item) {
        if (IsQueryKind(item.Kind()) && item.Node().label == name) nodes.push_back(&item);
    });
    return nodes;
}

QueryFields CTreeQueryAccess::Fields(Node node) {
    return QueryFieldsOf(*Item(node));
}

CQueryTree::Node CTreeQueryAccess::Insert(Node parent, const QueryFields& f, bool select) {
    CTreeNode node(static_cast<NodeKind>(f.kind), {}, f.name);
    node.comments = f.comments;
    node.predicate = f.predicate;
    node.where = f.where;
    node.orderBy = f.orderBy;
    node.joinOn = f.joinOn;
    node.combination = f.combination;
    node.sql = f.sql;
    node.display = f.display;
    node.columns = f.columns;
    CTreeItem* under = parent ? Item(parent) : m_root;
    CTreeItem* item = m_model.Insert(under, std::move(node), f.name);
    if (select && onSelect) onSelect(item);
    return item;
}

}  // namespace tavik
