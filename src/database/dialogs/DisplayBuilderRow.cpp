#include "database/dialogs/DisplayBuilderRow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "database/DisplaySpec.h"
#include "qt/QtText.h"

namespace tavik {

CDisplayBuilderRow::CDisplayBuilderRow(QLineEdit* line, QPlainTextEdit* box, QWidget* parent)
    : QWidget(parent), m_line(line), m_box(box) {
    m_field = new QComboBox;
    m_field->setObjectName("displayField");
    m_justify = new QComboBox;
    m_justify->setObjectName("displayJustify");
    m_justify->addItems({"Default", "Left", "Center", "Right"});
    m_size = new QLineEdit;
    m_size->setObjectName("displaySize");
    m_size->setMaximumWidth(60);
    m_add = new QPushButton("Add");
    m_add->setObjectName("displayAdd");
    m_add->setAutoDefault(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel("Field:"));
    layout->addWidget(m_field, 3);
    layout->addWidget(new QLabel("Justify:"));
    layout->addWidget(m_justify, 1);
    layout->addWidget(new QLabel("Size:"));
    layout->addWidget(m_size);
    layout->addWidget(m_add);
    connect(m_add, &QPushButton::clicked, this, [this] { Add(); });
}

void CDisplayBuilderRow::SetFields(const std::vector<std::string>& names,
                                   const std::vector<std::string>& captions) {
    const QString chosen = m_field->currentText();
    m_field->clear();
    for (const std::string& name : names)
        m_field->addItem(Q(name));
    const int again = m_field->findText(chosen);
    m_field->setCurrentIndex(again >= 0 ? again : 0);
    m_captions = captions;
}

void CDisplayBuilderRow::Add() {
    const std::string field = S(m_field->currentText());
    const std::string size = S(m_size->text());
    const int justify = m_justify->currentIndex();
    const std::optional<std::string> text =
        m_addition ? m_addition(field, size, justify)
                   : BuilderAddition(field, BuilderFormat(size, justify), m_captions);
    if (!text) return;
    if (m_line) {
        m_line->setText(m_line->text() + Q(*text));
    } else if (m_box) {
        m_box->moveCursor(QTextCursor::End);
        m_box->insertPlainText(Q(*text));
    }
}

}  // namespace tavik
