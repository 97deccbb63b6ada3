#include "views/DatabaseCommands.h"

#include <QApplication>
#include <set>

#include "app/Application.h"
#include "app/PathRules.h"
#include "app/QueryTree.h"
#include "base/Counted.h"
#include "base/Progress.h"
#include "database/DiskScanner.h"
#include "database/DisplaySpec.h"
#include "database/DuplicateReport.h"
#include "database/ParamSet.h"
#include "database/QuerySet.h"
#include "database/dialogs/DuplicateDialog.h"
#include "database/dialogs/ExportDialog.h"
#include "database/dialogs/MergeDialog.h"
#include "database/dialogs/ParamNotFoundDialog.h"
#include "database/dialogs/RecordDialog.h"
#include "database/query/CatalogueParams.h"
#include "database/query/QueryRun.h"
#include "database/query/QueryStore.h"
#include "disk/Catalog.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "qt/QtText.h"
#include "qt/QtUserPrompt.h"
#include "views/RecordListModel.h"
#include "views/TreeItemModel.h"

namespace tavik {

namespace {

// The file dialogs of the catalogue: its own files, and (to open) old Jet files to import.
const char* const kOpenFilter =
    "Catalogue databases (*.db);;Access databases, to import (*.mdb *.accdb);;All files (*.*)";
const char* const kNewFilter = "Catalogue databases (*.db);;All files (*.*)";
const char* const kDefaultExtension = "db";

// "Parameter not found", run through the commands' dialog hook.
class CDialogAsker : public CParamAsker {
public:
    CDialogAsker(CDatabaseCommands& commands, CUserPrompt& prompt, QWidget* window)
        : m_commands(commands), m_prompt(prompt), m_window(window) {}
    bool AskParameter(const std::string& name, ParamAnswer& answer) override {
        CParamNotFoundDialog dialog(m_prompt, name, m_window);
        if (RunDialog(dialog) != QDialog::Accepted) return false;
        answer = dialog.Answer();
        return true;
    }

private:
    CDatabaseCommands& m_commands;
    CUserPrompt& m_prompt;
    QWidget* m_window;
};

class CDialogResolver : public CDuplicateResolver {
public:
    CDialogResolver(CDatabaseCommands& commands, CUserPrompt& prompt, QWidget* window)
        : m_commands(commands), m_prompt(prompt), m_window(window) {}
    void SetScanner(CDiskScanner* scanner) { m_scanner = scanner; }

    DuplicateAnswer Resolve(DuplicateMode mode,
                            const std::vector<DuplicateCandidate>& rows) override {
        CDuplicateDialog dialog(
            mode, rows, [this](int id) { return m_scanner && m_scanner->DiskIdExists(id); },
            m_prompt, m_window);
        RunDialog(dialog);
        return dialog.Answer();
    }

private:
    CDatabaseCommands& m_commands;
    CUserPrompt& m_prompt;
    QWidget* m_window;
    CDiskScanner* m_scanner = nullptr;
};

class CDialogReviewer : public CScanReviewer {
public:
    CDialogReviewer(CDatabaseCommands& commands, CUserPrompt& prompt, QWidget* window)
        : m_commands(commands), m_prompt(prompt), m_window(window) {}
    void ReviewDisk(CDiskSet& disk) override {
        CRecordDialog dialog(CRecordDialog::Kind::Disk, disk, m_prompt, false, m_window);
        RunDialog(dialog);
    }
    bool ReviewFile(CFileSet& file) override {
        CRecordDialog dialog(CRecordDialog::Kind::File, file, m_prompt, true, m_window);
        RunDialog(dialog);
        return !dialog.Finished();
    }

private:
    CDatabaseCommands& m_commands;
    CUserPrompt& m_prompt;
    QWidget* m_window;
};

const char* ListTitle(ListMode mode) {
    switch (mode) {
        case ListMode::DiskRecords:
            return "Disk query:";
        case ListMode::FileRecords:
            return "File query:";
        case ListMode::SavedQueries:
            return "Saved queries";
        case ListMode::Parameters:
            return "Parameter list";
        default:
            return "SQL query:";
    }
}

}  // namespace

CDatabaseCommands::CDatabaseCommands(CApplication& app, CDriveView& tree, CDiskView& list,
                                     CQtUserPrompt& prompt, QWidget* window)
    : QObject(window),
      m_app(app),
      m_tree(tree),
      m_list(list),
      m_prompt(prompt),
      m_window(window),
      m_defaultAsker(std::make_unique<CDialogAsker>(*this, prompt, window)),
      m_asker(m_defaultAsker.get()) {
    m_tree.SetDatabaseRoutes(this);
    m_list.SetRecordActions(this);
    m_list.RecordModel()->store = [this](int id, const CRecordListModel::Column& c,
                                         const std::string& text) {
        return StoreCell(id, c.column, text);
    };
    // Closing the catalogue empties a record list; a disk's catalog stays.
    Catalogue().onListEmptied = [this] {
        if (m_list.Mode() != ListMode::DiskCatalog) m_list.Clear();
    };
}

CDatabaseCommands::~CDatabaseCommands() {
    m_app.Database().Catalogue().onListEmptied = nullptr;
    m_tree.SetDatabaseRoutes(nullptr);
    m_list.SetRecordActions(nullptr);
    m_list.RecordModel()->store = nullptr;
}

CCatalogue& CDatabaseCommands::Catalogue() {
    return m_app.Database().Catalogue();
}

bool CDatabaseCommands::IsOpen() const {
    return m_app.Database().IsOpen();
}

bool CDatabaseCommands::HandleCommand(CommandId id, Pane focus) {
    switch (id) {
        case CommandId::DbNew:
            NewDatabase();
            return true;
        case CommandId::DbOpen:
            OpenDatabase();
            return true;
        case CommandId::DbClose:
            CloseDatabase();
            return true;
        case CommandId::DbExport:
            ExportDatabase();
            return true;
        case CommandId::DbMerge:
            MergeDatabase();
            return true;
        case CommandId::DbBrowseAllDisks:
            BrowseAllDisks();
            return true;
        case CommandId::DbBrowseAllFiles:
            BrowseAllFiles();
            return true;
        case CommandId::DbBrowseCurrentSet:
            BrowseCurrentSet();
            return true;
        case CommandId::DbBrowseDuplicateDisks:
        case CommandId::DbBrowseDuplicateFiles:
            BrowseDuplicates(id == CommandId::DbBrowseDuplicateFiles);
            return true;
        case CommandId::DbAddDisk:
            AddDisk();
            return true;
        case CommandId::DbRescanDisk:
            RescanDisk();
            return true;
        case CommandId::DbMountDisk:
            MountDisks();
            return true;
        case CommandId::DbRemoveDisk:
            RemoveDisks();
            return true;
        case CommandId::DbLoadQuery:
            LoadQueries();
            return true;
        case CommandId::DbDeleteQuery:
            // In the tree the query node goes; that belongs to the query commands.
            if (focus != Pane::CatalogList || m_list.Mode() != ListMode::SavedQueries) return false;
            RemoveSavedQueries();
            return true;
        case CommandId::DbNewParameter:
            NewParameter();
            return true;
        case CommandId::DbDeleteParameter:
            DeleteParameters();
            return true;
        default:
            return false;
    }
}

// ---- Lifecycle --------------------------------------------------------------------------------

std::string CDatabaseCommands::ChooseDatabaseFile(bool save) {
    const char* title = save ? "New database" : "Open database";
    std::string path = S(ChooseFile(m_window, save ? FileChoice::Save : FileChoice::Open, title,
                                    Q(m_app.Options().lastDatabaseFolder),
                                    save ? kNewFilter : kOpenFilter, kDefaultExtension));
    if (path.empty()) return {};
    if (save && LastComponent(path).find('.') == std::string::npos)
        path += std::string(".") + kDefaultExtension;
    m_app.Options().lastDatabaseFolder = FolderPart(path);
    return path;
}

bool CDatabaseCommands::NewDatabase() {
    const std::string path = ChooseDatabaseFile(true);
    return !path.empty() && m_app.Database().Create(path);
}

bool CDatabaseCommands::OpenDatabase() {
    const std::string path = ChooseDatabaseFile(false);
    return !path.empty() && m_app.Database().Open(path);
}

void CDatabaseCommands::CloseDatabase() {
    m_app.Database().Close();
}

// ---- Lists ------------------------------------------------------------------------------------

void CDatabaseCommands::ShowSet(ListMode mode, CRecordSet& set, const std::vector<uint32_t>& codes,
                                const std::string& title) {
    m_shownMode = mode;
    m_shownCodes = codes;
    m_shownTitle = title;
    m_list.RecordModel()->SetEditingUnlocked(m_app.Options().unlockEditing != 0);
    m_list.ShowRecords(mode, set, codes, Q(title));
}

void CDatabaseCommands::Relist() {
    if (!IsOpen()) return;
    switch (m_shownMode) {
        case ListMode::DiskRecords:
            ShowSet(m_shownMode, Catalogue().DiskSet(), m_shownCodes, m_shownTitle);
            break;
        case ListMode::FileRecords:
            ShowSet(m_shownMode, Catalogue().FileSet(), m_shownCodes, m_shownTitle);
            break;
        case ListMode::SavedQueries:
            ShowSavedQueries();
            break;
        case ListMode::Parameters:
            ShowParameters();
            break;
        default:
            break;
    }
}

std::vector<uint32_t> CDatabaseCommands::DefaultColumns(ListMode mode) {
    const DisplayDefaults& d = Catalogue().Display();
    const std::vector<std::string>& captions = CRecordListModel::Captions(mode);
    switch (mode) {
        case ListMode::DiskRecords:
            return BuildColumns(d.diskFields, captions, d.diskSizes, false);
        case ListMode::FileRecords:
            return BuildColumns(d.fileFields, captions, d.fileSizes, false);
        case ListMode::SavedQueries:
            return BuildColumns(d.queryListFields, captions, d.queryListSizes, false);
        case ListMode::Parameters:
            return BuildColumns(d.paramListFields, captions, d.paramListSizes, false);
        default:
            return {};
    }
}

std::vector<uint32_t> CDatabaseCommands::NodeColumns(CTreeItem* item, ListMode mode,
                                                     CRecordSet& set) {
    CTreeNode& node = item->Node();
    if (!node.columns.empty()) return {node.columns.begin(), node.columns.end()};
    if (mode == ListMode::SqlResults) {
        std::vector<std::string> names;
        for (int i = 0; i < set.GetFieldCount(); ++i)
            names.push_back(set.GetFieldInfo(i).name);
        // The returned fields change with the statement: these columns are not kept.
        return BuildColumns(node.display, names, Catalogue().Display().sqlSizes, true);
    }
    std::vector<uint32_t> codes;
    if (node.display.empty()) {
        codes = DefaultColumns(mode);
    } else {
        const DisplayDefaults& d = Catalogue().Display();
        codes = BuildColumns(node.display, CRecordListModel::Captions(mode),
                             mode == ListMode::DiskRecords ? d.diskSizes : d.fileSizes, false);
    }
    node.columns.assign(codes.begin(), codes.end());
    return codes;
}

void CDatabaseCommands::BrowseAllDisks() {
    if (!IsOpen()) return;
    CDiskSet& set = Catalogue().DiskSet();
    if (!set.Open("SELECT ALL * FROM [Disks]")) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        return;
    }
    m_shownItem = m_app.Tree().DatabaseRootItem()->Id();
    ShowSet(ListMode::DiskRecords, set, DefaultColumns(ListMode::DiskRecords),
            "Disk query: All disks");
}

void CDatabaseCommands::BrowseAllFiles() {
    if (!IsOpen()) return;
    CFileSet& set = Catalogue().FileSet();
    if (!set.Open("SELECT ALL * FROM [Files]")) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        return;
    }
    m_shownItem = m_app.Tree().DatabaseRootItem()->Id();
    ShowSet(ListMode::FileRecords, set, DefaultColumns(ListMode::FileRecords),
            "File query: All files");
}

void CDatabaseCommands::BrowseDuplicates(bool files) {
    if (!IsOpen()) return;
    DuplicateReport report;
    if (!FindDuplicates(Catalogue().Database(), report)) {
        m_prompt.Message(Catalogue().Database().ErrorText(), PromptIcon::Error);
        return;
    }
    std::set<int64_t> ids;
    if (files) {
        for (const FileDuplicates& g : report.files)
            for (const DuplicateCopy& c : g.copies)
                ids.insert(c.fileId);
    } else {
        for (const DiskDuplicates& g : report.disks)
            for (const DuplicateCopy& c : g.copies)
                ids.insert(c.diskId);
    }
    if (ids.empty()) {
        m_prompt.Message(files ? "No file is recorded on more than one disk."
                               : "No disk is held more than once.",
                         PromptIcon::Information);
        return;
    }
    std::string list;
    for (int64_t id : ids)
        list += (list.empty() ? "" : ",") + std::to_string(id);
    // Disks with the same sectors have the same files too: ordered by the files' checksum
    // first, both kinds of group stand together.
    CRecordSet& set = files ? static_cast<CRecordSet&>(Catalogue().FileSet())
                            : static_cast<CRecordSet&>(Catalogue().DiskSet());
    const std::string sql = files ? "SELECT ALL * FROM [Files] WHERE [ID] IN (" + list +
                                        ") ORDER BY [CRC], [File name], [ID]"
                                  : "SELECT ALL * FROM [Disks] WHERE [ID] IN (" + list +
                                        ") ORDER BY [CRC-F], [CRC-S], [ID]";
    if (!set.Open(sql)) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        return;
    }
    const ListMode mode = files ? ListMode::FileRecords : ListMode::DiskRecords;
    m_shownItem = m_app.Tree().DatabaseRootItem()->Id();
    ShowSet(mode, set, DefaultColumns(mode),
            files ? "File query: Duplicate files" : "Disk query: Duplicate disks");
}

void CDatabaseCommands::BrowseCurrentSet() {
    if (!IsOpen()) return;
    const bool files = m_list.Mode() == ListMode::FileRecords;
    const ListMode mode = files ? ListMode::FileRecords : ListMode::DiskRecords;
    CRecordSet& set = files ? static_cast<CRecordSet&>(Catalogue().FileSet())
                            : static_cast<CRecordSet&>(Catalogue().DiskSet());
    const bool same = m_shownMode == mode && !m_shownCodes.empty();
    ShowSet(mode, set, same ? m_shownCodes : DefaultColumns(mode),
            same ? m_shownTitle : ListTitle(mode));
}

void CDatabaseCommands::ShowSavedQueries() {
    if (!IsOpen()) return;
    CQuerySet set(&Catalogue().Database());
    if (!set.Open("SELECT ALL * FROM [Queries]")) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        return;
    }
    m_shownItem = m_app.Tree().SavedQueriesItem()->Id();
    ShowSet(ListMode::SavedQueries, set, DefaultColumns(ListMode::SavedQueries), "Saved queries");
}

void CDatabaseCommands::ShowParameters() {
    if (!IsOpen()) return;
    CParamSet set(&Catalogue().Database());
    if (!set.Open("SELECT ALL * FROM [Params]")) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        return;
    }
    m_shownItem = m_app.Tree().ParametersItem()->Id();
    ShowSet(ListMode::Parameters, set, DefaultColumns(ListMode::Parameters), "Parameter list");
}

void CDatabaseCommands::ShowDatabaseItem(CTreeItem* item) {
    if (!item || !IsOpen()) return;
    if (item->Kind() == NodeKind::SavedQueries)
        ShowSavedQueries();
    else if (item->Kind() == NodeKind::Parameters)
        ShowParameters();
    else if (item->Kind() == NodeKind::SqlQuery && IsFreeSqlCommand(QueryFieldsOf(*item))) {
        // A command changes rows: it runs when asked to ("Run"), never by being selected.
        m_shownItem = item->Id();
        m_list.Clear();
    } else if (IsQueryKind(item->Kind())) {
        RunQueryItem(item);
    }
}

void CDatabaseCommands::RunQueryItem(CTreeItem* item) {
    if (!item || !IsOpen() || !IsQueryKind(item->Kind())) return;
    CCatalogue& catalogue = Catalogue();
    CCatalogueParams params(catalogue);
    if (CTreeItem* drive = m_tree.CurrentDriveItem())
        params.SetCurrentFolder(FolderPart(drive->Node().path));
    if (item->Kind() == NodeKind::SqlQuery) {
        const QueryFields fields = QueryFieldsOf(*item);
        if (RunFreeSql(catalogue, fields, params, *m_asker) == RunOutcome::Shown &&
            !IsFreeSqlCommand(fields)) {
            ShowNodeResults(item);
        } else {
            m_shownItem = item->Id();
            m_list.Clear();
        }
        return;
    }
    if (RunQuery(catalogue, QueryChain(item), params, *m_asker) == RunOutcome::Cancelled) return;
    ShowNodeResults(item);
}

void CDatabaseCommands::ShowNodeResults(CTreeItem* item) {
    if (!item || !IsOpen() || !IsQueryKind(item->Kind())) return;
    CCatalogue& catalogue = Catalogue();
    m_shownItem = item->Id();
    if (item->Kind() == NodeKind::SqlQuery) {
        CRecordSet& results = catalogue.ResultSet();
        if (!results.IsOpen()) return m_list.Clear();
        ShowSet(ListMode::SqlResults, results, NodeColumns(item, ListMode::SqlResults, results),
                "SQL query: " + item->Text());
        return;
    }
    const bool disks = item->Kind() == NodeKind::DiskQuery;
    const ListMode mode = disks ? ListMode::DiskRecords : ListMode::FileRecords;
    CRecordSet& set = disks ? static_cast<CRecordSet&>(catalogue.DiskSet())
                            : static_cast<CRecordSet&>(catalogue.FileSet());
    ShowSet(mode, set, NodeColumns(item, mode, set), ListTitle(mode) + (" " + item->Text()));
}

CTreeItem* CDatabaseCommands::ShownNode() const {
    CTreeItem* item = m_app.Tree().Find(m_shownItem);
    return item && IsQueryKind(item->Kind()) && m_list.Mode() != ListMode::DiskCatalog ? item
                                                                                       : nullptr;
}

void CDatabaseCommands::Redraw() {
    if (!IsOpen() || m_list.Mode() == ListMode::DiskCatalog) return;
    if (CTreeItem* node = ShownNode()) return ShowNodeResults(node);
    if (m_shownMode == ListMode::DiskRecords || m_shownMode == ListMode::FileRecords)
        m_shownCodes = DefaultColumns(m_shownMode);
    Relist();
}

// ---- Record commands --------------------------------------------------------------------------

void CDatabaseCommands::MountDisks() {
    if (!IsOpen() || m_list.Mode() != ListMode::DiskRecords) return;
    CTreeItem* pc = m_app.Tree().PcRootItem();
    for (int id : m_list.SelectedRecordIds()) {
        CRecordSet disk(&Catalogue().Database());
        if (!disk.Open("SELECT ALL * FROM [Disks] WHERE [ID] = " + std::to_string(id)) ||
            disk.IsEOF())
            continue;
        const std::string type = disk.GetFieldValue("Drive type").AsText();
        // Only images on the PC can be mounted again from their path.
        if (type != "DOAD" && type != "PC99" && type != "HFE") continue;
        if (!m_tree.MountByPath(disk.GetFieldValue("Drive").AsText(), pc)) break;
    }
    m_app.Tree().Expand(pc);
}

void CDatabaseCommands::RemoveDisks() {
    if (!IsOpen() || m_list.Mode() != ListMode::DiskRecords) return;
    const std::vector<int> ids = m_list.SelectedRecordIds();
    if (ids.empty()) return;
    CDialogResolver resolver(*this, m_prompt, m_window);
    CDiskScanner scanner(Catalogue(), resolver);
    scanner.RemoveDisks(ids);
    Relist();
}

void CDatabaseCommands::LoadQueries() {
    if (!IsOpen() || m_list.Mode() != ListMode::SavedQueries) return;
    CTreeItem* root = m_app.Tree().DatabaseRootItem();
    CTreeQueryAccess access(m_app.Tree(), root);
    for (int id : m_list.SelectedRecordIds())
        LoadQuery(Catalogue(), id, access);
    m_app.Tree().Expand(root);
}

void CDatabaseCommands::RemoveSavedQueries() {
    if (!IsOpen() || m_list.Mode() != ListMode::SavedQueries) return;
    const std::vector<int> ids = m_list.SelectedRecordIds();
    if (ids.empty()) return;
    DeleteSavedQueries(Catalogue(), {ids.begin(), ids.end()});
    ShowSavedQueries();
}

void CDatabaseCommands::NewParameter() {
    if (!IsOpen() || m_list.Mode() != ListMode::Parameters) return;
    // The new row gets a name not yet taken; the user renames it in place.
    CParamSet taken(&Catalogue().Database());
    std::string name = "New parameter";
    for (int n = 2;
         taken.Open("SELECT ALL * FROM [Params] WHERE [Name] = " + JetTextLiteral(name)) &&
         !taken.IsEOF() && n < 10000;
         ++n)
        name = "New parameter " + std::to_string(n);
    if (!tavik::NewParameter(Catalogue(), name, kParamText)) return;
    ShowParameters();
    // The name's cell opens for editing.
    CRecordListModel* model = m_list.RecordModel();
    const auto& columns = model->Columns();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        if (columns[static_cast<size_t>(c)].column != "Name") continue;
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->Cell(r, c) != name) continue;
            const QModelIndex at = model->index(r, c);
            m_list.setCurrentIndex(at);
            m_list.edit(at);
            return;
        }
    }
}

void CDatabaseCommands::DeleteParameters() {
    if (!IsOpen() || m_list.Mode() != ListMode::Parameters) return;
    const std::vector<int> ids = m_list.SelectedRecordIds();
    if (ids.empty()) return;
    tavik::DeleteParameters(Catalogue(), {ids.begin(), ids.end()});
    ShowParameters();
}

bool CDatabaseCommands::StoreCell(int id, const std::string& column, const std::string& text) {
    if (!IsOpen() || id <= 0) return false;
    const std::string table = CRecordListModel::Table(m_list.Mode());
    if (table.empty()) return false;
    CCatalogue& catalogue = Catalogue();
    if (table == "Params" && column == "Type") return SetParameterType(catalogue, id, text);
    CRecordSet set(&catalogue.Database());
    if (table == "Params" && column == "Name") {
        // Parameters are found by name: a second row of the same name would never be read.
        if (text.empty()) return false;
        if (set.Open("SELECT ALL * FROM [Params] WHERE [Name] = " + JetTextLiteral(text)) &&
            !set.IsEOF() && set.GetFieldValue("ID").AsInteger() != id) {
            m_prompt.Message("A parameter with this name already exists.", PromptIcon::Error);
            return false;
        }
    }
    if (!set.Open("SELECT ALL * FROM [" + table + "] WHERE [ID] = " + std::to_string(id)) ||
        set.IsEOF() || !set.Edit()) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        return false;
    }
    set.SetFieldValue(column, text.empty() ? CDbValue::Null() : CDbValue::Text(text));
    if (!set.Update()) {
        m_prompt.Message(set.ErrorText(), PromptIcon::Error);
        set.CancelUpdate();
        return false;
    }
    return true;
}

void CDatabaseCommands::BrowseRecord(int row) {
    const ListMode mode = m_list.Mode();
    if (!IsOpen() || (mode != ListMode::DiskRecords && mode != ListMode::FileRecords)) return;
    const int id = m_list.RecordModel()->RecordId(row);
    const bool disks = mode == ListMode::DiskRecords;
    CRecordSet& set = disks ? static_cast<CRecordSet&>(Catalogue().DiskSet())
                            : static_cast<CRecordSet&>(Catalogue().FileSet());
    if (!set.IsOpen() || !set.FindFirst("[ID]=" + std::to_string(id))) return;
    CRecordDialog dialog(disks ? CRecordDialog::Kind::Disk : CRecordDialog::Kind::File, set,
                         m_prompt, false, m_window);
    RunDialog(dialog);
    Relist();
}

void CDatabaseCommands::RunRecordEntry(const QString& entry) {
    if (entry == "Browse record") {
        const std::vector<int> rows = m_list.SelectedRows();
        if (!rows.empty()) BrowseRecord(rows.front());
    } else if (entry == "Mount disk") {
        MountDisks();
    } else if (entry == "Load in tree") {
        LoadQueries();
    } else if (entry == "Remove") {
        RemoveSavedQueries();
    } else if (entry == "Delete") {
        DeleteParameters();
    }
}

void CDatabaseCommands::RecordDoubleClicked(int row) {
    switch (m_list.Mode()) {
        case ListMode::DiskRecords:
        case ListMode::FileRecords:
            BrowseRecord(row);
            break;
        case ListMode::SavedQueries:
            LoadQueries();
            break;
        default:
            break;
    }
}

void CDatabaseCommands::RecordsCopied() {
    const char* head = m_list.Mode() == ListMode::DiskRecords    ? "> Queried disks"
                       : m_list.Mode() == ListMode::SavedQueries ? "> Saved queries:"
                                                                 : nullptr;
    if (!head) return;
    std::string clip = "<" + std::to_string(m_shownItem) + head;
    for (int id : m_list.SelectedRecordIds())
        clip += "\r\n" + std::to_string(id);
    m_app.InternalClip() = clip;
}

void CDatabaseCommands::DeleteRecords() {
    switch (m_list.Mode()) {
        case ListMode::DiskRecords:
            RemoveDisks();
            break;
        case ListMode::SavedQueries:
            RemoveSavedQueries();
            break;
        case ListMode::Parameters:
            DeleteParameters();
            break;
        default:
            break;
    }
}

// ---- Scanning ---------------------------------------------------------------------------------

CTreeItem* CDatabaseCommands::DriveItemFor(CTreeItem* given) const {
    for (CTreeItem* item : {given, m_tree.CommandItem(), m_tree.CurrentDriveItem()})
        if (item && IsDriveKind(item->Kind()) && item->Drive()) return item;
    return nullptr;
}

void CDatabaseCommands::AddToDatabase(CTreeItem* drive) {
    AddDisk(drive);
}

namespace {

void CollectDisks(CTreeItem* item, std::vector<CTreeItem*>& disks) {
    if (IsDriveKind(item->Kind()) && item->Drive()) disks.push_back(item);
    for (int i = 0; i < item->ChildCount(); ++i)
        CollectDisks(item->Child(i), disks);
}

}  // namespace

std::vector<CTreeItem*> CDatabaseCommands::DisksToAdd(CTreeItem* given) const {
    std::vector<CTreeItem*> disks;
    for (CTreeItem* item : {given, m_tree.CommandItem()})
        if (item && IsFolderKind(item->Kind())) {
            CollectDisks(item, disks);
            return disks;
        }
    if (CTreeItem* drive = DriveItemFor(given)) disks.push_back(drive);
    return disks;
}

bool CDatabaseCommands::AddDisk(CTreeItem* given) {
    const std::vector<CTreeItem*> disks = DisksToAdd(given);
    if (!IsOpen() || disks.empty()) return false;
    CDialogResolver resolver(*this, m_prompt, m_window);
    CDialogReviewer reviewer(*this, m_prompt, m_window);
    CDiskScanner scanner(Catalogue(), resolver, &reviewer);
    resolver.SetScanner(&scanner);
    const int total = static_cast<int>(disks.size());
    auto adding = [&](int i) {
        return "Adding " + TrimmedName(disks[i]->Text()) + " to the database";
    };
    int added = 0;
    {
        CProgress progress(m_prompt, adding(0), total);
        for (int i = 0; i < total && !scanner.Aborted(); ++i) {
            progress.Step(i, adding(i));
            disks[i]->Drive()->SetPrompt(&m_prompt);
            if (scanner.AddDisk(*disks[i]->Drive())) ++added;
        }
    }
    if (added) m_prompt.Status("Added " + Counted(added, "disk") + " to the catalogue");
    return added == total;
}

bool CDatabaseCommands::RescanDisk(CTreeItem* given) {
    CTreeItem* item = DriveItemFor(given);
    if (!IsOpen() || !item) return false;
    item->Drive()->SetPrompt(&m_prompt);
    CDialogResolver resolver(*this, m_prompt, m_window);
    CDialogReviewer reviewer(*this, m_prompt, m_window);
    CDiskScanner scanner(Catalogue(), resolver, &reviewer);
    resolver.SetScanner(&scanner);
    bool ok = false;
    {
        const CProgress progress(m_prompt, "Rescanning " + TrimmedName(item->Text()), 1);
        ok = scanner.RescanDisk(*item->Drive());
    }
    if (ok)
        m_prompt.Status("Rescanned " + TrimmedName(item->Text()) + " into disk " +
                        std::to_string(scanner.LastDiskId()) + " of the catalogue");
    return ok;
}

// ---- Export, merge, properties ----------------------------------------------------------------

std::string CDatabaseCommands::ChooseTextFile(bool save, const std::string& title) {
    return S(ChooseFile(m_window, save ? FileChoice::Save : FileChoice::Open, Q(title),
                        Q(m_app.Options().lastDatabaseFolder),
                        "Text files (*.txt);;All Files (*.*)"));
}

void CDatabaseCommands::ExportDatabase() {
    if (!IsOpen()) return;
    CExportDialog dialog(
        m_prompt, [this] { return ChooseTextFile(true, "Export database to text file"); },
        m_window);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    ExportCatalogue(Catalogue(), dialog.Path(), dialog.Options());
}

void CDatabaseCommands::MergeDatabase() {
    if (!IsOpen()) return;
    CMergeDialog dialog(
        m_prompt, [this] { return ChooseTextFile(false, "Merge text file with database"); },
        m_window);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    MergeCatalogue(Catalogue(), dialog.Path(), dialog.Options());
    QApplication::restoreOverrideCursor();
    Relist();
}

void CDatabaseCommands::ShowDatabaseProperties() {
    if (!IsOpen()) return;
    m_prompt.Message(tavik::DatabaseProperties(Catalogue()), PromptIcon::Information);
}

}  // namespace tavik
