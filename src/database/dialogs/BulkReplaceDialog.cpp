#include "database/dialogs/BulkReplaceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/UserPrompt.h"
#include "database/dialogs/ConditionRow.h"
#include "database/query/ConditionBuilder.h"
#include "database/query/QueryRules.h"
#include "qt/QtText.h"

namespace tavik {

CBulkReplaceDialog::CBulkReplaceDialog(CUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_prompt(prompt) {
    setWindowTitle("Bulk replace");
    m_table = new QComboBox;
    m_table->setObjectName("table");
    m_table->addItems({"Disks", "Files"});

    m_setColumn = new QComboBox;
    m_setColumn->setObjectName("setColumn");
    m_setValue = new QComboBox;
    m_setValue->setObjectName("setValue");
    m_setValue->setEditable(true);
    m_setValue->setInsertPolicy(QComboBox::NoInsert);
    m_setValue->setMinimumContentsLength(16);
    for (const std::string& name : ConditionParameterNames())
        m_setValue->addItem(Q(name));
    m_setAdd = new QPushButton("Add");
    m_setAdd->setObjectName("setAdd");
    m_setAdd->setAutoDefault(false);
    m_set = new QLineEdit;
    m_set->setObjectName("set");

    m_tips = new QLabel;
    m_tips->setObjectName("tips");
    m_tips->setWordWrap(true);
    m_tips->setFrameShape(QFrame::StyledPanel);
    m_tips->setMinimumHeight(m_tips->fontMetrics().lineSpacing() * 2 + 6);

    m_where = new QPlainTextEdit;
    m_where->setObjectName("where");
    m_where->setTabChangesFocus(true);
    m_where->setFixedHeight(m_where->fontMetrics().lineSpacing() * 4 + 12);
    m_conditions = new CConditionRow(m_where, m_tips);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("UPDATE"), 0, 0);
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(m_table);
    tableRow->addStretch(1);
    grid->addLayout(tableRow, 0, 1);
    grid->addWidget(new QLabel("SET"), 1, 0);
    auto* setRow = new QHBoxLayout;
    setRow->addWidget(m_setColumn, 2);
    setRow->addWidget(new QLabel("="));
    setRow->addWidget(m_setValue, 3);
    setRow->addWidget(m_setAdd);
    grid->addLayout(setRow, 1, 1);
    grid->addWidget(m_set, 2, 1);
    grid->addWidget(new QLabel("WHERE"), 3, 0);
    grid->addWidget(m_conditions, 3, 1);
    grid->addWidget(m_where, 4, 1);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox;
    m_update = buttons->addButton("Update", QDialogButtonBox::AcceptRole);
    m_update->setObjectName("update");
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_tips);
    layout->addWidget(buttons);
    setMinimumWidth(620);

    TableChosen();
    connect(m_table, &QComboBox::currentIndexChanged, this, [this] { TableChosen(); });
    connect(m_setColumn, &QComboBox::currentIndexChanged, this, [this] { SetColumnChosen(); });
    connect(m_setAdd, &QPushButton::clicked, this, [this] {
        std::string set = S(m_set->text());
        AppendSetColumn(set, S(m_setColumn->currentText()), S(m_setValue->currentText()));
        m_set->setText(Q(set));
    });
}

bool CBulkReplaceDialog::Files() const {
    return m_table->currentIndex() == 1;
}
std::string CBulkReplaceDialog::SetText() const {
    return S(m_set->text());
}
std::string CBulkReplaceDialog::WhereText() const {
    return FromBox(m_where->toPlainText());
}
std::string CBulkReplaceDialog::Statement() const {
    return BulkUpdateStatement(Files(), SetText(), WhereText());
}

void CBulkReplaceDialog::TableChosen() {
    m_conditions->SetTable(Files());
    m_setColumn->clear();
    // The ID is the row's key; it is not offered for replacing.
    for (const std::string& column : QueryColumns(Files()))
        if (column != "ID") m_setColumn->addItem(Q(column));
    m_setColumn->setCurrentIndex(0);
    SetColumnChosen();
}

void CBulkReplaceDialog::SetColumnChosen() {
    const ColumnKind kind = QueryColumnKind(Files(), S(m_setColumn->currentText()));
    m_setValue->setCurrentIndex(-1);
    m_setValue->setEditText(kind == ColumnKind::YesNo ? "YES" : Q(DefaultConditionValue(kind)));
    m_tips->setText(Q(ChooseOperator(kind, " =").tip));
}

void CBulkReplaceDialog::accept() {
    if (m_set->text().trimmed().isEmpty()) {
        m_prompt.Message("Add a column to SET first.", PromptIcon::Warning);
        return;
    }
    if (m_runner && !m_runner(Files(), SetText(), WhereText())) return;  // stays open to mend
    QDialog::accept();
}

}  // namespace tavik
