#include "disk/dialogs/SectorDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavik {

namespace {

// The destination list of the dialog family: this disk, or the target disk.
QComboBox* DestinationList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->addItems({"This disk", "Other (define!)"});
    return list;
}

QLineEdit* NumberField(const QString& text, QWidget* parent) {
    auto* field = new QLineEdit(text, parent);
    field->setMaximumWidth(90);
    return field;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

// ---- "Read sector" and its family --------------------------------------------------------------

CSectorNumberDialog::CSectorNumberDialog(Kind kind, int sector, QWidget* parent) : QDialog(parent) {
    setWindowTitle(kind == Kind::Read     ? "Read sector"
                   : kind == Kind::SaveAs ? "Save sector as..."
                                          : "Mark one or more sectors");
    auto* form = new QFormLayout;
    m_sector = NumberField(QString::number(sector), this);
    form->addRow("Sector:", m_sector);
    if (kind == Kind::Mark) {
        m_last = NumberField({}, this);
        form->addRow("To:", m_last);
    }
    if (kind == Kind::SaveAs) {
        m_destination = DestinationList(this);
        form->addRow("Destination:", m_destination);
    }
    auto* buttons = OkCancel(this);
    if (kind == Kind::Mark) {
        buttons->button(QDialogButtonBox::Ok)->setText("Used");
        QPushButton* free = buttons->addButton("Free", QDialogButtonBox::ActionRole);
        connect(free, &QPushButton::clicked, this, &CSectorNumberDialog::PressFree);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    m_sector->selectAll();
}

QString CSectorNumberDialog::SectorText() const {
    return m_sector->text();
}
void CSectorNumberDialog::SetSectorText(const QString& text) {
    m_sector->setText(text);
}
QString CSectorNumberDialog::LastText() const {
    return m_last ? m_last->text() : QString();
}
void CSectorNumberDialog::SetLastText(const QString& text) {
    if (m_last) m_last->setText(text);
}
bool CSectorNumberDialog::ToTarget() const {
    return m_destination && m_destination->currentIndex() == 1;
}
void CSectorNumberDialog::SetToTarget(bool target) {
    if (m_destination) m_destination->setCurrentIndex(target ? 1 : 0);
}

// ---- "Compare sectors" and "Copy sectors" -----------------------------------------------------

CSectorRunDialog::CSectorRunDialog(Kind kind, const QString& sourceName, int sector, bool targetSet,
                                   QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(kind == Kind::Compare ? "Compare sectors" : "Copy sectors");
    m_from = NumberField(QString::number(sector), this);
    m_to = NumberField({}, this);
    m_destination = DestinationList(this);
    m_destination->setCurrentIndex(targetSet ? 1 : 0);
    m_destinationFrom = NumberField(QString::number(sector), this);
    m_destinationTo = NumberField({}, this);

    auto* source = new QGroupBox("Source", this);
    auto* sourceGrid = new QGridLayout(source);
    sourceGrid->addWidget(new QLabel("Source:", source), 0, 0);
    sourceGrid->addWidget(new QLabel(sourceName.trimmed(), source), 0, 1, 1, 3);
    sourceGrid->addWidget(new QLabel("Sectors:", source), 1, 0);
    sourceGrid->addWidget(m_from, 1, 1);
    sourceGrid->addWidget(new QLabel("To:", source), 1, 2);
    sourceGrid->addWidget(m_to, 1, 3);

    auto* destination = new QGroupBox("Destination", this);
    auto* destinationGrid = new QGridLayout(destination);
    destinationGrid->addWidget(new QLabel("Destination:", destination), 0, 0);
    destinationGrid->addWidget(m_destination, 0, 1, 1, 3);
    destinationGrid->addWidget(new QLabel("Sectors:", destination), 1, 0);
    destinationGrid->addWidget(m_destinationFrom, 1, 1);
    destinationGrid->addWidget(new QLabel("To:", destination), 1, 2);
    destinationGrid->addWidget(m_destinationTo, 1, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(destination);
    if (kind == Kind::Copy) {
        m_markUsed = new QCheckBox("Mark as used", this);
        layout->addWidget(m_markUsed);
    }
    layout->addWidget(OkCancel(this));
    m_from->selectAll();
}

QString CSectorRunDialog::FromText() const {
    return m_from->text();
}
QString CSectorRunDialog::ToText() const {
    return m_to->text();
}
QString CSectorRunDialog::DestinationFromText() const {
    return m_destinationFrom->text();
}
QString CSectorRunDialog::DestinationToText() const {
    return m_destinationTo->text();
}
bool CSectorRunDialog::ToTarget() const {
    return m_destination->currentIndex() == 1;
}
bool CSectorRunDialog::MarkUsed() const {
    return m_markUsed && m_markUsed->isChecked();
}

void CSectorRunDialog::SetTexts(const QString& from, const QString& to,
                                const QString& destinationFrom, const QString& destinationTo) {
    m_from->setText(from);
    m_to->setText(to);
    m_destinationFrom->setText(destinationFrom);
    m_destinationTo->setText(destinationTo);
}
void CSectorRunDialog::SetToTarget(bool target) {
    m_destination->setCurrentIndex(target ? 1 : 0);
}
void CSectorRunDialog::SetMarkUsed(bool on) {
    if (m_markUsed) m_markUsed->setChecked(on);
}

}  // namespace tavik
