// Export and merge of a big catalogue: D disks with F files, each file on one disk (defaults
// 10,000 and 300,000; give other counts as arguments). Prints the seconds of each step.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/query/CatalogueExport.h"

using namespace tavik;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool Fill(CCatalogue& catalogue, long disks, long files) {
    sqlite3* db = catalogue.Database().Handle();
    const std::string sql =
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(disks) +
        ") INSERT INTO \"Disks\" (\"Disk name\", \"Size\", \"Free\", \"Files\", \"DS\", \"DD\", "
        "\"Protected\", \"CRC-S\", \"CRC-F\", \"Drive type\", \"Drive\") SELECT 'DISK' || i, "
        "720, 10, 30, -1, 0, 0, printf('%08X', i), printf('%08X', i * 7), 'DOAD', "
        "'/images/disk' || i || '.dsk' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(files) +
        ") INSERT INTO \"Files\" (\"File name\", \"Type\", \"Size\", \"Records\", \"Last\", "
        "\"Protected\", \"Modification date\", \"CRC\") SELECT 'FILE' || (i % 1000), 'PROGRAM', "
        "i % 50, 0, 128, 0, '2026/12/08', printf('%08X', i) FROM n;"
        "INSERT INTO \"DiskFileMM\" (\"DiskID\", \"FileID\") SELECT 1 + (\"ID\" % " +
        std::to_string(disks) +
        "), \"ID\" FROM \"Files\";"
        "COMMIT;";
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "fill: %s\n", error ? error : "?");
        sqlite3_free(error);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const long disks = argc > 1 ? std::atol(argv[1]) : 10000;
    const long files = argc > 2 ? std::atol(argv[2]) : 300000;
    char pattern[] = "/tmp/tavik-bench-query-XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (!folder) return 1;
    const std::string dir = folder;

    CatalogueOptions options;
    CCatalogue source(options, SilentPrompt());
    if (!source.Create(dir + "/source.db") || !Fill(source, disks, files)) return 1;
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

    std::printf("catalogue: %ld disks, %ld files, %ld links\n", disks, files, files);
    std::printf("export:                %.2f s (%ju bytes)\n", exportSeconds,
                static_cast<uintmax_t>(std::filesystem::file_size(dir + "/export.txt")));
    std::printf("merge into new:        %.2f s%s\n", mergeSeconds, merged ? "" : " (FAILED)");
    std::printf("merge again (matched): %.2f s%s (disks updated %d, files updated %d)\n",
                remergeSeconds, again ? "" : " (FAILED)", report.disksUpdated, report.filesUpdated);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return merged && again ? 0 : 1;
}
