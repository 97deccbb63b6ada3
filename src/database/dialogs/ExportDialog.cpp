#include "database/dialogs/ExportDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/UserPrompt.h"
#include "database/dialogs/RadioGroup.h"
#include "database/dialogs/SeparatorRow.h"
#include "qt/QtText.h"

namespace tavik {

CExportDialog::CExportDialog(CUserPrompt& prompt, std::function<std::string()> browse,
                             QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_path(new QLineEdit) {
    setWindowTitle("Export database to text file");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        RadioGroup("Disks:", {"All records", "Current set", "None"}, 0, m_disks, this));
    layout->addWidget(RadioGroup(
        "Files:", {"All records", "Current set", "None", "From above disks"}, 0, m_files, this));
    auto* tables = new QHBoxLayout;
    const char* captions[] = {"Saved queries", "Parameters", "Info table", "Relationships table"};
    for (int i = 0; i < 4; ++i) {
        m_tables[i] = new QCheckBox(captions[i]);
        m_tables[i]->setChecked(true);
        tables->addWidget(m_tables[i]);
    }
    tables->addStretch();
    layout->addLayout(tables);

    layout->addLayout(FileAndSeparatorsForm(m_path, browse, m_separators));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CExportDialog::reject);
    layout->addWidget(buttons);
}

std::string CExportDialog::Path() const {
    return S(m_path->text().trimmed());
}

ExportOptions CExportDialog::Options() const {
    static const ExportRows rows[] = {ExportRows::All, ExportRows::CurrentSet, ExportRows::None,
                                      ExportRows::FromAboveDisks};
    ExportOptions o;
    o.disks = rows[std::max(0, m_disks->checkedId())];
    o.files = rows[std::max(0, m_files->checkedId())];
    o.queries = m_tables[0]->isChecked();
    o.params = m_tables[1]->isChecked();
    o.info = m_tables[2]->isChecked();
    o.links = m_tables[3]->isChecked();
    o.separators.field = m_separators[0]->Bytes();
    o.separators.record = m_separators[1]->Bytes();
    o.separators.table = m_separators[2]->Bytes();
    return o;
}

void CExportDialog::accept() {
    if (Path().empty()) {
        m_prompt.Message("Enter the name of the file to write", PromptIcon::Warning);
        return;
    }
    QDialog::accept();
}

}  // namespace tavik
