// "Duplicate found": the rows a disk scan found recorded already, and what to do about them.
// Modes 0 and 1 offer "Create new entry" and "Cancel" over a list of disks; mode 2 ("Select disk
// to update") offers "Overwrite", "Cancel" and an ID box with "Check ID"; mode 3 lists files and
// offers "Create new entry", "Use old entry", "Update old" and "Do this for all files on this
// disk". The row with the focus (in modes 0 to 2 the last one to start with) is the chosen one.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "base/UserPrompt.h"
#include "database/ScanDialogs.h"

class QCheckBox;
class QLineEdit;
class QTreeWidget;

namespace tavik {

class CDuplicateDialog : public QDialog {
    Q_OBJECT
public:
    // checkId answers "Check ID" (true when the disk exists); it may be empty outside mode 2.
    // The prompt says when an ID is not found.
    CDuplicateDialog(DuplicateMode mode, const std::vector<DuplicateCandidate>& rows,
                     std::function<bool(int)> checkId, CUserPrompt& prompt,
                     QWidget* parent = nullptr);

    int Mode() const { return m_mode; }
    // The answer after the dialog ended (Cancel when it was closed otherwise).
    DuplicateAnswer Answer() const;
    // Ends the dialog as if the button were pressed.
    void Press(DuplicateButton button);
    QTreeWidget* List() const { return m_list; }
    QLineEdit* IdBox() const { return m_id; }
    QCheckBox* ForAllBox() const { return m_forAll; }
    // "Check ID": false (after "ID not found in database") when the typed ID names no disk.
    bool CheckId();

private:
    int m_mode;
    CUserPrompt& m_prompt;
    std::function<bool(int)> m_checkId;
    QTreeWidget* m_list;
    QLineEdit* m_id = nullptr;
    QCheckBox* m_forAll = nullptr;
    DuplicateButton m_button = DuplicateButton::Cancel;
};

}  // namespace tavik
