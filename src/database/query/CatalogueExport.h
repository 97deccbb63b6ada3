// The catalogue as one delimited text file and back. Export writes the chosen tables as blocks
// (Disks, Files, DiskFileMM, Queries, Params, Info; see ExportWriter.h for a block's layout);
// merge reads such a file into the open catalogue, matching disks by sector checksum, files by
// checksum and name, saved queries, parameters and settings by name, and re-linking disks and
// files through the IDs the rows get here.
#pragma once

#include <string>
#include <vector>

#include "database/Catalogue.h"
#include "database/query/Separators.h"

namespace tavik {

enum class ExportRows { All, CurrentSet, None, FromAboveDisks };

struct ExportOptions {
    ExportRows disks = ExportRows::All;
    ExportRows files = ExportRows::All;  // FromAboveDisks: the files on the exported disks
    bool queries = false;
    bool params = false;
    bool info = false;
    bool links = false;
    Separators separators;
};

// Writes the export; failures are shown through the catalogue's prompt.
bool ExportCatalogue(CCatalogue& catalogue, const std::string& path, const ExportOptions& options);

// The statement of the files on the disks the current disk set shows.
std::string FilesOfDisksStatement(CCatalogue& catalogue);

enum class DiskMerge { Overwrite, Skip, CreateNew, DoNotImport };
enum class FileMerge { Overwrite, Reuse, CreateNew };
enum class TableMerge { Overwrite, Skip, DoNotImport };

struct MergeOptions {
    DiskMerge disks = DiskMerge::Overwrite;
    FileMerge files = FileMerge::Overwrite;
    TableMerge queries = TableMerge::Overwrite;
    TableMerge params = TableMerge::Overwrite;
    TableMerge info = TableMerge::Overwrite;
    Separators separators;
};

struct MergeReport {
    int disksAdded = 0, disksUpdated = 0;
    int filesAdded = 0, filesUpdated = 0, filesRemoved = 0;
    int linksAdded = 0;
    int rowsAdded = 0, rowsUpdated = 0;  // Queries, Params and Info together
    bool completed = false;              // false when the merge failed (and changed nothing)
};

// Merges the file into the open catalogue, in one transaction: a merge that fails (a file at
// fault, an engine error) says why and leaves every row as it was.
bool MergeCatalogue(CCatalogue& catalogue, const std::string& path, const MergeOptions& options,
                    MergeReport* report = nullptr);
// The same over bytes already in memory (`path` only names them in messages).
bool MergeCatalogueBytes(CCatalogue& catalogue, std::string_view bytes, const std::string& path,
                         const MergeOptions& options, MergeReport* report = nullptr);

// The captions of a table's block, and the column each stands for.
struct ExportColumn {
    const char* caption;
    const char* column;
};
const std::vector<ExportColumn>& ExportColumns(const std::string& table);

}  // namespace tavik
