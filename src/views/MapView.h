// The left pane of the lower row: the sector map. It holds the drive the drive tree handed it;
// its drawing of the disk's sectors comes with the sector tools.
#pragma once

#include <QPlainTextEdit>
#include <vector>

#include "views/Command.h"

namespace tavik {

class CVirtualDrive;

class CMapView : public QPlainTextEdit, public CCommandTarget {
    Q_OBJECT
public:
    explicit CMapView(QWidget* parent = nullptr);

    void SetDrive(CVirtualDrive* drive);
    void Clear();
    CVirtualDrive* Drive() const { return m_drive; }

    bool HandleCommand(CommandId id) override;

    // What the sector editor asks of the map: selecting a cell (red), moving the current cell
    // to the shown sector, and drawing the map again (which clears the selection).
    void SelectCell(int sector, bool on);
    void SetCurrentCell(int sector);
    void Redraw();
    bool IsCellSelected(int sector) const;
    int CurrentCell() const { return m_currentCell; }

private:
    CVirtualDrive* m_drive = nullptr;
    std::vector<bool> m_selected = std::vector<bool>(1600, false);
    int m_currentCell = 0;
};

}  // namespace tavik
