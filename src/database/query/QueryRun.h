// Running what the drive tree's query nodes hold against the open catalogue: a disk or file
// query (assembled with its ancestors) into the current disk or file set, a free SQL node as a
// listed query or as a command, the bulk replace command, and the "Database properties" report.
// Messages go through the catalogue's prompt.
#pragma once

#include <span>
#include <string>

#include "database/Catalogue.h"
#include "database/query/CatalogueParams.h"
#include "database/query/QueryFields.h"

namespace tavik {

enum class RunOutcome { Shown, Failed, Cancelled };

// Assembles chain[0] with its ancestors, resolves the parameters and opens the current disk
// set (disk queries) or file set (file queries) on it. An engine error is shown and the set is
// opened on a statement that gives no rows.
RunOutcome RunQuery(CCatalogue& catalogue, std::span<const QueryFields> chain, CParamSource& source,
                    CParamAsker& asker);

// A free SQL node: with the display specification "None" the statement is executed as a
// command ("Modified %d records"), otherwise the results set is opened on it ("Done").
// `changed` gets the command's count.
RunOutcome RunFreeSql(CCatalogue& catalogue, const QueryFields& node, CParamSource& source,
                      CParamAsker& asker, int* changed = nullptr);
inline bool IsFreeSqlCommand(const QueryFields& node) {
    return node.display == "None";
}

// Bulk replace: runs the UPDATE and shows "Done. Modified %d records".
RunOutcome BulkUpdate(CCatalogue& catalogue, bool files, const std::string& set,
                      const std::string& where, CParamSource& source, CParamAsker& asker,
                      int* changed = nullptr);

// The "Database properties" text of the open catalogue.
std::string DatabaseProperties(CCatalogue& catalogue);

}  // namespace tavik
