// What the catalogue logic needs of a query node of the drive tree: its kind and the columns it
// is saved with. The tree keeps these in its nodes; the logic here sees copies, so it needs no
// tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// The node kinds of queries (the drive tree's kinds 14 to 16).
enum class QueryKind : int32_t { Disks = 14, Files = 15, Sql = 16 };

inline bool IsTableQuery(int32_t kind) {
    return kind == static_cast<int32_t>(QueryKind::Disks) ||
           kind == static_cast<int32_t>(QueryKind::Files);
}

// How a query combines with its parent query.
enum Combination : int32_t {
    kStandalone = 0,
    kIntersect = 1,
    kUnion = 2,
    kUnionAll = 3,
    kLeftJoin = 4,
    kDisksWithFiles = 5,
    kFilesOnDisks = 6,
};

struct QueryFields {
    int32_t kind = static_cast<int32_t>(QueryKind::Disks);
    std::string name;
    std::string comments;
    std::string predicate;  // "SELECT ALL ", "SELECT TOP 5 ", ...
    std::string where;      // without the word WHERE
    std::string orderBy;    // without the words ORDER BY
    std::string joinOn;
    int32_t combination = kStandalone;
    std::string sql;               // the node's own statement (the whole query for free SQL nodes)
    std::string display;           // display specification; "None" marks a free SQL command
    std::vector<int32_t> columns;  // column codes of the node's list
};

}  // namespace tavik
