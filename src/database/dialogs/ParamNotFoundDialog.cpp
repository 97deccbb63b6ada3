#include "database/dialogs/ParamNotFoundDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/CInteger.h"
#include "base/UserPrompt.h"
#include "qt/DialogRunner.h"
#include "qt/QtText.h"

namespace tavik {

CParamNotFoundDialog::CParamNotFoundDialog(CUserPrompt& prompt, const std::string& name,
                                           QWidget* parent)
    : QDialog(parent), m_prompt(prompt) {
    setWindowTitle("Parameter not found");
    m_name = new QLabel(Q(name));
    m_name->setObjectName("parameterName");
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_value = new QLineEdit;
    m_value->setObjectName("value");
    m_value->setMinimumWidth(260);

    auto* type = new QGroupBox("Type");
    auto* typeRow = new QHBoxLayout(type);
    auto* group = new QButtonGroup(this);
    const char* texts[] = {"Auto", "Text", "Number", "Boolean"};
    for (int i = 0; i < 4; ++i) {
        m_choices[i] = new QRadioButton(texts[i]);
        group->addButton(m_choices[i], i);
        typeRow->addWidget(m_choices[i]);
    }
    m_choices[0]->setChecked(true);
    m_save = new QCheckBox("Save into database");

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel("Enter value for parameter:"));
    nameRow->addWidget(m_name, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(m_value);
    layout->addWidget(type);
    layout->addWidget(m_save);
    layout->addWidget(buttons);
    m_value->setFocus();
}

QRadioButton* CParamNotFoundDialog::ChoiceButton(ParamChoice choice) const {
    return m_choices[static_cast<int>(choice)];
}

ParamAnswer CParamNotFoundDialog::Answer() const {
    ParamAnswer a;
    a.value = S(m_value->text());
    for (int i = 0; i < 4; ++i)
        if (m_choices[i]->isChecked()) a.choice = static_cast<ParamChoice>(i);
    a.saveIntoDatabase = m_save->isChecked();
    return a;
}

void CParamNotFoundDialog::accept() {
    if (m_choices[static_cast<int>(ParamChoice::Number)]->isChecked() &&
        !ReadCInteger(S(m_value->text()))) {
        m_prompt.Message("Enter a number (decimal, 0x hexadecimal or 0 octal).",
                         PromptIcon::Warning);
        return;  // the dialog stays open
    }
    QDialog::accept();
}

bool CQtParamAsker::AskParameter(const std::string& name, ParamAnswer& answer) {
    CParamNotFoundDialog dialog(m_prompt, name, m_parent);
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    answer = dialog.Answer();
    return true;
}

}  // namespace tavik
