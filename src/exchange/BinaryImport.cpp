#include "exchange/BinaryImport.h"

#include <algorithm>
#include <cstring>

#include "disk/DiskTypes.h"

namespace tavik {

ImportStatus ImportProgramData(CByteReader& in, CSectorSink& sink, ImportTotals& totals) {
    Sector s{};
    for (;;) {
        s.fill(0);
        const size_t got = in.Read(s.data(), kSectorSize);
        if (in.Failed()) return ImportStatus::ReadFailed;
        if (got == 0) break;
        if (!sink.Put(s.data())) return ImportStatus::SinkFailed;
        ++totals.sectors;
        totals.eofOffset = static_cast<int>(got % kSectorSize);
        if (got < kSectorSize) break;
    }
    return ImportStatus::Ok;
}

ImportStatus ImportFixedData(CByteReader& in, int recordLength, bool sectorFormat,
                             CSectorSink& sink, ImportTotals& totals) {
    const int perSector = kSectorSize / recordLength;
    const size_t used = static_cast<size_t>(perSector * recordLength);
    Sector s{};
    for (;;) {
        s.fill(0);
        const size_t got = in.Read(s.data(), sectorFormat ? kSectorSize : used);
        if (in.Failed()) return ImportStatus::ReadFailed;
        if (got == 0) break;
        if (!sink.Put(s.data())) return ImportStatus::SinkFailed;
        ++totals.sectors;
        totals.lastSectorBytes = static_cast<int>(std::min(got, used));
        if (got < (sectorFormat ? static_cast<size_t>(kSectorSize) : used)) break;
    }
    totals.records = totals.sectors == 0
                         ? 0
                         : (totals.sectors - 1) * perSector + totals.lastSectorBytes / recordLength;
    return ImportStatus::Ok;
}

ImportStatus ImportVariableData(CByteReader& in, int recordLength, bool packedInput,
                                CSectorSink& sink, ImportTotals& totals, int64_t endOfRecords) {
    // A record of 255 bytes fills a sector and has no end mark; only a file of record length
    // 255 can hold one.
    const bool fullRecords = recordLength == 255 || recordLength == 0;
    Sector s{};
    int offset = 0;
    bool pending = false;  // the sector holds at least one record (or an end mark to write)
    auto close = [&]() -> bool {
        if (offset < kSectorSize) s[static_cast<size_t>(offset)] = 0xFF;
        totals.eofOffset = offset % kSectorSize;
        if (!sink.Put(s.data())) return false;
        ++totals.sectors;
        s.fill(0);
        offset = 0;
        pending = false;
        return true;
    };
    for (;;) {
        const int64_t at = in.Position();
        const int length = in.Get();
        if (length < 0) break;
        const bool endOfData = at == endOfRecords;
        // Packed input has no marks, but only a file of 255-byte records can hold a length of
        // 0xFF: anywhere else it is a mark.
        const bool isMark = endOfData || (length == 0xFF && (!packedInput || !fullRecords));
        if (!endOfData && length == 0xFF && offset == 0 && fullRecords) {
            // A full-sector record.
        } else if (endOfData || offset + length >= 255) {
            if (isMark) {
                // Whole-sector input: the rest of the input sector follows the mark. When the
                // sector lines up with the one being built, its bytes are kept as they are.
                const int64_t next = (at / kSectorSize + 1) * kSectorSize;
                if (at % kSectorSize == offset) {
                    s[static_cast<size_t>(offset)] = 0xFF;
                    in.Read(s.data() + offset + 1, static_cast<size_t>(next - at - 1));
                    if (in.Failed()) return ImportStatus::ReadFailed;
                }
                in.SkipTo(next);
                if (!close()) return ImportStatus::SinkFailed;
                continue;
            }
            if (pending && !close()) return ImportStatus::SinkFailed;
            in.Unget();
            continue;
        }
        s[static_cast<size_t>(offset)] = static_cast<uint8_t>(length);
        const size_t got = in.Read(s.data() + offset + 1, static_cast<size_t>(length));
        if (in.Failed()) return ImportStatus::ReadFailed;
        offset += length + 1;
        pending = true;
        if (got < static_cast<size_t>(length)) break;  // a cut-off last record keeps its length
        if (offset >= kSectorSize && !close()) return ImportStatus::SinkFailed;
    }
    if (in.Failed()) return ImportStatus::ReadFailed;
    if (pending && !close()) return ImportStatus::SinkFailed;
    return ImportStatus::Ok;
}

bool LooksLikePackedVariableRecords(const std::vector<uint8_t>& data) {
    size_t at = 0;
    while (at < data.size())
        at += 1u + data[at];
    if (at != data.size()) return false;
    if (data.size() % kSectorSize != 0) return true;
    for (size_t sector = 0; sector < data.size(); sector += kSectorSize) {
        const uint8_t* s = data.data() + sector;
        for (int offset = 0; offset < kSectorSize;) {
            const int length = s[offset];
            if (length == 0xFF) break;  // an end mark, or a record filling the sector
            // A controller leaves room for the mark after every record but a full one.
            if (offset + length >= 255) return true;
            offset += length + 1;
        }
    }
    return false;
}

ImportStatus ImportRawLines(CByteReader& in, int recordLength, CSectorSink& sink,
                            ImportTotals& totals) {
    const int l = recordLength;
    const int perSector = kSectorSize / l;
    Sector s{};
    int offset = 0;      // start of the line being read in the sector
    int lineLength = 0;  // characters of that line so far
    auto flush = [&]() -> bool {
        if (!sink.Put(s.data())) return false;
        ++totals.sectors;
        s.fill(0);
        offset = 0;
        return true;
    };
    auto endLine = [&]() -> bool {
        std::memset(s.data() + offset + lineLength, ' ', static_cast<size_t>(l - lineLength));
        offset += l;
        lineLength = 0;
        ++totals.records;
        return offset < perSector * l || flush();
    };
    for (;;) {
        const int c = in.Get();
        if (c < 0) break;
        if (c == '\r' || c == '\n') {
            // A line ends at CR LF, LF or CR.
            if (c == '\r') {
                const int next = in.Get();
                if (next >= 0 && next != '\n') in.Unget();
            }
            if (!endLine()) return ImportStatus::SinkFailed;
            continue;
        }
        if (lineLength == l) return ImportStatus::LineTooLong;
        s[static_cast<size_t>(offset + lineLength++)] = static_cast<uint8_t>(c);
    }
    if (in.Failed()) return ImportStatus::ReadFailed;
    // A last line without a CR is a line too.
    if (lineLength > 0 && !endLine()) return ImportStatus::SinkFailed;
    if (offset > 0 && !flush()) return ImportStatus::SinkFailed;
    return ImportStatus::Ok;
}

bool FixedDataInWholeSectors(int64_t dataLength, int recordLength, int headerSectors,
                             int recordsLowFirst, int recordsHighFirst) {
    if (recordLength <= 0) return false;
    const int perSector = kSectorSize / recordLength;
    if (perSector * recordLength == kSectorSize) return true;
    const bool wholeLength = dataLength % kSectorSize == 0;
    for (const int records : {recordsLowFirst, recordsHighFirst})
        if (records > 0 && wholeLength &&
            dataLength / kSectorSize == (records + perSector - 1) / perSector)
            return true;
    for (const int records : {recordsLowFirst, recordsHighFirst})
        if (records > 0 && dataLength == static_cast<int64_t>(records) * recordLength) return false;
    const bool recordLengths = dataLength % recordLength == 0;
    if (wholeLength != recordLengths) return wholeLength;
    // Packed records of the header's sector count cannot be longer than its sectors hold.
    return dataLength == static_cast<int64_t>(headerSectors) * kSectorSize ||
           dataLength > static_cast<int64_t>(headerSectors) * perSector * recordLength;
}

namespace {

// Whether the data read as whole sectors of variable records as a disk controller writes them;
// endOfRecords receives where the last sector's records end at lastSectorEnd without a mark.
bool ReadsAsWholeSectors(const std::vector<uint8_t>& data, int recordLength, int lastSectorEnd,
                         int64_t& endOfRecords) {
    const bool fullRecords = recordLength == 255 || recordLength == 0;
    const size_t count = data.size() / kSectorSize;
    for (size_t k = 0; k < count; ++k) {
        const uint8_t* s = data.data() + k * kSectorSize;
        const bool last = k + 1 == count;
        for (int at = 0; at < kSectorSize;) {
            if (last && lastSectorEnd > 0 && at == lastSectorEnd && s[at] != 0xFF) {
                endOfRecords = static_cast<int64_t>(k * kSectorSize) + at;
                break;
            }
            const int length = s[at];
            if (length == 0xFF) {
                if (at != 0 || !fullRecords) break;  // the mark
                at = kSectorSize;                    // a record filling the sector
            } else if (at + 1 + length >= kSectorSize) {
                return false;  // a disk controller leaves room for the mark after a record
            } else {
                at += 1 + length;
            }
        }
    }
    return true;
}

}  // namespace

VariableInputForm VariableInputFormOf(const std::vector<uint8_t>& data, int recordLength,
                                      bool withHeader, int headerSectors, int lastSectorEnd) {
    VariableInputForm form;
    form.packed = data.size() % kSectorSize != 0 ||
                  !ReadsAsWholeSectors(data, recordLength, lastSectorEnd, form.endOfRecords);
    if (!form.packed && !withHeader && (recordLength == 255 || recordLength == 0))
        form.packed = LooksLikePackedVariableRecords(data);
    // A last sector that ends without a mark is weak evidence: unless the header's sector
    // count agrees, packed records that fill the data exactly are the better reading.
    if (!form.packed && form.endOfRecords >= 0 &&
        static_cast<int64_t>(data.size()) != static_cast<int64_t>(headerSectors) * kSectorSize) {
        size_t at = 0;
        while (at < data.size())
            at += 1u + data[at];
        form.packed = at == data.size();
    }
    if (form.packed) form.endOfRecords = -1;
    return form;
}

int FixedRecordCount(int computed, int headerLowFirst, int headerHighFirst) {
    if (headerLowFirst == 0) return computed;
    if (headerLowFirst <= computed) return headerLowFirst;
    if (headerHighFirst > 0 && headerHighFirst <= computed) return headerHighFirst;
    return computed;
}

}  // namespace tavik
