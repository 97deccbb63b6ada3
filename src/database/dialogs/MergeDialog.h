// "Merge text file with database": what to do with disks, files, saved queries, parameters and
// settings found already, the file and the three separators.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "database/query/CatalogueExport.h"

class QButtonGroup;
class QLineEdit;

namespace tavik {

class CSeparatorRow;
class CUserPrompt;

class CMergeDialog : public QDialog {
    Q_OBJECT
public:
    CMergeDialog(CUserPrompt& prompt, std::function<std::string()> browse,
                 QWidget* parent = nullptr);

    MergeOptions Options() const;
    std::string Path() const;

    // 0 disks, 1 files, 2 queries, 3 params, 4 info; button ids in the order of the captions.
    QButtonGroup* Group(int i) const { return m_groups[i]; }
    QLineEdit* FileName() const { return m_path; }
    CSeparatorRow* Separator(int i) const { return m_separators[i]; }

    void accept() override;

private:
    CUserPrompt& m_prompt;
    QButtonGroup* m_groups[5];
    QLineEdit* m_path;
    CSeparatorRow* m_separators[3];
};

}  // namespace tavik
