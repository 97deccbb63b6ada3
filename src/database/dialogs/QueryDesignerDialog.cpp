#include "database/dialogs/QueryDesignerDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/CInteger.h"
#include "base/UserPrompt.h"
#include "database/DisplaySpec.h"
#include "database/dialogs/ConditionRow.h"
#include "database/dialogs/DisplayBuilderRow.h"
#include "database/query/ConditionBuilder.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

constexpr const char* kLeftJoinText = "LEFT JOIN with";

QPlainTextEdit* TextBox(const char* name, int lines) {
    auto* box = new QPlainTextEdit;
    box->setObjectName(name);
    box->setTabChangesFocus(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    const int line = box->fontMetrics().lineSpacing();
    box->setFixedHeight(line * lines + 12);
    return box;
}

QPushButton* Button(const char* text) {
    auto* b = new QPushButton(text);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

SelectChoice CQueryDesignerDialog::ReadPredicate(const std::string& predicate, long& number) {
    number = 0;
    std::string p = predicate;
    while (!p.empty() && p.back() == ' ')
        p.pop_back();
    if (p.rfind("SELECT DISTINCTROW", 0) == 0) return SelectChoice::DistinctRow;
    if (p.rfind("SELECT TOP ", 0) == 0) {
        size_t used = 0;
        const std::string rest = p.substr(11);
        number = ReadCInteger(rest, used).value_or(0);
        return rest.find("PERCENT") != std::string::npos ? SelectChoice::TopPercent
                                                         : SelectChoice::Top;
    }
    return SelectChoice::All;
}

int CQueryDesignerDialog::CombinationPosition(int32_t combination) {
    if (combination >= kIntersect && combination <= kLeftJoin) return combination;
    if (combination == kDisksWithFiles || combination == kFilesOnDisks) return 1;
    return 0;
}

CQueryDesignerDialog::CQueryDesignerDialog(CUserPrompt& prompt, const QueryFields& node,
                                           std::optional<int32_t> parentKind,
                                           const std::string& parentName, QWidget* parent)
    : QDialog(parent),
      m_prompt(prompt),
      m_node(node),
      m_parentKind(parentKind),
      m_isNew(node.name.empty() && node.predicate.empty()) {
    setWindowTitle("Database query");

    m_name = new QLineEdit;
    m_name->setObjectName("queryName");

    m_combination = new QComboBox;
    m_combination->setObjectName("combination");
    m_combination->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_parentName = new QLabel(Q(parentName));
    m_parentName->setObjectName("parentName");
    m_combinationRow = new QWidget;
    auto* combinationLayout = new QHBoxLayout(m_combinationRow);
    combinationLayout->setContentsMargins(0, 0, 0, 0);
    combinationLayout->addWidget(m_combination);
    combinationLayout->addWidget(m_parentName, 1);

    m_select = new QComboBox;
    m_select->setObjectName("select");
    m_select->addItems({"ALL", "TOP", "TOP %", "DISTINCTROW"});
    m_number = new QLineEdit;
    m_number->setObjectName("selectNumber");
    m_number->setMaximumWidth(70);
    m_from = new QComboBox;
    m_from->setObjectName("from");
    m_from->addItems({"Disks", "Files"});
    auto* selectRow = new QHBoxLayout;
    selectRow->addWidget(m_select);
    selectRow->addWidget(m_number);
    selectRow->addSpacing(16);
    selectRow->addWidget(new QLabel("FROM"));
    selectRow->addWidget(m_from);
    selectRow->addStretch(1);

    auto* top = new QFormLayout;
    top->addRow("Query name:", m_name);
    top->addRow("Combination:", m_combinationRow);
    top->addRow("SELECT", selectRow);

    m_tips = new QLabel;
    m_tips->setObjectName("tips");
    m_tips->setWordWrap(true);
    m_tips->setFrameShape(QFrame::StyledPanel);
    m_tips->setMinimumHeight(m_tips->fontMetrics().lineSpacing() * 2 + 6);

    m_where = TextBox("where", 4);
    m_conditions = new CConditionRow(m_where, m_tips);
    auto* whereGroup = new QGroupBox("WHERE");
    auto* whereLayout = new QVBoxLayout(whereGroup);
    whereLayout->addWidget(m_conditions);
    whereLayout->addWidget(m_where);

    m_orderColumn = new QComboBox;
    m_orderColumn->setObjectName("orderColumn");
    m_descending = new QCheckBox("Descending");
    m_orderAdd = Button("Add");
    m_orderAdd->setObjectName("orderAdd");
    m_orderBy = new QLineEdit;
    m_orderBy->setObjectName("orderBy");
    auto* orderGroup = new QGroupBox("ORDER BY");
    auto* orderLayout = new QVBoxLayout(orderGroup);
    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(m_orderColumn, 1);
    orderRow->addWidget(m_descending);
    orderRow->addWidget(m_orderAdd);
    orderLayout->addLayout(orderRow);
    orderLayout->addWidget(m_orderBy);

    m_joinColumn = new QComboBox;
    m_joinColumn->setObjectName("joinColumn");
    m_joinAdd = Button("Add");
    m_joinAdd->setObjectName("joinAdd");
    m_joinOn = TextBox("joinOn", 2);
    auto* joinGroup = new QGroupBox("Join on");
    m_joinGroup = joinGroup;
    auto* joinLayout = new QVBoxLayout(joinGroup);
    auto* joinRow = new QHBoxLayout;
    joinRow->addWidget(m_joinColumn, 1);
    joinRow->addWidget(m_joinAdd);
    joinLayout->addLayout(joinRow);
    joinLayout->addWidget(m_joinOn);

    m_display = new QLineEdit;
    m_display->setObjectName("display");
    m_builder = new CDisplayBuilderRow(m_display, nullptr);
    auto* displayGroup = new QGroupBox("Display:");
    auto* displayLayout = new QVBoxLayout(displayGroup);
    displayLayout->addWidget(m_builder);
    displayLayout->addWidget(m_display);

    m_comments = new QLineEdit;
    m_comments->setObjectName("comments");
    auto* bottom = new QFormLayout;
    bottom->addRow("Comments:", m_comments);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(whereGroup);
    layout->addWidget(orderGroup);
    layout->addWidget(joinGroup);
    layout->addWidget(displayGroup);
    layout->addLayout(bottom);
    layout->addWidget(m_tips);
    layout->addWidget(buttons);
    setMinimumWidth(620);

    // The node's fields.
    const bool files = node.kind == static_cast<int32_t>(QueryKind::Files);
    long number = 0;
    const SelectChoice choice = ReadPredicate(node.predicate, number);
    m_name->setText(Q(node.name));
    m_select->setCurrentIndex(static_cast<int>(choice));
    m_number->setText(number ? QString::number(number) : QString());
    m_from->setCurrentIndex(files ? 1 : 0);
    m_where->setPlainText(BoxText(node.where));
    m_orderBy->setText(Q(node.orderBy));
    m_joinOn->setPlainText(BoxText(node.joinOn));
    m_display->setText(Q(node.display));
    m_comments->setText(Q(node.comments));
    m_combinationRow->setVisible(parentKind.has_value());
    top->labelForField(m_combinationRow)->setVisible(parentKind.has_value());
    m_joinGroup->setVisible(parentKind.has_value());
    TableChosen();
    if (m_combination->count() > CombinationPosition(node.combination))
        m_combination->setCurrentIndex(CombinationPosition(node.combination));
    CombinationChosen();
    SelectChosen();

    connect(m_from, &QComboBox::currentIndexChanged, this, [this] { TableChosen(); });
    connect(m_combination, &QComboBox::currentIndexChanged, this, [this] { CombinationChosen(); });
    connect(m_select, &QComboBox::currentIndexChanged, this, [this] { SelectChosen(); });
    connect(m_orderAdd, &QPushButton::clicked, this, [this] {
        std::string orderBy = S(m_orderBy->text());
        AppendOrderColumn(orderBy, S(m_orderColumn->currentText()), m_descending->isChecked(),
                          LeftJoin());
        m_orderBy->setText(Q(orderBy));
    });
    connect(m_joinAdd, &QPushButton::clicked, this, [this] {
        std::string joinOn = FromBox(m_joinOn->toPlainText());
        std::string where = FromBox(m_where->toPlainText());
        AppendJoinColumn(joinOn, where, S(m_joinColumn->currentText()));
        m_joinOn->setPlainText(BoxText(joinOn));
        m_where->setPlainText(BoxText(where));
    });
}

void CQueryDesignerDialog::SetDefaultDisplays(const std::string& disks, const std::string& files) {
    m_diskDisplay = disks;
    m_fileDisplay = files;
    if (m_isNew && m_display->text().isEmpty())
        m_display->setText(Q(Files() ? m_fileDisplay : m_diskDisplay));
}

bool CQueryDesignerDialog::Files() const {
    return m_from->currentIndex() == 1;
}

bool CQueryDesignerDialog::LeftJoin() const {
    return m_parentKind.has_value() && m_combination->currentText() == kLeftJoinText;
}

void CQueryDesignerDialog::TableChosen() {
    const bool files = Files();
    m_conditions->SetTable(files);
    for (QComboBox* box : {m_orderColumn, m_joinColumn}) {
        box->clear();
        for (const std::string& column : QueryColumns(files))
            box->addItem(Q(column));
    }
    {
        // The combinations this table may have under the parent; the choice stays when offered.
        const QSignalBlocker block(m_combination);
        const int chosen = m_combination->currentIndex();
        m_combination->clear();
        for (const std::string& text : CombinationChoices(files, m_parentKind))
            m_combination->addItem(Q(text));
        m_combination->setCurrentIndex(chosen > 0 && chosen < m_combination->count() ? chosen : 0);
    }
    CombinationChosen();
    const ListKind list = files ? ListKind::FileQuery : ListKind::DiskQuery;
    std::vector<std::string> names = {files ? "-- All file fields --" : "-- All disk fields --"};
    for (const std::string& caption : ListCaptions(list))
        names.push_back(caption);
    m_builder->SetFields(names, ListCaptions(list));
    // A new query shows its table's default columns until the user writes others.
    if (m_isNew) {
        const QString other = Q(files ? m_diskDisplay : m_fileDisplay);
        if (m_display->text() == other)
            m_display->setText(Q(files ? m_fileDisplay : m_diskDisplay));
    }
}

void CQueryDesignerDialog::CombinationChosen() {
    m_conditions->SetLeftJoin(LeftJoin());
}

void CQueryDesignerDialog::SelectChosen() {
    const auto choice = static_cast<SelectChoice>(m_select->currentIndex());
    const bool numbered = choice == SelectChoice::Top || choice == SelectChoice::TopPercent;
    m_number->setEnabled(numbered);
}

DesignerInput CQueryDesignerDialog::Input() const {
    DesignerInput in;
    in.name = S(m_name->text().trimmed());
    in.select = static_cast<SelectChoice>(m_select->currentIndex());
    in.number = ReadCInteger(S(m_number->text())).value_or(0);
    in.files = Files();
    in.where = FromBox(m_where->toPlainText());
    in.orderBy = S(m_orderBy->text());
    in.joinOn = FromBox(m_joinOn->toPlainText());
    in.comments = S(m_comments->text());
    in.combination = m_parentKind ? m_combination->currentIndex() : 0;
    in.display = S(m_display->text());
    return in;
}

QueryFields CQueryDesignerDialog::Result() const {
    QueryFields node = m_node;
    ApplyDesigner(Input(), m_parentKind, node);
    return node;
}

std::string CQueryDesignerDialog::Check() const {
    if (m_name->text().trimmed().isEmpty()) return "Enter a name for the query.";
    const auto choice = static_cast<SelectChoice>(m_select->currentIndex());
    if (choice == SelectChoice::Top || choice == SelectChoice::TopPercent) {
        const std::string text = S(m_number->text().trimmed());
        size_t used = 0;
        const std::optional<long> n = ReadCInteger(text, used);
        if (!n || used != text.size() || *n < 1)
            return choice == SelectChoice::Top ? "Enter the number of rows for TOP (1 or more)."
                                               : "Enter the percentage for TOP % (1 or more).";
    }
    return {};
}

void CQueryDesignerDialog::accept() {
    const std::string message = Check();
    if (!message.empty()) {
        m_prompt.Message(message, PromptIcon::Warning);
        return;  // the dialog stays open
    }
    QDialog::accept();
}

}  // namespace tavik
