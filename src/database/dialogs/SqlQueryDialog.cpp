#include "database/dialogs/SqlQueryDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/UserPrompt.h"
#include "database/DisplaySpec.h"
#include "database/dialogs/DisplayBuilderRow.h"
#include "database/query/QueryColumns.h"
#include "database/query/QueryRun.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

// The first entry of each insert list stands for "nothing chosen".
QComboBox* InsertList(const char* name, const char* first) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->addItem(first);
    return box;
}

}  // namespace

CSqlQueryDialog::CSqlQueryDialog(CUserPrompt& prompt, const QueryFields& node, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_node(node) {
    setWindowTitle("SQL query");
    m_name = new QLineEdit;
    m_name->setObjectName("queryName");
    m_comments = new QLineEdit;
    m_comments->setObjectName("comments");

    m_disk = InsertList("diskColumns", "-- insert disk field --");
    for (const std::string& c : QueryColumns(false))
        m_disk->addItem(Q(c));
    m_file = InsertList("fileColumns", "-- insert file field --");
    for (const std::string& c : QueryColumns(true))
        m_file->addItem(Q(c));
    m_parameters = InsertList("parameters", "-- insert parameter --");

    m_statement = new QPlainTextEdit;
    m_statement->setObjectName("statement");
    m_statement->setTabChangesFocus(true);
    m_statement->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_statement->setMinimumHeight(m_statement->fontMetrics().lineSpacing() * 7);

    m_execute = new QRadioButton("Execute command");
    m_displayResults = new QRadioButton("Display results");
    auto* mode = new QButtonGroup(this);
    mode->addButton(m_execute);
    mode->addButton(m_displayResults);

    m_display = new QLineEdit;
    m_display->setObjectName("display");
    m_builder = new CDisplayBuilderRow(m_display, nullptr);
    m_builder->SetFields({"-- All returned fields --", "-- By field number --"}, {});
    // An empty specification shows every returned field.
    m_builder->SetAddition([this](const std::string& field, const std::string& size,
                                  int justify) -> std::optional<std::string> {
        if (field == "-- All returned fields --") {
            m_display->clear();
            return std::nullopt;
        }
        return BuilderAddition(field, BuilderFormat(size, justify), {});
    });

    auto* top = new QFormLayout;
    top->addRow("Query name:", m_name);
    top->addRow("Comments:", m_comments);
    auto* lists = new QHBoxLayout;
    lists->addWidget(new QLabel("Disk:"));
    lists->addWidget(m_disk, 1);
    lists->addWidget(new QLabel("File:"));
    lists->addWidget(m_file, 1);
    lists->addWidget(new QLabel("Parameters:"));
    lists->addWidget(m_parameters, 1);

    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(m_execute);
    modeRow->addWidget(m_displayResults);
    modeRow->addStretch(1);

    auto* displayGroup = new QGroupBox("Display:");
    auto* displayLayout = new QVBoxLayout(displayGroup);
    displayLayout->addWidget(m_builder);
    displayLayout->addWidget(m_display);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_runNow = buttons->addButton("Run now", QDialogButtonBox::ActionRole);
    m_runNow->setObjectName("runNow");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_runNow, &QPushButton::clicked, this, [this] {
        m_runRequested = true;
        accept();
        if (result() != QDialog::Accepted) m_runRequested = false;
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(lists);
    layout->addWidget(m_statement, 1);
    layout->addLayout(modeRow);
    layout->addWidget(displayGroup);
    layout->addWidget(buttons);
    setMinimumWidth(640);

    m_name->setText(Q(node.name));
    m_comments->setText(Q(node.comments));
    m_statement->setPlainText(BoxText(node.sql));
    const bool command = IsFreeSqlCommand(node);
    (command ? m_execute : m_displayResults)->setChecked(true);
    m_display->setText(command ? QString() : Q(node.display));
    ModeChosen();

    connect(m_execute, &QRadioButton::toggled, this, [this] { ModeChosen(); });
    connect(m_disk, &QComboBox::currentIndexChanged, this,
            [this] { Insert(m_disk, "[Disks].[" + m_disk->currentText() + "]"); });
    connect(m_file, &QComboBox::currentIndexChanged, this,
            [this] { Insert(m_file, "[Files].[" + m_file->currentText() + "]"); });
    connect(m_parameters, &QComboBox::currentIndexChanged, this,
            [this] { Insert(m_parameters, "[" + m_parameters->currentText() + "]"); });
}

void CSqlQueryDialog::SetParameters(const std::vector<std::string>& names) {
    const QSignalBlocker block(m_parameters);
    while (m_parameters->count() > 1)
        m_parameters->removeItem(1);
    for (const std::string& name : names)
        m_parameters->addItem(Q(name));
    m_parameters->setCurrentIndex(0);
}

void CSqlQueryDialog::Insert(QComboBox* list, const QString& text) {
    if (list->currentIndex() <= 0) return;
    m_statement->insertPlainText(text);
    m_statement->setFocus();
    const QSignalBlocker block(list);
    list->setCurrentIndex(0);
}

void CSqlQueryDialog::ModeChosen() {
    const bool display = m_displayResults->isChecked();
    m_builder->setEnabled(display);
    m_display->setEnabled(display);
}

QueryFields CSqlQueryDialog::Result() const {
    QueryFields node = m_node;
    node.kind = static_cast<int32_t>(QueryKind::Sql);
    node.name = S(m_name->text().trimmed());
    node.comments = S(m_comments->text());
    node.sql = FromBox(m_statement->toPlainText());
    if (m_execute->isChecked()) {
        node.display = "None";
    } else {
        node.display = S(m_display->text());
        if (node.display == "None") node.display.clear();  // that text would make a command
    }
    if (node.display != m_node.display) node.columns.clear();
    return node;
}

void CSqlQueryDialog::accept() {
    std::string message;
    if (m_name->text().trimmed().isEmpty())
        message = "Enter a name for the query.";
    else if (m_statement->toPlainText().trimmed().isEmpty())
        message = "Enter an SQL statement.";
    if (!message.empty()) {
        m_prompt.Message(message, PromptIcon::Warning);
        return;  // the dialog stays open
    }
    QDialog::accept();
}

}  // namespace tavik
