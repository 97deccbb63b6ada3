// Reads the catalogue's text export back, token by token. A token ends at the field separator,
// the record separator or the table separator (tested in that order at each position, a longer
// one before one it begins with).
//
// A value the export had to protect is enclosed in double quotes, a double quote inside it
// doubled (ExportWriter.h); such a token runs to its closing quote, whatever separators it
// holds. A token that starts with a quote but whose quote does not close right before a
// separator is taken as it stands: files written before values were protected read as they
// always did. No separator may start with a double quote for this to hold; with one that does,
// every token is taken as it stands.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/query/Separators.h"

namespace tavik {

enum class TokenEnd { EndOfFile = 0, Field = 1, Record = 2, Table = 3 };

class CTokenReader {
public:
    // The reader keeps a view of `bytes`, which must outlive it. Every separator must be at
    // least one byte (Separators::Readable); with an empty one every read gives end of file.
    CTokenReader(std::string_view bytes, Separators separators);

    // The next token and what ended it; EndOfFile when the bytes ran out first (the token
    // then holds what was read).
    TokenEnd Read(std::string& token);

    // Reads one record: its fields (each ended by the field separator) up to the record
    // separator. What ended the record (Record, or Table / EndOfFile when the block or the
    // file ended inside or before it); `fields` holds what was read.
    TokenEnd ReadRecord(std::vector<std::string>& fields);

    // True when only the rest of a final table separator, or line breaks and blanks, remain.
    bool AtCleanEnd() const;
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    size_t Position() const { return m_pos; }
    // The line (from 1) of a position, as an editor would show it.
    size_t LineAt(size_t position) const;

private:
    int SeparatorAt(size_t position) const;  // 0 none, else a TokenEnd value
    bool ReadQuoted(std::string& token, TokenEnd& end);

    std::string_view m_bytes;
    Separators m_separators;
    bool m_readable;
    bool m_quotes;       // quoted values are read
    bool m_starts[256];  // bytes a separator starts with
    size_t m_pos = 0;
};

}  // namespace tavik
