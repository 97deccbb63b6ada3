// The right pane of the lower row: the sector editor. It holds the drive the drive tree handed
// it and shows its current sector as a hexadecimal dump; editing comes with the sector tools.
#pragma once

#include <QPlainTextEdit>

#include "views/Command.h"

namespace tavik {

class CVirtualDrive;

class CEditorView : public QPlainTextEdit, public CCommandTarget {
    Q_OBJECT
public:
    explicit CEditorView(QWidget* parent = nullptr);

    // Takes the drive, starting at sector 0 with file-confined moves off.
    void SetDrive(CVirtualDrive* drive);
    void Clear();
    CVirtualDrive* Drive() const { return m_drive; }
    int CurrentSector() const { return m_sector; }
    bool StayInFile() const { return m_stayInFile; }
    CVirtualDrive* Target() const { return m_target; }
    void SetTarget(CVirtualDrive* target) { m_target = target; }
    QString TargetName() const { return m_targetName; }
    void SetTargetName(const QString& name) { m_targetName = name; }

    bool HandleCommand(CommandId id) override;

private:
    void ShowSector(int n);

    CVirtualDrive* m_drive = nullptr;
    CVirtualDrive* m_target = nullptr;
    QString m_targetName;
    int m_sector = 0;
    bool m_stayInFile = false;
};

}  // namespace tavik
