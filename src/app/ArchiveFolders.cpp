#include "app/ArchiveFolders.h"

#include <algorithm>

#include "app/TreeOperations.h"
#include "disk/Catalog.h"
#include "exchange/ArkTransfer.h"

namespace tavik {

namespace {

constexpr const char* kMembersTag = " Members:";

// The names of the disk's Archiver files in catalog order.
std::vector<std::string> ArchiveNames(CVirtualDrive& drive) {
    std::vector<std::string> names;
    int position = 0;
    for (int guard = 0; guard < 128; ++guard) {
        const int fdr = drive.NextFdr(position);
        if (fdr <= 0) break;
        if (!IsArkFile(drive, fdr)) continue;
        const std::string name = drive.GetFileName(fdr);
        names.push_back(TrimmedName(reinterpret_cast<const uint8_t*>(name.data()), name.size()));
    }
    return names;
}

}  // namespace

void SyncArchiveFolders(CTreeModel& tree, CTreeItem* driveItem) {
    if (!driveItem || !IsDriveKind(driveItem->Kind()) || !driveItem->Drive()) return;
    const std::vector<std::string> names = ArchiveNames(*driveItem->Drive());
    tree.RemoveChildren(driveItem, [&](const CTreeItem& child) {
        return child.Kind() != NodeKind::ArchiveFile ||
               std::find(names.begin(), names.end(), child.Node().label) != names.end();
    });
    // What stayed is in catalog order already: each new folder goes in at its own place.
    for (size_t i = 0; i < names.size(); ++i) {
        const int row = static_cast<int>(i);
        const CTreeItem* there = row < driveItem->ChildCount() ? driveItem->Child(row) : nullptr;
        if (there && there->Kind() == NodeKind::ArchiveFile && there->Node().label == names[i])
            continue;
        tree.Insert(driveItem, CTreeNode(NodeKind::ArchiveFile, {}, names[i]), names[i], row);
    }
}

CVirtualDrive* ArchiveDisk(const CTreeItem& archive) {
    if (archive.Kind() != NodeKind::ArchiveFile || !archive.Parent()) return nullptr;
    return archive.Parent()->Drive();
}

int ArchiveFdr(const CTreeItem& archive, std::string& error) {
    CVirtualDrive* disk = ArchiveDisk(archive);
    if (!disk) {
        error = archive.Node().label + ": File not found";
        return 0;
    }
    const int fdr = disk->FindFile(archive.Node().label);
    if (fdr > 0) return fdr;
    error = fdr == 0 ? archive.Node().label + ": File not found" : disk->ErrorText();
    return 0;
}

int OpenArchiveItem(const CTreeItem& archive, CArkFile& ark, std::string& error) {
    const int fdr = ArchiveFdr(archive, error);
    return fdr && OpenArk(*ArchiveDisk(archive), fdr, ark, error);
}

std::string MembersClip(ItemId archive, const std::vector<std::string>& names) {
    std::string clip = "<" + std::to_string(archive) + ">" + kMembersTag;
    for (const std::string& name : names)
        clip += "\r\n" + name;
    return clip;
}

bool IsMembersClip(const std::string& clip) {
    const size_t end = clip.find('>');
    const std::string tag = kMembersTag;
    return ClipSourceNumber(clip) >= 0 && clip.compare(end + 1, tag.size(), tag) == 0;
}

std::vector<std::string> ClipMemberNames(const std::string& clip) {
    std::vector<std::string> names;
    size_t line = clip.find('\n');
    while (line != std::string::npos) {
        const size_t next = clip.find('\n', line + 1);
        std::string name =
            clip.substr(line + 1, (next == std::string::npos ? clip.size() : next) - line - 1);
        while (!name.empty() && (name.back() == '\r' || name.back() == ' '))
            name.pop_back();
        if (!name.empty()) names.push_back(name);
        line = next;
    }
    return names;
}

int PasteMembers(const CTreeModel& tree, const std::string& clip, CTiDisk& target,
                 std::string& error) {
    const CTreeItem* archive = tree.Find(ClipSourceNumber(clip));
    if (!archive || archive->Kind() != NodeKind::ArchiveFile) {
        error = "The archive copied from is no longer there";
        return 0;
    }
    const std::vector<std::string> names = ClipMemberNames(clip);
    if (names.empty()) return 1;
    CArkFile ark;
    return OpenArchiveItem(*archive, ark, error) &&
           ExtractArkMembers(ark, names, target, true, error);
}

int PasteIntoArchive(CTreeItem& archive, CTiDisk& source, const std::vector<int>& fdrs,
                     std::string& error) {
    const int fdr = ArchiveFdr(archive, error);
    if (!fdr) return 0;
    return AddToArk(*ArchiveDisk(archive), fdr, source, fdrs, true, error);
}

}  // namespace tavik
