// The disk and file record dialogs: every column of the current row of a Disks or Files set,
// with First, Previous, Next, Last, Refresh, Delete and "Expand >>" (the files on the disk, or
// the disks that hold the file). Changed fields are written when the dialog moves to another
// row or closes with OK. Reviewing the files of a scan adds "Finish", which ends the reviews.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tavik {

class CRecordSet;
class CUserPrompt;

class CRecordDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Disk, File };
    CRecordDialog(Kind kind, CRecordSet& set, CUserPrompt& prompt, bool withFinish,
                  QWidget* parent = nullptr);

    // True when "Finish" ended the dialog.
    bool Finished() const { return m_finished; }
    QLineEdit* Field(const std::string& column) const;
    QTreeWidget* ExpandList() const { return m_expand; }

    enum Move { First, Previous, Next, Last };
    void MoveTo(Move move);
    // Writes the changed fields into the current row; false (the engine's description shown)
    // when the row could not be written.
    bool Store();
    void Refresh();
    void DeleteRecord();
    void ToggleExpand();

    void accept() override;

private:
    void Load();
    void FillExpand();

    Kind m_kind;
    CRecordSet& m_set;
    CUserPrompt& m_prompt;
    std::vector<QLineEdit*> m_fields;  // by the set's field position
    std::vector<std::string> m_loaded;
    QTreeWidget* m_expand;
    QPushButton* m_expandButton = nullptr;
    bool m_finished = false;
};

}  // namespace tavik
