// Helpers shared by the file- and disk-operation tests: drives mounted on images in memory and
// direct looks at their sectors.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/Layout.h"
#include "disk/VirtualDrive.h"
#include "support/ImageBuilder.h"

namespace tavik::test {

// A drive on the builder's image, held in memory; the CMemFile stays reachable for byte checks.
struct MemDrive {
    CVirtualDrive drive;
    CMemFile* file = nullptr;

    explicit MemDrive(std::vector<uint8_t> image) {
        auto memory = std::make_unique<CMemFile>(std::move(image));
        file = memory.get();
        EXPECT_EQ(drive.MountFile(std::move(memory), 0, 0, -1), DriveKind::DoadImage);
    }
    explicit MemDrive(const CImageBuilder& builder) : MemDrive(builder.Image()) {}

    const std::vector<uint8_t>& Bytes() const { return file->Bytes(); }
    const uint8_t* SectorBytes(int n) const { return file->Bytes().data() + 256 * n; }
    const uint8_t* Vib() const { return SectorBytes(0); }
    bool Used(int n) const { return layout::BitmapUsed(Vib(), n); }
    int IndexEntry(int k) const { return layout::Be16(SectorBytes(1) + 2 * k); }
    int Files() const { return layout::IndexLength(SectorBytes(1)); }
    std::string NameAt(int k) const {
        return std::string(reinterpret_cast<const char*>(SectorBytes(IndexEntry(k))), 10);
    }
};

// A formatted, empty disk of the given size.
inline std::vector<uint8_t> EmptyDisk(int total = 360) {
    return CImageBuilder(total, total > 360, total > 720).Image();
}

// The data of a file, sector by sector in file order, as the drive reads it.
inline std::vector<uint8_t> FileBytes(CVirtualDrive& drive, int fdr) {
    FileInfo info;
    std::vector<uint8_t> bytes;
    if (!drive.GetFileInfo(fdr, info)) return bytes;
    Sector data;
    for (int k = 0; k < info.sectors; ++k) {
        if (drive.FileToDiskSector(fdr, k, data.data()) <= 0) return {};
        bytes.insert(bytes.end(), data.begin(), data.end());
    }
    return bytes;
}

inline std::vector<uint8_t> Pattern(size_t bytes, uint8_t seed) {
    std::vector<uint8_t> data(bytes);
    for (size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<uint8_t>(seed + i * 7 + i / 256);
    return data;
}

}  // namespace tavik::test
