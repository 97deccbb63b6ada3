// Lists the catalogs of 1,000 generated disk images in one process and reports catalogs per
// second and the bytes read per catalog (which must be sector 0, sector 1 and one sector per
// FDR, nothing more).
//   tavik-bench-disk [--images N] [--rounds N] [--pc-files]
// --pc-files writes the images into a temporary folder and mounts them from there.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ImageBuilder.h"
#include "base/PcFile.h"
#include "disk/Catalog.h"
#include "disk/VirtualDrive.h"

using namespace tavik;
using test::BuiltFile;
using test::CImageBuilder;

namespace {

// Counts the bytes the drive takes from its PC file.
class CCountingFile : public CPcFile {
public:
    CCountingFile(std::unique_ptr<CPcFile> inner, long long& counter)
        : m_inner(std::move(inner)), m_counter(counter) {}
    int64_t ReadAt(int64_t offset, void* buffer, size_t count) override {
        const int64_t n = m_inner->ReadAt(offset, buffer, count);
        if (n > 0) m_counter += n;
        return n;
    }
    int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override {
        return m_inner->WriteAt(offset, buffer, count);
    }
    int64_t Length() override { return m_inner->Length(); }
    bool SetLength(int64_t length) override { return m_inner->SetLength(length); }

private:
    std::unique_ptr<CPcFile> m_inner;
    long long& m_counter;
};

std::vector<uint8_t> GenerateImage(std::mt19937& random, int& files) {
    static const int kSizes[][3] = {{360, 0, 0}, {720, 1, 0}, {720, 0, 1}, {1440, 1, 1}};
    const auto& size = kSizes[random() % 4];
    CImageBuilder builder(size[0], size[1] != 0, size[2] != 0);
    builder.SetName("BENCH" + std::to_string(random() % 10000));
    files = 1 + static_cast<int>(random() % 40);
    for (int f = 0; f < files; ++f) {
        const std::string name = "F" + std::to_string(random() % 100000);
        BuiltFile file;
        switch (random() % 3) {
            case 0:
                file = BuiltFile::Program(name, std::vector<uint8_t>(1 + random() % 2000, 0x42));
                break;
            case 1:
                file = BuiltFile::Variable(name, false, 80,
                                           std::vector<std::string>(1 + random() % 30, "TEXT"));
                break;
            default:
                file = BuiltFile::Fixed(name, true, 64,
                                        std::vector<std::string>(1 + random() % 30, "DATA"));
        }
        if (random() % 4 == 0 && file.data.size() >= 3 * 256) file.clusterSizes = {1, 1};
        if (!file.clusterSizes.empty())
            file.clusterSizes.push_back(static_cast<int>(file.data.size() / 256) - 2);
        builder.AddFile(file);
    }
    return builder.Image();
}

}  // namespace

int main(int argc, char** argv) {
    int imageCount = 1000, rounds = 5;
    bool pcFiles = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--images") && i + 1 < argc)
            imageCount = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--pc-files"))
            pcFiles = true;
        else {
            std::fprintf(stderr, "usage: %s [--images N] [--rounds N] [--pc-files]\n", argv[0]);
            return 2;
        }
    }

    std::mt19937 random(1234);
    std::vector<std::vector<uint8_t>> images;
    std::vector<std::string> paths;
    long long expectedSectors = 0;
    std::string folder;
    if (pcFiles) {
        folder = (std::filesystem::temp_directory_path() / "tavik-bench-XXXXXX").string();
        if (!mkdtemp(folder.data())) return 1;
    }
    for (int i = 0; i < imageCount; ++i) {
        int files = 0;
        images.push_back(GenerateImage(random, files));
        expectedSectors += 2 + files;
        if (pcFiles) {
            paths.push_back(folder + "/image" + std::to_string(i) + ".dsk");
            if (!WriteWholeFile(paths.back(), images.back())) return 1;
        }
    }

    long long catalogs = 0, sectorsRead = 0, entries = 0, bytesRead = 0;
    double best = 1e9;
    for (int round = 0; round < rounds; ++round) {
        long long roundSectors = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < imageCount; ++i) {
            CVirtualDrive drive;
            std::unique_ptr<CPcFile> file;
            if (pcFiles)
                file = CDiskFile::Open(paths[static_cast<size_t>(i)], OpenMode::ReadOnly);
            else
                file = std::make_unique<CMemFile>(images[static_cast<size_t>(i)]);
            if (!file) return 1;
            const int kind = drive.MountFile(
                std::make_unique<CCountingFile>(std::move(file), bytesRead), 0, 0, -1);
            Catalog catalog;
            if (!kind || !ReadCatalog(drive, catalog)) {
                std::fprintf(stderr, "image %d: %s\n", i, drive.ErrorText().c_str());
                return 1;
            }
            entries += static_cast<long long>(catalog.files.size());
            roundSectors += static_cast<long long>(drive.SectorsRead());
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, seconds);
        catalogs += imageCount;
        sectorsRead += roundSectors;
    }
    if (pcFiles) std::filesystem::remove_all(folder);

    const double perRound = static_cast<double>(sectorsRead) / rounds;
    std::printf("images: %d (%s), rounds: %d, files per round: %lld\n", imageCount,
                pcFiles ? "PC files" : "in memory", rounds, entries / rounds);
    std::printf("catalogs per second: %.0f (best round %.4f s)\n", imageCount / best, best);
    std::printf(
        "bytes read per catalog: %.1f (%.2f sectors and the 41 recognition bytes; "
        "the catalog needs %.2f sectors)\n",
        static_cast<double>(bytesRead) / static_cast<double>(catalogs), perRound / imageCount,
        static_cast<double>(expectedSectors) / imageCount);
    // Fails when a catalog read more sectors than it needs.
    return perRound > static_cast<double>(expectedSectors) ? 1 : 0;
}
