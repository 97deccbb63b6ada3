#include "support/FaultFile.h"

#include <algorithm>
#include <cstring>

namespace tavik::test {

const char* FaultName(Fault fault) {
    switch (fault) {
        case Fault::WriteError:
            return "write error";
        case Fault::ShortWrite:
            return "short write";
        case Fault::DiskFull:
            return "disk full";
        case Fault::Stop:
            return "stop";
        case Fault::ReadError:
            return "read error";
        default:
            return "no fault";
    }
}

void CFaultFile::Arm(Fault fault, int at) {
    m_counters = Counters{fault, at};
}

bool CFaultFile::WriteAllowed(int64_t end, bool& half) {
    Counters& c = Count();
    const int n = ++c.writes;
    half = false;
    switch (c.fault) {
        case Fault::WriteError:
            if (n != c.at) return true;
            break;
        case Fault::ShortWrite:
            if (n != c.at) return true;
            half = true;
            c.fired = true;
            return true;
        case Fault::DiskFull:
            if (n < c.at || end <= static_cast<int64_t>(m_bytes.size())) return true;
            break;
        case Fault::Stop:
            if (n < c.at) return true;
            break;
        default:
            return true;
    }
    c.fired = true;
    return false;
}

int64_t CFaultFile::ReadAt(int64_t offset, void* buffer, size_t count) {
    Counters& c = Count();
    if (++c.reads == c.at && c.fault == Fault::ReadError) {
        c.fired = true;
        return -1;
    }
    if (offset < 0) return -1;
    const auto size = static_cast<int64_t>(m_bytes.size());
    if (offset >= size) return 0;
    const size_t n =
        static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), size - offset));
    std::memcpy(buffer, m_bytes.data() + offset, n);
    return static_cast<int64_t>(n);
}

int64_t CFaultFile::WriteAt(int64_t offset, const void* buffer, size_t count) {
    bool half = false;
    if (offset < 0 || !WriteAllowed(offset + static_cast<int64_t>(count), half)) return -1;
    if (half) count /= 2;
    const size_t end = static_cast<size_t>(offset) + count;
    if (end > m_bytes.size()) m_bytes.resize(end);
    if (count) std::memcpy(m_bytes.data() + offset, buffer, count);
    return static_cast<int64_t>(count);
}

bool CFaultFile::SetLength(int64_t length) {
    bool half = false;
    if (length < 0 || !WriteAllowed(length, half) || half) return false;
    m_bytes.resize(static_cast<size_t>(length));
    return true;
}

bool CFaultFile::ReplaceContents(const std::function<bool(CPcFile&)>& write) {
    CFaultFile fresh({}, &Count());
    if (!write(fresh)) return false;
    m_bytes.swap(fresh.m_bytes);
    return true;
}

}  // namespace tavik::test
