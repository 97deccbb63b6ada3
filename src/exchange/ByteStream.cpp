#include "exchange/ByteStream.h"

#include <algorithm>
#include <cstring>

namespace tavik {

namespace {
constexpr size_t kChunk = 64 * 1024;
}

CByteReader::CByteReader(CPcFile& file, int64_t start) : m_file(file), m_start(start) {}

bool CByteReader::Fill() {
    // The refill starts one byte early so that Unget works across it.
    const int64_t from = m_position > 0 ? m_position - 1 : 0;
    m_buffer.resize(kChunk);
    const int64_t got = m_file.ReadAt(m_start + from, m_buffer.data(), kChunk);
    m_buffer.resize(got > 0 ? static_cast<size_t>(got) : 0);
    m_bufferStart = from;
    if (got < 0) m_failed = true;
    return m_position < m_bufferStart + static_cast<int64_t>(m_buffer.size());
}

int CByteReader::Get() {
    if (m_failed) return -1;
    if (m_position < m_bufferStart ||
        m_position >= m_bufferStart + static_cast<int64_t>(m_buffer.size())) {
        if (!Fill()) return -1;
    }
    return m_buffer[static_cast<size_t>(m_position++ - m_bufferStart)];
}

void CByteReader::Unget() {
    if (m_position > 0) --m_position;
}

size_t CByteReader::Read(uint8_t* dest, size_t count) {
    size_t done = 0;
    while (done < count) {
        const int c = Get();
        if (c < 0) break;
        dest[done++] = static_cast<uint8_t>(c);
    }
    return done;
}

void CByteReader::SkipTo(int64_t position) {
    if (position > m_position) m_position = position;
}

}  // namespace tavik
