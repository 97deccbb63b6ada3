// Classifies arbitrary bytes as a PC file and imports them, by every import method, into a
// freshly formatted disk. Half the inputs get a TIFILES or FIAD header of the method's type
// whose other fields (sectors, records per sector, end-of-file offset, record count,
// protection) come from the input and may lie about the data behind them. Whatever the bytes,
// the disk must stay consistent: no file shares a sector with another, every sector in use is
// marked in the bitmap, a failed import leaves no file behind, and an imported file's FDR is
// one the FDR check accepts, with no more records than its sectors hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DiskConsistency.h"
#include "base/PcFile.h"
#include "disk/Layout.h"
#include "disk/VirtualDrive.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/FileTransfer.h"
#include "exchange/PcFileHeader.h"

using namespace tavik;
using fuzz::Require;

namespace {

struct Method {
    uint8_t status;
    int rl;
    bool raw;
    bool text;
};

// A header for the method's type from the first 8 input bytes: sectors (2), status bits beyond
// the type, records per sector, end-of-file offset, record count (2); then the rest as data.
std::vector<uint8_t> WithHeader(const Method& m, bool tifiles, const std::vector<uint8_t>& in) {
    if (in.size() < 8) return in;
    uint8_t fdr[256] = {};
    std::memcpy(fdr, "FUZZED    ", 10);
    fdr[layout::kFdrSectors] = in[0];
    fdr[layout::kFdrSectors + 1] = in[1];
    fdr[layout::kFdrStatus] = static_cast<uint8_t>(m.status | (in[2] & kStatusProtected));
    fdr[layout::kFdrRecordsPerSector] = in[3];
    fdr[layout::kFdrEofOffset] = in[4];
    fdr[layout::kFdrRecordLength] = static_cast<uint8_t>(m.rl);
    fdr[layout::kFdrRecords] = in[5];
    fdr[layout::kFdrRecords + 1] = in[6];
    const PcHeader h = tifiles ? MakeTifilesHeader(fdr) : MakeFiadHeader(fdr);
    std::vector<uint8_t> out(h.begin(), h.end());
    out.insert(out.end(), in.begin() + 8, in.end());
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 64 * 1024) return 0;
    // The first byte picks the method and the disk size, the second whether and which header
    // goes before the rest; the rest is the PC file (or the header's fields and the data).
    const uint8_t choice = data[0];
    const uint8_t form = data[1];
    static const Method kMethods[] = {
        {0x01, 0, false, false},   {0x01, 0, true, false},   {0x00, 80, false, false},
        {0x02, 3, false, false},   {0x80, 80, false, false}, {0x82, 255, false, false},
        {0x00, 80, true, false},   {0x80, 40, false, true},  {0x00, 33, false, true},
        {0x02, 128, false, false}, {0x80, 1, false, false}};
    const Method& m = kMethods[(choice & 0x7F) % (sizeof kMethods / sizeof kMethods[0])];
    std::vector<uint8_t> bytes(data + 2, data + size);
    if ((form & 0x80) && !m.text) bytes = WithHeader(m, form & 0x40, bytes);
    CMemFile pc(bytes);
    const PcFileClass c = ClassifyPcFile(pc, "fuzz.df80");

    const int total = (choice & 0x80) ? 40 : 360;  // a tiny disk makes "disk full" likely
    CVirtualDrive drive;
    Require(drive.MountFile(std::make_unique<CMemFile>(std::vector<uint8_t>(360 * 256, 0)), 0, 0,
                            -1) == DriveKind::DoadImage);
    Require(drive.Format("FUZZ", false, false, total, 40) != 0);

    ImportPlan plan =
        PlanBinaryImport(c, static_cast<int64_t>(bytes.size()), m.status, m.rl, m.raw);
    if (m.text) {
        plan.method = (m.status & 0x80) ? ImportMethod::TextVariable : ImportMethod::TextFixed;
        plan.recordLength = m.rl;
        plan.replaceTabs = form & 0x40;
        plan.truncate = form & 0x20;
        plan.tabStops = {8, 16, 4};
    }
    std::string message;
    std::vector<std::string> notes;
    const int imported =
        ImportFile(drive, "FILE", m.status, pc, c.dataOffset, plan, message, &notes);
    Require(drive.FindFile("FILE") == imported);

    fuzz::RequireConsistentDisk(drive);
    if (imported) {
        Require(drive.ReadFdr(imported) != 0);
        Require(drive.CheckFdr() == 1);
        const uint8_t* f = drive.FdrBuffer();
        if ((f[layout::kFdrStatus] & (kStatusProgram | kStatusVariable)) == 0) {
            const int perSector = 256 / f[layout::kFdrRecordLength];
            Require(layout::Le16(f + layout::kFdrRecords) <=
                    layout::Be16(f + layout::kFdrSectors) * perSector);
        }
    }
    return 0;
}
