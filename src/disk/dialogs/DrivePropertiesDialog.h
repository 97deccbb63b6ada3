// "Drive properties": where a drive's sectors come from. For PC files the format (sector dump,
// PC99 track image, a CF-card volume, which is a sector dump of 0x64000 bytes at a start offset,
// or an HFE image), the file name, start, size and maximum size, and the sides and density of the
// image; for drives of the cabled TI-99/4A the subroutine link and CRU base; for emulator drives
// the device.
#pragma once

#include <QDialog>
#include <functional>

#include "disk/DrivePropertiesForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tavik {

class CDrivePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { PcFile, Remote, Emulator };
    explicit CDrivePropertiesDialog(Mode mode, QWidget* parent = nullptr);

    void SetForm(const DrivePropertiesForm& form);
    DrivePropertiesForm Form() const;
    // The PC file's name ("Name:"), for remote and emulator drives the drive's name.
    void SetPath(const QString& path);
    QString Path() const;
    // The "Browse" button asks this for a file name (empty: nothing chosen).
    void SetBrowse(std::function<QString(const QString& current)> browse) {
        m_browse = std::move(browse);
    }
    // Remote and emulator drives: the two words shown.
    void SetRemoteFields(const QString& subLink, const QString& cru);
    void SetEmulatorDevice(const QString& device);

    QComboBox* FormatBox() const { return m_format; }

private:
    void FormatChosen(int index);

    Mode m_mode;
    QComboBox* m_format;
    QLineEdit* m_name;
    QPushButton* m_browseButton;
    QLabel* m_startLabel;
    QLineEdit* m_start;
    QLabel* m_sizeLabel;
    QLineEdit* m_size;
    QLabel* m_maxLabel;
    QLineEdit* m_maxSize;
    QCheckBox* m_dd;
    QCheckBox* m_ds;
    std::function<QString(const QString&)> m_browse;
};

}  // namespace tavik
