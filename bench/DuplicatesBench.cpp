// The duplicate report over a big catalogue: D disks with F files (defaults 10,000 and 300,000;
// give other counts as arguments), where every tenth disk has the sectors of the disk before it
// and every fifth file the contents and name of the file before it (which is on another disk).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <sqlite3.h>

#include "CatalogueFill.h"
#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/DuplicateReport.h"

using namespace tavik;
using bench::Seconds;

int main(int argc, char** argv) {
    const long disks = argc > 1 ? std::atol(argv[1]) : 10000;
    const long files = argc > 2 ? std::atol(argv[2]) : 300000;
    char pattern[] = "/tmp/tavik-bench-duplicates-XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (!folder) return 1;
    const std::string dir = folder;

    CatalogueOptions options;
    CCatalogue catalogue(options, SilentPrompt());
    if (!catalogue.Create(dir + "/c.db") || !bench::FillCatalogue(catalogue, disks, files))
        return 1;
    char* error = nullptr;
    if (sqlite3_exec(catalogue.Database().Handle(),
                     "UPDATE \"Disks\" SET \"CRC-S\" = (SELECT d.\"CRC-S\" FROM \"Disks\" d WHERE "
                     "d.\"ID\" = \"Disks\".\"ID\" - 1) WHERE \"ID\" % 10 = 0;"
                     "UPDATE \"Files\" SET (\"CRC\", \"File name\") = (SELECT f.\"CRC\", "
                     "f.\"File name\" FROM \"Files\" f WHERE f.\"ID\" = \"Files\".\"ID\" - 1) "
                     "WHERE \"ID\" % 5 = 0;",
                     nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error ? error : "?");
        return 1;
    }

    DuplicateReport report;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!FindDuplicates(catalogue.Database(), report)) {
            std::fprintf(stderr, "%s\n", catalogue.Database().ErrorText().c_str());
            return 1;
        }
        std::printf(
            "duplicates of %ld disks, %ld files: %.3f s (%zu disk groups, %zu file "
            "groups)\n",
            disks, files, Seconds(start), report.disks.size(), report.files.size());
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
