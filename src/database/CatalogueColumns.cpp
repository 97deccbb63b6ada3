#include "database/CatalogueColumns.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace tavik {

namespace {

constexpr uint16_t kRight = 0xC000;

constexpr CatalogueColumn Text(const char* name, int size, uint16_t code = 0) {
    return {name, DbType::Text, size, false, false, nullptr, code};
}
constexpr CatalogueColumn Fixed(const char* name, int size, uint16_t code = 0) {
    return {name, DbType::Text, size, true, false, nullptr, code};
}
constexpr CatalogueColumn Counter(const char* name, uint16_t code = 0) {
    return {name, DbType::Long, 4, false, true, nullptr, code};
}
constexpr CatalogueColumn Long(const char* name) {
    return {name, DbType::Long, 4, false, false, nullptr, 0};
}
constexpr CatalogueColumn Short(const char* name, uint16_t code = 0) {
    return {name, DbType::Short, 2, false, false, nullptr, code};
}
constexpr CatalogueColumn YesNo(const char* name, uint16_t code = 0) {
    return {name, DbType::Boolean, 1, false, false, nullptr, code};
}
constexpr CatalogueColumn Memo(const char* name, uint16_t code = 0) {
    return {name, DbType::Memo, 0, false, false, nullptr, code};
}
constexpr CatalogueColumn Captioned(CatalogueColumn column, const char* caption) {
    column.caption = caption;
    return column;
}
constexpr CatalogueColumn ListedFirst(CatalogueColumn column) {
    column.listedFirst = true;
    return column;
}
constexpr CatalogueColumn Indexed(CatalogueColumn column, const char* index) {
    column.index = index;
    return column;
}

constexpr CatalogueColumn kDisks[] = {
    Indexed(Fixed("Disk name", 10, 100), "Diskname"),
    Counter("ID", kRight | 40),
    Short("Size", kRight | 50),
    Short("Free", kRight | 50),
    Short("Files", kRight | 50),
    YesNo("DS", 17),
    YesNo("DD", 17),
    YesNo("Protected", 17),
    Text("Creation date", 10, 120),
    Text("Creation time", 10, 120),
    Text("Modification date", 10, 120),
    Text("Modification time", 10, 120),
    Text("Archived date", 10, 120),
    Text("Archived time", 10, 120),
    Indexed(Fixed("CRC-S", 8, 70), "CRCS"),
    Indexed(Fixed("CRC-F", 8, 70), "CRCF"),
    Text("Drive type", 10, 60),
    Text("Drive", 255, 120),
    Indexed(Text("Info1", 255, 150), "Info1"),
    Indexed(Text("Info2", 255, 150), "Info2"),
    Memo("Info3", 150),
};

constexpr CatalogueColumn kFiles[] = {
    Indexed(Fixed("File name", 10, 150), "Filename"),
    Counter("ID", kRight | 40),
    Text("Type", 6, 150),
    Short("Size", kRight | 50),
    Short("Records", kRight | 50),
    Captioned(Short("Last", kRight | 50), "Last byte"),
    YesNo("Protected", 17),
    Text("Creation date", 10, 120),
    Text("Creation time", 10, 120),
    Text("Modification date", 10, 120),
    Text("Modification time", 10, 120),
    Text("Archived date", 10, 120),
    Text("Archived time", 10, 120),
    Indexed(Fixed("CRC", 8, 70), "CRC"),
    Indexed(Text("Info1", 255, 150), "Info1"),
    Indexed(Text("Info2", 255, 150), "Info2"),
    Memo("Info3", 150),
};

constexpr CatalogueColumn kLinks[] = {Counter("ID"), Indexed(Long("DiskID"), "DiskID"),
                                      Indexed(Long("FileID"), "FileID")};

constexpr CatalogueColumn kQueries[] = {
    Counter("ID", kRight | 40),
    ListedFirst(Indexed(Text("Query name", 80, 100), "Query name")),
    Text("From", 10, 50),
    Text("Where", 255, 150),
    Text("Order by", 255, 150),
    Text("Predicate", 255, 60),
    Text("SQL", 255, 150),
    Text("Join on", 255, 70),
    Short("Combination", kRight | 70),
    Captioned(Text("Parent name", 80, 100), "Parent query"),
    Text("Columns", 255, 300),
    Text("Comments", 255, 300),
};

constexpr CatalogueColumn kParams[] = {
    Counter("ID", kRight | 40), ListedFirst(Indexed(Text("Name", 80, 100), "Name")),
    Short("Type", 40),          Text("Value", 255, 200),
    Text("Comments", 255, 400),
};

constexpr CatalogueColumn kInfo[] = {Counter("ID"), Text("Name", 80), Memo("Value")};

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

}  // namespace

const char* CatalogueTableName(CatalogueTable table) {
    static const char* const kNames[] = {"Disks",   "Files",  "DiskFileMM",
                                         "Queries", "Params", "Info"};
    return kNames[static_cast<int>(table)];
}

bool FindCatalogueTable(std::string_view name, CatalogueTable& table) {
    for (int t = 0; t < kCatalogueTableCount; ++t) {
        if (SameName(name, CatalogueTableName(static_cast<CatalogueTable>(t)))) {
            table = static_cast<CatalogueTable>(t);
            return true;
        }
    }
    return false;
}

std::span<const CatalogueColumn> CatalogueColumns(CatalogueTable table) {
    switch (table) {
        case CatalogueTable::Disks:
            return kDisks;
        case CatalogueTable::Files:
            return kFiles;
        case CatalogueTable::Links:
            return kLinks;
        case CatalogueTable::Queries:
            return kQueries;
        case CatalogueTable::Params:
            return kParams;
        case CatalogueTable::Info:
            return kInfo;
    }
    return {};
}

std::span<const CatalogueColumn* const> ListedColumns(CatalogueTable table) {
    static const auto kListed = [] {
        std::array<std::vector<const CatalogueColumn*>, kCatalogueTableCount> listed;
        for (int t = 0; t < kCatalogueTableCount; ++t) {
            for (bool first : {true, false})
                for (const CatalogueColumn& c : CatalogueColumns(static_cast<CatalogueTable>(t)))
                    if (c.listedFirst == first) listed[static_cast<size_t>(t)].push_back(&c);
        }
        return listed;
    }();
    return kListed[static_cast<size_t>(table)];
}

int CatalogueColumnIndex(CatalogueTable table, std::string_view nameOrCaption) {
    const auto columns = CatalogueColumns(table);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (SameName(columns[i].name, nameOrCaption) ||
            SameName(columns[i].Caption(), nameOrCaption))
            return static_cast<int>(i);
    }
    return -1;
}

bool IsDiskOrFileColumn(std::string_view nameOrCaption) {
    return CatalogueColumnIndex(CatalogueTable::Disks, nameOrCaption) >= 0 ||
           CatalogueColumnIndex(CatalogueTable::Files, nameOrCaption) >= 0;
}

}  // namespace tavik
