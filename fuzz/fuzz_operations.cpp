// Random sequences of the operations that change disks and PC files, applied to a fuzzed disk
// (the input overlays the sectors of a disk with files) with faults injected into the image
// files. After every step that fails, for whatever reason, the files the user had must be
// byte-identical and the disk check must find nothing it did not find before.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "exchange/FileTransfer.h"
#include "support/FaultFile.h"
#include "support/Holdings.h"
#include "support/ImageBuilder.h"

using namespace tavik;
using namespace tavik::test;

namespace {

class CInput {
public:
    CInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Empty() const { return m_at >= m_size; }
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

std::vector<uint8_t> Template(uint8_t seed) {
    CImageBuilder b(360);
    for (int k = 0; k < 4; ++k) {
        BuiltFile f = BuiltFile::Program(std::string("FILE") + char('A' + k),
                                         Pattern(size_t(256 * (k + 1) + seed), seed));
        if (k % 2) f.clusterSizes = {1, k + 1};
        b.AddFile(f);
    }
    b.AddFile(BuiltFile::Variable("NOTES", false, 80, {"one", "two"}));
    return b.Image();
}

struct Drive {
    CFaultFile* file = nullptr;
    CVirtualDrive drive;
    Drive(std::vector<uint8_t> sectors, ImageKind kind) {
        auto image = std::make_unique<CFaultFile>(LayOutImage(sectors, kind));
        file = image.get();
        drive.MountFile(std::move(image), 0, 0, -1);
    }
};

std::string Name(CInput& in) {
    static const char* kNames[] = {"FILEA", "FILEB", "FILEC", "FILED", "NOTES", "NEW", "ZZ"};
    return kNames[in.Byte() % 7];
}

// One operation and its arguments as the input chooses them, looked up before any fault is
// armed.
struct Choice {
    int operation = 0;
    std::string name, other;
    int fdr = 0, otherFdr = 0, value = 0;
};

Choice Choose(CInput& in, Drive& disk, Drive& other) {
    Choice c;
    c.operation = in.Byte() % 16;
    c.name = Name(in);
    c.other = Name(in);
    c.value = in.Byte();
    c.fdr = disk.drive.FindFile(c.name);
    c.otherFdr = other.drive.FindFile(c.name);
    return c;
}

// True when the operation says it succeeded.
bool Run(const Choice& c, Drive& disk, Drive& other, CFaultFile& pc) {
    CVirtualDrive& d = disk.drive;
    switch (c.operation) {
        case 0:
            return d.CreateFile(c.name, c.value & 0x83, static_cast<uint8_t>(c.value)) >= 2;
        case 1:
            return d.AppendSector(c.fdr) >= 2;
        case 2:
            return other.drive.CopyFile(d, c.otherFdr, c.other) == 1;
        case 3:
            return d.CopyFile(d, c.fdr, c.other) == 1;
        case 4: {
            ImportPlan plan;
            plan.method = ImportMethod::Program;
            std::string message;
            return ImportFile(d, c.name, kStatusProgram, pc, 0, plan, message) >= 2;
        }
        case 5:
            return ExportFileInto(d, c.fdr, pc, {}) == 1;
        case 6:
            return d.RenameFile(c.fdr, c.other) == 1;
        case 7:
            return c.fdr >= 2 && d.DeleteFile(c.fdr) == 1;
        case 8:
            return d.UndeleteFile(c.name, -1) >= 2;
        case 9:
            return d.PurgeFile(c.fdr) == 1;
        case 10:
            return c.fdr >= 0 && d.SetProtection(c.fdr, c.value % 3) == 1;
        case 11:
            return d.Defragment() == 1;
        case 12:
            return d.CopyDisk(other.drive, c.value % 4) == 1;
        case 13:
            return d.SortIndex() == 1;
        case 14:
            return d.PurgeDisk() == 1;
        default:
            return d.ConvertImage(c.value & 1, false, false) == 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    CInput in(data, size);
    const ImageKind kind = static_cast<ImageKind>(in.Byte() % 4);  // any kind of image
    // The first bytes damage the disk: each pair names a byte of sectors 0 to 3 and its value.
    std::vector<uint8_t> sectors = Template(in.Byte());
    for (int k = in.Byte() % 8; k > 0; --k) {
        const size_t at = (size_t{in.Byte()} << 2 | in.Byte() % 4) % 1024;
        sectors[at] = in.Byte();
    }
    Drive disk(sectors, kind);
    Drive other(Template(7), kind);
    CFaultFile pc(Pattern(700, 3));
    for (int step = 0; step < 12 && !in.Empty(); ++step) {
        const Holdings mine = HoldingsOf(disk.file->Bytes());
        const Holdings theirs = HoldingsOf(other.file->Bytes());
        const std::vector<uint8_t> pcBytes = pc.Bytes();
        static const Fault kFaults[] = {Fault::None, Fault::WriteError, Fault::ShortWrite,
                                        Fault::DiskFull, Fault::ReadError};
        const Fault fault = kFaults[in.Byte() % 5];
        const int at = 1 + in.Byte() % 24;
        CFaultFile* files[] = {disk.file, other.file, &pc};
        CFaultFile* target = files[in.Byte() % 3];
        const Choice choice = Choose(in, disk, other);
        for (CFaultFile* f : files)
            f->Arm(Fault::None, 0);
        target->Arm(fault, at);
        const bool succeeded = Run(choice, disk, other, pc);
        // A fault that fired is a failure the operation must have seen.
        if (target->Fired() && succeeded) std::abort();
        if (succeeded) continue;
        if (!Difference(mine, HoldingsOf(disk.file->Bytes())).empty()) std::abort();
        if (!Difference(theirs, HoldingsOf(other.file->Bytes())).empty()) std::abort();
        if (pc.Bytes() != pcBytes) std::abort();
    }
    return 0;
}
