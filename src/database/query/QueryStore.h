// Queries and parameters kept in the catalogue: saving a query node into Queries, loading a
// saved query (with the parents it names) into the drive tree, removing saved queries, and the
// parameter list's operations on Params. The tree is reached through CQueryTree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/Catalogue.h"
#include "database/query/QueryFields.h"

namespace tavik {

// What loading needs of the drive tree. Node handles are the tree's own; null is "none".
class CQueryTree {
public:
    using Node = const void*;
    virtual ~CQueryTree() = default;
    // Every query node (kinds 14 to 16) named `name`, in display order.
    virtual std::vector<Node> QueryNodes(const std::string& name) = 0;
    virtual QueryFields Fields(Node node) = 0;
    // Inserts a query node as the last child of `parent` (null: the database's query root).
    virtual Node Insert(Node parent, const QueryFields& fields, bool select) = 0;
};

enum class SaveOutcome { Saved, Cancelled, Failed };

// Saves the node under its name, asking before an existing row of that name is overwritten.
// `parentName` is the parent node's label (written when the node is combined). When the list
// does not show the saved queries, "Query saved in database" is shown.
SaveOutcome SaveQuery(CCatalogue& catalogue, const QueryFields& node, const std::string& parentName,
                      bool listShowsSavedQueries);

// Loads the saved row `id` into the tree under `under` (or under the node of the parent it
// names); the node, or null when nothing was loaded.
CQueryTree::Node LoadQuery(CCatalogue& catalogue, int32_t id, CQueryTree& tree,
                           CQueryTree::Node under = nullptr, bool select = false, int depth = 0);

// Removes the saved queries after "Remove %d queries from database?"; the number removed.
int DeleteSavedQueries(CCatalogue& catalogue, const std::vector<int32_t>& ids);

// Adds a Params row; false ("A parameter with this name already exists.") when the name is
// taken. A type that is no valid class is stored as text.
bool NewParameter(CCatalogue& catalogue, const std::string& name, int32_t type,
                  const std::string& value = {}, const std::string& comments = {});
// Removes parameter rows after "Remove %d parameters from database?"; the number removed.
int DeleteParameters(CCatalogue& catalogue, const std::vector<int32_t>& ids);
// The Type column edited in the list: TEXT, NUM or BOOL anywhere in the text; otherwise
// "Illegal type. Must be TEXT, NUM or BOOL." and nothing is written.
bool SetParameterType(CCatalogue& catalogue, int32_t id, const std::string& text);

}  // namespace tavik
