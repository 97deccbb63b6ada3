#include "disk/dialogs/CopyModeDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavik {

CCopyModeDialog::CCopyModeDialog(QWidget* parent)
    : QDialog(parent), m_group(new QButtonGroup(this)) {
    setWindowTitle("Select disk copy mode");
    auto* layout = new QVBoxLayout(this);
    const char* const kChoices[] = {"All sectors", "Sectors marked \"used\"",
                                    "All files + disk info", "Files only"};
    for (int mode = 0; mode < 4; ++mode) {
        auto* button = new QRadioButton(kChoices[mode]);
        m_group->addButton(button, mode);
        layout->addWidget(button);
    }
    m_group->button(0)->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int CCopyModeDialog::Mode() const {
    return m_group->checkedId();
}

void CCopyModeDialog::SetMode(int mode) {
    if (auto* b = m_group->button(mode)) b->setChecked(true);
}

}  // namespace tavik
