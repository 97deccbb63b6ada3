// "File properties" and "Create file": a TI file's name, type, protection, sizes, stamps and
// cluster list. OK reads the fields back with their checks; an invalid entry shows its
// message and the dialog stays open. The create form offers "Prog", "DV80" and "DF80" and
// hides the fields a new file does not have yet.
#pragma once

#include <QDialog>

#include "disk/FilePropertiesForm.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace tavik {

class CStampsBox;
class CUserPrompt;

class CFilePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { Properties, Create };
    CFilePropertiesDialog(Mode mode, CUserPrompt& prompt, QWidget* parent = nullptr);

    void SetForm(const FilePropertiesForm& form);
    FilePropertiesForm Form() const;
    void SetFdrSector(int fdr);

    QLineEdit* NameEdit() const { return m_name; }
    QComboBox* TypeBox() const { return m_type; }
    QLabel* RecordsLabel() const { return m_recordsLabel; }
    QPlainTextEdit* ClustersEdit() const { return m_clusters; }

    void accept() override;

private:
    void TypeChanged();

    Mode m_mode;
    CUserPrompt& m_prompt;
    QLineEdit* m_name;
    QComboBox* m_type;
    QCheckBox* m_protected;
    QLineEdit* m_sectors;
    QLabel* m_recordsLabel;
    QLineEdit* m_records;
    QLineEdit* m_lastByte;
    QLineEdit* m_perSector;
    QLabel* m_fdr;
    CStampsBox* m_stamps;
    QPlainTextEdit* m_clusters;
    QString m_originalClusters;
};

}  // namespace tavik
