#include "app/TreeOperations.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/PathRules.h"
#include "base/CInteger.h"
#include "base/PcFile.h"
#include "base/UserPrompt.h"
#include "exchange/ClassifyPcFile.h"

namespace tavik {

namespace {

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string TrimLeft(std::string s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    return s.substr(i);
}

}  // namespace

CTreeItem* MountParent(CTreeModel& tree, CTreeItem* parent, const std::string& path) {
    if (parent && parent->Kind() == NodeKind::DummyFolder) return parent;
    if (parent && parent->Kind() == NodeKind::PcFolder &&
        BelongsInFolder(path, parent->Node().path))
        return parent;
    return tree.PcRootItem();
}

CTreeItem* MountByPath(CTreeModel& tree, const std::string& path, CTreeItem* parent,
                       std::string& error) {
    auto drive = std::make_unique<CVirtualDrive>();
    const int kind = drive->OpenImage(path);
    if (kind == 0) {
        error = drive->ErrorText();
        return nullptr;
    }
    DiskInfo info;
    if (!drive->GetDiskInfo(info)) {
        error = drive->ErrorText();
        return nullptr;
    }
    CTreeNode node(kind == DriveKind::DoadImage ? NodeKind::SectorImage : NodeKind::TrackImage,
                   path, info.name);
    node.drive = std::move(drive);
    std::string text = info.name;
    return tree.Insert(MountParent(tree, parent, path), std::move(node), std::move(text));
}

CTreeItem* InsertPcFolder(CTreeModel& tree, const std::string& folder, CTreeItem* context,
                          bool fullFolderNames, bool onlyWhereItBelongs) {
    const std::string path = RemoveTrailingSeparator(folder);
    CTreeItem* parent = tree.PcRootItem();
    if (context && IsFolderKind(context->Kind()) &&
        (!onlyWhereItBelongs || BelongsInFolder(path, context->Node().path)))
        parent = context;
    CTreeNode node(NodeKind::PcFolder, path, LastComponent(path));
    std::string text = fullFolderNames ? path : node.label;
    return tree.Insert(parent, std::move(node), std::move(text));
}

std::vector<std::string> DiskImagesInFolder(const std::string& folder) {
    std::vector<std::string> images;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const std::string path = entry.path().string();
        // Only the first 128 bytes are needed; the descriptor is released at once so that a
        // folder of thousands of images never holds more than one open for this.
        auto file = CDiskFile::Open(path, OpenMode::ReadOnly);
        if (!file) continue;
        const PcFileClass c = ClassifyPcFile(*file, path);
        file->Close();
        if (IsDiskKind(c.kind)) images.push_back(path);
    }
    std::sort(images.begin(), images.end());
    return images;
}

bool CanDismount(NodeKind kind) {
    return IsFolderOrImageKind(kind);
}

bool Dismount(CTreeModel& tree, CTreeItem* item) {
    if (!item || !CanDismount(item->Kind())) return false;
    tree.Remove(item);
    return true;
}

CTreeItem* AddDummyFolder(CTreeModel& tree, CTreeItem* parent) {
    if (!parent) return nullptr;
    const NodeKind k = parent->Kind();
    if (k != NodeKind::PcRoot && !IsFolderKind(k)) return nullptr;
    CTreeItem* item = tree.Insert(parent, CTreeNode(NodeKind::DummyFolder, "", kDummyFolderText),
                                  kDummyFolderText);
    tree.Expand(parent);
    return item;
}

void AlphaSort(CTreeModel& tree, CTreeItem* parent) {
    if (!parent) return;
    struct Range {
        CTreeItem* folder;
        std::string low, high;
    };
    std::vector<Range> ranges;
    std::vector<CTreeItem*> disks;
    for (int i = 0; i < parent->ChildCount(); ++i) {
        CTreeItem* child = parent->Child(i);
        if (child->Kind() >= NodeKind::SectorImage) disks.push_back(child);
        if (child->Kind() == NodeKind::DummyFolder) {
            const std::string& text = child->Text();
            const size_t dash = text.find('-');
            if (dash == std::string::npos) continue;
            std::string low = TrimRight(text.substr(0, dash));
            std::string high = TrimLeft(text.substr(dash + 1));
            // An empty bound is open: four 0xFF bytes sort above every name.
            if (high.empty()) high = std::string(4, '\xFF');
            ranges.push_back({child, low, high});
        }
    }
    for (CTreeItem* disk : disks) {
        const std::string& text = disk->Text();
        for (const Range& r : ranges) {
            // Neither below the low bound nor above the high bound, byte-wise.
            if (text.compare(r.low) >= 0 && text.compare(r.high) <= 0) {
                tree.Move(disk, r.folder);
                break;
            }
        }
    }
    tree.SortChildren(parent,
                      [](const CTreeItem& a, const CTreeItem& b) { return a.Text() < b.Text(); });
}

void RelabelFolders(CTreeModel& tree, bool fullFolderNames) {
    tree.ForEach([&](CTreeItem& item) {
        if (item.Kind() != NodeKind::PcFolder) return;
        const CTreeNode& n = item.Node();
        tree.SetText(&item, fullFolderNames || n.label.empty() ? n.path : n.label);
    });
}

bool MoveIntoFolder(CTreeModel& tree, CTreeItem* item, CTreeItem* folder) {
    if (!item || !folder) return false;
    const NodeKind k = item->Kind();
    if (!IsFolderOrImageKind(k)) return false;
    const NodeKind f = folder->Kind();
    if (f != NodeKind::PcRoot && !IsFolderKind(f)) return false;
    if (item->Contains(folder)) return false;  // a folder never moves into itself
    if (!tree.Move(item, folder)) return false;
    tree.Expand(folder);
    return true;
}

std::string ItemClip(const CTreeItem& item) {
    const std::string number = "<" + std::to_string(item.Id()) + ">";
    if (IsDriveKind(item.Kind())) return number + " Disk: " + item.Text();
    if (IsQueryKind(item.Kind())) return number + " Query: " + item.Text();
    return {};
}

int ClipSourceNumber(const std::string& clip) {
    if (clip.size() < 3 || clip[0] != '<') return -1;
    size_t used = 0;
    const auto n = ReadCInteger(std::string_view(clip).substr(1), used);
    if (!n || clip.size() <= used + 1 || clip[used + 1] != '>') return -1;
    return static_cast<int>(*n);
}

std::string FilesClip(ItemId source, const std::vector<int>& fdrs) {
    std::string clip = "<" + std::to_string(source) + "> Files:";
    for (int fdr : fdrs)
        clip += "\r\n" + std::to_string(fdr);
    return clip;
}

bool IsFilesClip(const std::string& clip) {
    const size_t end = clip.find('>');
    return ClipSourceNumber(clip) >= 0 && clip.compare(end + 1, 7, " Files:") == 0;
}

std::vector<int> ClipFileSectors(const std::string& clip) {
    std::vector<int> fdrs;
    size_t line = clip.find('\n');
    while (line != std::string::npos) {
        const size_t next = clip.find('\n', line + 1);
        std::string_view text(clip.data() + line + 1,
                              (next == std::string::npos ? clip.size() : next) - line - 1);
        while (!text.empty() && (text.front() == ' ' || text.front() == '\r'))
            text.remove_prefix(1);
        size_t used = 0;
        if (const auto n = ReadCInteger(text, used); n && *n >= 0 && *n <= 0xFFFF)
            fdrs.push_back(static_cast<int>(*n));
        line = next;
    }
    return fdrs;
}

int ClipSectorNumber(const std::string& clip) {
    const size_t end = clip.find('>');
    if (ClipSourceNumber(clip) < 0 || clip.compare(end + 1, 9, " Sector: ") != 0) return -1;
    size_t used = 0;
    const auto n = ReadCInteger(std::string_view(clip).substr(end + 10), used);
    return n && *n >= 0 && *n <= 0xFFFF ? static_cast<int>(*n) : -1;
}

int CopyFilesOnto(CVirtualDrive& source, CVirtualDrive& target, const std::vector<int>& fdrs,
                  CUserPrompt& prompt, std::string& error) {
    if (source.SameVolume(target)) return 1;
    // Every question is asked before the target changes, so that Cancel leaves it untouched.
    std::vector<int> wanted;
    for (int fdr : fdrs) {
        FileInfo info;
        if (!source.GetFileInfo(fdr, info)) {
            error = source.ErrorText();
            return 0;
        }
        const int existing = target.FindFile(info.name);
        if (existing < 0) {
            error = target.ErrorText();
            return 0;
        }
        if (existing > 0) {
            const PromptAnswer answer =
                prompt.Ask(TrimRight(info.name) +
                               " already exists on the target disk.\nDo you want to replace it?",
                           PromptButtons::YesNoCancel);
            if (answer == PromptAnswer::Cancel) return -1;
            if (answer != PromptAnswer::Yes) continue;
        }
        wanted.push_back(fdr);
    }
    CAllOrNothing change(target);
    for (int fdr : wanted) {
        if (!source.CopyFile(target, fdr, {})) {
            error = source.ErrorText();
            return 0;
        }
    }
    change.Keep();
    return 1;
}

int PasteFilesClip(CTreeModel& tree, const std::string& clip, CVirtualDrive& target,
                   CUserPrompt& prompt, std::string& error) {
    const CTreeItem* source = IsFilesClip(clip) ? tree.Find(ClipSourceNumber(clip)) : nullptr;
    if (!source || !source->Drive()) return -1;
    return CopyFilesOnto(*source->Drive(), target, ClipFileSectors(clip), prompt, error);
}

}  // namespace tavik
