// The bytes a TI file becomes on the PC, after its header (if any):
// - program: the data sectors in order, the last one cut to the end-of-file offset;
// - variable records: each record as its length byte and data, without the 0xFF end marks;
// - fixed records: the level-3 records one after another, without the sector padding;
// - whole sectors: every data sector as it stands on the disk (the form other tools use).
// And the text a display file becomes: one line per record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/SectorFeed.h"
#include "exchange/TextExport.h"

namespace tavik {

// False when a sector could not be read; out then holds what was made before.
bool BuildExportData(const uint8_t* fdr, CSectorFeed& feed, bool wholeSectors,
                     std::vector<uint8_t>& out);

bool BuildTextExport(const uint8_t* fdr, CSectorFeed& feed, bool tabs,
                     const std::vector<uint16_t>& tabStops, bool crLf, std::string& out);

}  // namespace tavik
