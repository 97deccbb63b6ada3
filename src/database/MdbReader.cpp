#include "database/MdbReader.h"

#include <mdbtools.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/Cp1252.h"

namespace tavik {

namespace {
MdbHandle* Handle(void* h) {
    return static_cast<MdbHandle*>(h);
}

bool SameName(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

bool IsJetFile(const std::string& path) {
    unsigned char header[20] = {};
    FILE* f = std::fopen(Cp1252ToUtf8(path).c_str(), "rb");
    if (!f) return false;
    size_t got = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    if (got < sizeof header) return false;
    return std::memcmp(header + 4, "Standard Jet DB", 15) == 0 ||
           std::memcmp(header + 4, "Standard ACE DB", 15) == 0;
}

std::unique_ptr<CMdbReader> CMdbReader::Open(const std::string& path, std::string& error) {
    if (!IsJetFile(path)) {
        error = "File " + path + " is not a Jet database";
        return nullptr;
    }
    MdbHandle* mdb = mdb_open(Cp1252ToUtf8(path).c_str(), MDB_NOFLAGS);
    if (!mdb) {
        error = "Cannot read the Jet database " + path;
        return nullptr;
    }
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        mdb_close(mdb);
        error = "Cannot read the table list of " + path;
        return nullptr;
    }
    mdb_set_boolean_fmt_numbers(mdb);
    std::unique_ptr<CMdbReader> reader(new CMdbReader());
    reader->m_handle = mdb;
    reader->m_path = path;
    return reader;
}

CMdbReader::~CMdbReader() {
    if (m_handle) mdb_close(Handle(m_handle));
}

std::vector<std::string> CMdbReader::Tables() {
    std::vector<std::string> names;
    MdbHandle* mdb = Handle(m_handle);
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names.push_back(Utf8ToCp1252(entry->object_name));
    }
    return names;
}

bool CMdbReader::ReadTable(const std::string& table, std::vector<std::string>& columns,
                           const std::function<bool(const Row&)>& row) {
    MdbHandle* mdb = Handle(m_handle);
    MdbCatalogEntry* found = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && SameName(Cp1252ToUtf8(table), entry->object_name))
            found = entry;
    }
    if (!found) {
        m_error = "Table " + table + " not found in " + m_path;
        return false;
    }
    MdbTableDef* def = mdb_read_table(found);
    if (!def) {
        m_error = "Cannot read table " + table + " of " + m_path;
        return false;
    }
    mdb_read_columns(def);
    mdb_rewind_table(def);
    const unsigned n = def->num_cols;
    const size_t bindSize = mdb->bind_size ? mdb->bind_size : MDB_BIND_SIZE;
    std::vector<std::vector<char>> buffers(n, std::vector<char>(bindSize + 1, 0));
    std::vector<int> lengths(n, 0);
    std::vector<bool> usable(n, true);
    columns.clear();
    for (unsigned i = 0; i < n; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
        columns.push_back(Utf8ToCp1252(col->name));
        // Pictures and other raw objects have no text form; they are left out as nulls.
        usable[i] = col->col_type != MDB_OLE;
        if (usable[i])
            mdb_bind_column(def, static_cast<int>(i + 1), buffers[i].data(), &lengths[i]);
    }
    bool ok = true;
    Row values(n);
    while (mdb_fetch_row(def)) {
        for (unsigned i = 0; i < n; ++i) {
            if (!usable[i] || lengths[i] <= 0) {
                values[i].reset();
            } else {
                size_t len = std::min<size_t>(static_cast<size_t>(lengths[i]), bindSize);
                values[i] = Utf8ToCp1252(std::string_view(buffers[i].data(), len));
            }
        }
        if (!row(values)) {
            ok = false;
            break;
        }
        for (unsigned i = 0; i < n; ++i)
            lengths[i] = 0;
    }
    mdb_free_tabledef(def);
    return ok;
}

}  // namespace tavik
