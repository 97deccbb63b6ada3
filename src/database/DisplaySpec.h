// Display specifications: which fields a record list shows, in order, each with an optional width
// and justification. A specification is a row of tokens, "[caption]" or "[#n]" (field n), each
// optionally followed at once by "<" [width " "] [left|center|right] ">".
//
// Size codes (16 bits, one per field number): bits 14-15 justification (0 default, 1 left,
// 2 center, 3 right), bits 0-11 width in pixels; a size list writes them as "<n>" each.
// Column codes (32 bits, one per shown column): bits 30-31 justification, bits 16-27 width,
// the low bits the field number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/DbValue.h"

namespace tavik {

class CDatabase;

enum class ListKind { DiskCatalog, DiskQuery, FileQuery, QueryList, ParamList, FreeSql };

enum Justification : int {
    JustifyDefault = 0,
    JustifyLeft = 1,
    JustifyCenter = 2,
    JustifyRight = 3
};

// The captions of a list's fields; the position is the field number. Empty for free SQL results,
// whose fields are the statement's columns.
const std::vector<std::string>& ListCaptions(ListKind list);

inline uint32_t ColumnCode(int field, int width, int justification) {
    return (static_cast<uint32_t>(width & 0xFFF) << 16) | static_cast<uint32_t>(field & 0xFFFF) |
           (static_cast<uint32_t>(justification & 3) << 30);
}
inline int CodeField(uint32_t code) {
    return static_cast<int>(code & 0xFFFF);
}
inline int CodeWidth(uint32_t code) {
    return static_cast<int>((code >> 16) & 0xFFF);
}
inline int CodeJustification(uint32_t code) {
    return static_cast<int>(code >> 30);
}
inline int SizeWidth(uint16_t size) {
    return size & 0xFFF;
}
inline int SizeJustification(uint16_t size) {
    return size >> 14;
}

// "<100><0xC028>...": split at each "<", each number read as a C integer.
std::vector<uint16_t> ParseSizeList(std::string_view text);
std::string WriteSizeList(const std::vector<uint16_t>& sizes);

// The columns a specification shows. `captions` are the list's captions (for free SQL results
// the names of the returned fields); widths and justifications missing from a token come from
// `sizes` by field number.
std::vector<uint32_t> BuildColumns(std::string_view spec, const std::vector<std::string>& captions,
                                   const std::vector<uint16_t>& sizes, bool freeSql);

// The display text for column codes ("Get current").
std::string WriteSpecification(const std::vector<uint32_t>& columns,
                               const std::vector<std::string>& captions, bool freeSql);

// The size list a specification sets ("Default column sizes"): each token's entry becomes its
// width plus its justification, a format without a justification word counting as left.
std::vector<uint16_t> SizesFromSpecification(std::string_view spec,
                                             const std::vector<std::string>& captions,
                                             std::vector<uint16_t> sizes);

// The builder row: the format for a size text and a justify choice (0 Default .. 3 Right), and
// the text "Add" appends for a field name (group entries "-- All ... fields --" expand to every
// caption in `all`).
std::string BuilderFormat(const std::string& sizeText, int justify);
std::string BuilderAddition(const std::string& field, const std::string& format,
                            const std::vector<std::string>& all);

// A cell's text by the field's engine type; a null is empty.
std::string ValueToText(const CDbValue& value, DbType type);

// The database's default specifications and sizes, kept in Info.
struct DisplayDefaults {
    std::string diskFields;
    std::string fileFields;
    std::string queryListFields;
    std::string paramListFields;
    std::vector<uint16_t> diskSizes;
    std::vector<uint16_t> fileSizes;
    std::vector<uint16_t> queryListSizes;
    std::vector<uint16_t> paramListSizes;
    std::vector<uint16_t> sqlSizes;

    // Reads the nine Info rows (a missing row leaves its value as it is).
    bool Load(CDatabase& db);
    // Writes the nine rows, adding those that are missing.
    bool Save(CDatabase& db) const;
};

}  // namespace tavik
