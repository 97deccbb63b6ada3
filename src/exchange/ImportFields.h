// What a binary import takes from the PC file's header and what from its data. Other tools
// write headers with wrong fields: records per sector that no disk controller would write, more
// sectors than the data hold, record counts high byte first, an end-of-file offset where the
// last sector has no end mark. The data win wherever they tell, and each header value they
// overrule gives a note for the user.
#pragma once

#include <string>
#include <vector>

#include "base/PcFile.h"
#include "exchange/BinaryImport.h"
#include "exchange/FileTransfer.h"

namespace tavik {

// Variable records: whether the data (from dataOffset to the end of the PC file) hold whole
// sectors or packed records, and where whole sectors end without a mark.
void SettleVariableInput(CPcFile& in, int64_t dataOffset, ImportPlan& plan);

// The FDR image f of a file an import has just filled (its sector count, and for variable
// records its record count, set by the appends; records per sector set from the record length
// when it was created): the record count or end-of-file offset from the data, a header value
// where it agrees with them, the header's protection. notes receives a line for each header
// value overruled.
void SettleImportedFields(const ImportPlan& plan, const ImportTotals& totals, uint8_t* f,
                          std::vector<std::string>& notes);

}  // namespace tavik
