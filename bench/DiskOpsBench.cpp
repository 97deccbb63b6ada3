// Defragmenting and checking a badly fragmented 1440-sector disk: time per operation and sector
// traffic against the least each operation needs. A plain timing harness:
//   tavik-bench-diskops [repetitions]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "support/ImageBuilder.h"

using namespace tavik;

namespace {

constexpr int kFiles = 40;
constexpr int kClustersPerFile = 12;
constexpr int kSectorsPerCluster = 2;

// Forty files of 24 sectors, each in twelve clusters of two with a free sector between them.
std::vector<uint8_t> FragmentedDisk() {
    test::CImageBuilder builder(1440, true, true);
    builder.SetName("FRAGMENTED");
    for (int k = 0; k < kFiles; ++k) {
        std::vector<uint8_t> data(size_t{kClustersPerFile} * kSectorsPerCluster * kSectorSize);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(i * 31 + static_cast<size_t>(k));
        test::BuiltFile f = test::BuiltFile::Program("FILE" + std::to_string(1000 - k), data);
        f.clusterSizes.assign(kClustersPerFile, kSectorsPerCluster);
        if (!builder.AddFile(f)) {
            std::fprintf(stderr, "the fragmented disk does not fit\n");
            std::exit(1);
        }
    }
    return builder.Image();
}

struct Figures {
    double milliseconds = 0;
    uint64_t read = 0, written = 0;
};

template <typename Operation>
Figures Measure(const std::vector<uint8_t>& image, bool onDisk, int repetitions, Operation op) {
    Figures total;
    const std::string path =
        (std::filesystem::temp_directory_path() / "tavik-bench-diskops.dsk").string();
    for (int r = 0; r < repetitions; ++r) {
        CVirtualDrive drive;
        if (onDisk) {
            WriteWholeFile(path, image);
            drive.OpenImage(path);
        } else {
            drive.MountFile(std::make_unique<CMemFile>(image), 0, 0, -1);
        }
        const auto start = std::chrono::steady_clock::now();
        if (!op(drive)) {
            std::fprintf(stderr, "operation failed: %s\n", drive.ErrorText().c_str());
            std::exit(1);
        }
        const auto end = std::chrono::steady_clock::now();
        total.milliseconds += std::chrono::duration<double, std::milli>(end - start).count();
        total.read += drive.SectorsRead();
        total.written += drive.SectorsWritten();
    }
    std::filesystem::remove(path);
    total.milliseconds /= repetitions;
    total.read /= static_cast<uint64_t>(repetitions);
    total.written /= static_cast<uint64_t>(repetitions);
    return total;
}

void Report(const char* what, const Figures& f, int minRead, int minWritten) {
    std::printf("%-28s %9.2f ms   read %6llu (min %5d, x%5.1f)   written %6llu (min %5d, x%5.1f)\n",
                what, f.milliseconds, static_cast<unsigned long long>(f.read), minRead,
                minRead ? static_cast<double>(f.read) / minRead : 0.0,
                static_cast<unsigned long long>(f.written), minWritten,
                minWritten ? static_cast<double>(f.written) / minWritten : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<uint8_t> image = FragmentedDisk();

    // The least a check can read: the VIB, the index and every FDR. A defragmentation must read
    // every used sector once and write every sector of the rebuilt disk once.
    const int dataSectors = kFiles * kClustersPerFile * kSectorsPerCluster;
    const int used = 2 + kFiles + dataSectors;
    std::printf("disk: 1440 sectors, %d files of %d sectors in %d clusters each, %d sectors used\n",
                kFiles, kClustersPerFile * kSectorsPerCluster, kClustersPerFile, used);
    for (bool onDisk : {false, true}) {
        const char* where = onDisk ? "file" : "memory";
        auto check = [](CVirtualDrive& d) {
            int flags = 0;
            DiskUsage usage;
            return d.CheckDisk(flags, usage) == 1 && flags == 0;
        };
        auto defragment = [](CVirtualDrive& d) { return d.Defragment() == 1; };
        Report((std::string("check, image in ") + where).c_str(),
               Measure(image, onDisk, repetitions, check), 2 + kFiles, 0);
        Report((std::string("defragment, image in ") + where).c_str(),
               Measure(image, onDisk, repetitions, defragment), used, used);
    }
    return 0;
}
