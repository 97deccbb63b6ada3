#include "database/Catalogue.h"

#include <sqlite3.h>

#include <filesystem>

#include "base/Cp1252.h"
#include "base/PcFile.h"
#include "database/InfoSet.h"
#include "database/JetImport.h"
#include "database/MdbReader.h"
#include "database/Schema.h"

namespace tavik {

namespace {

std::filesystem::path FsPath(const std::string& path) {
    return Cp1252ToUtf8(path);
}

// True when another program has the SQLite file at path open: leaving write-ahead-log mode
// needs the only connection to the file.
bool SqliteFileInUse(const std::string& path) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Cp1252ToUtf8(path).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    bool inUse = false;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode=DELETE", -1, &s, nullptr) == SQLITE_OK) {
        int rc = sqlite3_step(s);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            inUse = true;
        } else if (rc == SQLITE_ROW) {
            const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            inUse = !mode || std::string(mode) != "delete";
        }
    }
    sqlite3_finalize(s);
    sqlite3_close_v2(db);
    return inUse;
}

bool IsSqliteFile(const std::string& path) {
    char header[16] = {};
    FILE* f = std::fopen(Cp1252ToUtf8(path).c_str(), "rb");
    if (!f) return false;
    size_t got = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    return got == sizeof header && std::string_view(header, 15) == "SQLite format 3";
}

}  // namespace

CCatalogue::CCatalogue(CatalogueOptions& options, CUserPrompt& prompt)
    : m_options(options), m_prompt(prompt), m_disks(&m_db), m_files(&m_db), m_results(&m_db) {}

CCatalogue::~CCatalogue() {
    m_db.Close();
}

void CCatalogue::Close() {
    m_db.Close();
    m_label = kDatabaseClosed;
    if (onListEmptied) onListEmptied();
}

// Deletes the file at path (and an SQLite file's companions); false when it cannot go.
bool CCatalogue::Replace(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(FsPath(path), ec)) return true;
    if (IsSqliteFile(path) && SqliteFileInUse(path)) return false;
    if (!std::filesystem::remove(FsPath(path), ec) || ec) return false;
    std::filesystem::remove(FsPath(path + "-wal"), ec);
    std::filesystem::remove(FsPath(path + "-shm"), ec);
    return true;
}

bool CCatalogue::Create(const std::string& path) {
    if (path.empty()) return false;
    Close();
    if (!Replace(path)) {
        m_prompt.Message("File " + path + " is in use", PromptIcon::Error);
        return false;
    }
    auto fail = [&]() {
        m_prompt.Message(m_db.ErrorText(), PromptIcon::Error);
        m_db.Close();
        return false;
    };
    if (!m_db.Create(path)) return fail();
    if (!CreateCatalogueTables(m_db)) return fail();
    {
        CInfoSet info(&m_db);
        if (!info.Open("SELECT ALL * FROM [Info]")) return fail();
        for (const auto& [name, value] : DefaultInfoRows()) {
            info.AddNew();
            info.m_Name = name;
            info.m_Value = value;
            if (!info.Update()) return fail();
        }
    }
    m_db.Close();
    return Open(path);
}

bool CCatalogue::Open(const std::string& path) {
    Close();
    if (path.empty()) return false;
    if (IsJetFile(path)) {
        std::string error;
        std::unique_ptr<CMdbReader> reader = CMdbReader::Open(path, error);
        std::string target = ImportTargetPath(path);
        if (!reader || !ImportJetCatalogue(*reader, target, error)) {
            m_prompt.Message(error, PromptIcon::Error);
            return false;
        }
        m_prompt.Message(
            "The Jet database " + path + " was imported into the new catalogue " + target,
            PromptIcon::Information);
        return OpenSqlite(target);
    }
    return OpenSqlite(path);
}

bool CCatalogue::OpenSqlite(const std::string& path) {
    auto fail = [&](const std::string& text) {
        m_prompt.Message(text, PromptIcon::Error);
        m_db.Close();
        m_label = kDatabaseClosed;
        return false;
    };
    auto vet = [&path](const CDatabase& db) {
        return HasCatalogueTables(db)
                   ? std::string()
                   : "File " + path + " is not a TAVIK catalogue (its tables are missing)";
    };
    if (!m_db.Open(path, vet)) {
        const std::string text = m_db.ErrorText();
        return fail(text.find(path) == std::string::npos ? text + PcFileReason(path, 0) : text);
    }
    m_display = DisplayDefaults{};
    if (!m_display.Load(m_db)) return fail(m_db.ErrorText());
    if (!m_disks.Open("SELECT ALL * FROM [Disks]")) return fail(m_disks.ErrorText());
    m_label = m_options.fullPathNames ? path : Utf8ToCp1252(FsPath(path).filename().string());
    m_options.databasePath = path;
    return true;
}

void CCatalogue::OpenOnStartup() {
    if (!m_options.openDatabaseOnStartup || m_options.databasePath.empty()) return;
    std::error_code ec;
    if (!std::filesystem::exists(FsPath(m_options.databasePath), ec)) return;
    Open(m_options.databasePath);
}

}  // namespace tavik
