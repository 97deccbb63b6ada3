// HFE images from arbitrary bytes: read sectors spread over the disk, rewrite some, mount the
// image in a drive. Beside the raw
// bytes (always given the HFE signature), the input damages images written here (FM and MFM, one
// and two sides, 40 and 80 tracks) byte by byte and may cut them short, so that the fuzzer
// reaches the track decoding quickly. Whatever the input, a rewrite never changes the file's
// length nor its first block, the header.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "base/PcFile.h"
#include "disk/DiskTypes.h"
#include "disk/HfeImage.h"
#include "disk/VirtualDrive.h"

using namespace tavik;

namespace {

std::vector<uint8_t> Image(uint8_t mode, const uint8_t* data, size_t size) {
    if ((mode & 1) == 0) {
        std::vector<uint8_t> image(data, data + size);
        if (image.size() >= 8) std::memcpy(image.data(), "HXCPICFE", 8);
        return image;
    }
    static const std::vector<uint8_t> templates[4] = {
        BuildHfeImage({40, 1, false}), BuildHfeImage({40, 2, true}), BuildHfeImage({80, 2, false}),
        BuildHfeImage({40, 2, false})};
    std::vector<uint8_t> image = templates[(mode >> 1) & 3];
    // Each three input bytes: where (spread over the whole image) and what to flip.
    for (size_t i = 0; i + 3 <= size; i += 3) {
        const size_t at = (size_t{data[i]} << 8 | data[i + 1]) * (image.size() / 65536 + 1);
        image[at % image.size()] ^= data[i + 2];
    }
    if ((mode & 0x20) && size > 0) image.resize(image.size() * data[0] / 256);
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const std::vector<uint8_t> image = Image(mode, data + 1, size - 1);

    CMemFile file(image);
    CHfeImage hfe;
    if (hfe.Open(file) == 0) {
        // Each track read is decoded whole: a few spread over the disk keep the runs fast.
        const int total = std::min(hfe.Geometry().TotalSectors(), 2880);
        Sector sector;
        for (int k = 0; k < 12; ++k)
            hfe.ReadSector(file, (k * 181 + mode) % (total + 2), sector.data());
        sector.fill(static_cast<uint8_t>(mode));
        for (int n = mode & 0x0F; n < total; n += 1 + total / 6)
            if (hfe.WriteSector(file, n, sector.data()) == 0 &&
                hfe.ReadSector(file, n, sector.data()) != 0)
                std::abort();  // a sector just written reads back
        const size_t header = std::min<size_t>(image.size(), 512);
        if (file.Bytes().size() != image.size() ||
            !std::equal(image.begin(), image.begin() + static_cast<ptrdiff_t>(header),
                        file.Bytes().begin()))
            std::abort();
    }

    CVirtualDrive drive;
    if (drive.MountFile(std::make_unique<CMemFile>(image), 0, 0, -1) == DriveKind::HfeImage) {
        DiskInfo info;
        drive.GetDiskInfo(info);
    }
    drive.ErrorText();
    return 0;
}
