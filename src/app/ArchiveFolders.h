// Archiver files in the drive tree: each archive of a disk is a folder item under the disk's
// item, listing the archive's members. The folders follow the disk's files: they are made again
// whenever the disk is listed or its files change, so they are never stale and never saved.
// The copy of members travels in the internal clip like a copy of files, and the paste rules
// of files hold for them (a file of the same name is replaced).
#pragma once

#include <string>
#include <vector>

#include "app/TreeModel.h"
#include "exchange/ArkFile.h"

namespace tavik {

// Gives the drive item one folder child per Archiver file of its disk, in catalog order:
// folders of archives that are gone (deleted, renamed, no longer an archive) go, new ones come,
// the others stay as they are. Other items do nothing.
void SyncArchiveFolders(CTreeModel& tree, CTreeItem* driveItem);

// The drive holding the archive of an archive item (null for other items).
CVirtualDrive* ArchiveDisk(const CTreeItem& archive);
// The archive's FDR sector on its disk; 0 with "NAME: File not found" or the drive's error.
int ArchiveFdr(const CTreeItem& archive, std::string& error);
// Reads the archive of an archive item. 0 with a message naming the archive when it cannot be
// read at all; a readable archive with damaged members gives 1 (CArkFile::FirstDamage).
int OpenArchiveItem(const CTreeItem& archive, CArkFile& ark, std::string& error);

// "<%d> Members:" with the archive item's number, then "\r\n" and each member's name.
std::string MembersClip(ItemId archive, const std::vector<std::string>& names);
bool IsMembersClip(const std::string& clip);
std::vector<std::string> ClipMemberNames(const std::string& clip);

// Paste of a members clip onto a disk: the members are written under their own names, all or
// none, replacing files of the same name. 1 or 0 with the message to show.
int PasteMembers(const CTreeModel& tree, const std::string& clip, CTiDisk& target,
                 std::string& error);
// Paste of files onto an archive item: they become members, replacing members of the same
// name; the archive is rewritten all or nothing. 1 or 0 with the message to show (naming the
// archive or the member to blame).
int PasteIntoArchive(CTreeItem& archive, CTiDisk& source, const std::vector<int>& fdrs,
                     std::string& error);

}  // namespace tavik
