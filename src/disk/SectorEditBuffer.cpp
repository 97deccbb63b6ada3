#include "disk/SectorEditBuffer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tavik {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr int kLastByte = kSectorSize - 1;

}  // namespace

void CSectorEditBuffer::Load(const uint8_t* sector) {
    std::memcpy(m_buffer.data(), sector, kSectorSize);
    m_reference = m_buffer;
}

void CSectorEditBuffer::SetBuffer(const uint8_t* sector) {
    std::memcpy(m_buffer.data(), sector, kSectorSize);
}

void CSectorEditBuffer::SetReference(const uint8_t* sector) {
    std::memcpy(m_reference.data(), sector, kSectorSize);
}

std::string CSectorEditBuffer::Line(int line) const {
    std::string text;
    text.reserve(dump::kLineWidth);
    char hex[8];
    std::snprintf(hex, sizeof hex, "%02X: ", line * dump::kBytesPerLine);
    text += hex;
    const uint8_t* bytes = m_buffer.data() + line * dump::kBytesPerLine;
    for (int j = 0; j < dump::kBytesPerLine; ++j) {
        std::snprintf(hex, sizeof hex, "%02X ", bytes[j]);
        text += hex;
    }
    for (int j = 0; j < dump::kBytesPerLine; ++j)
        text += bytes[j] < 0x20 ? ' ' : static_cast<char>(bytes[j]);
    return text;
}

std::string CSectorEditBuffer::Text() const {
    std::string text;
    for (int line = 0; line < dump::kLines; ++line) {
        if (line) text += "\r\n";
        text += Line(line);
    }
    return text;
}

std::vector<std::pair<int, int>> CSectorEditBuffer::DifferingRuns(int line) const {
    std::vector<std::pair<int, int>> runs;
    const int base = line * dump::kBytesPerLine;
    for (int j = 0; j < dump::kBytesPerLine; ++j) {
        if (!Differs(base + j)) continue;
        if (!runs.empty() && runs.back().second == j - 1)
            runs.back().second = j;
        else
            runs.emplace_back(j, j);
    }
    return runs;
}

int CSectorEditBuffer::ByteAtCaret(Caret caret) {
    const int line = std::clamp(caret.line, 0, dump::kLines - 1);
    int j = 0;
    if (caret.column >= dump::kCharStart)
        j = caret.column - dump::kCharStart;
    else if (caret.column >= dump::kHexStart)
        j = (caret.column - dump::kHexStart) / 3;
    return line * dump::kBytesPerLine + std::min(j, dump::kBytesPerLine - 1);
}

void CSectorEditBuffer::OpenGap(int i) {
    std::memmove(m_buffer.data() + i + 1, m_buffer.data() + i, static_cast<size_t>(kLastByte - i));
}

bool CSectorEditBuffer::Type(Caret& caret, char typed, bool insert) {
    if (caret.line > dump::kLines - 1 || caret.line < 0 || caret.column < dump::kHexStart) {
        caret = {std::clamp(caret.line, 0, dump::kLines - 1), dump::kHexStart};
        return false;
    }
    const int line = caret.line;
    // The column after the typed character decides which byte and which digit it is.
    const int after = caret.column + 1;
    if (after - dump::kHexStart <= 3 * dump::kBytesPerLine) {
        const int digit = (after - dump::kHexStart) % 3;
        if (digit == 0) return false;  // typed over the space between two bytes
        const int value = HexValue(typed);
        if (value < 0) return false;
        const int j = (after - dump::kHexStart) / 3;
        const int i = line * dump::kBytesPerLine + j;
        uint8_t& b = m_buffer[i];
        if (digit == 1) {
            if (insert) {
                OpenGap(i);
                b = 0;
            }
            b = static_cast<uint8_t>((b & 0x0F) | value << 4);
            caret.column = after;
        } else {
            b = static_cast<uint8_t>((b & 0xF0) | value);
            if (i == kLastByte)
                caret.column = after - 1;  // the last byte keeps the caret
            else if (j == dump::kBytesPerLine - 1)
                caret = {line + 1, dump::kHexStart};
            else
                caret.column = after + 1;
        }
        return true;
    }
    const int j = caret.column - dump::kCharStart;
    if (j >= dump::kBytesPerLine) return false;  // at the line end
    if (static_cast<uint8_t>(typed) < 0x20) return false;
    const int i = line * dump::kBytesPerLine + j;
    if (insert) OpenGap(i);
    m_buffer[i] = static_cast<uint8_t>(typed);
    if (i == kLastByte)
        caret.column = dump::CharColumn(j);
    else if (j == dump::kBytesPerLine - 1)
        caret = {line + 1, dump::kCharStart};
    else
        caret.column = after;
    return true;
}

bool CSectorEditBuffer::DeleteAfter(Caret caret) {
    if (caret.line < 0 || caret.line >= dump::kLines) return false;
    int i = 0;
    if (caret.column >= dump::kCharStart) {
        const int j = caret.column - dump::kCharStart;
        if (j >= dump::kBytesPerLine) return false;
        i = caret.line * dump::kBytesPerLine + j;
    } else {
        // The byte whose first digit follows the caret, perhaps the next line's first one.
        const int from = std::max(caret.column - dump::kHexStart, 0);
        i = caret.line * dump::kBytesPerLine + (from + 2) / 3;
        if (i > kLastByte) return false;
    }
    std::memmove(m_buffer.data() + i, m_buffer.data() + i + 1, static_cast<size_t>(kLastByte - i));
    return true;
}

}  // namespace tavik
