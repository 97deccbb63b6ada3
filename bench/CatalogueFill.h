// A big catalogue filled in one SQL statement per table, for the catalogue benchmarks: D disks
// and F files, each file on one disk, with the values a scan writes (names, types, sizes, dates,
// checksums, drive paths).
#pragma once

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "database/Catalogue.h"

namespace tavik::bench {

inline double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

inline bool FillCatalogue(CCatalogue& catalogue, long disks, long files) {
    sqlite3* db = catalogue.Database().Handle();
    const std::string sql =
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(disks) +
        ") INSERT INTO \"Disks\" (\"Disk name\", \"Size\", \"Free\", \"Files\", \"DS\", \"DD\", "
        "\"Protected\", \"Creation date\", \"Archived date\", \"Archived time\", \"CRC-S\", "
        "\"CRC-F\", \"Drive type\", \"Drive\") SELECT printf('DISK%06d', i), 720, 10, 30, -1, 0, "
        "0, '1986/05/17', '2026/12/08', '14:03:00', printf('%08X', i * 2654435761 % 4294967296), "
        "printf('%08X', i * 7), 'DOAD', '/images/disk' || i || '.dsk' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(files) +
        ") INSERT INTO \"Files\" (\"File name\", \"Type\", \"Size\", \"Records\", \"Last\", "
        "\"Protected\", \"Modification date\", \"Modification time\", \"Archived date\", "
        "\"Archived time\", \"CRC\") SELECT printf('FILE%06d', i % 100000), 'PROGRAM', i % 50, 0, "
        "128, 0, '1987/02/11', '09:15:00', '2026/12/08', '14:03:00', "
        "printf('%08X', i * 2246822519 % 4294967296) FROM n;"
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

// Pages the connection had to read from the file (cache misses) since it was opened.
inline long PageReads(CCatalogue& catalogue) {
    int current = 0, highest = 0;
    sqlite3_db_status(catalogue.Database().Handle(), SQLITE_DBSTATUS_CACHE_MISS, &current, &highest,
                      0);
    return current;
}

}  // namespace tavik::bench
