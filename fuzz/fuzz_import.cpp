// Classifies arbitrary bytes as a PC file and imports them, by every import method, into a
// freshly formatted disk. Whatever the bytes, the disk must stay consistent: no file shares a
// sector with another, every sector in use is marked in the bitmap, and a failed import leaves
// no file behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "DiskConsistency.h"
#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/FileTransfer.h"

using namespace tavik;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 64 * 1024) return 0;
    // The first byte picks the method and the disk size, the rest is the PC file.
    const uint8_t choice = data[0];
    std::vector<uint8_t> bytes(data + 1, data + size);
    CMemFile pc(bytes);
    const PcFileClass c = ClassifyPcFile(pc, "fuzz.df80");

    const int total = (choice & 0x80) ? 40 : 360;  // a tiny disk makes "disk full" likely
    CVirtualDrive drive;
    Check(drive.MountFile(std::make_unique<CMemFile>(std::vector<uint8_t>(360 * 256, 0)), 0, 0,
                          -1) == DriveKind::DoadImage);
    Check(drive.Format("FUZZ", false, false, total, 40) != 0);

    static const struct {
        uint8_t status;
        int rl;
        bool raw;
        bool text;
    } kMethods[] = {{0x01, 0, false, false}, {0x01, 0, true, false},   {0x00, 80, false, false},
                    {0x02, 3, false, false}, {0x80, 80, false, false}, {0x82, 255, false, false},
                    {0x00, 80, true, false}, {0x80, 40, false, true},  {0x00, 33, false, true}};
    const auto& m = kMethods[(choice & 0x7F) % (sizeof kMethods / sizeof kMethods[0])];
    ImportPlan plan =
        PlanBinaryImport(c, static_cast<int64_t>(bytes.size()), m.status, m.rl, m.raw);
    if (m.text) {
        plan.method = (m.status & 0x80) ? ImportMethod::TextVariable : ImportMethod::TextFixed;
        plan.recordLength = m.rl;
        plan.replaceTabs = choice & 0x40;
        plan.truncate = choice & 0x20;
        plan.tabStops = {8, 16, 4};
    }
    const int fdr = drive.CreateFile("FILE", m.status, static_cast<uint8_t>(m.rl));
    Check(fdr >= 2);
    std::string message;
    const int imported = ImportIntoFile(drive, fdr, pc, c.dataOffset, plan, message);
    Check(drive.FindFile("FILE") == (imported ? fdr : 0));

    fuzz::RequireConsistentDisk(drive);
    return 0;
}
