#include "exchange/dialogs/FileNameDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "qt/QtText.h"

namespace tavik {

namespace {}  // namespace

CFileNameDialog::CFileNameDialog(int mode, QWidget* parent) : QDialog(parent) {
    m_name = new QLineEdit;
    m_name->setMaxLength(10);
    m_type = new QComboBox;
    m_type->setEditable(true);
    m_type->addItems({"Prog", "DV80", "DF80"});
    m_convertText = new QCheckBox("Convert text");
    m_convertTabs = new QCheckBox("Convert tabs");
    m_truncate = new QCheckBox("Truncate overlong lines");

    auto* form = new QFormLayout;
    form->addRow("Name:", m_name);
    form->addRow("Type:", m_type);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_convertText);
    layout->addWidget(m_convertTabs);
    layout->addWidget(m_truncate);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (mode == 0) {
        setWindowTitle("Enter filename, optionally type");
        m_type->setEditText("Any");
        m_convertText->hide();
        m_convertTabs->hide();
        m_truncate->hide();
    } else {
        setWindowTitle("Confirm filename and type");
    }
}

void CFileNameDialog::SetName(const std::string& name) {
    m_name->setText(Q(name));
}
std::string CFileNameDialog::Name() const {
    return S(m_name->text());
}
void CFileNameDialog::SetType(const std::string& type) {
    m_type->setEditText(Q(type));
}
std::string CFileNameDialog::Type() const {
    return S(m_type->currentText());
}
void CFileNameDialog::SetConvertText(bool on) {
    m_convertText->setChecked(on);
}
bool CFileNameDialog::ConvertText() const {
    return m_convertText->isChecked();
}
void CFileNameDialog::SetConvertTabs(bool on) {
    m_convertTabs->setChecked(on);
}
bool CFileNameDialog::ConvertTabs() const {
    return m_convertTabs->isChecked();
}
void CFileNameDialog::SetTruncate(bool on) {
    m_truncate->setChecked(on);
}
bool CFileNameDialog::Truncate() const {
    return m_truncate->isChecked();
}

}  // namespace tavik
