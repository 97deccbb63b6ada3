// The Database menu and the catalogue's side of the drive tree and the catalog list: creating,
// opening and closing the catalogue, browsing its disks and files, the query nodes' results,
// the saved-query and parameter lists, mounting and removing recorded disks, adding and
// rescanning disks with the duplicate and review dialogs, export, merge and the properties
// report. The work is the catalogue's; this class opens the dialogs and fills the list.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "views/DiskView.h"
#include "views/DriveView.h"

class QDialog;
class QWidget;

namespace tavik {

class CApplication;
class CCatalogue;
class CParamAsker;
class CQtUserPrompt;
class CRecordSet;

class CDatabaseCommands : public QObject, public CRecordActions, public CDatabaseRoutes {
    Q_OBJECT
public:
    CDatabaseCommands(CApplication& app, CDriveView& tree, CDiskView& list, CQtUserPrompt& prompt,
                      QWidget* window);
    ~CDatabaseCommands() override;

    // Runs a Database command this class owns; false for the others (the query designer's).
    bool HandleCommand(CommandId id, Pane focus);

    bool NewDatabase();
    bool OpenDatabase();
    void CloseDatabase();
    void BrowseAllDisks();
    void BrowseAllFiles();
    void BrowseCurrentSet();
    // The disks, or the files, of the duplicate report, each group together.
    void BrowseDuplicates(bool files);
    void ShowSavedQueries();
    void ShowParameters();
    // Kinds 14 and 15 run their query, kind 16 its statement.
    void RunQueryItem(CTreeItem* item);
    // Lists what a run of the query node opened (the catalogue's disk, file or results set)
    // in the node's columns.
    void ShowNodeResults(CTreeItem* item);
    // The query node whose rows the list shows (null: none).
    CTreeItem* ShownNode() const;
    // Shows the list again with its columns built anew (after its display changed).
    void Redraw();
    void MountDisks();
    void RemoveDisks();
    void LoadQueries();
    void RemoveSavedQueries();
    void NewParameter();
    void DeleteParameters();
    // On a drive item (null: the tree's command item, else the drive shown).
    bool AddDisk(CTreeItem* drive = nullptr);
    bool RescanDisk(CTreeItem* drive = nullptr);
    void ExportDatabase();
    void MergeDatabase();
    void ShowDatabaseProperties();

    // CDatabaseRoutes
    void ShowDatabaseItem(CTreeItem* item) override;
    void AddToDatabase(CTreeItem* drive) override;
    void DatabaseProperties() override { ShowDatabaseProperties(); }
    // CRecordActions
    void RunRecordEntry(const QString& entry) override;
    void RecordDoubleClicked(int row) override;
    void RecordsCopied() override;
    void DeleteRecords() override;

    // Writes an edited cell of the list (the record list model's store function).
    bool StoreCell(int id, const std::string& column, const std::string& text);

    // Who answers "Enter value for parameter:" (the program's parameter dialog).
    void SetParamAsker(CParamAsker* asker) { m_asker = asker; }

private:
    CCatalogue& Catalogue();
    bool IsOpen() const;
    // A catalogue file from a file dialog starting in lastDatabaseFolder; "" for Cancel.
    std::string ChooseDatabaseFile(bool save);
    std::string ChooseTextFile(bool save, const std::string& title);
    CTreeItem* DriveItemFor(CTreeItem* given) const;
    // The disks Add disk reads: the chosen drive, or every disk mounted in the chosen folder.
    std::vector<CTreeItem*> DisksToAdd(CTreeItem* given) const;
    void ShowSet(ListMode mode, CRecordSet& set, const std::vector<uint32_t>& codes,
                 const std::string& title);
    std::vector<uint32_t> DefaultColumns(ListMode mode);
    std::vector<uint32_t> NodeColumns(CTreeItem* item, ListMode mode, CRecordSet& set);
    void Relist();
    void BrowseRecord(int row);

    CApplication& m_app;
    CDriveView& m_tree;
    CDiskView& m_list;
    CQtUserPrompt& m_prompt;
    QWidget* m_window;
    std::unique_ptr<CParamAsker> m_defaultAsker;
    CParamAsker* m_asker;
    // What the list shows, to show it again after a change.
    ListMode m_shownMode = ListMode::DiskCatalog;
    std::vector<uint32_t> m_shownCodes;
    std::string m_shownTitle;
    ItemId m_shownItem = 0;
};

}  // namespace tavik
