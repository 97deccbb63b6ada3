#include "disk/dialogs/StampsBox.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "qt/QtText.h"

namespace tavik {

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
    m_created->setText(Q(creationDate));
    m_createdTime->setText(Q(creationTime));
    m_modified->setText(Q(updateDate));
    m_modifiedTime->setText(Q(updateTime));
}

std::string CStampsBox::CreationDate() const {
    return S(m_created->text());
}
std::string CStampsBox::CreationTime() const {
    return S(m_createdTime->text());
}
std::string CStampsBox::UpdateDate() const {
    return S(m_modified->text());
}
std::string CStampsBox::UpdateTime() const {
    return S(m_modifiedTime->text());
}

}  // namespace tavik
