// The open catalogue database and its lifecycle: Create (a new catalogue replacing any file at
// the path), Open (an SQLite catalogue, or an old Jet file, which is imported beside itself
// first), Close. At most one catalogue is open; it holds the current disk set, the current file
// set and the set of free SQL results, all on the one connection. Messages go through the
// CUserPrompt seam; the database node of the drive tree shows NodeLabel().
#pragma once

#include <functional>
#include <string>

#include "base/UserPrompt.h"
#include "database/Database.h"
#include "database/DiskSet.h"
#include "database/DisplaySpec.h"
#include "database/FileSet.h"
#include "database/ScanDialogs.h"

namespace tavik {

// The options the catalogue reads and writes (kept with the application's options).
struct CatalogueOptions {
    std::string databasePath;        // the catalogue last opened
    std::string lastDatabaseFolder;  // where the file dialogs start
    bool openDatabaseOnStartup = false;
    bool fullPathNames = false;  // the view option "Full path names"
    bool reviewDiskInfo = false;
    bool reviewFileInfo = false;
    FileDuplicatePolicy fileDuplicates = DuplicatesAskMe;
};

inline constexpr const char* kDatabaseClosed = "Database closed";

class CCatalogue {
public:
    CCatalogue(CatalogueOptions& options, CUserPrompt& prompt);
    ~CCatalogue();
    CCatalogue(const CCatalogue&) = delete;
    CCatalogue& operator=(const CCatalogue&) = delete;

    // Each shows its failures through the prompt and returns false.
    bool Create(const std::string& path);
    bool Open(const std::string& path);
    void Close();
    // At start-up: opens databasePath when asked to; a path that does not exist leaves the
    // catalogue closed without a message.
    void OpenOnStartup();

    bool IsOpen() const { return m_db.IsOpen(); }
    const std::string& NodeLabel() const { return m_label; }
    const std::string& Path() const { return m_db.Path(); }

    CDatabase& Database() { return m_db; }
    CDiskSet& DiskSet() { return m_disks; }
    CFileSet& FileSet() { return m_files; }
    CRecordSet& ResultSet() { return m_results; }
    DisplayDefaults& Display() { return m_display; }
    CatalogueOptions& Options() { return m_options; }
    CUserPrompt& Prompt() { return m_prompt; }

    // Called when the record list must be emptied (on close).
    std::function<void()> onListEmptied;

private:
    bool Replace(const std::string& path);
    bool OpenSqlite(const std::string& path);

    CatalogueOptions& m_options;
    CUserPrompt& m_prompt;
    CDatabase m_db;
    CDiskSet m_disks;
    CFileSet m_files;
    CRecordSet m_results;
    DisplayDefaults m_display;
    std::string m_label = kDatabaseClosed;
};

}  // namespace tavik
