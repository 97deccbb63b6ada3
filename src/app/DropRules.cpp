#include "app/DropRules.h"

#include <algorithm>
#include <filesystem>

#include "app/ArchiveFolders.h"
#include "base/PcFile.h"
#include "disk/VirtualDrive.h"
#include "exchange/ClassifyPcFile.h"

namespace tavik {

namespace {

bool IsFolderOrPc(NodeKind k) {
    return k == NodeKind::PcRoot || IsFolderKind(k);
}

bool IsTableQuery(NodeKind k) {
    return k == NodeKind::DiskQuery || k == NodeKind::FileQuery;
}

bool IsDatabaseTarget(NodeKind k) {
    return k == NodeKind::DatabaseOpen || IsTableQuery(k) || k == NodeKind::SavedQueries ||
           k == NodeKind::Parameters;
}

// Two items of one image file (or one drive) are one disk: nothing to copy between them.
bool SameDisk(const CTreeItem& a, const CTreeItem& b) {
    return &a == &b || (a.Drive() && b.Drive() && a.Drive()->SameVolume(*b.Drive()));
}

// Rows of a disk become members of the archive, unless they hold the archive itself.
DropEffect FilesOntoArchive(const CTreeModel& tree, const DragPayload& payload,
                            const CTreeItem& archive) {
    const CTreeItem* source = tree.Find(payload.item);
    CVirtualDrive* disk = ArchiveDisk(archive);
    if (!source || !source->Drive() || !disk || payload.fdrs.empty()) return DropEffect::Refused;
    if (source->Drive()->SameVolume(*disk)) {
        std::string error;
        const int fdr = ArchiveFdr(archive, error);
        if (std::find(payload.fdrs.begin(), payload.fdrs.end(), fdr) != payload.fdrs.end())
            return DropEffect::Refused;
    }
    return DropEffect::AddToArchive;
}

}  // namespace

TreeItemDrop TreeItemDropOf(const CTreeItem& source, const CTreeItem& target, bool databaseOpen) {
    if (&source == &target) return TreeItemDrop::None;
    const NodeKind s = source.Kind();
    const NodeKind t = target.Kind();
    if (IsTableQuery(s)) {
        if (t == NodeKind::SavedQueries) return TreeItemDrop::SaveQuery;
        return IsTableQuery(t) && !source.Contains(&target) ? TreeItemDrop::CombineQuery
                                                            : TreeItemDrop::None;
    }
    if (IsDriveKind(s) && IsDriveKind(t))
        return SameDisk(source, target) ? TreeItemDrop::None : TreeItemDrop::CopyDisk;
    if ((s == NodeKind::EmulatorDisk || s == NodeKind::RemoteDrive) && IsFolderOrPc(t))
        return TreeItemDrop::NewImage;
    if (IsFolderOrImageKind(s) && IsFolderOrPc(t))
        return source.Contains(&target) ? TreeItemDrop::None : TreeItemDrop::MoveIntoFolder;
    if (IsDriveKind(s) && IsDatabaseTarget(t) && databaseOpen) return TreeItemDrop::AddToDatabase;
    return TreeItemDrop::None;
}

DroppedPaths SortDroppedPaths(const std::vector<std::string>& paths) {
    DroppedPaths sorted;
    for (const std::string& path : paths) {
        std::error_code ec;
        const auto status = std::filesystem::status(path, ec);
        if (std::filesystem::is_directory(status)) {
            sorted.folders.push_back(path);
            continue;
        }
        if (!std::filesystem::is_regular_file(status)) continue;  // gone, or no plain file
        auto file = CDiskFile::Open(path, OpenMode::ReadOnly);
        const bool image = file && IsDiskKind(ClassifyPcFile(*file, path).kind);
        (image ? sorted.images : sorted.files).push_back(path);
    }
    return sorted;
}

DropEffect DropOnTree(const CTreeModel& tree, const DragPayload& payload, const DroppedPaths& pc,
                      const CTreeItem& target) {
    switch (payload.source) {
        case DragPayload::Source::TreeItem: {
            const CTreeItem* source = tree.Find(payload.item);
            const CTreeItem* db = tree.DatabaseRootItem();
            const bool open = db && db->Kind() == NodeKind::DatabaseOpen;
            return source && TreeItemDropOf(*source, target, open) != TreeItemDrop::None
                       ? DropEffect::TreeItem
                       : DropEffect::Refused;
        }
        case DragPayload::Source::DiskFiles: {
            if (target.Kind() == NodeKind::ArchiveFile)
                return FilesOntoArchive(tree, payload, target);
            const CTreeItem* source = tree.Find(payload.item);
            // Onto their own disk the files would only be copied onto themselves.
            return source && IsDriveKind(target.Kind()) && target.Drive() &&
                           !payload.fdrs.empty() && !SameDisk(*source, target)
                       ? DropEffect::CopyFiles
                       : DropEffect::Refused;
        }
        case DragPayload::Source::ArchiveMembers: {
            // Members are taken out onto a drive; onto an archive folder (their own or another)
            // they would only go round in a circle or need a disk between.
            const CTreeItem* source = tree.Find(payload.item);
            return source && source->Kind() == NodeKind::ArchiveFile &&
                           IsDriveKind(target.Kind()) && target.Drive() && !payload.names.empty()
                       ? DropEffect::ExtractMembers
                       : DropEffect::Refused;
        }
        case DragPayload::Source::PcFiles:
            // Plain files go onto a disk; images and folders mount wherever they are dropped.
            if (!pc.files.empty() && IsDriveKind(target.Kind()) && target.Drive())
                return DropEffect::Import;
            if (!pc.images.empty() || !pc.folders.empty()) {
                const NodeKind t = target.Kind();
                return IsFolderOrPc(t) || IsDriveKind(t) ? DropEffect::Mount : DropEffect::Refused;
            }
            return DropEffect::Refused;
        case DragPayload::Source::None:
            break;
    }
    return DropEffect::Refused;
}

DropEffect DropOnList(const CTreeModel& tree, const DragPayload& payload, const DroppedPaths& pc,
                      const CTreeItem* shown) {
    // A member list takes rows of a disk only: its own members dropped back change nothing.
    if (shown && shown->Kind() == NodeKind::ArchiveFile)
        return payload.source == DragPayload::Source::DiskFiles
                   ? FilesOntoArchive(tree, payload, *shown)
                   : DropEffect::Refused;
    if (payload.source == DragPayload::Source::PcFiles && !pc.files.empty() && shown &&
        shown->Drive())
        return DropEffect::Import;
    return DropEffect::Refused;
}

}  // namespace tavik
