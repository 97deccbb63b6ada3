// "Disk properties": the volume's name, sides, density, protection, size, stamps and geometry,
// used by the disk-properties and the format commands. OK reads the fields back with their
// checks; an invalid entry shows its message and the dialog stays open.
#pragma once

#include <QDialog>

#include "disk/DiskPropertiesForm.h"
#include "disk/DiskTypes.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tavik {

class CStampsBox;
class CUserPrompt;

class CDiskPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    CDiskPropertiesDialog(CUserPrompt& prompt, QWidget* parent = nullptr);

    // Fills the fields from a disk's record ("Free:" and "Files:" are shown only).
    void SetRecord(const DiskProperties& record);
    DiskPropertiesForm Form() const;
    void SetForm(const DiskPropertiesForm& form);

    void accept() override;

private:
    CUserPrompt& m_prompt;
    QLineEdit* m_name;
    QCheckBox* m_ds;
    QCheckBox* m_dd;
    QCheckBox* m_protected;
    QLineEdit* m_sectors;
    QLabel* m_free;
    QLabel* m_files;
    CStampsBox* m_stamps;
    QLineEdit* m_tracks;
    QLineEdit* m_perTrack;
};

}  // namespace tavik
