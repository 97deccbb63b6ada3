#include "disk/dialogs/DiskPropertiesDialog.h"

#include "disk/dialogs/StampsBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/UserPrompt.h"
#include "disk/TiDateTime.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

constexpr int kDialogDateOrder = 0;  // dd/mm/yy, as the messages ask for

}  // namespace

CDiskPropertiesDialog::CDiskPropertiesDialog(CUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_prompt(prompt) {
    setWindowTitle("Disk properties");
    m_name = new QLineEdit;
    m_name->setMaxLength(10);
    m_ds = new QCheckBox("Double-sided");
    m_dd = new QCheckBox("Double density");
    m_protected = new QCheckBox("Protected");
    m_sectors = new QLineEdit;
    auto* size = new QPushButton("Size");
    m_free = new QLabel;
    m_files = new QLabel;
    m_stamps = new CStampsBox;
    m_tracks = new QLineEdit;
    m_perTrack = new QLineEdit;

    auto* top = new QFormLayout;
    top->addRow("Name:", m_name);
    auto* flags = new QHBoxLayout;
    flags->addWidget(m_ds);
    flags->addWidget(m_dd);
    flags->addWidget(m_protected);
    top->addRow("", flags);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_sectors, 1);
    sizeRow->addWidget(size);
    top->addRow("Sectors:", sizeRow);
    top->addRow("Free:", m_free);
    top->addRow("Files:", m_files);

    auto* geometry = new QFormLayout;
    geometry->addRow("Tracks per side:", m_tracks);
    geometry->addRow("Sectors/track:", m_perTrack);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(size, &QPushButton::clicked, this, [this] {
        m_sectors->setText(
            QString::number(SizeButtonSectors(m_ds->isChecked(), m_dd->isChecked())));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_stamps);
    layout->addLayout(geometry);
    layout->addWidget(buttons);
}

void CDiskPropertiesDialog::SetRecord(const DiskProperties& r) {
    std::string name(r.name.begin(), r.name.end());
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.pop_back();
    m_name->setText(Q(name));
    m_ds->setChecked(r.sides == 2);
    m_dd->setChecked(r.density == 2);
    m_protected->setChecked(r.protection == 0x50);
    m_sectors->setText(QString::number(r.totalSectors));
    m_free->setText(QString::number(r.freeSectors));
    m_files->setText(QString::number(r.files));
    m_stamps->SetTexts(DateText(r.creationDate, kDialogDateOrder),
                       r.creationDate || r.creationTime ? TimeText(r.creationTime, true) : "",
                       DateText(r.updateDate, kDialogDateOrder),
                       r.updateDate || r.updateTime ? TimeText(r.updateTime, true) : "");
    m_tracks->setText(QString::number(r.tracksPerSide));
    m_perTrack->setText(QString::number(r.sectorsPerTrack));
}

DiskPropertiesForm CDiskPropertiesDialog::Form() const {
    DiskPropertiesForm f;
    f.name = S(m_name->text());
    f.doubleSided = m_ds->isChecked();
    f.doubleDensity = m_dd->isChecked();
    f.isProtected = m_protected->isChecked();
    f.sectors = S(m_sectors->text());
    f.tracksPerSide = S(m_tracks->text());
    f.sectorsPerTrack = S(m_perTrack->text());
    f.creationDate = m_stamps->CreationDate();
    f.creationTime = m_stamps->CreationTime();
    f.updateDate = m_stamps->UpdateDate();
    f.updateTime = m_stamps->UpdateTime();
    return f;
}

void CDiskPropertiesDialog::SetForm(const DiskPropertiesForm& f) {
    m_name->setText(Q(f.name));
    m_ds->setChecked(f.doubleSided);
    m_dd->setChecked(f.doubleDensity);
    m_protected->setChecked(f.isProtected);
    m_sectors->setText(Q(f.sectors));
    m_tracks->setText(Q(f.tracksPerSide));
    m_perTrack->setText(Q(f.sectorsPerTrack));
    m_stamps->SetTexts(f.creationDate, f.creationTime, f.updateDate, f.updateTime);
}

void CDiskPropertiesDialog::accept() {
    DiskProperties scratch;
    const std::string message = ReadDiskPropertiesForm(Form(), scratch);
    if (!message.empty()) {
        m_prompt.Message(message, PromptIcon::Warning);
        return;  // the dialog stays open
    }
    QDialog::accept();
}

}  // namespace tavik
