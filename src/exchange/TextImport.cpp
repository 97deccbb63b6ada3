#include "exchange/TextImport.h"

#include <cstring>

#include "disk/DiskTypes.h"

namespace tavik {

namespace {
constexpr int kCr = 0x0D;
constexpr int kLf = 0x0A;
constexpr int kTab = 0x09;
bool IsLineEnd(int c) {
    return c == kCr || c == kLf;
}
}  // namespace

CTextRecordReader::CTextRecordReader(CByteReader& in, int recordLength,
                                     const TextImportSettings& settings, bool fixedRecords)
    : m_in(in), m_length(recordLength), m_settings(settings), m_fixed(fixedRecords) {}

int CTextRecordReader::TabTarget(int column) const {
    const auto& stops = m_settings.tabStops;
    const size_t last = stops.size() - 1;
    for (size_t i = 0; i < stops.size(); ++i) {
        if (stops[i] > column) {
            if (i == last) break;
            return stops[i];
        }
    }
    return column + stops[last];
}

void CTextRecordReader::FinishLineEnd(int c) {
    if (c != kCr) return;
    const int next = m_in.Get();
    if (next >= 0 && next != kLf) m_in.Unget();
}

bool CTextRecordReader::Next(std::vector<uint8_t>& record) {
    record.clear();
    int c = m_in.Get();
    if (c < 0) return false;
    if (m_fixed && m_lastWasFull && IsLineEnd(c)) {
        // The line end of the full record before: it ends that line, not this record.
        FinishLineEnd(c);
        c = m_in.Get();
        if (c < 0) {
            m_lastWasFull = false;
            return false;
        }
    }
    m_lastWasFull = false;
    const size_t l = static_cast<size_t>(m_length);
    const bool expand = m_settings.replaceTabs && !m_settings.tabStops.empty();
    for (;;) {
        if (c < 0) return true;
        if (IsLineEnd(c)) {
            FinishLineEnd(c);
            return true;
        }
        if (c == kTab && expand) {
            const size_t target = static_cast<size_t>(TabTarget(static_cast<int>(record.size())));
            while (record.size() < target && record.size() < l)
                record.push_back(' ');
        } else {
            record.push_back(static_cast<uint8_t>(c));
        }
        if (record.size() >= l) break;
        c = m_in.Get();
    }
    // The record is full and its line has not ended.
    if (m_settings.truncate) {
        int skipped;
        do
            skipped = m_in.Get();
        while (skipped >= 0 && !IsLineEnd(skipped));
        FinishLineEnd(skipped);
    } else {
        m_lastWasFull = true;
    }
    return true;
}

ImportStatus ImportTextVariable(CByteReader& in, int recordLength,
                                const TextImportSettings& settings, CSectorSink& sink,
                                ImportTotals& totals) {
    CTextRecordReader reader(in, recordLength, settings, false);
    Sector s{};
    int offset = 0;
    std::vector<uint8_t> record;
    while (reader.Next(record)) {
        const int length = static_cast<int>(record.size());
        if (offset + length >= 255) {
            s[static_cast<size_t>(offset)] = 0xFF;
            if (!sink.Put(s.data())) return ImportStatus::SinkFailed;
            ++totals.sectors;
            s.fill(0);
            offset = 0;
        }
        s[static_cast<size_t>(offset)] = static_cast<uint8_t>(length);
        if (length > 0) std::memcpy(s.data() + offset + 1, record.data(), record.size());
        offset += length + 1;
        s[static_cast<size_t>(offset)] = 0xFF;
        ++totals.records;
    }
    if (in.Failed()) return ImportStatus::ReadFailed;
    if (offset > 0) {
        if (!sink.Put(s.data())) return ImportStatus::SinkFailed;
        ++totals.sectors;
    }
    totals.eofOffset = offset;
    return ImportStatus::Ok;
}

ImportStatus ImportTextFixed(CByteReader& in, int recordLength, const TextImportSettings& settings,
                             CSectorSink& sink, ImportTotals& totals) {
    CTextRecordReader reader(in, recordLength, settings, true);
    Sector s{};
    int offset = 0;
    std::vector<uint8_t> record;
    while (reader.Next(record)) {
        if (offset + recordLength > kSectorSize) {
            if (!sink.Put(s.data())) return ImportStatus::SinkFailed;
            ++totals.sectors;
            s.fill(0);
            offset = 0;
        }
        if (!record.empty()) std::memcpy(s.data() + offset, record.data(), record.size());
        std::memset(s.data() + offset + record.size(), ' ', recordLength - record.size());
        offset += recordLength;
        ++totals.records;
    }
    if (in.Failed()) return ImportStatus::ReadFailed;
    if (offset > 0) {
        if (!sink.Put(s.data())) return ImportStatus::SinkFailed;
        ++totals.sectors;
    }
    return ImportStatus::Ok;
}

}  // namespace tavik
