// The right pane of the upper row: the catalog list. In its disk-catalog mode it lists the files
// of the disk selected in the drive tree; in its database modes the records of the catalogue
// (disks, files, saved queries, parameters, free SQL results) in their own model.
#pragma once

#include <QTreeView>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Command.h"
#include "app/CurrentDisk.h"
#include "views/PaneContext.h"

namespace tavik {

class CCatalogModel;
class CDropRouter;
class CFileCommands;
class COptions;
class CRecordListModel;
class CRecordSet;
class CUserPrompt;
class CVirtualDrive;

// What the record lists ask of the database commands: the entries of their context menus, a
// double-click, Copy's internal clip and the Delete key, each on the selected rows.
class CRecordActions {
public:
    virtual ~CRecordActions() = default;
    virtual void RunRecordEntry(const QString& entry) = 0;
    virtual void RecordDoubleClicked(int row) = 0;
    virtual void RecordsCopied() = 0;
    virtual void DeleteRecords() = 0;
};

class CDiskView : public QTreeView, public CCommandTarget, public CDiskObserver {
    Q_OBJECT
public:
    explicit CDiskView(const PaneContext& context, QWidget* parent = nullptr);

    // Lists the drive (mode 0); itemText is the drive item's text, used in copied titles, and
    // itemId the drive item's number, used in file clips.
    void ListDisk(CVirtualDrive* drive, const QString& itemText, int itemId = 0);
    // The catalog's columns from its display specification and size list.
    void SetCatalogSpecification(const std::string& spec, const std::vector<uint16_t>& sizes);
    // Lists the members of an archive item (what could be read of a damaged one, with a message
    // saying what is wrong).
    void ListArchive(CTreeItem* archive);
    bool ShowsMembers() const;
    std::vector<std::string> SelectedMemberNames() const;
    // Lists the shown disk again (after a file command), keeping the selected files selected.
    void Relist();
    int ItemId() const { return m_itemId; }
    // The File menu's commands; without them the list only shows.
    void SetFileCommands(CFileCommands* commands);
    // Rows dragged out (to a drive of the tree, to the desktop) and PC files dropped in.
    void SetDropRouter(CDropRouter* router) { m_router = router; }
    // Selects the selected files' sectors in the map.
    void SelectInMap();
    // Opens the name cell of the current row for editing ("Rename").
    void StartRename();
    // Lists the rows of a record set (modes 1 to 5) in the columns of the codes; title is the
    // first line Copy writes.
    void ShowRecords(ListMode mode, CRecordSet& set, const std::vector<uint32_t>& codes,
                     const QString& title);
    void Clear();
    CVirtualDrive* Drive() const;
    bool DiskShown() const { return Drive() != nullptr; }
    ListMode Mode() const { return m_mode; }
    int SelectedCount() const;
    std::vector<int> SelectedFdrs() const;
    CCatalogModel* Model() const { return m_model; }
    CRecordListModel* RecordModel() const { return m_records; }
    void SetRecordActions(CRecordActions* actions) { m_recordActions = actions; }
    // The selected rows (in row order) and their records' IDs in the database modes.
    std::vector<int> SelectedRows() const;
    std::vector<int> SelectedRecordIds() const;
    // The context menu of a database mode: its title and entries (empty: no menu).
    static QStringList RecordContextEntries(ListMode mode, QString* title = nullptr);

    bool HandleCommand(CommandId id) override;
    bool HasHandler(CommandId id) const override;
    bool IsEnabledHere(CommandId id, const CommandState& state) const override;
    const char* CaptionHere(CommandId id, const CommandState& state) const override;

    // The text table Copy puts on the clipboard.
    QString ListAsText() const;
    using QTreeView::edit;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    // What the list shows to a drop: the archive of a member list, else the disk.
    CTreeItem* DropItem() const;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void DiskShown(CTreeItem* item) override;
    void FilesChanged() override;
    void SortByColumn(int column);
    void ClearSortArrow();
    // The field number a shown column lists (-1 for none).
    int FieldOfColumn(int column) const;
    int ContentWidth(int column) const;
    void FitColumns();
    void ColumnResized(int column, int oldWidth, int width);
    void FileContextMenu(QContextMenuEvent* event);
    bool ShowsRecords() const { return m_mode != ListMode::DiskCatalog; }

    CUserPrompt& m_prompt;
    COptions& m_options;
    CCurrentDisk& m_disk;
    CCatalogModel* m_model;
    CRecordListModel* m_records;
    CRecordActions* m_recordActions = nullptr;
    ListMode m_mode = ListMode::DiskCatalog;
    QString m_itemText;
    QString m_recordTitle;
    int m_itemId = 0;
    CFileCommands* m_files = nullptr;
    bool m_fitting = false;  // the program, not the user, is sizing the columns
    CDropRouter* m_router = nullptr;
};

}  // namespace tavik
