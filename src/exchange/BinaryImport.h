// Building the sectors of a TI file from PC data, read from the reader's position to the end of
// the PC file. Each sector goes to the sink as soon as it is complete; the totals say what the
// file's descriptor record must receive afterwards.
#pragma once

#include <cstdint>
#include <vector>

#include "exchange/ByteStream.h"

namespace tavik {

enum class ImportStatus {
    Ok,
    SinkFailed,   // the disk refused a sector: its last error tells why
    ReadFailed,   // the PC file could not be read
    LineTooLong,  // raw lines: a line longer than a record
};

struct ImportTotals {
    int sectors = 0;
    int eofOffset = 0;
    int records = 0;
    // Fixed records: bytes of record data in the last sector read.
    int lastSectorBytes = 0;
};

// Program: 256-byte chunks, the end-of-file offset is the last chunk's length modulo 256.
ImportStatus ImportProgramData(CByteReader& in, CSectorSink& sink, ImportTotals& totals);

// Fixed records of recordLength (1 to 255) bytes, 256 / length per sector. Packed input holds
// the records back to back; sector-format input holds whole sectors, whose padding is kept as
// it is. The record count counts every record slot read.
ImportStatus ImportFixedData(CByteReader& in, int recordLength, bool sectorFormat,
                             CSectorSink& sink, ImportTotals& totals);

// Variable records, from packed input (length byte and data, no marks) or whole-sector input
// (0xFF ends the records of a sector). packedInput says the input is known to be packed, so
// that 0xFF is a length (records of 255 bytes) rather than an end mark. endOfRecords, when not
// -1, is the input position where the records of whole-sector input end without a mark (the
// last sector's end-of-file offset); the sector gets its mark there.
ImportStatus ImportVariableData(CByteReader& in, int recordLength, bool packedInput,
                                CSectorSink& sink, ImportTotals& totals, int64_t endOfRecords = -1);

// How variable-record data after a header (or without one) are to be read.
struct VariableInputForm {
    bool packed = false;
    int64_t endOfRecords = -1;  // as for ImportVariableData
};
// The data decide: whole sectors when they come in multiples of 256 bytes that each hold
// records, leaving room for a mark, ended by the mark (or, in the last sector, at lastSectorEnd,
// the header's end-of-file offset, 0 for none, when the header's sector count agrees or the
// data do not read as packed records); packed records otherwise. Without a header (withHeader
// false) a file of 255-byte records that reads both ways is taken as packed when
// LooksLikePackedVariableRecords says so.
VariableInputForm VariableInputFormOf(const std::vector<uint8_t>& data, int recordLength,
                                      bool withHeader, int headerSectors, int lastSectorEnd);

// For data of 255-byte variable records without a header: true when the bytes read as packed
// records (length bytes and data filling the input exactly) but not as whole sectors. A length
// of 0xFF is a record in the first reading and an end mark in the second.
bool LooksLikePackedVariableRecords(const std::vector<uint8_t>& data);

// Raw text lines into fixed records: CR LF, LF or CR ends a line, each line is padded with
// spaces to the record length. A line longer than a record is refused.
ImportStatus ImportRawLines(CByteReader& in, int recordLength, CSectorSink& sink,
                            ImportTotals& totals);

// Whether fixed-record data after a header hold whole sectors (padding included) rather than
// the records packed. Headers lie, so the data length decides first: whole sectors come in
// multiples of 256 bytes, as many as the record count (either byte order) needs; packed
// records take record count x length bytes. Only when neither count fits does the header's
// sector count speak, and a length that is no multiple of the record length holds sectors.
// (When the records fill the sector exactly, both forms are the same.)
bool FixedDataInWholeSectors(int64_t dataLength, int recordLength, int headerSectors,
                             int recordsLowFirst, int recordsHighFirst);

// The record count of a fixed-record file made from PC data with a header. Files from other
// tools hold whole sectors, so the computed count includes the padding slots of the last
// sector; the header's count is kept when it is not more than what was read, read high byte
// first when some tool wrote it that way. A header count of 0 is no count at all.
int FixedRecordCount(int computed, int headerLowFirst, int headerHighFirst);

}  // namespace tavik
