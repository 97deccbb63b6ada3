// The three separators of the catalogue's text export: field, record and table separator, each
// one of a few fixed byte sequences or a text the user types.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

enum class SeparatorChoice { Tab, CR, LF, CRLF, FormFeed, Null, Other };

// The bytes of a choice ("Other" gives `other`; "NULL" gives no byte).
std::string SeparatorBytes(SeparatorChoice choice, const std::string& other = {});

// The choice's caption ("Tab", "CR", "LF", "CR+LF", "Form feed", "NULL", "Other").
const char* SeparatorCaption(SeparatorChoice choice);

struct Separators {
    std::string field = "\t";
    std::string record = "\r\n";
    std::string table = "\f";

    // Reading needs every separator to be at least one byte: an empty one matches everywhere.
    bool Readable() const { return !field.empty() && !record.empty() && !table.empty(); }
    // Values can be enclosed in double quotes unless a separator starts with one.
    bool Quotable() const {
        for (const std::string* s : {&field, &record, &table})
            if (!s->empty() && (*s)[0] == '"') return false;
        return true;
    }
};

}  // namespace tavik
