// Where a drag may be dropped and what the drop does, decided without a window. A drag carries
// one DragPayload (views/DragPayload turns it into mime data and back); the drive tree and the
// catalog list ask DropOnTree / DropOnList before they take a drop and refuse it (the forbidden
// cursor) when the answer is Refused; views/DropRouter carries out the others.
//
// To add a source: give it a Source here and the fields it needs, encode and decode it in
// views/DragPayload, decide here which targets take it (a new DropEffect when none of these
// fits), and carry that effect out in views/DropRouter.
#pragma once

#include <string>
#include <vector>

#include "app/TreeModel.h"

namespace tavik {

struct DragPayload {
    enum class Source { None, TreeItem, DiskFiles, ArchiveMembers, PcFiles };
    Source source = Source::None;
    // TreeItem: the item; DiskFiles: the drive item they are on; ArchiveMembers: the archive
    // item.
    ItemId item = 0;
    std::vector<int> fdrs;           // DiskFiles: the files' FDR sectors
    std::vector<std::string> names;  // ArchiveMembers: the members' names
    std::vector<std::string> paths;  // PcFiles: local files and folders
};

enum class DropEffect {
    Refused,
    TreeItem,        // a tree item onto another, after the tree's drag-and-drop table
    CopyFiles,       // catalog rows onto a drive: pasted as their files clip is
    ExtractMembers,  // members of an archive onto a drive: pasted as their members clip is
    AddToArchive,    // catalog rows onto an archive (its folder or its member list)
    Mount,           // images and folders of the PC onto the tree
    Import,          // PC files onto a disk
};

// The rows of the tree's drag-and-drop table.
enum class TreeItemDrop {
    None,
    CombineQuery,    // a disk or file query onto another
    SaveQuery,       // a disk or file query onto "Saved queries"
    CopyDisk,        // a disk onto another disk
    NewImage,        // a TI-99/4A or emulator drive onto a folder: copied to a new image
    MoveIntoFolder,  // a folder or image into a folder
    AddToDatabase,   // a disk onto the open database or one of its lists
};
TreeItemDrop TreeItemDropOf(const CTreeItem& source, const CTreeItem& target, bool databaseOpen);

// Dropped PC paths by what they hold: folders, whole-disk images (by their first bytes), and
// other files.
struct DroppedPaths {
    std::vector<std::string> folders, images, files;
};
DroppedPaths SortDroppedPaths(const std::vector<std::string>& paths);

// A drop onto an item of the tree (pc: the payload's paths sorted).
DropEffect DropOnTree(const CTreeModel& tree, const DragPayload& payload, const DroppedPaths& pc,
                      const CTreeItem& target);
// A drop onto the catalog list, which shows the drive item or archive item `shown` (null: no
// disk).
DropEffect DropOnList(const CTreeModel& tree, const DragPayload& payload, const DroppedPaths& pc,
                      const CTreeItem* shown);

}  // namespace tavik
