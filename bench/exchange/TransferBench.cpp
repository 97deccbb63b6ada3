// Imports and exports 1,000 PC files of mixed types (programs, DIS/FIX, DIS/VAR, INT/FIX and
// text, with and without headers) through the drive and reports files per second for each way.
//   tavik-bench-exchange [--files N]
#include <unistd.h>

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
#include "disk/VirtualDrive.h"
#include "exchange/ExportCommand.h"
#include "exchange/ImportCommand.h"
#include "exchange/PcFileKind.h"

using namespace tavik;

namespace {

class CAcceptAll : public CFileNameAnswers {
public:
    bool Confirm(int, FileNameDialogState&) override { return true; }
};

std::vector<uint8_t> Records(std::mt19937& random, int count, int length, bool variable) {
    std::vector<uint8_t> out;
    for (int i = 0; i < count; ++i) {
        const int n = variable ? static_cast<int>(random() % (length + 1)) : length;
        if (variable) out.push_back(static_cast<uint8_t>(n));
        for (int k = 0; k < n; ++k)
            out.push_back(static_cast<uint8_t>(' ' + random() % 90));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    int files = 1000;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--files") == 0) files = std::atoi(argv[i + 1]);
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("tavik-bench-exchange-" + std::to_string(::getpid()));
    fs::create_directories(dir / "in");
    fs::create_directories(dir / "out");

    // The PC files: five kinds in turn, a few sectors each.
    std::mt19937 random(7);
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        const std::string stem = (dir / "in" / ("F" + std::to_string(i))).string();
        std::vector<uint8_t> bytes;
        std::string path;
        switch (i % 5) {
            case 0:
                bytes.resize(256 * (1 + random() % 8) + random() % 256);
                for (auto& b : bytes)
                    b = static_cast<uint8_t>(random());
                path = stem + ".PRG";
                break;
            case 1:
                bytes = Records(random, 1 + static_cast<int>(random() % 40), 80, false);
                path = stem + ".DF80";
                break;
            case 2:
                bytes = Records(random, 1 + static_cast<int>(random() % 40), 80, true);
                path = stem + ".DV80";
                break;
            case 3:
                bytes = Records(random, 1 + static_cast<int>(random() % 60), 32, false);
                path = stem + ".IF32";
                break;
            default: {
                const auto text = Records(random, 1 + static_cast<int>(random() % 40), 60, false);
                for (size_t k = 0; k < text.size(); k += 60) {
                    bytes.insert(bytes.end(), text.begin() + static_cast<long>(k),
                                 text.begin() + static_cast<long>(k + 60));
                    bytes.push_back('\r');
                    bytes.push_back('\n');
                }
                path = stem + ".TXT";
            }
        }
        WriteWholeFile(path, bytes);
        paths.push_back(path);
    }

    // Import onto double-sided double-density disks, a new one every 100 files (128 at most
    // fit a disk's index).
    using Clock = std::chrono::steady_clock;
    std::vector<std::unique_ptr<CVirtualDrive>> disks;
    int imported = 0;
    const auto importStart = Clock::now();
    for (size_t first = 0; first < paths.size(); first += 100) {
        auto drive = std::make_unique<CVirtualDrive>();
        drive->MountFile(std::make_unique<CMemFile>(test::CImageBuilder(1440, true, true).Image()),
                         0, 0, -1);
        CAcceptAll names;
        CImportCommand command(*drive, SilentPrompt(), names, ImportOptions{});
        const size_t last = std::min(paths.size(), first + 100);
        imported += command.Run(std::vector<std::string>(paths.begin() + static_cast<long>(first),
                                                         paths.begin() + static_cast<long>(last)));
        disks.push_back(std::move(drive));
    }
    const double importSeconds = std::chrono::duration<double>(Clock::now() - importStart).count();

    // Export every file again, the header form changing from file to file.
    static const int kFormats[] = {NoHeader, FiadHeader, TifilesHeader, TifilesPacked, Text};
    int exported = 0;
    const auto exportStart = Clock::now();
    for (auto& drive : disks) {
        int position = 0;
        for (int fdr; (fdr = drive->NextFdr(position)) > 0;) {
            const std::string out = (dir / "out" / ("X" + std::to_string(exported))).string();
            exported += ExportInFormat(*drive, fdr, out, kFormats[exported % 5], {7, 12, 25});
        }
    }
    const double exportSeconds = std::chrono::duration<double>(Clock::now() - exportStart).count();
    fs::remove_all(dir);

    std::printf("import: %d of %d files in %.3f s, %.0f files/s\n", imported, files, importSeconds,
                imported / importSeconds);
    std::printf("export: %d files in %.3f s, %.0f files/s\n", exported, exportSeconds,
                exported / exportSeconds);
    return imported == files && exported == files ? 0 : 1;
}
