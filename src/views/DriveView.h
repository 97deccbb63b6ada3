// The left pane of the upper row: the drive tree. It shows the tree model (PC folders, images,
// dummy folders, the TI-99/4A and emulator drives, the catalogue database and its queries); the
// drive item selected becomes the current disk, which the other panes show. Commands take the
// context item (the item under the last right-click) before the selection.
#pragma once

#include <QTreeView>
#include <functional>
#include <string>

#include "app/Command.h"
#include "app/CurrentDisk.h"
#include "app/TreeModel.h"
#include "views/PaneContext.h"

namespace tavik {

class CDropRouter;
class COptions;
class CRemoteTreeCommands;
class CTreeItemModel;
class CUserPrompt;

// What the tree asks of the program around it for the commands that open dialogs.
class CDriveDialogs {
public:
    virtual ~CDriveDialogs() = default;
    // The mount chooser: files chosen (full paths) and whether "Mount folder too" was ticked.
    // False when cancelled.
    virtual bool ChooseImages(const std::string& startFolder, std::vector<std::string>& files,
                              bool& mountFolderToo) = 0;
    virtual bool ChooseFolder(const std::string& title, std::string& folder) = 0;
    // The disk commands on a drive item (properties, format, check ...). For NewPcFile item is
    // the folder to insert into and other an optional source drive item; for DiskCopy other is
    // an optional target drive item.
    virtual bool RunDiskCommand(CommandId id, CTreeItem* item, CTreeItem* other = nullptr) = 0;
};

// What the tree asks of the program around it for its query nodes (kinds 14 to 16).
class CQueryHandler {
public:
    virtual ~CQueryHandler() = default;
    // The Database menu's query commands on the command item; false when not handled here.
    virtual bool RunQueryCommand(CommandId id, CTreeItem* item) = 0;
    // "Run" of the context menu.
    virtual void RunNode(CTreeItem* item) = 0;
    // A query dragged (or pasted) onto another item; false when that is no query drop.
    virtual bool DropQuery(CTreeItem* source, CTreeItem* target, bool paste) = 0;
};

// What the tree asks of the catalogue database's commands.
class CDatabaseRoutes {
public:
    virtual ~CDatabaseRoutes() = default;
    // A query node (kinds 14 to 16), "Saved queries" or "Parameters" became the selection.
    virtual void ShowDatabaseItem(CTreeItem* item) = 0;
    // "Add to database", or a drive item dropped or pasted onto a database item.
    virtual void AddToDatabase(CTreeItem* drive) = 0;
    virtual void DatabaseProperties() = 0;
};

class CDriveView : public QTreeView,
                   public CCommandTarget,
                   public CTreeObserver,
                   public CDiskObserver {
    Q_OBJECT
public:
    explicit CDriveView(const PaneContext& context, QWidget* parent = nullptr);
    ~CDriveView() override;

    void SetDialogs(CDriveDialogs* dialogs) { m_dialogs = dialogs; }
    void SetQueryHandler(CQueryHandler* queries) { m_queries = queries; }
    void SetDatabaseRoutes(CDatabaseRoutes* routes) { m_database = routes; }
    // Scans and unhooking of the TI-99/4A and the emulator.
    void SetRemote(CRemoteTreeCommands* remote) { m_remote = remote; }
    // Drops from the desktop and the catalog list.
    void SetDropRouter(CDropRouter* router) { m_router = router; }
    CRemoteTreeCommands* Remote() const { return m_remote; }

    CTreeModel& Tree() const { return m_tree; }
    CTreeItemModel* ItemModel() const { return m_model; }
    CTreeItem* SelectedItem() const;
    // The context item when there is one, else the selection.
    CTreeItem* CommandItem() const;
    void SetContextItem(CTreeItem* item) { m_context = item; }
    void ClearContext() { m_context = nullptr; }
    CTreeItem* CurrentDriveItem() const { return m_disk.Item(); }
    void Select(CTreeItem* item);

    // ---- Operations --------------------------------------------------------------------
    // Mounts an image file; failure shows the drive's error text. Null on failure.
    CTreeItem* MountByPath(const std::string& path, CTreeItem* parent);
    void MountPcFile();
    // Mounts image files into the folder (by the mount rules) until one fails; the last one
    // mounted is selected. Each goes into the mount history.
    void MountImages(const std::vector<std::string>& files, CTreeItem* parent);
    void MountPcFolder(const std::string& folder = {});
    void DismountItem();
    void NewDummyFolder();
    void AlphaSortItem();
    void SelectAsTarget();
    void CopyPath();
    void CopyClip();
    void PasteClip();
    // The files a files clip names copied onto the target drive item (Paste, or rows dropped).
    void PasteFiles(const std::string& clip, CTreeItem* target);
    // The members a members clip names taken out onto the target drive item (Paste, or members
    // dropped).
    void PasteMembersOnto(const std::string& clip, CTreeItem* target);
    // The files a files clip names put into the target archive item (Paste onto its folder,
    // or rows dropped onto the folder or the member list).
    void PasteFilesIntoArchive(const std::string& clip, CTreeItem* target);
    void RefreshDrive();
    void ApplyFullPathNames();
    // Selection changed: a drive item becomes the current disk; a query item shows its list.
    void ShowItem(CTreeItem* item);
    // Shows the current drive item again (after a change on its disk).
    void ShowCurrentAgain();
    // A tree item dropped or pasted onto another, after the drag-and-drop table.
    void DropOnto(CTreeItem* source, CTreeItem* target);

    // ---- Routing -------------------------------------------------------------------------
    bool HandleCommand(CommandId id) override;
    bool HasHandler(CommandId id) const override;
    bool IsEnabledHere(CommandId id, const CommandState& state) const override;
    const char* CaptionHere(CommandId id, const CommandState& state) const override;

    // The context menu of a kind: its title and entries (empty: no menu).
    static QStringList ContextEntries(NodeKind kind, QString* title = nullptr);

signals:
    // An image was mounted through the mount command (for the recent-file list).
    void ImageMounted(const QString& path);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    // The item a drag would drop on is drawn highlighted.
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    void SetDropTarget(const QModelIndex& index);
    void AboutToRemove(CTreeItem* item) override;
    // Another pane made a disk current (the editor's swap): the tree selects its item.
    void DiskShown(CTreeItem* item) override;
    void RunContextEntry(const QString& entry, CTreeItem* item);
    // "Save", "Delete", "Edit" and "Run" of a query item (also the double-click's "Edit").
    void RunQueryEntry(const QString& entry, CTreeItem* item);
    bool DatabaseOpen() const;
    void Fail(const std::string& text);

    CTreeModel& m_tree;
    COptions& m_options;
    CUserPrompt& m_prompt;
    std::string& m_clip;
    CCurrentDisk& m_disk;
    CTreeItemModel* m_model;
    CDriveDialogs* m_dialogs = nullptr;
    CQueryHandler* m_queries = nullptr;
    CDatabaseRoutes* m_database = nullptr;
    CRemoteTreeCommands* m_remote = nullptr;
    CDropRouter* m_router = nullptr;
    QPersistentModelIndex m_dropTarget;
    CTreeItem* m_context = nullptr;
    bool m_following = false;  // selecting the item of a disk another pane made current
};

}  // namespace tavik
