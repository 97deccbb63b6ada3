// The disk the four panes of the main window share: the drive item the drive tree selected
// (the catalog list lists it, the sector map and the sector editor show it), the sector editor's
// target disk, the file the editor stays in, and what the panes tell each other about that disk.
// A pane changes it through these calls and learns of changes as an observer; no pane holds
// another. The disk and the target are forgotten, and the observers told, before their tree
// items go.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/TreeModel.h"

namespace tavik {

class CVirtualDrive;

// Every notification names what happened; the pane that caused it is not told again.
class CDiskObserver {
public:
    virtual ~CDiskObserver() = default;
    // The disk to show (null: none); also when the same disk is to be shown again.
    virtual void DiskShown(CTreeItem* /*item*/) {}
    // Files of the disk changed (a file command, a replace in the map): list them again.
    virtual void FilesChanged() {}
    // Sectors were written or marked used or free outside the files' commands.
    virtual void SectorsChanged() {}
    // A pane stands on this sector now: the others follow.
    virtual void SectorShown(int /*sector*/) {}
    // Cells of the map to select (on) or deselect.
    virtual void SectorsMarked(const std::vector<int>& /*sectors*/, bool /*on*/) {}
    // The file whose FDR is at fdr is to be selected in the map.
    virtual void FileSelected(int /*fdr*/) {}
    // A sector of another drive (a pasted clip) goes into the editor's buffer.
    virtual void SectorPasted(CVirtualDrive& /*source*/, int /*sector*/) {}
    // What the map's search found in the sector shown.
    virtual void MatchFound(int /*offset*/, int /*length*/) {}
    virtual void StayFileChanged() {}
    virtual void TargetChanged() {}
};

class CCurrentDisk : private CTreeObserver {
public:
    explicit CCurrentDisk(CTreeModel& tree);
    ~CCurrentDisk() override;
    CCurrentDisk(const CCurrentDisk&) = delete;
    CCurrentDisk& operator=(const CCurrentDisk&) = delete;

    void AddObserver(CDiskObserver* observer);
    void RemoveObserver(CDiskObserver* observer);

    // A drive item of the tree becomes the disk shown (anything else: none).
    void Show(CTreeItem* item, CDiskObserver* from = nullptr);
    void Clear(CDiskObserver* from = nullptr);
    CTreeItem* Item() const { return m_item; }
    // Asked before another disk is shown in the panes' place (the sector editor's unsaved
    // edits): false keeps the disk shown.
    void SetLeaveGuard(std::function<bool()> guard) { m_leaveGuard = std::move(guard); }
    bool MayLeave() const { return !m_leaveGuard || m_leaveGuard(); }
    CVirtualDrive* Drive() const;
    ItemId Id() const { return m_item ? m_item->Id() : 0; }

    void FilesChanged(CDiskObserver* from);
    void SectorsChanged(CDiskObserver* from);
    void ShowSector(int sector, CDiskObserver* from);
    void MarkSectors(const std::vector<int>& sectors, bool on, CDiskObserver* from);
    void SelectFile(int fdr, CDiskObserver* from);
    void PasteSector(CVirtualDrive& source, int sector, CDiskObserver* from);
    void ShowMatch(int offset, int length, CDiskObserver* from);

    // The file the editor stays in: its FDR, positive while moves are confined to it, negative
    // while it is only remembered, 0 for none; and its name without trailing blanks.
    void SetStayFile(int fdr, const std::string& name, CDiskObserver* from = nullptr);
    int StayFile() const { return m_stayFile; }
    const std::string& StayFileName() const { return m_stayFileName; }

    // A drive item becomes the target (anything else: none); its text is the target's name.
    void SetTarget(CTreeItem* item);
    CTreeItem* TargetItem() const { return m_target; }
    CVirtualDrive* Target() const;
    const std::string& TargetName() const { return m_targetName; }

private:
    void AboutToRemove(CTreeItem* item) override;
    template <typename F>
    void Notify(CDiskObserver* from, F f) {
        for (CDiskObserver* o : std::vector<CDiskObserver*>(m_observers))
            if (o != from) f(*o);
    }

    CTreeModel& m_tree;
    std::vector<CDiskObserver*> m_observers;
    CTreeItem* m_item = nullptr;
    CTreeItem* m_target = nullptr;
    std::string m_targetName;
    int m_stayFile = 0;
    std::string m_stayFileName;
    std::function<bool()> m_leaveGuard;
};

}  // namespace tavik
