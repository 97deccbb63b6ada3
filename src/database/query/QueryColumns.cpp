#include "database/query/QueryColumns.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace tavik {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// Every column name of the catalogue's disk and file tables, and "Last byte", the caption under
// which lists show Files.Last.
constexpr std::array<std::string_view, 27> kQualified = {"Archived date",
                                                         "Archived time",
                                                         "CRC",
                                                         "CRC-F",
                                                         "CRC-S",
                                                         "Creation date",
                                                         "Creation time",
                                                         "DD",
                                                         "Disk name",
                                                         "Drive",
                                                         "Drive type",
                                                         "DS",
                                                         "File name",
                                                         "Files",
                                                         "Free",
                                                         "ID",
                                                         "Info1",
                                                         "Info2",
                                                         "Info3",
                                                         "Last byte",
                                                         "Last",
                                                         "Modification date",
                                                         "Modification time",
                                                         "Protected",
                                                         "Records",
                                                         "Size",
                                                         "Type"};

bool IsCatalogueColumn(std::string_view name) {
    return std::any_of(kQualified.begin(), kQualified.end(),
                       [&](std::string_view c) { return SameName(c, name); });
}

}  // namespace

const std::vector<std::string>& QueryColumns(bool files) {
    static const std::vector<std::string> disks = {"Disk name",
                                                   "ID",
                                                   "Size",
                                                   "Free",
                                                   "Files",
                                                   "DS",
                                                   "DD",
                                                   "Protected",
                                                   "Creation date",
                                                   "Creation time",
                                                   "Modification date",
                                                   "Modification time",
                                                   "Archived date",
                                                   "Archived time",
                                                   "CRC-S",
                                                   "CRC-F",
                                                   "Drive type",
                                                   "Drive",
                                                   "Info1",
                                                   "Info2",
                                                   "Info3"};
    static const std::vector<std::string> fileColumns = {"File name",
                                                         "ID",
                                                         "Type",
                                                         "Size",
                                                         "Records",
                                                         "Last",
                                                         "Protected",
                                                         "Creation date",
                                                         "Creation time",
                                                         "Modification date",
                                                         "Modification time",
                                                         "Archived date",
                                                         "Archived time",
                                                         "CRC",
                                                         "Info1",
                                                         "Info2",
                                                         "Info3"};
    return files ? fileColumns : disks;
}

ColumnKind QueryColumnKind(bool files, std::string_view column) {
    const auto& columns = QueryColumns(files);
    auto it = std::find_if(columns.begin(), columns.end(),
                           [&](const std::string& c) { return SameName(c, column); });
    if (it == columns.end()) return ColumnKind::Text;
    const size_t index = static_cast<size_t>(it - columns.begin());
    // Disks: name, then ID Size Free Files, then DS DD Protected; Files: name, Type, then ID
    // Size Records Last, then Protected. Every later column is text.
    if (!files) {
        if (index >= 1 && index <= 4) return ColumnKind::Number;
        if (index >= 5 && index <= 7) return ColumnKind::YesNo;
        return ColumnKind::Text;
    }
    if (index == 1 || (index >= 3 && index <= 5)) return ColumnKind::Number;
    if (index == 6) return ColumnKind::YesNo;
    return ColumnKind::Text;
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
            if (IsCatalogueColumn(name)) {
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
