#include "exchange/PcFileHeader.h"

#include <cstring>

#include "disk/Layout.h"

namespace tavik {

using namespace layout;

PcHeader MakeTifilesHeader(const uint8_t* fdr) {
    PcHeader h{};
    static const char kMagic[] = "\x07TIFILES";
    std::memcpy(h.data(), kMagic, 8);
    // Multi-byte values keep the byte order they have in the FDR.
    h[kTifilesSectors] = fdr[kFdrSectors];
    h[kTifilesSectors + 1] = fdr[kFdrSectors + 1];
    h[kTifilesStatus] = fdr[kFdrStatus];
    h[kTifilesRecordsPerSector] = fdr[kFdrRecordsPerSector];
    h[kTifilesEofOffset] = fdr[kFdrEofOffset];
    h[kTifilesRecordLength] = fdr[kFdrRecordLength];
    h[kTifilesRecords] = fdr[kFdrRecords];
    h[kTifilesRecords + 1] = fdr[kFdrRecords + 1];
    std::memcpy(h.data() + kTifilesName, fdr + kFdrName, kNameLength);
    return h;
}

PcHeader MakeFiadHeader(const uint8_t* fdr) {
    PcHeader h{};
    std::memcpy(h.data(), fdr, kFdrClusters);
    return h;
}

}  // namespace tavik
