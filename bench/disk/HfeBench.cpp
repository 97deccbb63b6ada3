// HFE images: mounting and listing a full disk, and reading every sector of it, beside the same
// disk as a sector dump. A plain timing harness:
//   tavik-bench-hfe [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/PcFile.h"
#include "disk/Catalog.h"
#include "disk/VirtualDrive.h"
#include "support/ImageBuilder.h"

using namespace tavik;

namespace {

// A disk full of files of 8 sectors (127 files on 1440 sectors: a listing reads 129 sectors).
test::CImageBuilder FullDisk(int total) {
    test::CImageBuilder builder(total, total > 360, total > 720);
    builder.SetName("HFEBENCH");
    for (int k = 0; k < std::min(127, (total - 2) / 9); ++k) {
        std::vector<uint8_t> data(8 * kSectorSize);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(i * 13 + static_cast<size_t>(k));
        if (!builder.AddFile(test::BuiltFile::Program("FILE" + std::to_string(100 + k), data))) {
            std::fprintf(stderr, "the disk does not hold the files\n");
            std::exit(1);
        }
    }
    return builder;
}

template <typename Step>
double Milliseconds(int repetitions, Step step) {
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < repetitions; ++r)
        if (!step()) {
            std::fprintf(stderr, "step failed\n");
            std::exit(1);
        }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count() / repetitions;
}

void Measure(const char* what, const std::vector<uint8_t>& image, int total, int repetitions) {
    const std::string path = (std::filesystem::temp_directory_path() / "tavik-bench.hfe").string();
    WriteWholeFile(path, image);
    size_t files = 0;
    const double mount = Milliseconds(repetitions, [&] {
        CVirtualDrive drive;
        return drive.OpenImage(path) != 0;
    });
    const double list = Milliseconds(repetitions, [&] {
        CVirtualDrive drive;
        Catalog catalog;
        if (!drive.OpenImage(path) || !ReadCatalog(drive, catalog)) return false;
        files = catalog.files.size();
        return true;
    });
    CVirtualDrive drive;
    drive.OpenImage(path);
    Sector data;
    const double all = Milliseconds(repetitions, [&] {
        for (int n = 0; n < total; ++n)
            if (!drive.ReadSector(n, data.data())) return false;
        return true;
    });
    std::printf(
        "%-21s mount %6.2f ms, and list %3zu files %6.2f ms   read %4d sectors %7.2f ms "
        "(%5.1f us each)\n",
        what, mount, files, list, total, all, 1000.0 * all / total);
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    for (int total : {720, 1440}) {
        const test::CImageBuilder disk = FullDisk(total);
        const std::string size = total == 720 ? "DSSD FM" : "DSDD MFM";
        Measure(("HFE " + size).c_str(), disk.HfeImage(), total, repetitions);
        Measure(("sector dump " + size).c_str(), disk.Image(), total, repetitions);
    }
    return 0;
}
