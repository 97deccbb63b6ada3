#include "database/query/TokenReader.h"

namespace tavik {

CTokenReader::CTokenReader(std::string_view bytes, Separators separators)
    : m_bytes(bytes), m_separators(std::move(separators)), m_readable(m_separators.Readable()) {}

bool CTokenReader::Matches(const std::string& separator) const {
    return m_bytes.size() - m_pos >= separator.size() &&
           m_bytes.compare(m_pos, separator.size(), separator) == 0;
}

TokenEnd CTokenReader::Read(std::string& token) {
    token.clear();
    if (!m_readable) return TokenEnd::EndOfFile;
    while (true) {
        if (m_pos + 1 >= m_bytes.size()) return TokenEnd::EndOfFile;
        if (Matches(m_separators.field)) {
            m_pos += m_separators.field.size();
            return TokenEnd::Field;
        }
        if (Matches(m_separators.record)) {
            m_pos += m_separators.record.size();
            return TokenEnd::Record;
        }
        if (Matches(m_separators.table)) {
            m_pos += m_separators.table.size();
            return TokenEnd::Table;
        }
        token.push_back(m_bytes[m_pos++]);
    }
}

bool CTokenReader::ReadTableName(std::string& name) {
    return Read(name) == TokenEnd::Record;
}

void CTokenReader::SkipBlock() {
    std::string token;
    while (true) {
        const TokenEnd end = Read(token);
        if (end == TokenEnd::Table || end == TokenEnd::EndOfFile) return;
    }
}

bool CTokenReader::SkipRecord() {
    std::string token;
    while (true) {
        switch (Read(token)) {
            case TokenEnd::Field:
                continue;
            case TokenEnd::Record:
                return true;
            case TokenEnd::Table:
            case TokenEnd::EndOfFile:
                return false;
        }
    }
}

bool CTokenReader::ReadRecord(size_t count, std::vector<std::string>& fields) {
    fields.resize(count);
    TokenEnd end = TokenEnd::Field;
    for (size_t i = 0; i < count; ++i) {
        end = Read(fields[i]);
        if (end != TokenEnd::Field) break;
    }
    if (end == TokenEnd::Field) {
        std::string rest;
        end = Read(rest);
        if (end == TokenEnd::Record && rest.empty()) return true;
    }
    // A record cut short or running long: the block's remaining tokens are not taken for the
    // next table's name.
    if (end == TokenEnd::Field || end == TokenEnd::Record) SkipBlock();
    return false;
}

}  // namespace tavik
