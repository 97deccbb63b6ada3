#include "disk/dialogs/DrivePropertiesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavik {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
std::string S(const QString& s) {
    return s.toStdString();
}

}  // namespace

CDrivePropertiesDialog::CDrivePropertiesDialog(Mode mode, QWidget* parent)
    : QDialog(parent), m_mode(mode) {
    setWindowTitle("Drive properties");
    m_format = new QComboBox;
    m_name = new QLineEdit;
    m_browseButton = new QPushButton("Browse");
    m_startLabel = new QLabel("Start:");
    m_start = new QLineEdit;
    m_sizeLabel = new QLabel("Size in bytes:");
    m_size = new QLineEdit;
    m_maxLabel = new QLabel("Max size:");
    m_maxSize = new QLineEdit;
    m_dd = new QCheckBox("DD");
    m_ds = new QCheckBox("DS");
    m_name->setMinimumWidth(280);

    auto* form = new QFormLayout;
    form->addRow("Format:", m_format);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_browseButton);
    form->addRow("Name:", nameRow);
    form->addRow(m_startLabel, m_start);
    form->addRow(m_sizeLabel, m_size);
    form->addRow(m_maxLabel, m_maxSize);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_dd);
    boxes->addWidget(m_ds);
    boxes->addStretch(1);
    form->addRow("", boxes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    switch (mode) {
        case Mode::PcFile:
            m_format->addItems({"PC file DOAD format", "PC file PC99 format", "PC file CF format",
                                "PC file HFE format"});
            connect(m_format, &QComboBox::activated, this, &CDrivePropertiesDialog::FormatChosen);
            connect(m_browseButton, &QPushButton::clicked, this, [this] {
                if (!m_browse) return;
                const QString chosen = m_browse(m_name->text());
                if (!chosen.isEmpty()) m_name->setText(chosen);
            });
            break;
        case Mode::Remote:
            m_format->addItem("Remote DSKn drive");
            m_startLabel->setText("Sub >10 link:");
            m_sizeLabel->setText("CRU:");
            m_maxLabel->hide();
            m_maxSize->hide();
            m_browseButton->hide();
            m_name->setReadOnly(true);
            m_dd->hide();
            m_ds->hide();
            break;
        case Mode::Emulator:
            m_format->addItem("Zantu emulated drive");
            m_startLabel->setText("Device");
            m_sizeLabel->hide();
            m_size->hide();
            m_maxLabel->hide();
            m_maxSize->hide();
            m_browseButton->hide();
            m_name->setReadOnly(true);
            m_dd->hide();
            m_ds->hide();
            break;
    }
}

void CDrivePropertiesDialog::FormatChosen(int index) {
    if (index != FormatCf) return;
    DrivePropertiesForm form = Form();
    ChooseCfFormat(form);
    SetForm(form);
}

void CDrivePropertiesDialog::SetForm(const DrivePropertiesForm& f) {
    m_format->setCurrentIndex(f.format == FormatPc99 || f.format == FormatHfe ? f.format
                                                                              : FormatDoad);
    m_start->setText(Q(f.start));
    m_size->setText(Q(f.size));
    m_maxSize->setText(Q(f.maxSize));
    m_ds->setChecked(f.doubleSided);
    m_dd->setChecked(f.doubleDensity);
}

DrivePropertiesForm CDrivePropertiesDialog::Form() const {
    DrivePropertiesForm f;
    const int chosen = m_format->currentIndex();
    f.format = chosen == FormatPc99 || chosen == FormatHfe ? chosen : FormatDoad;
    f.start = S(m_start->text());
    f.size = S(m_size->text());
    f.maxSize = S(m_maxSize->text());
    f.doubleSided = m_ds->isChecked();
    f.doubleDensity = m_dd->isChecked();
    return f;
}

void CDrivePropertiesDialog::SetPath(const QString& path) {
    m_name->setText(path);
}

QString CDrivePropertiesDialog::Path() const {
    return m_name->text();
}

void CDrivePropertiesDialog::SetRemoteFields(const QString& subLink, const QString& cru) {
    m_start->setText(subLink);
    m_size->setText(cru);
}

void CDrivePropertiesDialog::SetEmulatorDevice(const QString& device) {
    m_start->setText(device);
}

}  // namespace tavik
