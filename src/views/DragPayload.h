// The mime data of the program's drags and what a drop's mime data carries. app/DropRules.h
// decides where each payload may go and says how to add a source; views/DropRouter carries
// drops out.
//
// A drag of this program carries its process number: the item numbers of another running
// TAVIK mean nothing here, so its drags count only for the PC files they offer.
#pragma once

#include <QMimeData>
#include <functional>
#include <string>
#include <vector>

#include "app/DropRules.h"

namespace tavik {

// A drive tree item (the sector editor reads it too: a drive dropped there becomes its target).
inline constexpr const char* kTreeItemMime = "application/x-tavik-tree-item";
// Catalog rows: their files clip ("<%d> Files:" and one FDR sector a line).
inline constexpr const char* kDiskFilesMime = "application/x-tavik-files";
// Members of an archive: their members clip ("<%d> Members:" and one name a line).
inline constexpr const char* kArchiveMembersMime = "application/x-tavik-members";

QMimeData* TreeItemMime(const CTreeItem& item);
// Catalog rows of the drive item `drive`. For the desktop they are also PC files (text/uri-list),
// made by exportFiles only when a program outside asks for them (a drop on a file manager);
// exportFiles returns their paths, or nothing after it told the user why.
QMimeData* DiskFilesMime(ItemId drive, const std::vector<int>& fdrs,
                         std::function<std::vector<std::string>()> exportFiles);
// Members of the archive item `archive`, offered to the desktop in the same way.
QMimeData* ArchiveMembersMime(ItemId archive, const std::vector<std::string>& names,
                              std::function<std::vector<std::string>()> exportFiles);

DragPayload ReadPayload(const QMimeData& mime);

}  // namespace tavik
