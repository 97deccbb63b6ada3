#include "TreeNode.h"

namespace tavik {

bool CTreeNode::Serialise(CArchive& ar) {
    auto value = static_cast<int32_t>(kind);
    if (ar.Int32(value)) kind = static_cast<NodeKind>(value);
    ar.String(path);
    ar.String(label);
    ar.Int32(deviceKey);
    ar.String(predicate);
    ar.String(where);
    ar.String(orderBy);
    ar.Int32(combination);
    ar.String(joinOn);
    ar.String(comments);
    ar.String(sql);
    ar.String(spareText);
    ar.Int32List(columns);
    return ar.Ok();
}

}  // namespace tavik
