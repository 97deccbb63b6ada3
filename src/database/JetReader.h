// Reading the tables of a Jet (.mdb/.accdb) file, for the import of old catalogues. The libmdb
// implementation is CMdbReader; tests put a small fake behind the same interface.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

class CJetReader {
public:
    virtual ~CJetReader() = default;

    using Row = std::vector<std::optional<std::string>>;  // code page 1252 texts; nullopt = null

    // The user tables' names.
    virtual std::vector<std::string> Tables() = 0;
    // Calls row() for every row of the table in stored order, with the values in the order of
    // `columns` (filled first). False, with ErrorText(), when the table cannot be read; row()
    // returning false stops the reading (and ReadTable returns false).
    virtual bool ReadTable(const std::string& table, std::vector<std::string>& columns,
                           const std::function<bool(const Row&)>& row) = 0;
    virtual std::string ErrorText() const = 0;
};

// True when the file starts like a Jet or ACE database ("Standard Jet DB" at offset 4).
bool IsJetFile(const std::string& path);

}  // namespace tavik
