// Catalogue figures on a collection-sized catalogue:
//   1. a catalogue of 10,000 disks and 300,000 files;
//   2. adding 10,000 generated disk images to it (10 to 30 files each, a third of them from a
//      small pool shared by many disks, every 20th disk a copy of an earlier one): disks a
//      second and page reads per disk (pages the engine had to read from the file), then 1,000
//      more each committed alone;
//   3. the whole catalogue exported and merged into a fresh catalogue: rows a second;
//   4. queries by CRC and by name pattern over the files.
//   tavik-bench-database [ADD [DISKS FILES]]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CatalogueFill.h"
#include "ImageBuilder.h"
#include "base/PcFile.h"
#include "base/UserPrompt.h"
#include "database/DiskScanner.h"
#include "database/RecordSet.h"
#include "database/query/CatalogueExport.h"
#include "disk/VirtualDrive.h"

using namespace tavik;
using bench::Seconds;
using Clock = std::chrono::steady_clock;

// Seconds of processor time since `since`: on a machine shared with other work the wall clock
// also counts their time.
double CpuSeconds(std::clock_t since) {
    return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

namespace {

class CNewEntries : public CDuplicateResolver {
public:
    DuplicateAnswer Resolve(int, const std::vector<DuplicateCandidate>&) override {
        return {DuplicateButton::CreateNew};
    }
};

uint32_t g_seed = 12345;
uint32_t Random() {
    g_seed = g_seed * 1103515245u + 12345u;
    return g_seed >> 8;
}

std::string Name(const char* prefix, uint32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%s%05u", prefix, n % 100000);
    return text;
}

std::vector<uint8_t> GeneratedDisk(int n) {
    test::CImageBuilder b(n % 4 == 0 ? 720 : 360, n % 4 == 0);
    b.SetName(Name("D", static_cast<uint32_t>(n)));
    const int files = 10 + static_cast<int>(Random() % 21);
    for (int f = 0; f < files; ++f) {
        const bool shared = Random() % 3 == 0;
        const uint32_t id = shared ? Random() % 50 : Random();
        std::vector<uint8_t> data(256 * (1 + id % 4) - (id % 200));
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(id + i * 31);
        b.AddFile(test::BuiltFile::Program(Name(shared ? "S" : "F", id), data));
    }
    return b.Image();
}

long Count(CCatalogue& catalogue, const char* table) {
    CRecordSet set(&catalogue.Database());
    set.Open(std::string("SELECT ALL * FROM [") + table + "]");
    return set.GetRecordCount();
}

}  // namespace

int main(int argc, char** argv) {
    const int adds = argc > 1 ? std::atoi(argv[1]) : 10000;
    const long disks = argc > 2 ? std::atol(argv[2]) : 10000;
    const long files = argc > 3 ? std::atol(argv[3]) : 300000;
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/tavik-bench-database-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const fs::path folder = pattern;
    CSilentPrompt prompt;

    CatalogueOptions options;
    options.fileDuplicates = 2;  // use old record as such
    CCatalogue catalogue(options, prompt);
    if (!catalogue.Create((folder / "big.db").string())) return 1;
    auto start = Clock::now();
    if (!bench::FillCatalogue(catalogue, disks, files)) return 1;
    std::printf("filled %ld disks and %ld files in %.1f s\n", disks, files, Seconds(start));
    // The figures are those of a catalogue opened afresh, as a user would open it.
    catalogue.Close();
    if (!catalogue.Open((folder / "big.db").string())) return 1;

    // ---- Adding disks ----------------------------------------------------------------------
    // As "tavik-cli db add" adds them: each disk in a transaction of its own, the transactions
    // committed together twice a second; then 1,000 more each committed alone, as the desktop
    // program adds one disk at a time.
    {
        CNewEntries resolver;
        CDiskScanner scanner(catalogue, resolver);
        std::vector<std::vector<uint8_t>> kept;  // disks later copied
        for (bool batched : {true, false}) {
            const int count = batched ? adds : std::min(adds, 1000);
            double seconds = 0, generating = 0;
            const long readsBefore = bench::PageReads(catalogue);
            const std::clock_t cpu = std::clock();
            CCommitBatch batch(catalogue.Database());
            int added = 0;
            for (int n = 0; n < count; ++n) {
                const int disk = batched ? n : adds + n;
                const auto made = Clock::now();
                std::vector<uint8_t> image =
                    disk % 20 == 19 ? kept[static_cast<size_t>(n / 40)] : GeneratedDisk(disk);
                if (kept.size() < static_cast<size_t>(adds / 40 + 1)) kept.push_back(image);
                generating += Seconds(made);
                const auto begin = Clock::now();
                CVirtualDrive drive;
                drive.MountFile(std::make_unique<CMemFile>(std::move(image)), 0, 0, -1);
                if (batched) batch.Tick();
                if (scanner.AddDisk(drive)) ++added;
                seconds += Seconds(begin);
            }
            const auto begin = Clock::now();
            batch.Finish();
            seconds += Seconds(begin);
            const double cpuSeconds = CpuSeconds(cpu) - generating;
            const long reads = bench::PageReads(catalogue) - readsBefore;
            std::printf(
                "add%s: %d disks onto %ld disks / %ld files in %.2f s = %.0f disks/s (CPU: %.0f "
                "disks/s); %.1f page reads per disk (target >= 1,000 disks/s)\n",
                batched ? "" : ", one commit per disk", added, disks, files, seconds,
                added / seconds, added / cpuSeconds, static_cast<double>(reads) / added);
        }
    }

    // ---- Export and merge --------------------------------------------------------------------
    {
        ExportOptions out;
        out.links = out.queries = out.params = out.info = true;
        start = Clock::now();
        std::clock_t cpu = std::clock();
        if (!ExportCatalogue(catalogue, (folder / "export.txt").string(), out)) return 1;
        const double exportSeconds = Seconds(start);
        const double exportCpu = CpuSeconds(cpu);
        const long rows = Count(catalogue, "Disks") + Count(catalogue, "Files") +
                          Count(catalogue, "DiskFileMM") + Count(catalogue, "Info");
        CatalogueOptions freshOptions;
        CCatalogue fresh(freshOptions, prompt);
        if (!fresh.Create((folder / "fresh.db").string())) return 1;
        start = Clock::now();
        cpu = std::clock();
        const bool merged = MergeCatalogue(fresh, (folder / "export.txt").string(), {});
        const double mergeSeconds = Seconds(start);
        const double mergeCpu = CpuSeconds(cpu);
        std::printf(
            "export: %ld rows in %.2f s = %.0f rows/s (CPU: %.0f rows/s); merge into a fresh "
            "catalogue: %.2f s = %.0f rows/s (CPU: %.0f rows/s)%s (target >= 100,000 rows/s)\n",
            rows, exportSeconds, rows / exportSeconds, rows / exportCpu, mergeSeconds,
            rows / mergeSeconds, rows / mergeCpu, merged ? "" : " (FAILED)");
    }

    // ---- Queries -----------------------------------------------------------------------------
    {
        CFileSet& set = catalogue.FileSet();
        start = Clock::now();
        const std::clock_t cpu = std::clock();
        set.Open("SELECT ALL * FROM [Files] WHERE [File name] LIKE \"*12?4*\"");
        const long n = set.GetRecordCount();
        std::printf("name pattern over %ld files: %ld rows in %.3f s (CPU %.3f s)\n",
                    Count(catalogue, "Files"), n, Seconds(start), CpuSeconds(cpu));
    }
    {
        CFileSet& set = catalogue.FileSet();
        const int lookups = 1000;
        int found = 0;
        char sql[160];
        start = Clock::now();
        const std::clock_t cpu = std::clock();
        for (int i = 0; i < lookups; ++i) {
            std::snprintf(sql, sizeof sql, "SELECT ALL * FROM [Files] WHERE [CRC] = \"%08X\"",
                          static_cast<unsigned>((1 + (i * 1499) % files) * 2246822519u));
            set.Open(sql);
            if (!set.IsEOF() && !set.m_FileName.IsNull()) ++found;
        }
        std::printf("query by CRC: %.3f ms each (CPU %.3f ms; %d of %d found)\n",
                    Seconds(start) * 1000 / lookups, CpuSeconds(cpu) * 1000 / lookups, found,
                    lookups);
    }
    catalogue.Close();
    fs::remove_all(folder);
    return 0;
}
