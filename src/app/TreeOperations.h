// The drive tree's operations on the Qt-free tree model: mounting images and folders, dummy
// folders, dismounting, alpha sort, folder labels, moves between folders and the internal clip.
// The tree view calls these and shows their failures; nothing here shows anything.
#pragma once

#include <string>
#include <vector>

#include "app/TreeModel.h"

namespace tavik {

class CUserPrompt;

// Texts of the tree.
inline constexpr const char* kDummyFolderText = "Dummy folder";
inline constexpr const char* kNotFormattedText = "Not formated";

// The parent a newly mounted image goes under: the given parent when it is a dummy folder, or
// a PC folder the path belongs in; otherwise the "PC" root.
CTreeItem* MountParent(CTreeModel& tree, CTreeItem* parent, const std::string& path);

// Creates a drive, opens the file as an image and reads its disk information. On failure the
// drive's error text goes to error and nothing is inserted (null result).
CTreeItem* MountByPath(CTreeModel& tree, const std::string& path, CTreeItem* parent,
                       std::string& error);

// Inserts a PcFolder item for folder under the context folder (with onlyWhereItBelongs: only
// when the folder belongs in it by the path rule), else under "PC"; labelled with the full path
// or the last component as fullFolderNames says.
CTreeItem* InsertPcFolder(CTreeModel& tree, const std::string& folder, CTreeItem* context,
                          bool fullFolderNames, bool onlyWhereItBelongs);

// The files of a folder that hold a whole disk (sector dumps, PC99 images of either density,
// HFE images), by their first bytes, in name order.
std::vector<std::string> DiskImagesInFolder(const std::string& folder);

// Folders and image files only: the item and all below it go.
bool CanDismount(NodeKind kind);
bool Dismount(CTreeModel& tree, CTreeItem* item);

// Under "PC" and folders only: "Dummy folder" as the last child; the parent is expanded.
CTreeItem* AddDummyFolder(CTreeModel& tree, CTreeItem* parent);

// Moves every disk child into the first dummy folder child whose "low-high" label range holds
// its text, then sorts the children by text (byte-wise).
void AlphaSort(CTreeModel& tree, CTreeItem* parent);

// Every PcFolder item shows its path or its label as fullFolderNames says.
void RelabelFolders(CTreeModel& tree, bool fullFolderNames);

// Moves an item with its children into a folder (or "PC"); refused for a folder into itself or
// one of its own descendants, and for items that are no folders or images.
bool MoveIntoFolder(CTreeModel& tree, CTreeItem* item, CTreeItem* folder);

// The internal clip of a tree item: "<%d> Disk: text" for drives, "<%d> Query: text" for
// queries; empty for other kinds.
std::string ItemClip(const CTreeItem& item);
// The number in the clip's leading "<%i>", or -1 when there is none.
int ClipSourceNumber(const std::string& clip);

// The catalog list's clip of the files it copied: "<%d> Files:" with the drive item's number,
// then "\r\n" and the FDR sector of each file.
std::string FilesClip(ItemId source, const std::vector<int>& fdrs);
bool IsFilesClip(const std::string& clip);
// The FDR sectors a files clip names: every following line that holds a number.
std::vector<int> ClipFileSectors(const std::string& clip);
// "<%d> Sector: %d": the sector named by a sector clip, or -1.
int ClipSectorNumber(const std::string& clip);
// Copies the files, each under its own name, from source onto target, all or none. A file of
// that name on the target is replaced only when the user says so: No keeps it and skips that
// file, Cancel copies nothing. A failure (a full disk, a bad sector) puts the target back as it
// was, with the drive's error text in error. Onto its own disk there is nothing to do.
// 1 done, 0 failed, -1 cancelled.
int CopyFilesOnto(CVirtualDrive& source, CVirtualDrive& target, const std::vector<int>& fdrs,
                  CUserPrompt& prompt, std::string& error);
// A files clip pasted, or the catalog rows it describes dropped, onto target: CopyFilesOnto from
// the clip's source item, which must still hold a drive (else -1, nothing to do).
int PasteFilesClip(CTreeModel& tree, const std::string& clip, CVirtualDrive& target,
                   CUserPrompt& prompt, std::string& error);

}  // namespace tavik
