#include "database/dialogs/ConditionRow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "qt/QtText.h"

namespace tavik {

CConditionRow::CConditionRow(QPlainTextEdit* where, QLabel* tips, QWidget* parent)
    : QWidget(parent), m_where(where), m_tips(tips) {
    m_column = new QComboBox;
    m_column->setObjectName("whereColumn");
    m_operator = new QComboBox;
    m_operator->setObjectName("whereOperator");
    m_value = new QComboBox;
    m_value->setObjectName("whereValue");
    m_value->setEditable(true);
    m_value->setInsertPolicy(QComboBox::NoInsert);
    m_value->setMinimumContentsLength(16);
    for (const std::string& name : ConditionParameterNames())
        m_value->addItem(Q(name));
    m_and = new QPushButton("AND");
    m_or = new QPushButton("OR");
    for (QPushButton* b : {m_and, m_or}) {
        b->setAutoDefault(false);
        b->setToolTip("Append this condition to WHERE");
    }

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_column, 2);
    layout->addWidget(m_operator, 1);
    layout->addWidget(m_value, 3);
    layout->addWidget(m_and);
    layout->addWidget(m_or);

    connect(m_column, &QComboBox::currentIndexChanged, this, [this] { ColumnChosen(); });
    connect(m_operator, &QComboBox::currentIndexChanged, this, [this] { OperatorChosen(); });
    connect(m_and, &QPushButton::clicked, this, [this] { Append(Conjunction::And); });
    connect(m_or, &QPushButton::clicked, this, [this] { Append(Conjunction::Or); });
    SetTable(false);
}

void CConditionRow::SetTable(bool files) {
    m_files = files;
    {
        const QSignalBlocker block(m_column);
        m_column->clear();
        for (const std::string& column : QueryColumns(files))
            m_column->addItem(Q(column));
        m_column->setCurrentIndex(0);
    }
    ColumnChosen();
}

ColumnKind CConditionRow::Kind() const {
    return QueryColumnKind(m_files, S(m_column->currentText()));
}

void CConditionRow::ColumnChosen() {
    const ColumnKind kind = Kind();
    {
        const QSignalBlocker block(m_operator);
        m_operator->clear();
        for (const std::string& op : ConditionOperators(kind))
            m_operator->addItem(Q(op));
        m_operator->setCurrentIndex(0);
    }
    m_value->setCurrentIndex(-1);
    m_value->setEditText(Q(DefaultConditionValue(kind)));
    OperatorChosen();
}

void CConditionRow::OperatorChosen() {
    const OperatorChoice choice = ChooseOperator(Kind(), S(m_operator->currentText()));
    if (choice.value) {
        m_value->setCurrentIndex(-1);
        m_value->setEditText(Q(*choice.value));
    }
    m_valueShown = choice.valueShown;
    m_value->setVisible(choice.valueShown);
    if (m_tips) m_tips->setText(Q(choice.tip));
}

void CConditionRow::Append(Conjunction conjunction) {
    std::string where = FromBox(m_where->toPlainText());
    const std::string value = m_valueShown ? S(m_value->currentText()) : "";
    AppendCondition(where, conjunction, S(m_column->currentText()), S(m_operator->currentText()),
                    value, m_leftJoin);
    m_where->setPlainText(BoxText(where));
    m_where->moveCursor(QTextCursor::End);
}

}  // namespace tavik
