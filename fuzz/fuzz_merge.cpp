// Merges arbitrary bytes into a small catalogue: the merge must end (never loop); a merge that
// fails must leave every row of the catalogue as it was; and every link row must still name an
// existing disk and an existing file. The first byte picks the separators and the options, so
// that overlapping and multi-byte separators are tried too.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/CatalogueColumns.h"
#include "database/query/CatalogueExport.h"

using namespace tavik;

namespace {

struct Fixture {
    CatalogueOptions options;
    CCatalogue catalogue{options, SilentPrompt()};
    std::string folder;
    int generation = 0;
    Fixture() {
        char pattern[] = "/tmp/tavik-fuzz-merge-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made) std::abort();
        folder = made;
        Renew();
    }
    // A fresh catalogue, so that merges that succeed do not grow it without end.
    void Renew() {
        const std::string path = folder + "/Floppies" + std::to_string(generation++) + ".db";
        if (!catalogue.Create(path)) std::abort();
        CDatabase& db = catalogue.Database();
        db.Execute("INSERT INTO [Disks] ([Disk name], [CRC-S]) VALUES (\"OLD\", \"00000001\")");
        db.Execute("INSERT INTO [Files] ([File name], [CRC]) VALUES (\"OLDFILE\", \"00000002\")");
        db.Execute("INSERT INTO [DiskFileMM] ([DiskID], [FileID]) VALUES (1, 1)");
        db.Execute("INSERT INTO [Params] ([Name], [Type], [Value]) VALUES (\"P\", 10, \"v\")");
    }
};

// Every value of every table, in ID order.
std::string Contents(CDatabase& db) {
    std::string all;
    for (int t = 0; t < kCatalogueTableCount; ++t) {
        CRecordSet set(&db);
        if (!set.Open(std::string("SELECT * FROM [") +
                      CatalogueTableName(static_cast<CatalogueTable>(t)) + "] ORDER BY [ID]"))
            std::abort();
        for (; !set.IsEOF(); set.MoveNext()) {
            for (int f = 0; f < set.GetFieldCount(); ++f)
                all += set.GetFieldValue(f).AsText() + '\x1f';
            all += '\x1e';
        }
        all += '\x1d';
    }
    return all;
}

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
    CDatabase& db = fixture.catalogue.Database();
    const std::string before = Contents(db);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!MergeCatalogueBytes(fixture.catalogue, bytes, "fuzz", options) && Contents(db) != before)
        std::abort();
    if (Orphans(db) != 0) std::abort();
    if (before.size() > 100000) fixture.Renew();
    return 0;
}
