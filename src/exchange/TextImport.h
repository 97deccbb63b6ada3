// PC text into display records: one line per record. A line ends at CR LF, LF or CR, so that
// texts from any platform import alike; TABs may be expanded at the tab stops; a line longer
// than the record length is cut (truncate) or continued in the next record(s).
#pragma once

#include <cstdint>
#include <vector>

#include "exchange/BinaryImport.h"
#include "exchange/ByteStream.h"

namespace tavik {

struct TextImportSettings {
    bool replaceTabs = false;
    bool truncate = false;
    // Tab-stop columns in the order typed, then the number of spaces of a tab beyond them.
    std::vector<uint16_t> tabStops;
};

// Reads the records of a text one at a time.
class CTextRecordReader {
public:
    // fixedRecords: a line of exactly the record length followed by its CR gives one record,
    // not a full record and an empty one.
    CTextRecordReader(CByteReader& in, int recordLength, const TextImportSettings& settings,
                      bool fixedRecords);

    // False when the input is exhausted.
    bool Next(std::vector<uint8_t>& record);

private:
    int TabTarget(int column) const;
    // After the first byte c of a line end: an LF after a CR belongs to the same line end.
    void FinishLineEnd(int c);

    CByteReader& m_in;
    int m_length;
    const TextImportSettings& m_settings;
    bool m_fixed;
    bool m_lastWasFull = false;
};

// DIS/VAR: records packed with their length byte, each sector closed by an 0xFF mark; the
// end-of-file offset is the place of the last mark (0 for an empty text). Record lengths up to
// 254.
ImportStatus ImportTextVariable(CByteReader& in, int recordLength,
                                const TextImportSettings& settings, CSectorSink& sink,
                                ImportTotals& totals);

// DIS/FIX: each record padded with spaces to the record length, 256 / length per sector.
ImportStatus ImportTextFixed(CByteReader& in, int recordLength, const TextImportSettings& settings,
                             CSectorSink& sink, ImportTotals& totals);

}  // namespace tavik
