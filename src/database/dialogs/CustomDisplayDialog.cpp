#include "database/dialogs/CustomDisplayDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/UserPrompt.h"
#include "database/dialogs/DisplayBuilderRow.h"
#include "qt/QtText.h"

namespace tavik {

CCustomDisplayDialog::CCustomDisplayDialog(CUserPrompt& prompt, DisplayTargets targets,
                                           QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_customizer(std::move(targets)) {
    setWindowTitle("Customized display");
    m_applyTo = new QComboBox;
    m_applyTo->setObjectName("applyTo");
    for (const std::string& entry : m_customizer.Entries())
        m_applyTo->addItem(Q(entry));
    m_getCurrent = new QPushButton("Get current");
    m_getCurrent->setObjectName("getCurrent");
    m_getCurrent->setAutoDefault(false);

    m_text = new QPlainTextEdit;
    m_text->setObjectName("specification");
    m_text->setTabChangesFocus(true);
    m_text->setMinimumHeight(m_text->fontMetrics().lineSpacing() * 6);
    m_builder = new CDisplayBuilderRow(nullptr, m_text);
    m_builder->SetFields(m_customizer.FieldNames(), m_customizer.Captions());
    m_builder->SetAddition([this](const std::string& field, const std::string& size,
                                  int justify) -> std::optional<std::string> {
        return m_customizer.Addition(field, size, justify);
    });
    m_save = new QPushButton("Save");
    m_save->setObjectName("save");
    m_save->setAutoDefault(false);

    auto* applyRow = new QHBoxLayout;
    applyRow->addWidget(new QLabel("Apply to:"));
    applyRow->addWidget(m_applyTo, 1);
    applyRow->addWidget(m_getCurrent);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(applyRow);
    layout->addWidget(m_builder);
    layout->addWidget(m_text, 1);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(m_save);
    saveRow->addStretch(1);
    saveRow->addWidget(buttons);
    layout->addLayout(saveRow);
    setMinimumWidth(600);

    connect(m_getCurrent, &QPushButton::clicked, this, [this] { GetCurrent(); });
    connect(m_save, &QPushButton::clicked, this, [this] { Save(); });
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { m_edited = true; });
    GetCurrent();
}

void CCustomDisplayDialog::GetCurrent() {
    m_text->setPlainText(Q(m_customizer.Current(m_applyTo->currentIndex())));
    m_edited = false;
}

bool CCustomDisplayDialog::Save() {
    // A specification is one line of tokens; line breaks typed into the box are blanks.
    QString text = m_text->toPlainText();
    text.replace('\n', ' ');
    if (!m_customizer.Save(m_applyTo->currentIndex(), S(text))) {
        m_prompt.Message("The list shown has no \"" + S(m_applyTo->currentText()) + "\".",
                         PromptIcon::Warning);
        return false;
    }
    m_edited = false;
    return true;
}

void CCustomDisplayDialog::accept() {
    if (m_edited && !Save()) return;
    QDialog::accept();
}

}  // namespace tavik
