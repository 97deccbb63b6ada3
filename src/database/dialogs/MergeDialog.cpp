#include "database/dialogs/MergeDialog.h"

#include <QButtonGroup>
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

CMergeDialog::CMergeDialog(CUserPrompt& prompt, std::function<std::string()> browse,
                           QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_path(new QLineEdit) {
    setWindowTitle("Merge text file with database");
    auto* layout = new QVBoxLayout(this);
    // Nothing recorded is overwritten unless asked for.
    layout->addWidget(RadioGroup(
        "Disks:",
        {"Overwrite if exists", "Skip if exist", "Create new entry", "Do not import disks"}, 1,
        m_groups[0], this));
    layout->addWidget(
        RadioGroup("Files:", {"Overwrite if exists", "Reuse if exists", "Create new entry"}, 1,
                   m_groups[1], this));
    const char* tables[] = {"Queries:", "Params:", "Info:"};
    for (int i = 0; i < 3; ++i)
        layout->addWidget(RadioGroup(tables[i],
                                     {"Overwrite if exists", "Skip if exists", "Do not import"}, 1,
                                     m_groups[2 + i], this));
    layout->addLayout(FileAndSeparatorsForm(m_path, browse, m_separators));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMergeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMergeDialog::reject);
    layout->addWidget(buttons);
}

std::string CMergeDialog::Path() const {
    return S(m_path->text().trimmed());
}

MergeOptions CMergeDialog::Options() const {
    auto id = [this](int g) { return std::max(0, m_groups[g]->checkedId()); };
    static const DiskMerge disks[] = {DiskMerge::Overwrite, DiskMerge::Skip, DiskMerge::CreateNew,
                                      DiskMerge::DoNotImport};
    static const FileMerge files[] = {FileMerge::Overwrite, FileMerge::Reuse, FileMerge::CreateNew};
    static const TableMerge tables[] = {TableMerge::Overwrite, TableMerge::Skip,
                                        TableMerge::DoNotImport};
    MergeOptions o;
    o.disks = disks[id(0)];
    o.files = files[id(1)];
    o.queries = tables[id(2)];
    o.params = tables[id(3)];
    o.info = tables[id(4)];
    o.separators.field = m_separators[0]->Bytes();
    o.separators.record = m_separators[1]->Bytes();
    o.separators.table = m_separators[2]->Bytes();
    return o;
}

void CMergeDialog::accept() {
    if (Path().empty()) {
        m_prompt.Message("Enter the name of the file to read", PromptIcon::Warning);
        return;
    }
    QDialog::accept();
}

}  // namespace tavik
