#include "database/DuplicateReport.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>

#include "base/Cp1252.h"
#include "database/Database.h"

namespace tavik {

namespace {

std::string Text(sqlite3_stmt* s, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? Utf8ToCp1252(text) : std::string();
}

std::string Unpadded(std::string name) {
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// Rows ordered by the grouping key in column 0: consecutive rows with one key form a group.
// The checksum column names come from the catalogue's own schema, never from the user.
bool DiskGroups(CDatabase& db, const char* column, DiskSameness by, const char* except,
                std::vector<DiskDuplicates>& groups) {
    const std::string c = std::string("\"") + column + "\"";
    sqlite3_stmt* s = db.Statement(
        "SELECT " + c + ", \"ID\", \"Disk name\", \"Drive\" FROM \"Disks\" WHERE " + c +
        " IN (SELECT " + c + " FROM \"Disks\" WHERE " + c + " IS NOT NULL AND " + c + " <> '" +
        except + "' GROUP BY " + c + " HAVING count(*) > 1) ORDER BY " + c + ", \"ID\"");
    if (!s) return false;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        std::string crc = Text(s, 0);
        if (groups.empty() || groups.back().crc != crc || groups.back().by != by)
            groups.push_back({by, std::move(crc), {}});
        groups.back().copies.push_back(
            {sqlite3_column_int64(s, 1), Unpadded(Text(s, 2)), Text(s, 3), 0});
    }
    sqlite3_reset(s);
    return rc == SQLITE_DONE || db.FailFromEngine();
}

std::set<int64_t> Members(const DiskDuplicates& group) {
    std::set<int64_t> ids;
    for (const DuplicateCopy& c : group.copies)
        ids.insert(c.diskId);
    return ids;
}

}  // namespace

bool FindDuplicates(CDatabase& db, DuplicateReport& report) {
    report = {};
    std::vector<DiskDuplicates> sameFiles;
    // No checksum over sectors is left out; "00000000" as the files' checksum is every disk
    // without files, which are not copies of each other for that.
    if (!DiskGroups(db, "CRC-S", DiskSameness::Sectors, "", report.disks) ||
        !DiskGroups(db, "CRC-F", DiskSameness::Files, "00000000", sameFiles))
        return false;
    std::set<std::set<int64_t>> listed;
    for (const DiskDuplicates& g : report.disks)
        listed.insert(Members(g));
    for (DiskDuplicates& g : sameFiles)
        if (!listed.count(Members(g))) report.disks.push_back(std::move(g));
    std::stable_sort(
        report.disks.begin(), report.disks.end(),
        [](const DiskDuplicates& a, const DiskDuplicates& b) { return a.crc < b.crc; });

    // A file recorded once and linked to several disks, or recorded again for each disk: both
    // are copies. Rows are grouped here in flat sorted arrays: the engine's grouping of every
    // file row, or a hash of them, takes seconds on a big catalogue.
    struct FileRow {
        std::string crc, name;
        int64_t id;
    };
    std::vector<FileRow> rows;
    sqlite3_stmt* s = db.Statement("SELECT \"CRC\", \"File name\", \"ID\" FROM \"Files\"");
    if (!s) return false;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const auto* crc = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        rows.push_back({crc ? crc : "", name ? name : "", sqlite3_column_int64(s, 2)});
    }
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return db.FailFromEngine();

    std::vector<std::pair<int64_t, int64_t>> links;  // (file, disk)
    s = db.Statement("SELECT \"FileID\", \"DiskID\" FROM \"DiskFileMM\"");
    if (!s) return false;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW)
        links.push_back({sqlite3_column_int64(s, 0), sqlite3_column_int64(s, 1)});
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return db.FailFromEngine();

    std::sort(links.begin(), links.end());
    std::sort(rows.begin(), rows.end(), [](const FileRow& a, const FileRow& b) {
        return std::tie(a.crc, a.name, a.id) < std::tie(b.crc, b.name, b.id);
    });
    std::map<int64_t, std::pair<std::string, std::string>> diskRows;  // name, drive
    std::vector<std::pair<int64_t, int64_t>> copies;                  // (disk, file)
    for (size_t first = 0, end = 0; first < rows.size(); first = end) {
        while (end < rows.size() && rows[end].crc == rows[first].crc &&
               rows[end].name == rows[first].name)
            ++end;
        copies.clear();
        for (size_t k = first; k < end; ++k) {
            auto link = std::lower_bound(links.begin(), links.end(),
                                         std::pair<int64_t, int64_t>{rows[k].id, INT64_MIN});
            for (; link != links.end() && link->first == rows[k].id; ++link)
                copies.push_back({link->second, rows[k].id});
        }
        if (copies.size() < 2) continue;
        // A disk that links the same file twice counts once.
        std::sort(copies.begin(), copies.end());
        copies.erase(std::unique(copies.begin(), copies.end(),
                                 [](const auto& a, const auto& b) { return a.first == b.first; }),
                     copies.end());
        if (copies.size() < 2) continue;
        FileDuplicates group{
            Utf8ToCp1252(rows[first].crc), Unpadded(Utf8ToCp1252(rows[first].name)), {}};
        for (const auto& [disk, file] : copies) {
            group.copies.push_back({disk, {}, {}, file});
            diskRows[disk];
        }
        report.files.push_back(std::move(group));
    }
    if (report.files.empty()) return true;

    s = db.Statement("SELECT \"ID\", \"Disk name\", \"Drive\" FROM \"Disks\"");
    if (!s) return false;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const auto found = diskRows.find(sqlite3_column_int64(s, 0));
        if (found != diskRows.end()) found->second = {Unpadded(Text(s, 1)), Text(s, 2)};
    }
    sqlite3_reset(s);
    if (rc != SQLITE_DONE) return db.FailFromEngine();
    for (FileDuplicates& group : report.files)
        for (DuplicateCopy& c : group.copies)
            std::tie(c.diskName, c.drive) = diskRows[c.diskId];
    return true;
}

}  // namespace tavik
