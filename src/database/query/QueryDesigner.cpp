#include "database/query/QueryDesigner.h"

#include <cstdio>

namespace tavik {

namespace {

const char* const kCombinationTexts[] = {
    "Standalone",     "INTERSECT with",        "UNION with",         "UNION ALL with",
    "LEFT JOIN with", "Disks with files from", "Files on disks from"};

constexpr int32_t kDisksKind = static_cast<int32_t>(QueryKind::Disks);
constexpr int32_t kFilesKind = static_cast<int32_t>(QueryKind::Files);

}  // namespace

std::vector<std::string> CombinationChoices(bool files, std::optional<int32_t> parentKind) {
    if (!parentKind) return {};
    const int32_t own = files ? kFilesKind : kDisksKind;
    if (*parentKind == own)
        return {kCombinationTexts[0], kCombinationTexts[1], kCombinationTexts[2],
                kCombinationTexts[3], kCombinationTexts[4]};
    if (*parentKind == kFilesKind && !files) return {kCombinationTexts[0], kCombinationTexts[5]};
    if (*parentKind == kDisksKind && files) return {kCombinationTexts[0], kCombinationTexts[6]};
    return {kCombinationTexts[0]};
}

std::string CombinationText(int32_t combination) {
    if (combination < 0 || combination > kFilesOnDisks) return {};
    return kCombinationTexts[combination];
}

std::string PredicateText(SelectChoice choice, long number) {
    char buffer[64];
    switch (choice) {
        case SelectChoice::All:
            return "SELECT ALL ";
        case SelectChoice::Top:
            std::snprintf(buffer, sizeof buffer, "SELECT TOP %ld ", number);
            return buffer;
        case SelectChoice::TopPercent:
            std::snprintf(buffer, sizeof buffer, "SELECT TOP %ld PERCENT ",
                          number > 100 ? 100L : number);
            return buffer;
        case SelectChoice::DistinctRow:
            return "SELECT DISTINCTROW ";
    }
    return "SELECT ALL ";
}

void ApplyDesigner(const DesignerInput& input, std::optional<int32_t> parentKind,
                   QueryFields& node) {
    node.predicate = PredicateText(input.select, input.number);
    node.name = input.name;
    node.where = input.where;
    node.orderBy = input.orderBy;
    node.comments = input.comments;
    const bool queryParent = parentKind && IsTableQuery(*parentKind);
    if (parentKind) {
        // Only the positions the list offered are taken; anything else is standalone.
        const int offered = static_cast<int>(CombinationChoices(input.files, parentKind).size());
        node.combination = input.combination >= 0 && input.combination < offered && queryParent
                               ? input.combination
                               : 0;
        node.joinOn = input.joinOn;
    } else {
        node.combination = kStandalone;
        node.joinOn.clear();
    }
    if (input.files) {
        node.kind = kFilesKind;
        if (node.combination >= 1 && parentKind == kDisksKind) node.combination += 5;
    } else {
        node.kind = kDisksKind;
        if (node.combination >= 1 && parentKind == kFilesKind) node.combination += 4;
    }
    // The node's own statement selects every column, as the assembled standalone query does.
    node.sql = node.predicate + (input.files ? "* FROM [Files]" : "* FROM [Disks]");
    if (!node.where.empty()) node.sql += " WHERE " + node.where;
    if (!node.orderBy.empty()) node.sql += " ORDER BY " + node.orderBy;
    node.display = input.display;
    node.columns.clear();
}

}  // namespace tavik
