#include "views/DropRouter.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QStyle>
#include <QTimer>

#include "app/ArchiveFolders.h"
#include "app/TreeOperations.h"
#include "base/UserPrompt.h"
#include "views/DragPayload.h"
#include "views/DriveView.h"
#include "views/FileCommands.h"

namespace tavik {

CDropRouter::CDropRouter(CDriveView& tree, CFileCommands& files, CUserPrompt& prompt,
                         QObject* parent)
    : QObject(parent), m_tree(tree), m_files(files), m_prompt(prompt) {}

void CDropRouter::Drag(
    QWidget* source,
    const std::function<QMimeData*(std::function<std::vector<std::string>()>)>& mime,
    std::function<std::vector<std::string>(std::string& error)> exported) {
    auto exportFiles = [this, exported = std::move(exported)] {
        std::string error;
        std::vector<std::string> paths = exported(error);
        // The desktop asked while it handles its drop: the message waits until that is over.
        if (paths.empty())
            QTimer::singleShot(0, this,
                               [this, error] { m_prompt.Message(error, PromptIcon::Warning); });
        return paths;
    };
    auto* drag = new QDrag(source);
    drag->setMimeData(mime(exportFiles));
    drag->setPixmap(source->style()->standardIcon(QStyle::SP_FileIcon).pixmap(32, 32));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void CDropRouter::DragFiles(QWidget* source, ItemId drive, const std::vector<int>& fdrs) {
    if (fdrs.empty()) return;
    CTreeModel& tree = m_tree.Tree();
    Drag(
        source, [&](auto exportFiles) { return DiskFilesMime(drive, fdrs, exportFiles); },
        [this, &tree, drive, fdrs](std::string& error) {
            error = "The disk of the dragged files is no longer mounted";
            CTreeItem* item = tree.Find(drive);
            return item && item->Drive() ? m_exports.Export(*item->Drive(), fdrs, error)
                                         : std::vector<std::string>();
        });
}

void CDropRouter::DragMembers(QWidget* source, ItemId archive,
                              const std::vector<std::string>& names) {
    if (names.empty()) return;
    CTreeModel& tree = m_tree.Tree();
    Drag(
        source, [&](auto exportFiles) { return ArchiveMembersMime(archive, names, exportFiles); },
        [this, &tree, archive, names](std::string& error) {
            error = "The archive of the dragged members is no longer there";
            CTreeItem* item = tree.Find(archive);
            CArkFile ark;
            return item && OpenArchiveItem(*item, ark, error) ? m_exports.Export(ark, names, error)
                                                              : std::vector<std::string>();
        });
}

const DragPayload& CDropRouter::Read(const QMimeData& mime) {
    DragPayload payload = ReadPayload(mime);
    if (payload.source != DragPayload::Source::PcFiles || payload.paths != m_payload.paths)
        m_paths = payload.source == DragPayload::Source::PcFiles ? SortDroppedPaths(payload.paths)
                                                                 : DroppedPaths();
    m_payload = std::move(payload);
    return m_payload;
}

DropEffect CDropRouter::OnTree(const QMimeData& mime, const CTreeItem* target) {
    if (!target) return DropEffect::Refused;
    return tavik::DropOnTree(m_tree.Tree(), Read(mime), m_paths, *target);
}

DropEffect CDropRouter::OnList(const QMimeData& mime, const CTreeItem* shown) {
    return tavik::DropOnList(m_tree.Tree(), Read(mime), m_paths, shown);
}

bool CDropRouter::DropOnTree(QDropEvent& event, CTreeItem* target) {
    return Take(event, OnTree(*event.mimeData(), target), target);
}

bool CDropRouter::DropOnList(QDropEvent& event, CTreeItem* shown) {
    return Take(event, OnList(*event.mimeData(), shown), shown);
}

bool CDropRouter::Take(QDropEvent& event, DropEffect effect, const CTreeItem* target) {
    if (effect == DropEffect::Refused || !target) {
        event.ignore();
        return false;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    // The commands may ask questions: they run once the drop has returned to its source.
    QTimer::singleShot(0, this,
                       [this, effect, id = target->Id(), payload = m_payload, paths = m_paths] {
                           m_payload = payload;
                           m_paths = paths;
                           Carry(effect, id);
                       });
    return true;
}

void CDropRouter::Carry(DropEffect effect, ItemId targetId) {
    CTreeModel& tree = m_tree.Tree();
    CTreeItem* target = tree.Find(targetId);
    if (!target) return;  // gone while the drop returned
    switch (effect) {
        case DropEffect::TreeItem:
            if (CTreeItem* source = tree.Find(m_payload.item)) m_tree.DropOnto(source, target);
            break;
        case DropEffect::CopyFiles:
            m_tree.PasteFiles(FilesClip(m_payload.item, m_payload.fdrs), target);
            break;
        case DropEffect::ExtractMembers:
            m_tree.PasteMembersOnto(MembersClip(m_payload.item, m_payload.names), target);
            break;
        case DropEffect::AddToArchive:
            m_tree.PasteFilesIntoArchive(FilesClip(m_payload.item, m_payload.fdrs), target);
            break;
        case DropEffect::Mount:
            Mount(target);
            break;
        case DropEffect::Import:
            // The import works on the disk the list shows: the target becomes that disk.
            if (m_tree.CurrentDriveItem() != target) m_tree.Select(target);
            if (m_tree.CurrentDriveItem() == target) m_files.Import(m_paths.files);
            Mount(target);
            break;
        case DropEffect::Refused:
            break;
    }
}

void CDropRouter::Mount(CTreeItem* target) {
    // Onto an image, images join its folder; onto a drive of the TI-99/4A or the emulator,
    // they go under "PC".
    CTreeItem* folder = target;
    if (IsImageKind(target->Kind()))
        folder = target->Parent();
    else if (IsDriveKind(target->Kind()))
        folder = m_tree.Tree().PcRootItem();
    for (const std::string& path : m_paths.folders) {
        m_tree.SetContextItem(folder);
        m_tree.MountPcFolder(path);
        m_tree.ClearContext();
    }
    if (!m_paths.images.empty()) m_tree.MountImages(m_paths.images, folder);
}

}  // namespace tavik
