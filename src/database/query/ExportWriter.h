// Writes the catalogue's text export: a sequence of table blocks, each the table name and the
// record separator, a header record of captions, one record per row, then the table separator.
// Every value (the last one of a record too) is followed by the field separator; values are
// written as they are, without quoting.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "database/query/Separators.h"

namespace tavik {

class CExportWriter {
public:
    explicit CExportWriter(Separators separators) : m_separators(std::move(separators)) {}
    ~CExportWriter();
    CExportWriter(const CExportWriter&) = delete;
    CExportWriter& operator=(const CExportWriter&) = delete;

    // Creates or truncates the file; false when it cannot be opened.
    bool Open(const std::string& path);
    // Collects into Text() instead of a file (for tests and small exports).
    void OpenInMemory();

    void BeginTable(const std::string& name, const std::vector<std::string>& captions);
    void BeginRow() {}
    void Value(const std::string& text);
    void EndRow();
    void EndTable();

    // Flushes and closes; false when a write failed.
    bool Close();
    const std::string& Text() const { return m_buffer; }

private:
    void Put(const std::string& bytes);
    void Drain();

    Separators m_separators;
    std::FILE* m_file = nullptr;
    bool m_memory = false;
    bool m_failed = false;
    std::string m_buffer;
};

}  // namespace tavik
