// The drive tree's query commands: new, edit, save, delete and run query nodes ("Database
// query" and "SQL query" dialogs), the bulk replace dialog, the "Customized display" dialog, and
// the drops and pastes of a query onto a query or onto "Saved queries". The catalogue logic
// does the work; this class fills the dialogs, changes the tree and asks the catalog list to
// show what a run opened.
#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "database/dialogs/ParamNotFoundDialog.h"
#include "database/query/QueryFields.h"
#include "views/DriveView.h"

class QDialog;
class QWidget;

namespace tavik {

class CCatalogue;
class CUserPrompt;

class CQueryCommands : public QObject, public CQueryHandler {
    Q_OBJECT
public:
    // `folder` is the application's PC folder (the [Path] parameter).
    CQueryCommands(CDriveView& tree, CCatalogue& catalogue, CUserPrompt& prompt, QWidget* window,
                   std::string folder);

    // What the commands need of the catalog list.
    struct ListHooks {
        // Runs a query node and lists what it opened (a free SQL command is executed).
        std::function<void(CTreeItem* node)> run;
        // Empties the list (a deleted query).
        std::function<void()> clear;
        // Whether the list shows the saved queries, and shows them again.
        std::function<bool()> showsSavedQueries;
        std::function<void()> refreshSavedQueries;
        // Draws the list again with its (possibly changed) display specification.
        std::function<void()> redraw;
    };
    void SetListHooks(ListHooks hooks) { m_list = std::move(hooks); }

    // ---- CQueryHandler ------------------------------------------------------------------
    bool RunQueryCommand(CommandId id, CTreeItem* item) override;
    void RunNode(CTreeItem* item) override;
    bool DropQuery(CTreeItem* source, CTreeItem* target, bool paste) override;

    // ---- The steps ----------------------------------------------------------------------
    // "New query...": the designer on a new disk query; OK inserts it under the database node
    // and selects it (which runs it).
    CTreeItem* NewQuery();
    // The designer (disk and file queries) or the SQL query dialog (free SQL) on the node; OK
    // writes the node and runs it again when the list shows it.
    bool EditQuery(CTreeItem* item);
    void SaveQuery(CTreeItem* item);
    // Removes the node (with the queries combined with it) and empties the list.
    void DeleteQuery(CTreeItem* item);
    // "SQL query...": the dialog on a new free SQL node; "Run now" selects it, which runs it.
    CTreeItem* NewSqlQuery();
    void BulkUpdate();

    // The "Customized display" dialog for the list shown. `node` is the query node the list
    // shows (null for the other lists); `viewSpec` and `viewColumns` are the disk catalog's
    // own; `returned` the fields of free SQL results. The defaults go to Info when it closes.
    struct CustomizeTarget {
        ListMode mode = ListMode::DiskCatalog;
        CTreeItem* node = nullptr;
        std::string* viewSpec = nullptr;
        std::vector<int32_t>* viewColumns = nullptr;
        std::string* catalogFields = nullptr;
        std::vector<uint16_t>* catalogSizes = nullptr;
        std::vector<std::string> returned;
    };
    void CustomizeList(const CustomizeTarget& target);
    // The same for the list as it is: its mode, the query node it shows, the disk catalog's
    // specification and sizes (the free SQL fields come from the results set).
    void CustomizeShownList(ListMode mode, CTreeItem* node, std::string* catalogFields,
                            std::vector<uint16_t>* catalogSizes);

private:
    CTreeItem* QueryRoot() const;
    // The parent node's kind when the item hangs under a query node.
    static std::optional<int32_t> ParentQueryKind(const CTreeItem* item);
    bool Designer(CTreeItem* item, QueryFields& fields, bool& runNow);
    // Writes the fields into the node and runs it when the list shows it.
    void Store(CTreeItem* item, const QueryFields& fields, bool run);
    // Runs the node; a free SQL command only when `command` is set.
    void Run(CTreeItem* item, bool command);
    // Moves a query under another and opens it for editing; moves it back when cancelled.
    void Combine(CTreeItem* source, CTreeItem* target);

    CDriveView& m_tree;
    CCatalogue& m_catalogue;
    CUserPrompt& m_prompt;
    QWidget* m_window;
    std::string m_folder;
    CQtParamAsker m_asker;
    ListHooks m_list;
};

}  // namespace tavik
