// The right pane of the lower row: the sector editor. It shows one sector of the current disk
// as a hexadecimal and character dump that the user edits in place (the
// rules live in CSectorEditBuffer), paints the bytes that differ from the reference copy red,
// and runs the Sector menu: moves by sector, track, file sector and cluster, read, save, save
// as, compare, copy, mark and swap target.
#pragma once

#include <QPlainTextEdit>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/Command.h"
#include "app/CurrentDisk.h"
#include "app/TreeModel.h"
#include "disk/SectorEditBuffer.h"
#include "disk/SectorRanges.h"
#include "views/PaneContext.h"

class QDialog;

namespace tavik {

class COptions;
class CUserPrompt;
class CVirtualDrive;

class CEditorView : public QPlainTextEdit,
                    public CCommandTarget,
                    public CTreeObserver,
                    public CDiskObserver {
    Q_OBJECT
public:
    // Messages, the Insert key and the F4 poll go through the context's prompt; the tree
    // resolves clips and drops; the current disk carries the target and the shown sector to and
    // from the map.
    explicit CEditorView(const PaneContext& context, QWidget* parent = nullptr);
    ~CEditorView() override;

    // Takes the drive and shows its sector 0, with no file, no compare range and the target
    // kept. The same drive again shows the current sector again and keeps the rest. itemId:
    // the drive item's number, named in the sector clips Copy writes.
    void SetDrive(CVirtualDrive* drive, int itemId = 0);
    void Clear();
    CVirtualDrive* Drive() const { return m_drive; }
    int CurrentSector() const { return m_sector; }

    // Shows sector n (0 to 1600, or past it on a larger disk) of the drive: false, with the error
    // shown, when it cannot be read. The map's current cell follows.
    bool ShowSector(int n);
    // Makes the file whose FDR is at `fdr` the stay-in-file file: moves are confined to it
    // while fdr is positive, a negative fdr only remembers it, 0 drops it.
    void SetStayInFile(int fdr, const std::string& name);
    bool StayInFile() const { return StayFile() > 0; }
    bool FileHighlighted() const { return StayFile() != 0; }
    // The position of the shown sector in that file: -1 for its FDR, -2 outside it.
    int FilePosition() const { return m_filePosition; }
    // The stay-in-file file's FDR, signed as "Stay in file" is set (0 for none), and its label.
    int StayFile() const { return m_disk.StayFile(); }
    const std::string& FileLabel() const { return m_disk.StayFileName(); }

    CVirtualDrive* Target() const { return m_disk.Target(); }
    // A target disk or a compare range to swap with.
    bool CanSwap() const { return Target() || m_range.Active(); }
    const CompareRange& Range() const { return m_range; }

    // A pasted "Sector" clip: the sector of another drive goes into the buffer and is shown
    // (the editor's own drive and sector number stay; nothing is written until Save). False
    // with error set on a read failure.
    bool LoadSector(CVirtualDrive& source, int n, std::string& error);
    // The buffer holds bytes not yet written to the shown sector (typed or pasted).
    bool HasUnsavedEdits() const { return m_drive && m_edit.Bytes() != m_onDisk; }
    // Before the editor leaves an edited sector: "Save", "Discard" (the sector is shown as it
    // is on the disk) or "Cancel". True when the sector may be left.
    bool ConfirmLeave();
    const Sector& Buffer() const { return m_edit.Bytes(); }
    const Sector& Reference() const { return m_edit.Reference(); }

    Caret CaretPosition() const;
    void SetCaretPosition(Caret caret);

    // The status bar panes: "%d: %02X" (sector and byte under the caret, empty without a
    // drive), the file label with " [FDR]" or " [%d]" or "No file selected", and "To " with
    // the target's name or "No target disk".
    QString SectorStatus() const;
    QString FileStatus() const;
    QString TargetStatus() const;

    bool HandleCommand(CommandId id) override;
    bool HasHandler(CommandId id) const override;
    bool IsEnabledHere(CommandId id, const CommandState& state) const override;

signals:
    // The shown sector, the caret, the file or the target changed.
    void StatusChanged();

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // The dialogs accept 0 to 1600, or to the sector count of a larger drive.
    int HighestReadable() const;

    void AboutToRemove(CTreeItem* item) override;
    void DiskShown(CTreeItem* item) override;
    void SectorsChanged() override;
    void SectorShown(int sector) override;
    void SectorPasted(CVirtualDrive& source, int sector) override;
    void MatchFound(int offset, int length) override;
    void StayFileChanged() override;
    void TargetChanged() override;
    bool ShowsCurrentDisk() const;
    // The file sectors of the stay-in-file file, read again.
    void ReadStayFile();

    void Redraw();
    void Fail(const std::string& text);
    // Runs a dialog of the Sector menu: false when it was cancelled.
    static bool Ran(QDialog& dialog);
    // The target, or the message that there is none.
    CVirtualDrive* RequireTarget();
    void ShowPosition(int position);
    bool RefreshFileSectors();
    void Move(int step);
    void MoveTrack(int step);
    void ReadCommand();
    void SaveCommand();
    void SaveAsCommand();
    void CompareCommand();
    void CopyCommand();
    void MarkCommand();
    void SwapTarget();
    void CopyClip();
    void PasteClip();
    void DeleteKey();
    // Compares every pair of the range again and selects the differing source sectors in the
    // map; false after a read failure (shown).
    bool CompareRangeAgain(std::vector<int>& differing);
    void SetRangeMarks(bool on);
    CTreeItem* ItemOfDrive(CVirtualDrive* drive) const;
    void MakeTarget(CTreeItem* item);

    CTreeModel& m_tree;
    const COptions& m_options;
    CUserPrompt& m_prompt;
    std::string& m_clip;
    CCurrentDisk& m_disk;

    CVirtualDrive* m_drive = nullptr;
    int m_itemId = 0;
    int m_sector = 0;
    CSectorEditBuffer m_edit;
    Sector m_onDisk{};               // the shown sector as read or last saved
    std::vector<int> m_fileSectors;  // of the current disk's stay-in-file file
    int m_filePosition = -2;
    CompareRange m_range;
};

}  // namespace tavik
