// Writes the catalogue's text export: a sequence of table blocks, each the table name and the
// record separator, a header record of captions, one record per row, then the table separator.
// Every value (the last one of a record too) is followed by the field separator.
//
// A value (or table name) that could not be read back as it stands is enclosed in double quotes, a
// double quote inside it doubled: a value holding a byte of a separator, a line break or a tab, and
// a value that starts with a double quote. Every other value is written as it is. So the bytes 1 to
// 255 come back whatever the separators, as long as no separator starts with a double quote.
#pragma once

#include <string>
#include <vector>

#include "base/PcFile.h"
#include "database/query/Separators.h"

namespace tavik {

class CExportWriter {
public:
    explicit CExportWriter(Separators separators);
    CExportWriter(const CExportWriter&) = delete;
    CExportWriter& operator=(const CExportWriter&) = delete;

    // Writes into the file from its start (Close() flushes), or collects into Text().
    void OpenFile(CPcFile& file);
    void OpenInMemory();

    void BeginTable(const std::string& name, const std::vector<std::string>& captions);
    void Value(const std::string& text);
    void EndRow();
    void EndTable();

    // Flushes; false when a write failed.
    bool Close();
    const std::string& Text() const { return m_buffer; }

private:
    std::string Protected(const std::string& text) const;
    void Put(const std::string& bytes);
    void Drain();

    Separators m_separators;
    bool m_protect[256];  // bytes that make a value need its quotes
    CPcFile* m_file = nullptr;
    int64_t m_offset = 0;
    bool m_failed = false;
    std::string m_buffer;
};

}  // namespace tavik
