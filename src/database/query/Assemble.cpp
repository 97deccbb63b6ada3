#include "database/query/Assemble.h"

#include "database/query/QueryColumns.h"

namespace tavik {

namespace {

std::string Alias(int n) {
    return " t" + std::to_string(n);
}

}  // namespace

std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n'))
        text.pop_back();
    return text;
}

std::string Assemble(std::span<const QueryFields> chain, size_t index, int depth, bool idsOnly) {
    if (index >= chain.size()) return {};
    const QueryFields& node = chain[index];
    const std::string table =
        node.kind == static_cast<int32_t>(QueryKind::Disks) ? "[Disks]" : "[Files]";
    const std::string from = idsOnly ? "[ID] FROM " : "* FROM ";
    const std::string where = TrimRight(node.where);
    const std::string orderBy = TrimRight(node.orderBy);
    const std::string joinOn = TrimRight(node.joinOn);
    const std::string p = TrimRight(node.predicate) + " ";

    const bool hasParent = index + 1 < chain.size() && IsTableQuery(chain[index + 1].kind);
    const int32_t combination = hasParent ? node.combination : kStandalone;
    if (combination < kStandalone || combination > kFilesOnDisks) return {};
    auto sub = [&] { return Assemble(chain, index + 1, depth + 1, true); };

    std::string s;
    switch (combination) {
        case kStandalone:
            s = p + from + table;
            if (!where.empty()) s += " WHERE " + where;
            break;
        case kIntersect:
        case kUnion: {
            s = p + from + table;
            std::string w = " [ID] IN (" + sub() + ")";
            if (!where.empty()) w += (combination == kIntersect ? "AND (" : "OR (") + where + ")";
            s += " WHERE " + w;
            break;
        }
        case kUnionAll: {
            // The parent keeps this node's column choice, so that both halves of the union
            // select the same columns also when this node is itself a sub-statement.
            std::string own = p + from + table;
            if (!where.empty()) own += " WHERE " + where;
            s = Assemble(chain, index + 1, depth + 1, idsOnly) + " UNION ALL (" + own + ")";
            break;
        }
        case kLeftJoin: {
            s = p + " " + " [this]" + "." + from + table + " AS" + " [this]" + " LEFT JOIN " +
                table + " AS" + " [parent]" + " ON " + joinOn;
            std::string w = " [parent].[ID] IN (" + sub() + ")";
            if (!where.empty()) w += "AND (" + where + ")";
            s += " WHERE " + w;
            break;
        }
        case kDisksWithFiles:
        case kFilesOnDisks: {
            const std::string t0 = Alias(depth), t1 = Alias(depth + 1), t2 = Alias(depth + 2);
            if (combination == kDisksWithFiles)
                s = p + t0 + "." + from + "[Disks]" + t0 + " INNER JOIN ([DiskFileMM]" + t1 +
                    " INNER JOIN [Files]" + t2 + " ON " + t2 + ".[ID] =" + t1 + ".[FileID]) ON" +
                    t1 + ".[DiskID] =" + t0 + ".[ID]";
            else
                s = p + t0 + "." + from + "[Files]" + t0 + " INNER JOIN ([DiskFileMM]" + t1 +
                    " INNER JOIN [Disks]" + t2 + " ON" + t2 + ".[ID] =" + t1 + ".[DiskID]) ON" +
                    t1 + ".[FileID] =" + t0 + ".[ID]";
            const std::string w = t2 + ".[ID] IN (" + sub() + ")";
            if (!where.empty())
                s += " WHERE (" + QualifyColumns(where, t0) + ")" + " AND (" + w + ")";
            else
                s += " WHERE (" + w + ")";
            break;
        }
    }
    if (!orderBy.empty()) {
        // In the joins over three tables a bare [Size] would be ambiguous: the order columns
        // are this node's, like its condition's.
        const bool joined = combination == kDisksWithFiles || combination == kFilesOnDisks;
        s += " ORDER BY " + (joined ? QualifyColumns(orderBy, Alias(depth)) : orderBy);
    }
    return s;
}

}  // namespace tavik
