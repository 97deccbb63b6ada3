// Where drops on the drive tree and the catalog list go, and the drags the catalog list starts.
// The views hand every drag event here: a drop that DropRules refuses is ignored (the forbidden
// cursor); any other is taken as a copy, so that a file manager never deletes what it offered,
// and carried out once the drop has returned, through the commands that do the same from the
// menus (paste, disk copy, mount, import) with their questions and messages.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "app/DropRules.h"
#include "exchange/DragExport.h"

class QDropEvent;
class QMimeData;
class QWidget;

namespace tavik {

class CDriveView;
class CFileCommands;
class CUserPrompt;

class CDropRouter : public QObject {
    Q_OBJECT
public:
    CDropRouter(CDriveView& tree, CFileCommands& files, CUserPrompt& prompt,
                QObject* parent = nullptr);

    // Drags the files of the drive item `drive` out of the catalog list.
    void DragFiles(QWidget* source, ItemId drive, const std::vector<int>& fdrs);
    // Drags members of the archive item `archive` out of the member list.
    void DragMembers(QWidget* source, ItemId archive, const std::vector<std::string>& names);

    // What a drop of the mime data would do on a tree item, or on the catalog list showing
    // the drive item or archive item `shown`.
    DropEffect OnTree(const QMimeData& mime, const CTreeItem* target);
    DropEffect OnList(const QMimeData& mime, const CTreeItem* shown);
    // Takes the drop (accepting it as a copy) when it is not refused; false when refused.
    bool DropOnTree(QDropEvent& event, CTreeItem* target);
    bool DropOnList(QDropEvent& event, CTreeItem* shown);

    CDragExports& Exports() { return m_exports; }

private:
    // Runs a drag of mime data whose PC files `exported` makes (the paths, or nothing with the
    // reason): a failure is told once the desktop's drop is over.
    void Drag(QWidget* source,
              const std::function<QMimeData*(std::function<std::vector<std::string>()>)>& mime,
              std::function<std::vector<std::string>(std::string& error)> exported);
    // The payload and its PC paths sorted; the sorting, which reads the files, once per drag.
    const DragPayload& Read(const QMimeData& mime);
    bool Take(QDropEvent& event, DropEffect effect, const CTreeItem* target);
    void Carry(DropEffect effect, ItemId target);
    void Mount(CTreeItem* target);

    CDriveView& m_tree;
    CFileCommands& m_files;
    CUserPrompt& m_prompt;
    CDragExports m_exports;
    DragPayload m_payload;
    DroppedPaths m_paths;
};

}  // namespace tavik
