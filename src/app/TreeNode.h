// The data object of every drive-tree item (its kind: NodeKind.h).
//
// Workspace record of a node, in this order (archive encoding, see Archive.h):
//   kind int32, path, label, deviceKey int32, predicate, where, orderBy, combination int32,
//   joinOn, comments, sql, spareText (strings), columns (counted list of int32).
// The drive owned by image and drive nodes is not part of the record.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Archive.h"
#include "app/NodeKind.h"
#include "disk/VirtualDrive.h"

namespace tavik {

class CTreeNode {
public:
    CTreeNode() = default;
    CTreeNode(NodeKind kind_, std::string path_, std::string label_)
        : kind(kind_), path(std::move(path_)), label(std::move(label_)) {}

    // Writes or reads the record; reading stops at the first damage.
    bool Serialise(CArchive& ar);

    NodeKind kind = NodeKind::Unset;
    std::string path;   // PC path of a folder or image file
    std::string label;  // text shown; for queries the query name
    int32_t deviceKey = 0;
    // Query fields (columns of the saved-query table).
    std::string predicate;
    std::string where;
    std::string orderBy;
    int32_t combination = 0;  // above 0: combined with the parent query
    std::string joinOn;
    std::string comments;
    std::string sql;
    std::string spareText;
    std::vector<int32_t> columns;  // column codes of the query's list
    // Not part of the record: the query's display specification ("None" marks a free SQL
    // command); the column codes above are what is kept.
    std::string display;

    // Owned by image and drive nodes; destroyed with the node.
    std::unique_ptr<CVirtualDrive> drive;
};

}  // namespace tavik
