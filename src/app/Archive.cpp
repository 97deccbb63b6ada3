#include "Archive.h"

#include <algorithm>

#include "base/Cp1252.h"

namespace tavik {

namespace {
constexpr uint8_t kLongPrefix = 0xFF;
constexpr uint16_t kWideMarker = 0xFFFE;
constexpr uint16_t kLongerPrefix = 0xFFFF;
constexpr size_t kFlushThreshold = 64 * 1024;

// 16-bit characters (UTF-16) to code page 1252; characters the code page lacks become '?'.
std::string WideTo8Bit(const std::vector<uint16_t>& units) {
    std::string utf8;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t cp = units[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = '?';  // a lone surrogate
        }
        AppendUtf8(utf8, cp);
    }
    return Utf8ToCp1252(utf8);
}
}  // namespace

CArchive::CArchive(CPcFile& file, Mode mode) : m_file(file), m_mode(mode) {
    if (IsLoading()) {
        m_length = m_file.Length();
        if (m_length < 0) {
            m_length = 0;
            m_failed = true;
        }
    }
}

CArchive::~CArchive() {
    if (IsStoring()) Flush();
}

bool CArchive::Flush() {
    if (!IsStoring()) return Ok();
    if (!m_buffer.empty() && !m_failed) {
        int64_t written = m_file.WriteAt(m_position, m_buffer.data(), m_buffer.size());
        if (written != static_cast<int64_t>(m_buffer.size()))
            m_failed = true;
        else
            m_position += written;
    }
    m_buffer.clear();
    return Ok();
}

// ---- Raw bytes ---------------------------------------------------------------------------

bool CArchive::ReadBytes(void* buffer, size_t count) {
    if (m_failed || !IsLoading()) return Failed();
    if (static_cast<int64_t>(count) > Remaining()) return Failed();
    if (count == 0) return true;
    int64_t got = m_file.ReadAt(m_position, buffer, count);
    if (got != static_cast<int64_t>(count)) return Failed();
    m_position += got;
    return true;
}

void CArchive::WriteBytes(const void* data, size_t count) {
    if (m_failed || !IsStoring()) {
        m_failed = true;
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), bytes, bytes + count);
    if (m_buffer.size() >= kFlushThreshold) Flush();
}

// ---- One-way primitives ------------------------------------------------------------------

void CArchive::WriteInt32(int32_t value) {
    auto v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                              static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    WriteBytes(bytes, 4);
}

void CArchive::WriteUInt16(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    WriteBytes(bytes, 2);
}

void CArchive::WriteString(const std::string& value) {
    const size_t n = value.size();
    if (n < kLongPrefix) {
        const auto b = static_cast<uint8_t>(n);
        WriteBytes(&b, 1);
    } else if (n < kWideMarker) {
        WriteBytes(&kLongPrefix, 1);
        WriteUInt16(static_cast<uint16_t>(n));
    } else if (n <= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        WriteBytes(&kLongPrefix, 1);
        WriteUInt16(kLongerPrefix);
        WriteInt32(static_cast<int32_t>(n));
    } else {
        m_failed = true;  // cannot be encoded
        return;
    }
    WriteBytes(value.data(), n);
}

bool CArchive::ReadInt32(int32_t& value) {
    uint8_t b[4];
    if (!ReadBytes(b, 4)) return false;
    value = static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                                 uint32_t{b[3]} << 24);
    return true;
}

bool CArchive::ReadUInt16(uint16_t& value) {
    uint8_t b[2];
    if (!ReadBytes(b, 2)) return false;
    value = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

// After the wide marker the prefix comes once more; a second marker there is taken as the
// length 65534, so a chain of markers cannot recurse.
bool CArchive::ReadLength(int64_t& length, bool& wide, bool allowWide) {
    uint8_t b = 0;
    if (!ReadBytes(&b, 1)) return false;
    if (b < kLongPrefix) {
        length = b;
        return true;
    }
    uint16_t w = 0;
    if (!ReadUInt16(w)) return false;
    if (w == kWideMarker && allowWide) {
        wide = true;
        return ReadLength(length, wide, false);
    }
    if (w < kLongerPrefix) {
        length = w;
        return true;
    }
    int32_t d = 0;
    if (!ReadInt32(d)) return false;
    if (d < 0) return Failed();
    length = d;
    return true;
}

bool CArchive::ReadString(std::string& value) {
    int64_t length = 0;
    bool wide = false;
    if (!ReadLength(length, wide, true)) return false;
    const int64_t bytes = wide ? length * 2 : length;
    if (bytes > Remaining()) return Failed();
    if (!wide) {
        std::string text(static_cast<size_t>(length), '\0');
        if (!ReadBytes(text.data(), text.size())) return false;
        value = std::move(text);
        return true;
    }
    std::vector<uint8_t> raw(static_cast<size_t>(bytes));
    if (!ReadBytes(raw.data(), raw.size())) return false;
    std::vector<uint16_t> units(static_cast<size_t>(length));
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
    value = WideTo8Bit(units);
    return true;
}

bool CArchive::ReadCount(int64_t& count, int64_t minSize) {
    int32_t n = 0;
    if (!ReadInt32(n)) return false;
    if (n < 0 || static_cast<int64_t>(n) * minSize > Remaining()) return Failed();
    count = n;
    return true;
}

// ---- Exchange ----------------------------------------------------------------------------

bool CArchive::Int32(int32_t& value) {
    if (IsStoring())
        WriteInt32(value);
    else
        ReadInt32(value);
    return Ok();
}

bool CArchive::UInt16(uint16_t& value) {
    if (IsStoring())
        WriteUInt16(value);
    else
        ReadUInt16(value);
    return Ok();
}

bool CArchive::Point(ArPoint& value) {
    if (IsStoring()) {
        WriteInt32(value.x);
        WriteInt32(value.y);
        return Ok();
    }
    ArPoint p;
    if (ReadInt32(p.x) && ReadInt32(p.y)) value = p;
    return Ok();
}

bool CArchive::Rect(ArRect& value) {
    if (IsStoring()) {
        WriteInt32(value.left);
        WriteInt32(value.top);
        WriteInt32(value.right);
        WriteInt32(value.bottom);
        return Ok();
    }
    ArRect r;
    if (ReadInt32(r.left) && ReadInt32(r.top) && ReadInt32(r.right) && ReadInt32(r.bottom))
        value = r;
    return Ok();
}

bool CArchive::String(std::string& value) {
    if (IsStoring())
        WriteString(value);
    else
        ReadString(value);
    return Ok();
}

bool CArchive::Int32List(std::vector<int32_t>& list) {
    if (IsStoring()) {
        WriteInt32(static_cast<int32_t>(list.size()));
        for (int32_t v : list)
            WriteInt32(v);
        return Ok();
    }
    int64_t count = 0;
    if (!ReadCount(count, 4)) return false;
    list.clear();
    for (int64_t i = 0; i < count; ++i) {
        int32_t v = 0;
        if (!ReadInt32(v)) break;
        list.push_back(v);
    }
    return Ok();
}

bool CArchive::UInt16List(std::vector<uint16_t>& list) {
    if (IsStoring()) {
        WriteInt32(static_cast<int32_t>(list.size()));
        for (uint16_t v : list)
            WriteUInt16(v);
        return Ok();
    }
    int64_t count = 0;
    if (!ReadCount(count, 2)) return false;
    list.clear();
    for (int64_t i = 0; i < count; ++i) {
        uint16_t v = 0;
        if (!ReadUInt16(v)) break;
        list.push_back(v);
    }
    return Ok();
}

bool CArchive::StringList(std::vector<std::string>& list, size_t maxStored) {
    if (IsStoring()) {
        const size_t n = std::min(list.size(), maxStored);
        WriteInt32(static_cast<int32_t>(n));
        for (size_t i = 0; i < n; ++i)
            WriteString(list[i]);
        return Ok();
    }
    int64_t count = 0;
    if (!ReadCount(count, 1)) return false;
    list.clear();
    for (int64_t i = 0; i < count; ++i) {
        std::string s;
        if (!ReadString(s)) break;
        list.push_back(std::move(s));
    }
    return Ok();
}

}  // namespace tavik
