// The sector editor's Sector menu: moves by sector, track, file sector and cluster, and the
// commands with dialogs (read, save as, compare, copy, mark) and the target swap.
#include <algorithm>
#include <cstdlib>

#include "base/UserPrompt.h"
#include "disk/SectorMoves.h"
#include "disk/VirtualDrive.h"
#include "disk/dialogs/SectorDialogs.h"
#include "qt/QtText.h"
#include "views/EditorView.h"

namespace tavik {

// ---- Moves ----------------------------------------------------------------------------------

bool CEditorView::RefreshFileSectors() {
    if (ReadFileSectors(*m_drive, std::abs(StayFile()), m_fileSectors)) return true;
    Fail(m_drive->ErrorText());
    return false;
}

void CEditorView::ShowPosition(int position) {
    if (position == m_filePosition) return;
    const int sector = SectorAtPosition(m_fileSectors, std::abs(StayFile()), position);
    if (sector >= 0) ShowSector(sector);
}

void CEditorView::Move(int step) {
    if (StayInFile()) {
        if (!RefreshFileSectors()) return;
        ShowPosition(step > 0 ? NextInFile(m_fileSectors, m_filePosition)
                              : PreviousInFile(m_fileSectors, m_filePosition));
        return;
    }
    const int n = m_sector + step;
    if (n >= 0 && n <= HighestReadable()) ShowSector(n);
}

void CEditorView::MoveTrack(int step) {
    if (StayInFile()) {
        if (!RefreshFileSectors()) return;
        ShowPosition(step > 0 ? NextClusterInFile(m_fileSectors, m_filePosition)
                              : PreviousClusterInFile(m_fileSectors, m_filePosition));
        return;
    }
    DiskInfo info;
    if (!m_drive->GetDiskInfo(info)) {
        Fail(m_drive->ErrorText());
        return;
    }
    const int n = step > 0 ? NextTrackStart(m_sector, info.doubleDensity, HighestReadable())
                           : PreviousTrackStart(m_sector, info.doubleDensity);
    if (n != m_sector) ShowSector(n);
}

// ---- Read, save, save as ---------------------------------------------------------------------

void CEditorView::ReadCommand() {
    CSectorNumberDialog dialog(CSectorNumberDialog::Kind::Read, m_sector, this);
    if (!Ran(dialog)) return;
    const std::optional<int> n =
        ReadSectorNumber(dialog.SectorText().toStdString(), HighestReadable());
    if (!n) {
        Fail(kInvalidSectorNumber);
        return;
    }
    ShowSector(*n);
}

void CEditorView::SaveCommand() {
    if (!m_drive->WriteSector(m_sector, m_edit.Bytes().data())) {
        Fail(m_drive->ErrorText());
        return;
    }
    // What is on the disk now is the buffer; a partner sector stays the reference.
    m_onDisk = m_edit.Bytes();
    if (!m_range.Contains(m_sector)) m_edit.AcceptBuffer();
    const Caret caret = CaretPosition();
    Redraw();
    SetCaretPosition(caret);
}

void CEditorView::SaveAsCommand() {
    CSectorNumberDialog dialog(CSectorNumberDialog::Kind::SaveAs, m_sector, this);
    dialog.SetToTarget(false);
    if (!Ran(dialog)) return;
    const std::optional<int> n =
        ReadSectorNumber(dialog.SectorText().toStdString(), HighestReadable());
    if (!n) {
        Fail(kInvalidSectorNumber);
        return;
    }
    if (dialog.ToTarget()) {
        CVirtualDrive* target = RequireTarget();
        if (target && !target->WriteSector(*n, m_edit.Bytes().data())) Fail(target->ErrorText());
        return;
    }
    if (!m_drive->WriteSector(*n, m_edit.Bytes().data())) {
        Fail(m_drive->ErrorText());
        return;
    }
    ShowSector(*n);
}

// ---- Compare, copy, mark ------------------------------------------------------------------------

void CEditorView::SetRangeMarks(bool on) {
    if (!m_range.Active()) return;
    std::vector<int> sectors;
    for (int s = m_range.first; s <= m_range.last; ++s)
        sectors.push_back(s);
    m_disk.MarkSectors(sectors, on, this);
}

bool CEditorView::CompareRangeAgain(std::vector<int>& differing) {
    std::string error;
    CompareSectorSpans(*m_drive, m_range.first, m_range.last - m_range.first + 1, *m_range.other,
                       m_range.otherFirst, m_prompt, differing, error);
    m_disk.MarkSectors(differing, true, this);
    if (!error.empty()) {
        Fail(error);
        return false;
    }
    return true;
}

void CEditorView::CompareCommand() {
    CSectorRunDialog dialog(CSectorRunDialog::Kind::Compare, Q(m_drive->GetDiskName()), m_sector,
                            Target() != nullptr, this);
    if (!Ran(dialog)) return;
    const int highest = HighestReadable() - 1;
    SectorSpan from, to;
    std::string error;
    if (!ReadSectorSpan(dialog.FromText().toStdString(), dialog.ToText().toStdString(), highest, 1,
                        from, error) ||
        !ReadSectorSpan(dialog.DestinationFromText().toStdString(),
                        dialog.DestinationToText().toStdString(), highest, from.Count(), to,
                        error)) {
        Fail(error);
        return;
    }
    CVirtualDrive* other = dialog.ToTarget() ? RequireTarget() : m_drive;
    if (!other) return;
    SetRangeMarks(false);
    m_range = {};
    const int count = std::min(from.Count(), to.Count());
    std::vector<int> differing;
    const int compared = CompareSectorSpans(*m_drive, from.first, count, *other, to.first, m_prompt,
                                            differing, error);
    m_disk.MarkSectors(differing, true, this);
    if (!error.empty()) {
        Fail(error);
        return;
    }
    if (compared > 0) m_range = {other, from.first, from.first + compared - 1, to.first};
    ShowSector(differing.empty() ? m_sector : differing.front());
}

void CEditorView::CopyCommand() {
    CSectorRunDialog dialog(CSectorRunDialog::Kind::Copy, Q(m_drive->GetDiskName()), m_sector,
                            Target() != nullptr, this);
    if (!Ran(dialog)) return;
    SectorSpan from, to;
    std::string error;
    if (!ReadSectorSpan(dialog.FromText().toStdString(), dialog.ToText().toStdString(),
                        HighestReadable(), 1, from, error) ||
        !ReadSectorSpan(dialog.DestinationFromText().toStdString(),
                        dialog.DestinationToText().toStdString(), HighestReadable(), from.Count(),
                        to, error)) {
        Fail(error);
        return;
    }
    CVirtualDrive* destination = dialog.ToTarget() ? RequireTarget() : m_drive;
    if (!destination) return;
    CopySectorSpan(*m_drive, from, *destination, to, dialog.MarkUsed(), m_prompt, error);
    if (!error.empty()) Fail(error);
    if (destination == m_drive) {
        m_disk.SectorsChanged(this);
        ShowSector(m_sector);
    }
}

void CEditorView::MarkCommand() {
    CSectorNumberDialog dialog(CSectorNumberDialog::Kind::Mark, m_sector, this);
    if (!Ran(dialog)) return;
    SectorSpan span;
    std::string error;
    if (!ReadSectorSpan(dialog.SectorText().toStdString(), dialog.LastText().toStdString(),
                        HighestReadable(), 1, span, error)) {
        Fail(error);
        return;
    }
    MarkSectorSpan(*m_drive, span, dialog.MarkFree(), error);
    if (!error.empty()) Fail(error);
    m_disk.SectorsChanged(this);
    ShowSector(m_sector);
}

// ---- Target disk ------------------------------------------------------------------------------

CTreeItem* CEditorView::ItemOfDrive(CVirtualDrive* drive) const {
    CTreeItem* found = nullptr;
    if (drive)
        m_tree.ForEach([&](CTreeItem& item) {
            if (!found && item.Drive() == drive) found = &item;
        });
    return found;
}

void CEditorView::MakeTarget(CTreeItem* item) {
    if (item && IsDriveKind(item->Kind()) && item->Drive()) m_disk.SetTarget(item);
}

void CEditorView::SwapTarget() {
    m_disk.SetStayFile(0, {}, this);
    m_fileSectors.clear();
    CVirtualDrive* shown = m_drive;
    CTreeItem* shownItem = ItemOfDrive(shown);
    if (!m_range.Active()) {
        CVirtualDrive* target = RequireTarget();
        if (!target || target == shown) {
            emit StatusChanged();
            return;
        }
        CTreeItem* targetItem = ItemOfDrive(target);
        if (!targetItem) return;
        m_disk.Show(targetItem, this);  // the target is the current disk now
        if (m_drive != target) SetDrive(target, targetItem->Id());
        MakeTarget(shownItem);
        return;
    }
    SetRangeMarks(false);
    const CompareRange swapped = m_range.Swapped(shown);
    const int sector = m_range.Contains(m_sector) ? m_range.Counterpart(m_sector) : m_sector;
    CVirtualDrive* other = m_range.other;
    if (other != shown) {
        CTreeItem* otherItem = ItemOfDrive(other);
        if (!otherItem) return;
        m_disk.Show(otherItem, this);
        if (m_drive != other) SetDrive(other, otherItem->Id());
        if (Target() == other) MakeTarget(shownItem);
    }
    m_range = swapped;
    std::vector<int> differing;
    CompareRangeAgain(differing);
    ShowSector(sector);
}

}  // namespace tavik
