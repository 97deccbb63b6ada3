// The left pane of the lower row: the sector map. It holds the drive the drive tree handed it;
// its drawing of the disk's sectors comes with the sector tools.
#pragma once

#include <QPlainTextEdit>

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

private:
    CVirtualDrive* m_drive = nullptr;
};

}  // namespace tavik
