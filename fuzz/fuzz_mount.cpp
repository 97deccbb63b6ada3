// Mounts arbitrary bytes as a disk image and runs every catalog query on them, then walks the
// whole catalog. Beside the raw bytes, the input is also laid over three templates (a sector
// dump of the right size, an FM and an MFM track image) so that the fuzzer reaches the VIB,
// index and FDR parsing of well-sized images and the sector search of track images quickly.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/Catalog.h"
#include "disk/DiskTypes.h"
#include "disk/Pc99Image.h"
#include "disk/VirtualDrive.h"

using namespace tavik;

namespace {

std::vector<uint8_t> Template(uint8_t mode, const uint8_t* data, size_t size) {
    switch (mode % 4) {
        case 1: {
            // A double-sided sector dump: the input becomes its first sectors.
            std::vector<uint8_t> image(720 * kSectorSize, 0);
            std::memcpy(image.data(), data, std::min(size, image.size()));
            return image;
        }
        case 2:
        case 3: {
            // A track image: the input fills the data fields of sectors 0, 1, 2, ...
            const bool mfm = mode % 4 == 3;
            const bool doubleSided = (mode & 0x10) != 0;
            static const std::vector<uint8_t> blanks[2][2] = {
                {BlankPc99Image(false, false), BlankPc99Image(true, false)},
                {BlankPc99Image(false, true), BlankPc99Image(true, true)}};
            CMemFile file(blanks[mfm][doubleSided]);
            for (int n = 0; size > 0; ++n) {
                const int64_t at = LocatePc99Sector(file, 0, mfm, n, false);
                if (at < 0) break;
                const size_t chunk = std::min<size_t>(size, kSectorSize);
                file.WriteAt(at, data, chunk);
                data += chunk;
                size -= chunk;
            }
            // Damage: a cut image when bit 5 asks for it.
            if (mode & 0x20) file.SetLength(file.Length() * 3 / 4);
            return file.Bytes();
        }
        default:
            return std::vector<uint8_t>(data, data + size);
    }
}

void RunQueries(CVirtualDrive& drive) {
    drive.GetDiskName();
    DiskInfo info;
    drive.GetDiskInfo(info);
    DiskProperties disk;
    if (drive.GetDiskProperties(disk)) drive.SetDiskProperties(disk);

    int position = 0;
    for (int k = 0; k < 130; ++k) {
        const int fdr = drive.NextFdr(position);
        if (fdr <= 0) break;
        FileInfo fileInfo;
        drive.GetFileInfo(fdr, fileInfo);
        const std::string name = drive.GetFileName(fdr);
        if (k < 3) drive.FindFile(name);  // each search reads every FDR: keep it to a few
        FileProperties file;
        if (!drive.GetFileProperties(fdr, file)) continue;
        Sector buffer;
        const int last = std::min<int>(file.sectors, 8) + 1;
        for (int offset = -2; offset <= last; ++offset)
            drive.FileToDiskSector(fdr, offset, offset == 0 ? buffer.data() : nullptr);
        drive.FileToDiskSector(fdr, file.sectors - 1);
        drive.FileToDiskSector(fdr, 4095);
        for (size_t i = 0; i < file.clusters.size(); i += 1 + i / 4) {
            const uint32_t c = file.clusters[i];
            const int first = FileProperties::ClusterFirst(c);
            const int end = FileProperties::ClusterLast(c);
            for (int d : {first - 1, first, end, end + 1, (first + end) / 2})
                drive.DiskToFileSector(fdr, d);
        }
        drive.DiskToFileSector(fdr, fdr);
    }
    drive.FindFile("NOSUCHFILE");
    drive.FindFile("");

    Catalog catalog;
    ReadCatalog(drive, catalog);
    drive.ErrorText();
}

// The disk-changing operations: whatever they do to a damaged disk, they end and leave an image
// that still mounts.
void RunOperations(CVirtualDrive& drive) {
    const int64_t start = drive.Start();
    int flags = 0;
    DiskUsage usage;
    drive.CheckDisk(flags, usage);
    CVirtualDrive target;
    target.MountFile(std::make_unique<CMemFile>(std::vector<uint8_t>(720 * kSectorSize, 0)), 0, 0,
                     -1);
    if (target.Format("TARGET", true, false, 0, 0)) drive.CopyFiles(target, false, true);
    int position = 0;
    const int fdr = drive.NextFdr(position);
    const std::string name = fdr > 0 ? drive.GetFileName(fdr) : std::string("NOSUCHFILE");
    if (fdr > 0) drive.DeleteFile(fdr);
    drive.Defragment();
    drive.UndeleteFile(name, -1);
    drive.CheckDisk(flags, usage);

    auto* file = dynamic_cast<CMemFile*>(drive.File());
    CVirtualDrive again;
    if (!file || !again.MountFile(std::make_unique<CMemFile>(file->Bytes()), start, 0, -1))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    auto file = std::make_unique<CMemFile>(Template(mode, data + 1, size - 1));
    file->SetCapacityLimit(2 * 1024 * 1024);
    CVirtualDrive drive;
    // A volume inside the file now and then, as on a CF card.
    const int64_t start = (mode & 0x40) ? kSectorSize * (mode & 0x0F) : 0;
    if (!drive.MountFile(std::move(file), start, 0, -1)) {
        drive.ErrorText();
        return 0;
    }
    // Once reading every structure from the file, once through the caches.
    for (int level : {CacheNothing, CacheSystemSectors}) {
        drive.SetConversion(-1, -1, -1, -1, level);
        drive.Refresh();
        RunQueries(drive);
        // Half the inputs also change the disk (slower; the queries alone run faster).
        if (level == CacheNothing && (mode & 0x80)) RunOperations(drive);
    }
    return 0;
}
