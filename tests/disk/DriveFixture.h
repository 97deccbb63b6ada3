// Helpers shared by the file- and disk-operation tests: drives mounted on images in memory, laid
// out as any of the image kinds, the one parameterised suite that runs over every kind, and
// direct looks at the sectors.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/Layout.h"
#include "disk/Pc99Image.h"
#include "disk/VirtualDrive.h"
#include "support/FaultFile.h"
#include "support/Holdings.h"
#include "support/ImageBuilder.h"

namespace tavik::test {

// A drive on a sector dump laid out as an image of the kind, held in memory in a file that can
// be made to fail; the image's bytes stay reachable for byte checks.
struct MemDrive {
    CVirtualDrive drive;
    CFaultFile* file = nullptr;
    ImageKind kind;

    explicit MemDrive(const std::vector<uint8_t>& sectors, ImageKind imageKind = ImageKind::Doad)
        : kind(imageKind) {
        auto image = std::make_unique<CFaultFile>(LaidOut(sectors, kind));
        file = image.get();
        // Where each sector of a PC99 track image lies, found once for each layout. An HFE
        // image holds its sectors encoded: they are seen through the drive only.
        if (kind == ImageKind::Pc99Fm || kind == ImageKind::Pc99Mfm) {
            static std::map<std::pair<ImageKind, size_t>, std::vector<int64_t>> layouts;
            std::vector<int64_t>& offsets = layouts[{kind, sectors.size()}];
            if (offsets.empty()) {
                CMemFile view(file->Bytes());
                for (int n = 0; n < static_cast<int>(sectors.size() / kSectorSize); ++n)
                    offsets.push_back(
                        LocatePc99Sector(view, 0, kind == ImageKind::Pc99Mfm, n, false));
            }
            m_offsets = &offsets;
        }
        const int expected = kind == ImageKind::Doad      ? DriveKind::DoadImage
                             : kind == ImageKind::Pc99Fm  ? DriveKind::Pc99Fm
                             : kind == ImageKind::Pc99Mfm ? DriveKind::Pc99Mfm
                                                          : DriveKind::HfeImage;
        EXPECT_EQ(drive.MountFile(std::move(image), 0, 0, -1), expected);
    }
    explicit MemDrive(const CImageBuilder& builder, ImageKind imageKind = ImageKind::Doad)
        : MemDrive(builder.Image(), imageKind) {}

    const std::vector<uint8_t>& Bytes() const { return file->Bytes(); }
    uint8_t* SectorData(int n) { return file->Bytes().data() + Offset(n); }
    const uint8_t* SectorBytes(int n) const { return file->Bytes().data() + Offset(n); }
    const uint8_t* Vib() const { return SectorBytes(0); }
    bool Used(int n) const { return layout::BitmapUsed(Vib(), n); }
    int IndexEntry(int k) const { return layout::Be16(SectorBytes(1) + 2 * k); }
    int Files() const { return layout::IndexLength(SectorBytes(1)); }
    std::string NameAt(int k) const {
        return std::string(reinterpret_cast<const char*>(SectorBytes(IndexEntry(k))), 10);
    }

private:
    // Laying out a track image is slow (an HFE image most): scenes made again and again from
    // the same sectors share the last few layouts.
    static const std::vector<uint8_t>& LaidOut(const std::vector<uint8_t>& sectors,
                                               ImageKind kind) {
        static std::map<std::pair<ImageKind, std::vector<uint8_t>>, std::vector<uint8_t>> recent;
        auto key = std::make_pair(kind, sectors);
        if (auto it = recent.find(key); it != recent.end()) return it->second;
        if (recent.size() >= 8) recent.clear();
        return recent[std::move(key)] = LayOutImage(sectors, kind);
    }
    int64_t Offset(int n) const {
        return kind == ImageKind::Doad ? int64_t{kSectorSize} * n
                                       : m_offsets->at(static_cast<size_t>(n));
    }
    const std::vector<int64_t>* m_offsets = nullptr;
};

// The one suite of file and disk operations: each of its tests runs on a sector dump, a PC99
// FM and a PC99 MFM image.
class OnEveryImageKind : public ::testing::TestWithParam<ImageKind> {
protected:
    ImageKind Kind() const { return GetParam(); }
    // Whether an image of this kind holds a volume of that many sectors.
    bool Holds(int sectors) const { return sectors <= MaxSectorsOf(Kind()); }
};

// A formatted, empty disk of the given size.
inline std::vector<uint8_t> EmptyDisk(int total = 360) {
    return CImageBuilder(total, total > 360, total > 720).Image();
}

}  // namespace tavik::test
