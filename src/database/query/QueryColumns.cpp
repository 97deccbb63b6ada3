#include "database/query/QueryColumns.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "database/CatalogueColumns.h"

namespace tavik {

const std::vector<std::string>& QueryColumns(bool files) {
    static const auto kNames = [] {
        std::array<std::vector<std::string>, 2> names;
        for (int f = 0; f < 2; ++f)
            for (const CatalogueColumn& c :
                 CatalogueColumns(f ? CatalogueTable::Files : CatalogueTable::Disks))
                names[static_cast<size_t>(f)].push_back(c.name);
        return names;
    }();
    return kNames[files ? 1 : 0];
}

ColumnKind QueryColumnKind(bool files, std::string_view column) {
    const CatalogueTable table = files ? CatalogueTable::Files : CatalogueTable::Disks;
    const int index = CatalogueColumnIndex(table, column);
    if (index < 0) return ColumnKind::Text;
    switch (CatalogueColumns(table)[static_cast<size_t>(index)].type) {
        case DbType::Boolean:
            return ColumnKind::YesNo;
        case DbType::Byte:
        case DbType::Short:
        case DbType::Long:
            return ColumnKind::Number;
        default:
            return ColumnKind::Text;
    }
}

std::string QualifyColumns(std::string_view text, std::string_view alias) {
    std::string out;
    out.reserve(text.size() + 16);
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"') {
            // A text literal runs to the next quote; a doubled quote stays inside it.
            size_t end = i + 1;
            while (end < text.size()) {
                if (text[end] == '"') {
                    if (end + 1 < text.size() && text[end + 1] == '"') {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            end = std::min(end + 1, text.size());
            out.append(text.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '[') {
            const size_t close = text.find(']', i + 1);
            if (close == std::string_view::npos) {
                out.append(text.substr(i));
                break;
            }
            const std::string_view name = text.substr(i + 1, close - i - 1);
            if (IsDiskOrFileColumn(name)) {
                out.append(alias);
                out.push_back('.');
            }
            out.append(text.substr(i, close + 1 - i));
            i = close + 1;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

}  // namespace tavik
