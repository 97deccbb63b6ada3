// Catalogue figures: adding 1,000 generated disk images (typical file counts, some duplicate
// disks and files) to a new catalogue, then a name LIKE scan and a checksum lookup over a
// catalogue of 10,000 disks and 300,000 files.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ImageBuilder.h"
#include "base/PcFile.h"
#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/DiskScanner.h"
#include "database/RecordSet.h"
#include "disk/VirtualDrive.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

class CNewEntries : public tavik::CDuplicateResolver {
public:
    tavik::DuplicateAnswer Resolve(tavik::DuplicateMode,
                                   const std::vector<tavik::DuplicateCandidate>&) override {
        return {tavik::DuplicateButton::CreateNew};
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

// A disk of 10 to 30 files; a third of the files come from a small shared pool (the same
// loader on many disks), the rest are unique.
std::vector<uint8_t> GeneratedDisk(int n) {
    tavik::test::CImageBuilder b(720, true);
    b.SetName(Name("D", static_cast<uint32_t>(n)));
    const int files = 10 + static_cast<int>(Random() % 21);
    for (int f = 0; f < files; ++f) {
        const bool shared = Random() % 3 == 0;
        const uint32_t id = shared ? Random() % 50 : Random();
        std::vector<uint8_t> data(256 * (1 + id % 4) - (id % 200));
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(id + i * 31);
        b.AddFile(tavik::test::BuiltFile::Program(Name(shared ? "S" : "F", id), data));
    }
    return b.Image();
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "tavik-bench-database";
    fs::remove_all(folder);
    fs::create_directories(folder);
    tavik::CSilentPrompt prompt;

    // ---- Adding disks ------------------------------------------------------------------------
    {
        tavik::CatalogueOptions options;
        options.fileDuplicates = tavik::DuplicatesUseOld;
        tavik::CCatalogue catalogue(options, prompt);
        if (!catalogue.Create((folder / "add.db").string())) return 1;
        std::vector<std::vector<uint8_t>> images;
        for (int n = 0; n < 1000; ++n) {
            // Every 20th disk is a copy of an earlier one.
            images.push_back(n % 20 == 19 ? images[static_cast<size_t>(n / 2)] : GeneratedDisk(n));
        }
        CNewEntries resolver;
        tavik::CDiskScanner scanner(catalogue, resolver);
        const auto start = Clock::now();
        const std::clock_t cpu = std::clock();
        int added = 0;
        for (const auto& image : images) {
            tavik::CVirtualDrive drive;
            drive.MountFile(std::make_unique<tavik::CMemFile>(image), 0, 0, -1);
            if (scanner.AddDisk(drive)) ++added;
        }
        const double s = Seconds(start);
        const double cpuSeconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        tavik::CRecordSet files(&catalogue.Database());
        files.Open("SELECT ALL * FROM [Files]");
        // On a shared machine the wall clock also counts other programs' time.
        std::printf(
            "add: %d disks (%ld file rows) in %.2f s = %.0f disks/s; %.2f s of CPU = %.0f "
            "disks/s (target >= 200)\n",
            added, files.GetRecordCount(), s, added / s, cpuSeconds, added / cpuSeconds);
    }

    // ---- A big catalogue ---------------------------------------------------------------------
    tavik::CatalogueOptions options;
    tavik::CCatalogue catalogue(options, prompt);
    if (!catalogue.Create((folder / "big.db").string())) return 1;
    tavik::CDatabase& db = catalogue.Database();
    {
        const auto start = Clock::now();
        db.BeginTrans();
        tavik::CRecordSet disks(&db), files(&db), links(&db);
        disks.Open("SELECT ALL * FROM [Disks]");
        files.Open("SELECT ALL * FROM [Files]");
        links.Open("SELECT ALL * FROM [DiskFileMM]");
        char crc[16];
        for (int d = 1; d <= 10000; ++d) {
            disks.AddNew();
            disks.SetFieldValue("Disk name",
                                tavik::CDbValue::Text(Name("DISK", static_cast<uint32_t>(d))));
            std::snprintf(crc, sizeof crc, "%08X", Random());
            disks.SetFieldValue("CRC-S", tavik::CDbValue::Text(crc));
            disks.SetFieldValue("Size", tavik::CDbValue::Integer(720));
            disks.Update();
            for (int f = 0; f < 30; ++f) {
                files.AddNew();
                files.SetFieldValue("File name", tavik::CDbValue::Text(Name("FILE", Random())));
                std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(d * 30 + f));
                files.SetFieldValue("CRC", tavik::CDbValue::Text(crc));
                files.SetFieldValue("Type", tavik::CDbValue::Text("PROG"));
                files.Update();
                links.AddNew();
                links.SetFieldValue("DiskID", tavik::CDbValue::Integer(d));
                links.SetFieldValue("FileID", files.GetFieldValue("ID"));
                links.Update();
            }
        }
        db.CommitTrans();
        std::printf("filled 10,000 disks and 300,000 files in %.1f s\n", Seconds(start));
    }
    {
        tavik::CFileSet& files = catalogue.FileSet();
        const auto start = Clock::now();
        files.Open("SELECT ALL * FROM [Files] WHERE [File name] LIKE \"*12?4*\"");
        long n = files.GetRecordCount();
        std::printf("LIKE scan over 300,000 files: %ld rows in %.3f s (target < 0.5 s)\n", n,
                    Seconds(start));
    }
    {
        tavik::CFileSet& files = catalogue.FileSet();
        const int lookups = 200;
        int found = 0;
        char sql[160];
        const auto start = Clock::now();
        for (int i = 0; i < lookups; ++i) {
            std::snprintf(sql, sizeof sql, "SELECT ALL * FROM [Files] WHERE [CRC] = \"%08X\"",
                          static_cast<unsigned>(30 + (i * 1499) % 299970));
            files.Open(sql);
            if (!files.IsEOF() && !files.m_FileName.IsNull()) ++found;
        }
        std::printf("CRC lookup: %.3f ms each (%d of %d found; target < 5 ms)\n",
                    Seconds(start) * 1000 / lookups, found, lookups);
    }
    catalogue.Close();
    fs::remove_all(folder);
    return 0;
}
