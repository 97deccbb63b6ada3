#include "disk/dialogs/FilePropertiesDialog.h"

#include "disk/dialogs/StampsBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "base/UserPrompt.h"
#include "disk/FileType.h"
#include "qt/QtText.h"

namespace tavik {

namespace {}  // namespace

CFilePropertiesDialog::CFilePropertiesDialog(Mode mode, CUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_mode(mode), m_prompt(prompt) {
    setWindowTitle(mode == Create ? "Create file" : "File properties");
    m_name = new QLineEdit;
    m_name->setMaxLength(10);
    m_type = new QComboBox;
    m_type->setEditable(true);
    if (mode == Create)
        m_type->addItems({"Prog", "DV80", "DF80"});
    else
        m_type->addItems({"Prog", "DF80", "DV80", "DF128", "DV254", "IF128", "IV254"});
    m_protected = new QCheckBox("Protected");
    m_sectors = new QLineEdit;
    m_recordsLabel = new QLabel("Records:");
    m_records = new QLineEdit;
    m_lastByte = new QLineEdit;
    m_perSector = new QLineEdit;
    m_fdr = new QLabel;
    m_stamps = new CStampsBox;
    m_clusters = new QPlainTextEdit;
    m_clusters->setTabChangesFocus(true);
    m_clusters->setMinimumHeight(70);
    m_clusters->setMaximumHeight(120);

    auto* fields = new QGridLayout;
    int row = 0;
    fields->addWidget(new QLabel("Name:"), row, 0);
    fields->addWidget(m_name, row, 1);
    fields->addWidget(new QLabel("Type:"), row, 2);
    fields->addWidget(m_type, row, 3);
    ++row;
    fields->addWidget(m_protected, row, 1);
    if (mode == Properties) {
        fields->addWidget(new QLabel("FDR sector:"), row, 2);
        fields->addWidget(m_fdr, row, 3);
        ++row;
        fields->addWidget(new QLabel("Sectors:"), row, 0);
        fields->addWidget(m_sectors, row, 1);
        fields->addWidget(m_recordsLabel, row, 2);
        fields->addWidget(m_records, row, 3);
        ++row;
        fields->addWidget(new QLabel("Last byte:"), row, 0);
        fields->addWidget(m_lastByte, row, 1);
    } else {
        ++row;
    }
    fields->addWidget(new QLabel("Rec/sec:"), row, mode == Properties ? 2 : 0);
    fields->addWidget(m_perSector, row, mode == Properties ? 3 : 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_type, &QComboBox::currentTextChanged, this, &CFilePropertiesDialog::TypeChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_stamps);
    if (mode == Properties) {
        auto* clusters = new QGroupBox("Clusters:");
        auto* box = new QVBoxLayout(clusters);
        box->addWidget(m_clusters);
        layout->addWidget(clusters);
    } else {
        m_clusters->hide();
    }
    layout->addWidget(buttons);
}

void CFilePropertiesDialog::TypeChanged() {
    ParsedType type;
    const bool variable =
        ParseDialogType(S(m_type->currentText()), type) && IsVariableType(type.status);
    m_recordsLabel->setText(variable ? "Sectors:" : "Records:");
}

void CFilePropertiesDialog::SetForm(const FilePropertiesForm& f) {
    m_name->setText(Q(f.name));
    m_type->setCurrentText(Q(f.type));
    m_protected->setChecked(f.isProtected);
    m_sectors->setText(Q(f.sectors));
    m_records->setText(Q(f.records));
    m_lastByte->setText(Q(f.lastByte));
    m_perSector->setText(Q(f.recordsPerSector));
    m_stamps->SetTexts(f.creationDate, f.creationTime, f.updateDate, f.updateTime);
    m_originalClusters = Q(f.clusters);
    m_clusters->setPlainText(m_originalClusters);
    TypeChanged();
}

void CFilePropertiesDialog::SetFdrSector(int fdr) {
    m_fdr->setText(QString::number(fdr));
}

FilePropertiesForm CFilePropertiesDialog::Form() const {
    FilePropertiesForm f;
    f.name = S(m_name->text());
    f.type = S(m_type->currentText());
    f.isProtected = m_protected->isChecked();
    // A new file has no size yet: its hidden fields read as 0.
    f.sectors = m_mode == Create ? "0" : S(m_sectors->text());
    f.records = m_mode == Create ? "0" : S(m_records->text());
    f.lastByte = m_mode == Create ? "0" : S(m_lastByte->text());
    f.recordsPerSector = S(m_perSector->text());
    f.creationDate = m_stamps->CreationDate();
    f.creationTime = m_stamps->CreationTime();
    f.updateDate = m_stamps->UpdateDate();
    f.updateTime = m_stamps->UpdateTime();
    f.clusters = S(m_clusters->toPlainText());
    f.clustersChanged = m_mode == Properties && m_clusters->toPlainText() != m_originalClusters;
    return f;
}

void CFilePropertiesDialog::accept() {
    FileProperties scratch;
    const std::string message = ReadFilePropertiesForm(Form(), scratch);
    if (!message.empty()) {
        m_prompt.Message(message, PromptIcon::Warning);
        return;  // the dialog stays open
    }
    QDialog::accept();
}

}  // namespace tavik
