#include "database/query/ExportWriter.h"

namespace tavik {

namespace {
constexpr size_t kChunk = 1 << 16;
}

CExportWriter::~CExportWriter() {
    Close();
}

bool CExportWriter::Open(const std::string& path) {
    Close();
    m_file = std::fopen(path.c_str(), "wb");
    m_failed = false;
    m_buffer.clear();
    return m_file != nullptr;
}

void CExportWriter::OpenInMemory() {
    Close();
    m_memory = true;
    m_failed = false;
    m_buffer.clear();
}

void CExportWriter::Put(const std::string& bytes) {
    m_buffer += bytes;
    if (m_buffer.size() >= kChunk) Drain();
}

void CExportWriter::Drain() {
    if (!m_file || m_buffer.empty()) return;
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
}

void CExportWriter::BeginTable(const std::string& name, const std::vector<std::string>& captions) {
    Put(name);
    Put(m_separators.record);
    for (const std::string& caption : captions)
        Value(caption);
    EndRow();
}

void CExportWriter::Value(const std::string& text) {
    Put(text);
    Put(m_separators.field);
}

void CExportWriter::EndRow() {
    Put(m_separators.record);
}

void CExportWriter::EndTable() {
    Put(m_separators.table);
}

bool CExportWriter::Close() {
    if (m_memory) {
        m_memory = false;
        return !m_failed;
    }
    if (!m_file) return !m_failed;
    Drain();
    if (std::fclose(m_file) != 0) m_failed = true;
    m_file = nullptr;
    return !m_failed;
}

}  // namespace tavik
