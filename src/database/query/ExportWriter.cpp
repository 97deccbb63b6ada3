#include "database/query/ExportWriter.h"

namespace tavik {

namespace {
constexpr size_t kChunk = 1 << 16;
}

CExportWriter::CExportWriter(Separators separators)
    : m_separators(std::move(separators)), m_protect() {
    for (const std::string* s : {&m_separators.field, &m_separators.record, &m_separators.table})
        for (char c : *s)
            m_protect[static_cast<unsigned char>(c)] = true;
    for (unsigned char c : {'\r', '\n', '\t'})
        m_protect[c] = true;
}

void CExportWriter::OpenFile(CPcFile& file) {
    m_file = &file;
    m_offset = 0;
    m_failed = false;
    m_buffer.clear();
}

void CExportWriter::OpenInMemory() {
    m_file = nullptr;
    m_failed = false;
    m_buffer.clear();
}

void CExportWriter::Put(const std::string& bytes) {
    m_buffer += bytes;
    if (m_file && m_buffer.size() >= kChunk) Drain();
}

void CExportWriter::Drain() {
    if (!m_file || m_buffer.empty()) return;
    if (m_file->WriteAt(m_offset, m_buffer.data(), m_buffer.size()) !=
        static_cast<int64_t>(m_buffer.size()))
        m_failed = true;
    m_offset += static_cast<int64_t>(m_buffer.size());
    m_buffer.clear();
}

void CExportWriter::BeginTable(const std::string& name, const std::vector<std::string>& captions) {
    Put(Protected(name));
    Put(m_separators.record);
    for (const std::string& caption : captions)
        Value(caption);
    EndRow();
}

std::string CExportWriter::Protected(const std::string& text) const {
    bool quoted = !text.empty() && text[0] == '"';
    for (size_t i = 0; i < text.size() && !quoted; ++i)
        quoted = m_protect[static_cast<unsigned char>(text[i])];
    if (!quoted) return text;
    std::string enclosed = "\"";
    for (char c : text) {
        if (c == '"') enclosed += '"';
        enclosed += c;
    }
    return enclosed + "\"";
}

void CExportWriter::Value(const std::string& text) {
    Put(Protected(text));
    Put(m_separators.field);
}

void CExportWriter::EndRow() {
    Put(m_separators.record);
}

void CExportWriter::EndTable() {
    Put(m_separators.table);
}

bool CExportWriter::Close() {
    Drain();
    m_file = nullptr;
    return !m_failed;
}

}  // namespace tavik
