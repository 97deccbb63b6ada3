#include "exchange/ArkLzw.h"

#include <array>
#include <memory>

namespace tavik {

namespace {

constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kFirstFree = 258;
constexpr int kTableSize = 4096;
constexpr int kMinWidth = 9;
constexpr int kMaxWidth = 12;
constexpr size_t kStreamBlock = 256;

class CBitWriter {
public:
    void Put(int code, int width) {
        m_pending = m_pending << width | static_cast<uint32_t>(code);
        for (m_count += width; m_count >= 8;) {
            m_count -= 8;
            m_bytes.push_back(static_cast<uint8_t>(m_pending >> m_count));
        }
    }
    std::vector<uint8_t> Finish() {
        if (m_count) m_bytes.push_back(static_cast<uint8_t>(m_pending << (8 - m_count)));
        m_bytes.resize((m_bytes.size() + kStreamBlock - 1) / kStreamBlock * kStreamBlock, 0);
        return std::move(m_bytes);
    }

private:
    std::vector<uint8_t> m_bytes;
    uint32_t m_pending = 0;  // its low m_count bits are not yet written
    int m_count = 0;
};

// The writer's table: the code of (prefix code, next byte), by open addressing.
class CStringTable {
public:
    CStringTable() { Clear(); }
    void Clear() { m_keys.fill(-1); }
    int Find(int prefix, uint8_t byte) const {
        const int key = prefix << 8 | byte;
        for (size_t at = Slot(key);; at = (at + 1) % kSlots) {
            if (m_keys[at] == key) return m_codes[at];
            if (m_keys[at] < 0) return -1;
        }
    }
    void Add(int prefix, uint8_t byte, int code) {
        const int key = prefix << 8 | byte;
        size_t at = Slot(key);
        while (m_keys[at] >= 0)
            at = (at + 1) % kSlots;
        m_keys[at] = key;
        m_codes[at] = static_cast<uint16_t>(code);
    }

private:
    // Twice the table's size, so that a probe always meets an empty slot.
    static constexpr size_t kSlots = 8192;
    static size_t Slot(int key) { return (static_cast<size_t>(key) * 2654435761u) % kSlots; }
    std::array<int32_t, kSlots> m_keys;
    std::array<uint16_t, kSlots> m_codes{};
};

}  // namespace

std::vector<uint8_t> ArkCompress(const uint8_t* data, size_t size) {
    CBitWriter out;
    auto table = std::make_unique<CStringTable>();
    int width = kMinWidth;
    int next = kFirstFree;
    out.Put(kClearCode, width);
    size_t i = 0;
    while (i < size) {
        int code = data[i++];
        while (i < size) {
            const int longer = table->Find(code, data[i]);
            if (longer < 0) break;
            code = longer;
            ++i;
        }
        out.Put(code, width);
        if (i == size) break;
        if (next == kTableSize) {
            out.Put(kClearCode, width);
            table->Clear();
            width = kMinWidth;
            next = kFirstFree;
            continue;
        }
        table->Add(code, data[i], next);
        if (next >= (1 << width) && width < kMaxWidth) ++width;
        ++next;
    }
    out.Put(kEndCode, width);
    return out.Finish();
}

CArkLzwDecoder::CArkLzwDecoder(const uint8_t* data, size_t size)
    : m_data(data),
      m_size(size),
      m_prefix(kTableSize),
      m_suffix(kTableSize),
      m_first(kTableSize),
      m_length(kTableSize) {
    for (int c = 0; c < 256; ++c) {
        m_suffix[c] = m_first[c] = static_cast<uint8_t>(c);
        m_length[c] = 1;
    }
}

void CArkLzwDecoder::Reset() {
    m_width = kMinWidth;
    m_next = kFirstFree;
    m_previous = -1;
    m_widened = false;
}

bool CArkLzwDecoder::ReadCode(int width, int& code) {
    if (m_bit + static_cast<size_t>(width) > m_size * 8) return false;
    // A code of at most 12 bits starting anywhere in a byte lies within three bytes.
    const size_t at = m_bit / 8;
    uint32_t window = uint32_t{m_data[at]} << 16;
    if (at + 1 < m_size) window |= uint32_t{m_data[at + 1]} << 8;
    if (at + 2 < m_size) window |= m_data[at + 2];
    code = static_cast<int>((window >> (24 - m_bit % 8 - static_cast<size_t>(width))) &
                            ((1u << width) - 1));
    m_bit += static_cast<size_t>(width);
    return true;
}

bool CArkLzwDecoder::OnlyZeroBitsFrom(size_t bit) const {
    if (bit % 8 && (m_data[bit / 8] & (0xFF >> (bit % 8)))) return false;
    for (size_t at = (bit + 7) / 8; at < m_size; ++at)
        if (m_data[at]) return false;
    return true;
}

bool CArkLzwDecoder::Step() {
    int code = 0;
    if (m_widened) {
        m_widened = false;
        // An end code at the old width, followed by nothing but padding, ends the stream.
        const size_t at = m_bit;
        if (ReadCode(m_width - 1, code) && code == kEndCode && OnlyZeroBitsFrom(m_bit)) {
            m_state = ArkLzwState::Ended;
            return false;
        }
        m_bit = at;
    }
    if (!ReadCode(m_width, code)) {
        m_state = ArkLzwState::Exhausted;
        return false;
    }
    if (code == kClearCode) {
        Reset();
        return true;
    }
    if (code == kEndCode) {
        m_state = ArkLzwState::Ended;
        return false;
    }
    if (m_previous < 0) {
        if (code > 255) {
            m_state = ArkLzwState::Damaged;
            return false;
        }
        m_out.push_back(static_cast<uint8_t>(code));
        m_previous = code;
        return true;
    }
    // A code is a string of the table, or the one being made (the previous string and its own
    // first byte).
    const bool known = code < m_next;
    if (!known && (code != m_next || m_next >= kTableSize)) {
        m_state = ArkLzwState::Damaged;
        return false;
    }
    const int spelled = known ? code : m_previous;
    const size_t length = m_length[static_cast<size_t>(spelled)];
    const size_t at = m_out.size();
    m_out.resize(at + length);
    for (size_t k = length, c = static_cast<size_t>(spelled); k-- > 0; c = m_prefix[c])
        m_out[at + k] = m_suffix[c];
    const uint8_t first = m_first[static_cast<size_t>(spelled)];
    if (!known) m_out.push_back(first);

    if (m_next < kTableSize) {
        const size_t n = static_cast<size_t>(m_next);
        const size_t p = static_cast<size_t>(m_previous);
        m_prefix[n] = static_cast<uint16_t>(m_previous);
        m_suffix[n] = first;
        m_first[n] = m_first[p];
        m_length[n] = static_cast<uint16_t>(m_length[p] + 1);
        ++m_next;
    }
    m_previous = code;
    if (m_next >= (1 << m_width) && m_width < kMaxWidth) {
        ++m_width;
        m_widened = true;
    }
    return true;
}

ArkLzwState CArkLzwDecoder::DecodeUntil(size_t length) {
    while (m_state == ArkLzwState::Running && m_out.size() < length)
        Step();
    return m_state;
}

bool CArkLzwDecoder::MoreDataFollows() {
    const size_t had = m_out.size();
    while (m_state == ArkLzwState::Running && m_out.size() == had)
        Step();
    return m_out.size() != had;
}

}  // namespace tavik
