#include "database/query/TokenReader.h"

#include <algorithm>

namespace tavik {

CTokenReader::CTokenReader(std::string_view bytes, Separators separators)
    : m_bytes(bytes),
      m_separators(std::move(separators)),
      m_readable(m_separators.Readable()),
      m_quotes(m_separators.Quotable()),
      m_starts() {
    for (const std::string* s : {&m_separators.field, &m_separators.record, &m_separators.table})
        if (!s->empty()) m_starts[static_cast<unsigned char>((*s)[0])] = true;
}

// Where two separators match (one begins the other) the longer one is taken: a table separator
// "\r\n\r\n" after the record separator "\r\n" ends the block.
int CTokenReader::SeparatorAt(size_t p) const {
    if (p >= m_bytes.size() || !m_starts[static_cast<unsigned char>(m_bytes[p])]) return 0;
    const std::string* order[] = {&m_separators.field, &m_separators.record, &m_separators.table};
    int found = 0;
    for (int k = 0; k < 3; ++k) {
        const std::string& s = *order[k];
        if (m_bytes.size() - p >= s.size() && m_bytes.compare(p, s.size(), s) == 0 &&
            (!found || s.size() > order[found - 1]->size()))
            found = k + 1;
    }
    return found;
}

bool CTokenReader::ReadQuoted(std::string& token, TokenEnd& end) {
    std::string value;
    size_t p = m_pos + 1;
    while (p < m_bytes.size()) {
        const size_t quote = m_bytes.find('"', p);
        if (quote == std::string_view::npos) return false;
        value.append(m_bytes.substr(p, quote - p));
        if (quote + 1 < m_bytes.size() && m_bytes[quote + 1] == '"') {
            value += '"';
            p = quote + 2;
            continue;
        }
        const int separator = SeparatorAt(quote + 1);
        if (separator == 0) return false;
        static const TokenEnd kEnds[] = {TokenEnd::EndOfFile, TokenEnd::Field, TokenEnd::Record,
                                         TokenEnd::Table};
        const std::string* order[] = {nullptr, &m_separators.field, &m_separators.record,
                                      &m_separators.table};
        m_pos = quote + 1 + order[separator]->size();
        token = std::move(value);
        end = kEnds[separator];
        return true;
    }
    return false;
}

TokenEnd CTokenReader::Read(std::string& token) {
    token.clear();
    if (!m_readable) return TokenEnd::EndOfFile;
    TokenEnd end;
    if (m_quotes && m_pos < m_bytes.size() && m_bytes[m_pos] == '"' && ReadQuoted(token, end))
        return end;
    const size_t start = m_pos;
    while (m_pos < m_bytes.size()) {
        const int separator = SeparatorAt(m_pos);
        if (separator == 0) {
            ++m_pos;
            continue;
        }
        token.assign(m_bytes.substr(start, m_pos - start));
        switch (separator) {
            case 1:
                m_pos += m_separators.field.size();
                return TokenEnd::Field;
            case 2:
                m_pos += m_separators.record.size();
                return TokenEnd::Record;
            default:
                m_pos += m_separators.table.size();
                return TokenEnd::Table;
        }
    }
    token.assign(m_bytes.substr(start));
    return TokenEnd::EndOfFile;
}

TokenEnd CTokenReader::ReadRecord(std::vector<std::string>& fields) {
    fields.clear();
    std::string token;
    while (true) {
        const TokenEnd end = Read(token);
        if (end != TokenEnd::Field) {
            // The record separator ends the record; its last field ended with the field
            // separator, so what stands before the record separator is empty.
            if (end != TokenEnd::Record || !token.empty()) fields.push_back(std::move(token));
            return end;
        }
        fields.push_back(std::move(token));
    }
}

bool CTokenReader::AtCleanEnd() const {
    std::string_view rest = m_bytes.substr(std::min(m_pos, m_bytes.size()));
    const std::string& table = m_separators.table;
    if (!table.empty() && rest.substr(0, table.size()) == table) rest.remove_prefix(table.size());
    return rest.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

size_t CTokenReader::LineAt(size_t position) const {
    const std::string_view before = m_bytes.substr(0, std::min(position, m_bytes.size()));
    const std::string& record = m_separators.record;
    if (record.find('\n') != std::string::npos || record.find('\r') == std::string::npos)
        return 1 + static_cast<size_t>(std::count(before.begin(), before.end(), '\n'));
    return 1 + static_cast<size_t>(std::count(before.begin(), before.end(), '\r'));
}

}  // namespace tavik
