// The right pane of the upper row: the catalog list. In its disk-catalog mode it lists the files
// of the disk selected in the drive tree; the database modes come with the catalogue.
#pragma once

#include <QTreeView>
#include <vector>

#include "views/Command.h"

namespace tavik {

class CCatalogModel;
class CFileCommands;
class CUserPrompt;
class CVirtualDrive;

class CDiskView : public QTreeView, public CCommandTarget {
    Q_OBJECT
public:
    CDiskView(CUserPrompt& prompt, QWidget* parent = nullptr);

    // Lists the drive (mode 0); itemText is the drive item's text, used in copied titles, and
    // itemId the drive item's number, used in file clips.
    void ListDisk(CVirtualDrive* drive, const QString& itemText, int itemId = 0);
    // Lists the shown disk again (after a file command), keeping the selected files selected.
    void Relist();
    int ItemId() const { return m_itemId; }
    // The File menu's commands; without them the list only shows.
    void SetFileCommands(CFileCommands* commands);
    // Opens the name cell of the current row for editing ("Rename").
    void StartRename();
    void Clear();
    CVirtualDrive* Drive() const;
    bool DiskShown() const { return Drive() != nullptr; }
    ListMode Mode() const { return m_mode; }
    int SelectedCount() const;
    std::vector<int> SelectedFdrs() const;
    CCatalogModel* Model() const { return m_model; }

    bool HandleCommand(CommandId id) override;
    bool HasHandler(CommandId id) const override;
    bool IsEnabledHere(CommandId id, const CommandState& state) const override;
    const char* CaptionHere(CommandId id, const CommandState& state) const override;

    // The text table Copy puts on the clipboard.
    QString ListAsText() const;

private:
    CUserPrompt& m_prompt;
    CCatalogModel* m_model;
    ListMode m_mode = ListMode::DiskCatalog;
    QString m_itemText;
    int m_itemId = 0;
    CFileCommands* m_files = nullptr;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace tavik
