// Merges arbitrary bytes into a small catalogue: the merge must end (never loop), and every
// link row must still name an existing disk and an existing file. The first byte picks the
// separators, so that overlapping and multi-byte ones are tried too.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/query/CatalogueExport.h"

using namespace tavik;

namespace {

struct Fixture {
    CatalogueOptions options;
    CCatalogue catalogue{options, SilentPrompt()};
    Fixture() {
        char pattern[] = "/tmp/tavik-fuzz-merge-XXXXXX";
        const char* folder = mkdtemp(pattern);
        if (!folder || !catalogue.Create(std::string(folder) + "/Floppies.db")) std::abort();
        catalogue.Database().Execute(
            "INSERT INTO [Disks] ([Disk name], [CRC-S]) VALUES (\"OLD\", \"00000001\")");
        catalogue.Database().Execute(
            "INSERT INTO [Files] ([File name], [CRC]) VALUES (\"OLDFILE\", \"00000002\")");
    }
};

long Orphans(CDatabase& db) {
    CRecordSet set(&db);
    if (!set.Open("SELECT ALL [ID] FROM [DiskFileMM] WHERE [DiskID] NOT IN (SELECT ALL [ID] "
                  "FROM [Disks]) OR [FileID] NOT IN (SELECT ALL [ID] FROM [Files])"))
        return 0;
    set.MoveLast();
    return set.GetRecordCount();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    if (size == 0) return 0;
    static const Separators choices[] = {{"\t", "\r\n", "\f"}, {"\r", "\n", "\f"},
                                         {";", ";;", "\n"},    {"\t", "\n", "\n\n"},
                                         {"ab", "b", "a"},     {"\t", "\t", "\t"}};
    MergeOptions options;
    options.separators = choices[data[0] % 6];
    options.disks = static_cast<DiskMerge>((data[0] / 6) % 4);
    options.files = static_cast<FileMerge>((data[0] / 24) % 3);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    MergeCatalogueBytes(fixture.catalogue, bytes, "fuzz", options);
    if (Orphans(fixture.catalogue.Database()) != 0) std::abort();
    return 0;
}
