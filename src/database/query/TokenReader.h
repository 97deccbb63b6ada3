// Reads the catalogue's text export back, token by token. A token ends at a field separator, a
// record separator or a table separator (tested in that order at each position); the last byte
// of the file never belongs to a token, so the file's final separator need not be complete.
// On top of the tokens: table names, header records, records of a known number of fields.
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

    TokenEnd Read(std::string& token);

    // A table name: true when it ends with the record separator.
    bool ReadTableName(std::string& name);
    // Skips tokens until a table separator (or the end).
    void SkipBlock();
    // Skips the header record; false when the block or the file ended first.
    bool SkipRecord();

    // Reads one record of `count` fields. True when all came, each ended by a field separator,
    // and the record ended with a record separator. Otherwise the block is over: when the
    // table separator was not what ended it, the rest of the block is skipped.
    bool ReadRecord(size_t count, std::vector<std::string>& fields);

    bool AtEnd() const { return m_pos + 1 >= m_bytes.size(); }
    size_t Position() const { return m_pos; }

private:
    bool Matches(const std::string& separator) const;

    std::string_view m_bytes;
    Separators m_separators;
    bool m_readable;
    size_t m_pos = 0;
};

}  // namespace tavik
