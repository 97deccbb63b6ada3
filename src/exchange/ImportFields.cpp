#include "exchange/ImportFields.h"

#include <algorithm>

#include "disk/DiskTypes.h"
#include "disk/Layout.h"

namespace tavik {

using namespace layout;

namespace {

std::string Overruled(const std::string& field, int header, int used) {
    return field + " " + std::to_string(header) + " in the header, " + std::to_string(used) +
           " used";
}

bool PlausibleRecordsPerSector(int status, int recordLength, int perSector) {
    if (status & kStatusVariable) return PlausibleVariableRecordsPerSector(perSector, recordLength);
    return perSector == FixedRecordsPerSector(recordLength);
}

}  // namespace

void SettleVariableInput(CPcFile& in, int64_t dataOffset, ImportPlan& plan) {
    if (plan.method != ImportMethod::VariableRecords) return;
    const int64_t length = in.Length() - dataOffset;
    // More than two volumes of data cannot be one file; the plan's guess stands for them.
    if (length <= 0 || length > kMaxVolumeBytes * 2) return;
    std::vector<uint8_t> data(static_cast<size_t>(length));
    if (in.ReadAt(dataOffset, data.data(), data.size()) != length) return;
    const int lastSectorEnd = plan.haveHeader ? plan.headerEofOffset : 0;
    const VariableInputForm form = VariableInputFormOf(data, plan.recordLength, plan.haveHeader,
                                                       plan.headerSectors, lastSectorEnd);
    plan.packedInput = form.packed;
    plan.endOfRecords = form.endOfRecords;
}

void SettleImportedFields(const ImportPlan& plan, const ImportTotals& totals, uint8_t* f,
                          std::vector<std::string>& notes) {
    const bool header = plan.haveHeader;
    switch (plan.method) {
        case ImportMethod::FixedRecords:
        case ImportMethod::RawLines:
        case ImportMethod::TextFixed: {
            int records = totals.records;
            if (plan.method == ImportMethod::FixedRecords && header) {
                records =
                    FixedRecordCount(records, plan.headerRecords, plan.headerRecordsHighFirst);
                if (plan.headerRecords != 0 && records != plan.headerRecords &&
                    records != plan.headerRecordsHighFirst)
                    notes.push_back(Overruled("record count", plan.headerRecords, records));
            }
            SetLe16(f + kFdrRecords, static_cast<unsigned>(std::min(records, 0xFFFF)));
            break;
        }
        case ImportMethod::Program: {
            int eof = totals.eofOffset;
            // Whole sectors of a program from another tool: only the header knows the last
            // sector's length.
            if (header &&
                plan.dataLength == static_cast<int64_t>(plan.headerSectors) * kSectorSize &&
                totals.sectors == plan.headerSectors)
                eof = plan.headerEofOffset;
            f[kFdrEofOffset] = static_cast<uint8_t>(eof);
            break;
        }
        default: {
            int eof = totals.eofOffset;
            // Whole sectors keep the header's end-of-file offset unless a record of the last
            // sector lies beyond it (some writers count the end mark in).
            if (plan.method == ImportMethod::VariableRecords && header && !plan.packedInput &&
                plan.headerEofOffset != eof) {
                if (plan.headerEofOffset != 0 && plan.headerEofOffset > eof)
                    eof = plan.headerEofOffset;
                else
                    notes.push_back(Overruled("end-of-file offset", plan.headerEofOffset, eof));
            }
            f[kFdrEofOffset] = static_cast<uint8_t>(eof);
            break;
        }
    }
    if (!header) return;
    // Records per sector stay what the record length gives (set when the file was made).
    if (plan.method != ImportMethod::Program &&
        !PlausibleRecordsPerSector(f[kFdrStatus], f[kFdrRecordLength], plan.headerRecordsPerSector))
        notes.push_back(
            Overruled("records per sector", plan.headerRecordsPerSector, f[kFdrRecordsPerSector]));
    if (plan.headerSectors != totals.sectors)
        notes.push_back(Overruled("sector count", plan.headerSectors, totals.sectors));
    if (plan.headerStatus & kStatusProtected) f[kFdrStatus] |= kStatusProtected;
}

}  // namespace tavik
