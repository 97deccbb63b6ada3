// Export and merge of a big catalogue: D disks with F files, each file on one disk (defaults
// 10,000 and 300,000; give other counts as arguments). Prints the seconds and rows a second of
// each step.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CatalogueFill.h"
#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/query/CatalogueExport.h"

using namespace tavik;
using bench::Seconds;

int main(int argc, char** argv) {
    const long disks = argc > 1 ? std::atol(argv[1]) : 10000;
    const long files = argc > 2 ? std::atol(argv[2]) : 300000;
    char pattern[] = "/tmp/tavik-bench-query-XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (!folder) return 1;
    const std::string dir = folder;

    CatalogueOptions options;
    CCatalogue source(options, SilentPrompt());
    if (!source.Create(dir + "/source.db") || !bench::FillCatalogue(source, disks, files)) return 1;
    ExportOptions out;
    out.links = out.queries = out.params = out.info = true;
    auto start = std::chrono::steady_clock::now();
    if (!ExportCatalogue(source, dir + "/export.txt", out)) return 1;
    const double exportSeconds = Seconds(start);

    CatalogueOptions targetOptions;
    CCatalogue target(targetOptions, SilentPrompt());
    if (!target.Create(dir + "/target.db")) return 1;
    MergeOptions merge;
    MergeReport report;
    start = std::chrono::steady_clock::now();
    const bool merged = MergeCatalogue(target, dir + "/export.txt", merge, &report);
    const double mergeSeconds = Seconds(start);
    start = std::chrono::steady_clock::now();
    const bool again = MergeCatalogue(target, dir + "/export.txt", merge, &report);
    const double remergeSeconds = Seconds(start);

    const double rows = static_cast<double>(disks + 2 * files);
    std::printf("catalogue: %ld disks, %ld files, %ld links\n", disks, files, files);
    std::printf("export:                %.2f s = %.0f rows/s (%ju bytes)\n", exportSeconds,
                rows / exportSeconds,
                static_cast<uintmax_t>(std::filesystem::file_size(dir + "/export.txt")));
    std::printf("merge into new:        %.2f s = %.0f rows/s%s\n", mergeSeconds,
                rows / mergeSeconds, merged ? "" : " (FAILED)");
    std::printf(
        "merge again (matched): %.2f s = %.0f rows/s%s (disks updated %d, files updated "
        "%d)\n",
        remergeSeconds, rows / remergeSeconds, again ? "" : " (FAILED)", report.disksUpdated,
        report.filesUpdated);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return merged && again ? 0 : 1;
}
