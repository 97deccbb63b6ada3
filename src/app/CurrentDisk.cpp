#include "app/CurrentDisk.h"

#include <algorithm>

#include "app/ArchiveFolders.h"

namespace tavik {

namespace {

bool HoldsDrive(const CTreeItem* item) {
    return item && IsDriveKind(item->Kind()) && item->Drive();
}

}  // namespace

CCurrentDisk::CCurrentDisk(CTreeModel& tree) : m_tree(tree) {
    m_tree.AddObserver(this);
}

CCurrentDisk::~CCurrentDisk() {
    m_tree.RemoveObserver(this);
}

void CCurrentDisk::AddObserver(CDiskObserver* observer) {
    m_observers.push_back(observer);
}

void CCurrentDisk::RemoveObserver(CDiskObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

CVirtualDrive* CCurrentDisk::Drive() const {
    return m_item ? m_item->Drive() : nullptr;
}

CVirtualDrive* CCurrentDisk::Target() const {
    return m_target ? m_target->Drive() : nullptr;
}

void CCurrentDisk::Show(CTreeItem* item, CDiskObserver* from) {
    // An archive is shown on its disk: the list lists the archive, the other panes the disk.
    const ItemId archive = item && item->Kind() == NodeKind::ArchiveFile ? item->Id() : 0;
    if (archive) item = item->Parent();
    if (!HoldsDrive(item)) item = nullptr;
    SyncArchiveFolders(m_tree, item);
    m_archive = archive && item ? m_tree.Find(archive) : nullptr;
    if (item != m_item) {
        // The stay-in-file file belongs to the disk it was chosen on.
        m_stayFile = 0;
        m_stayFileName.clear();
    }
    m_item = item;
    Notify(from, [&](CDiskObserver& o) { o.DiskShown(item); });
}

void CCurrentDisk::Clear(CDiskObserver* from) {
    Show(nullptr, from);
}

void CCurrentDisk::FilesChanged(CDiskObserver* from) {
    SyncArchiveFolders(m_tree, m_item);
    Notify(from, [](CDiskObserver& o) { o.FilesChanged(); });
}

void CCurrentDisk::SectorsChanged(CDiskObserver* from) {
    Notify(from, [](CDiskObserver& o) { o.SectorsChanged(); });
}

void CCurrentDisk::ShowSector(int sector, CDiskObserver* from) {
    Notify(from, [&](CDiskObserver& o) { o.SectorShown(sector); });
}

void CCurrentDisk::MarkSectors(const std::vector<int>& sectors, bool on, CDiskObserver* from) {
    if (sectors.empty()) return;
    Notify(from, [&](CDiskObserver& o) { o.SectorsMarked(sectors, on); });
}

void CCurrentDisk::SelectFile(int fdr, CDiskObserver* from) {
    Notify(from, [&](CDiskObserver& o) { o.FileSelected(fdr); });
}

void CCurrentDisk::PasteSector(CVirtualDrive& source, int sector, CDiskObserver* from) {
    Notify(from, [&](CDiskObserver& o) { o.SectorPasted(source, sector); });
}

void CCurrentDisk::ShowMatch(int offset, int length, CDiskObserver* from) {
    Notify(from, [&](CDiskObserver& o) { o.MatchFound(offset, length); });
}

void CCurrentDisk::SetStayFile(int fdr, const std::string& name, CDiskObserver* from) {
    m_stayFile = fdr;
    m_stayFileName = fdr == 0 ? std::string() : name.substr(0, name.find_last_not_of(' ') + 1);
    Notify(from, [](CDiskObserver& o) { o.StayFileChanged(); });
}

void CCurrentDisk::SetTarget(CTreeItem* item) {
    m_target = HoldsDrive(item) ? item : nullptr;
    m_targetName = m_target ? m_target->Text() : std::string();
    Notify(nullptr, [](CDiskObserver& o) { o.TargetChanged(); });
}

void CCurrentDisk::AboutToRemove(CTreeItem* item) {
    if (m_target && item->Contains(m_target)) SetTarget(nullptr);
    if (m_archive && item->Contains(m_archive)) m_archive = nullptr;
    if (m_item && item->Contains(m_item)) Clear();
}

}  // namespace tavik
