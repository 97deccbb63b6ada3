// The parameter source of an open catalogue: stored parameters from Params, the current disk
// and file rows, the application's current PC folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "database/Catalogue.h"
#include "database/DbValue.h"
#include "database/SqlText.h"
#include "database/query/ParamResolver.h"

namespace tavik {

ParamValue ToParamValue(const CDbValue& value);
CDbValue ToDbValue(const ParamValue& value);

class CCatalogueParams : public CParamSource {
public:
    explicit CCatalogueParams(CCatalogue& catalogue) : m_catalogue(catalogue) {}

    // The rows the CurDisk and CurFile names read; without them the current rows of the
    // catalogue's disk and file sets are taken.
    void SetCurrentDisk(std::optional<int32_t> id) { m_diskId = id; }
    void SetCurrentFile(std::optional<int32_t> id) { m_fileId = id; }
    void SetCurrentFolder(std::string folder) { m_folder = std::move(folder); }

    std::optional<Stored> FindStored(const std::string& name) override;
    std::optional<ParamValue> CurrentDisk(const std::string& column) override;
    std::optional<ParamValue> CurrentFile(const std::string& column) override;
    std::string CurrentFolder() override;
    void Store(const std::string& name, const std::string& value, int32_t type) override;

private:
    std::optional<ParamValue> CurrentColumn(bool files, const std::string& column);

    CCatalogue& m_catalogue;
    std::optional<int32_t> m_diskId, m_fileId;
    std::string m_folder;
};

enum class StatementResult { Done, Failed, Cancelled };

// Prepares the statement, resolves its parameters and opens the set on it. Failed leaves the
// engine's description in `error`.
StatementResult OpenResolved(CRecordSet& set, CDatabase& db, const std::string& sql,
                             CParamSource& source, CParamAsker& asker, CUserPrompt& prompt,
                             std::string& error);

// The same for a command: `changed` gets the number of rows it changed.
StatementResult ExecuteResolved(CDatabase& db, const std::string& sql, CParamSource& source,
                                CParamAsker& asker, CUserPrompt& prompt, int& changed,
                                std::string& error);

}  // namespace tavik
