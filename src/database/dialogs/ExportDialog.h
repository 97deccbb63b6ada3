// "Export database to text file": which disks and files, which other tables, the file and the
// three separators.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "database/query/CatalogueExport.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace tavik {

class CSeparatorRow;
class CUserPrompt;

class CExportDialog : public QDialog {
    Q_OBJECT
public:
    // browse: the file chooser behind "Browse" ("" for Cancel).
    CExportDialog(CUserPrompt& prompt, std::function<std::string()> browse,
                  QWidget* parent = nullptr);

    ExportOptions Options() const;
    std::string Path() const;

    QButtonGroup* Disks() const { return m_disks; }
    QButtonGroup* Files() const { return m_files; }
    QLineEdit* FileName() const { return m_path; }
    QCheckBox* Tables(int i) const { return m_tables[i]; }  // queries, params, info, links
    CSeparatorRow* Separator(int i) const { return m_separators[i]; }

    void accept() override;

private:
    CUserPrompt& m_prompt;
    QButtonGroup* m_disks;
    QButtonGroup* m_files;
    QCheckBox* m_tables[4];
    QLineEdit* m_path;
    CSeparatorRow* m_separators[3];
};

}  // namespace tavik
