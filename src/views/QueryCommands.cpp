#include "views/QueryCommands.h"

#include <QApplication>
#include <QDialog>

#include "app/QueryTree.h"
#include "base/UserPrompt.h"
#include "database/Catalogue.h"
#include "database/ParamSet.h"
#include "database/RecordSet.h"
#include "database/dialogs/BulkReplaceDialog.h"
#include "database/dialogs/CustomDisplayDialog.h"
#include "database/dialogs/QueryDesignerDialog.h"
#include "database/dialogs/SqlQueryDialog.h"
#include "database/query/CatalogueParams.h"
#include "database/query/QueryRun.h"
#include "database/query/QueryStore.h"
#include "qt/DialogRunner.h"

namespace tavik {

namespace {

bool IsTableQueryItem(const CTreeItem* item) {
    return item && (item->Kind() == NodeKind::DiskQuery || item->Kind() == NodeKind::FileQuery);
}

bool IsCommandNode(const CTreeItem* item) {
    return item && item->Kind() == NodeKind::SqlQuery && item->Node().display == "None";
}

// The names the SQL query dialog offers: the stored parameters, then the built-in ones.
std::vector<std::string> ParameterNames(CCatalogue& catalogue) {
    std::vector<std::string> names;
    CParamSet params(&catalogue.Database());
    if (params.Open()) {
        for (; !params.IsEOF(); params.MoveNext())
            if (!params.m_Name.IsNull()) names.push_back(params.m_Name.Value());
    }
    for (const char* builtIn : {"Today", "This year", "Path"})
        names.push_back(builtIn);
    return names;
}

ListKind ListKindOf(ListMode mode) {
    switch (mode) {
        case ListMode::DiskCatalog:
            return ListKind::DiskCatalog;
        case ListMode::DiskRecords:
            return ListKind::DiskQuery;
        case ListMode::FileRecords:
            return ListKind::FileQuery;
        case ListMode::SavedQueries:
            return ListKind::QueryList;
        case ListMode::Parameters:
            return ListKind::ParamList;
        case ListMode::SqlResults:
            return ListKind::FreeSql;
    }
    return ListKind::DiskCatalog;
}

}  // namespace

CQueryCommands::CQueryCommands(CDriveView& tree, CCatalogue& catalogue, CUserPrompt& prompt,
                               QWidget* window, std::string folder)
    : QObject(window),
      m_tree(tree),
      m_catalogue(catalogue),
      m_prompt(prompt),
      m_window(window),
      m_folder(std::move(folder)),
      m_asker(prompt, window) {}

CTreeItem* CQueryCommands::QueryRoot() const {
    return m_tree.Tree().DatabaseRootItem();
}

std::optional<int32_t> CQueryCommands::ParentQueryKind(const CTreeItem* item) {
    const CTreeItem* parent = item ? item->Parent() : nullptr;
    if (!parent || !IsQueryKind(parent->Kind())) return std::nullopt;
    return static_cast<int32_t>(parent->Kind());
}

// ---- Routing --------------------------------------------------------------------------------

bool CQueryCommands::RunQueryCommand(CommandId id, CTreeItem* item) {
    switch (id) {
        case CommandId::DbNewQuery:
            NewQuery();
            return true;
        case CommandId::DbEditQuery:
            if (item && IsQueryKind(item->Kind())) EditQuery(item);
            return true;
        case CommandId::DbSaveQuery:
            if (item && IsQueryKind(item->Kind())) SaveQuery(item);
            return true;
        case CommandId::DbDeleteQuery:
            if (!item || !IsQueryKind(item->Kind())) return false;  // the list's rows, maybe
            DeleteQuery(item);
            return true;
        case CommandId::DbSqlQuery:
            NewSqlQuery();
            return true;
        case CommandId::DbBulkUpdate:
            BulkUpdate();
            return true;
        default:
            return false;
    }
}

void CQueryCommands::RunNode(CTreeItem* item) {
    if (!item || !IsQueryKind(item->Kind()) || !m_catalogue.IsOpen()) return;
    Run(item, true);
}

void CQueryCommands::Run(CTreeItem* item, bool command) {
    if (IsCommandNode(item) && !command) return;
    if (m_list.run) m_list.run(item);
}

// ---- New, edit, save, delete -----------------------------------------------------------------

bool CQueryCommands::Designer(CTreeItem* item, QueryFields& fields, bool& runNow) {
    runNow = false;
    if (fields.kind == static_cast<int32_t>(QueryKind::Sql)) {
        CSqlQueryDialog dialog(m_prompt, fields, m_window);
        dialog.SetParameters(ParameterNames(m_catalogue));
        if (RunDialog(dialog) != QDialog::Accepted) return false;
        fields = dialog.Result();
        runNow = dialog.RunRequested();
        return true;
    }
    const std::optional<int32_t> parentKind = ParentQueryKind(item);
    const std::string parentName = parentKind ? item->Parent()->Text() : std::string();
    CQueryDesignerDialog dialog(m_prompt, fields, parentKind, parentName, m_window);
    if (!item)
        dialog.SetDefaultDisplays(m_catalogue.Display().diskFields,
                                  m_catalogue.Display().fileFields);
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    fields = dialog.Result();
    return true;
}

CTreeItem* CQueryCommands::NewQuery() {
    if (!m_catalogue.IsOpen() || !QueryRoot()) return nullptr;
    QueryFields fields;
    fields.kind = static_cast<int32_t>(QueryKind::Disks);
    bool runNow = false;
    if (!Designer(nullptr, fields, runNow)) return nullptr;
    CTreeQueryAccess access(m_tree.Tree(), QueryRoot());
    CTreeItem* item = CTreeQueryAccess::Item(access.Insert(nullptr, fields, false));
    m_tree.Tree().Expand(QueryRoot());
    m_tree.Select(item);  // selecting runs it
    return item;
}

CTreeItem* CQueryCommands::NewSqlQuery() {
    if (!m_catalogue.IsOpen() || !QueryRoot()) return nullptr;
    QueryFields fields;
    fields.kind = static_cast<int32_t>(QueryKind::Sql);
    bool runNow = false;
    if (!Designer(nullptr, fields, runNow)) return nullptr;
    CTreeQueryAccess access(m_tree.Tree(), QueryRoot());
    CTreeItem* item = CTreeQueryAccess::Item(access.Insert(nullptr, fields, false));
    m_tree.Tree().Expand(QueryRoot());
    // "Run now": the selection runs it; a command is not run by the selection.
    if (runNow) {
        m_tree.Select(item);
        if (IsCommandNode(item)) Run(item, true);
    }
    return item;
}

bool CQueryCommands::EditQuery(CTreeItem* item) {
    if (!item || !IsQueryKind(item->Kind())) return false;
    QueryFields fields = QueryFieldsOf(*item);
    bool runNow = false;
    if (!Designer(item, fields, runNow)) return false;
    Store(item, fields, runNow);
    return true;
}

void CQueryCommands::Store(CTreeItem* item, const QueryFields& fields, bool runNow) {
    SetQueryFields(m_tree.Tree(), *item, fields);
    if (runNow) {
        Run(item, true);
    } else if (item == m_tree.SelectedItem() && !IsCommandNode(item)) {
        Run(item, false);  // the list shows the node: it shows the new results
    }
}

void CQueryCommands::SaveQuery(CTreeItem* item) {
    if (!item || !IsQueryKind(item->Kind()) || !m_catalogue.IsOpen()) return;
    const QueryFields fields = QueryFieldsOf(*item);
    const CTreeItem* parent = item->Parent();
    const std::string parentName =
        fields.combination >= 1 && parent && IsQueryKind(parent->Kind()) ? parent->Text() : "";
    const bool listed = m_list.showsSavedQueries && m_list.showsSavedQueries();
    if (::tavik::SaveQuery(m_catalogue, fields, parentName, listed) == SaveOutcome::Saved &&
        listed && m_list.refreshSavedQueries)
        m_list.refreshSavedQueries();
}

void CQueryCommands::DeleteQuery(CTreeItem* item) {
    if (!item || !IsQueryKind(item->Kind())) return;
    if (m_list.clear) m_list.clear();
    m_tree.Tree().Remove(item);
}

// ---- Drops and pastes ------------------------------------------------------------------------

bool CQueryCommands::DropQuery(CTreeItem* source, CTreeItem* target, bool paste) {
    if (!source || !target || source == target || !IsQueryKind(source->Kind())) return false;
    if (target->Kind() == NodeKind::SavedQueries) {
        // A drag saves disk and file queries; a paste any query.
        if (!paste && !IsTableQueryItem(source)) return false;
        SaveQuery(source);
        return true;
    }
    if (IsTableQueryItem(source) && IsTableQueryItem(target)) {
        Combine(source, target);
        return true;
    }
    return false;
}

void CQueryCommands::Combine(CTreeItem* source, CTreeItem* target) {
    // A query cannot go under one of the queries combined with it.
    if (source->Contains(target)) return;
    CTreeItem* oldParent = source->Parent();
    const int oldRow = source->Row();
    CTreeModel& model = m_tree.Tree();
    if (!model.Move(source, target)) return;
    model.Expand(target);
    QueryFields fields = QueryFieldsOf(*source);
    bool runNow = false;
    if (!Designer(source, fields, runNow)) {
        // Left as it was: its combination was chosen for the old parent.
        model.Move(source, oldParent, oldRow);
        return;
    }
    Store(source, fields, false);
}

// ---- Bulk replace, customized display ---------------------------------------------------------

void CQueryCommands::BulkUpdate() {
    if (!m_catalogue.IsOpen()) return;
    CBulkReplaceDialog dialog(m_prompt, m_window);
    dialog.SetRunner([this](bool files, const std::string& set, const std::string& where) {
        CCatalogueParams source(m_catalogue);
        source.SetCurrentFolder(m_folder);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const RunOutcome outcome =
            ::tavik::BulkUpdate(m_catalogue, files, set, where, source, m_asker);
        QApplication::restoreOverrideCursor();
        return outcome == RunOutcome::Shown;
    });
    RunDialog(dialog);
}

void CQueryCommands::CustomizeList(const CustomizeTarget& target) {
    DisplayDefaults& defaults = m_catalogue.Display();
    DisplayTargets t;
    t.list = ListKindOf(target.mode);
    t.returnedFields = target.returned;
    if (target.node) {
        t.currentSpec = &target.node->Node().display;
        t.currentColumns = &target.node->Node().columns;
    }
    switch (t.list) {
        case ListKind::DiskCatalog:
            t.currentSpec = target.viewSpec;
            t.currentColumns = target.viewColumns;
            t.defaultFields = target.catalogFields;
            t.defaultSizes = target.catalogSizes;
            break;
        case ListKind::DiskQuery:
            t.defaultFields = &defaults.diskFields;
            t.defaultSizes = &defaults.diskSizes;
            break;
        case ListKind::FileQuery:
            t.defaultFields = &defaults.fileFields;
            t.defaultSizes = &defaults.fileSizes;
            break;
        case ListKind::QueryList:
            t.defaultFields = &defaults.queryListFields;
            t.defaultSizes = &defaults.queryListSizes;
            break;
        case ListKind::ParamList:
            t.defaultFields = &defaults.paramListFields;
            t.defaultSizes = &defaults.paramListSizes;
            break;
        case ListKind::FreeSql:
            t.defaultSizes = &defaults.sqlSizes;
            break;
    }
    CCustomDisplayDialog dialog(m_prompt, std::move(t), m_window);
    RunDialog(dialog);
    // Whichever way it closed, the defaults are kept and the list shows what it was given.
    if (m_catalogue.IsOpen() && !defaults.Save(m_catalogue.Database()))
        m_prompt.Message(m_catalogue.Database().ErrorText(), PromptIcon::Error);
    if (m_list.redraw) m_list.redraw();
}

void CQueryCommands::CustomizeShownList(ListMode mode, CTreeItem* node, std::string* catalogFields,
                                        std::vector<uint16_t>* catalogSizes) {
    CustomizeTarget target;
    target.mode = mode;
    target.node = mode == ListMode::DiskCatalog ? nullptr : node;
    // The disk catalog has no display of its own beside its default.
    target.viewSpec = catalogFields;
    target.catalogFields = catalogFields;
    target.catalogSizes = catalogSizes;
    if (mode == ListMode::SqlResults && m_catalogue.IsOpen()) {
        CRecordSet& results = m_catalogue.ResultSet();
        if (results.IsOpen())
            for (int i = 0; i < results.GetFieldCount(); ++i)
                target.returned.push_back(results.GetFieldInfo(i).name);
    }
    CustomizeList(target);
}

}  // namespace tavik
