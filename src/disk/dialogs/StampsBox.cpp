#include "disk/dialogs/StampsBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "base/Cp1252.h"

namespace tavik {

namespace {

std::string Text(const QLineEdit* edit) {
    return Utf8ToCp1252(edit->text().toStdString());
}
void SetText(QLineEdit* edit, const std::string& s) {
    edit->setText(QString::fromStdString(Cp1252ToUtf8(s)));
}

}  // namespace

CStampsBox::CStampsBox(QWidget* parent)
    : QGroupBox("Dates", parent),
      m_created(new QLineEdit),
      m_createdTime(new QLineEdit),
      m_modified(new QLineEdit),
      m_modifiedTime(new QLineEdit) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Date"), 0, 1);
    grid->addWidget(new QLabel("Time"), 0, 2);
    grid->addWidget(new QLabel("Created:"), 1, 0);
    grid->addWidget(m_created, 1, 1);
    grid->addWidget(m_createdTime, 1, 2);
    grid->addWidget(new QLabel("Modified:"), 2, 0);
    grid->addWidget(m_modified, 2, 1);
    grid->addWidget(m_modifiedTime, 2, 2);
}

void CStampsBox::SetTexts(const std::string& creationDate, const std::string& creationTime,
                          const std::string& updateDate, const std::string& updateTime) {
    SetText(m_created, creationDate);
    SetText(m_createdTime, creationTime);
    SetText(m_modified, updateDate);
    SetText(m_modifiedTime, updateTime);
}

std::string CStampsBox::CreationDate() const {
    return Text(m_created);
}
std::string CStampsBox::CreationTime() const {
    return Text(m_createdTime);
}
std::string CStampsBox::UpdateDate() const {
    return Text(m_modified);
}
std::string CStampsBox::UpdateTime() const {
    return Text(m_modifiedTime);
}

}  // namespace tavik
