// The "Dates" box of the file and disk dialogs: creation and modification date and time as
// typed, read back by the dialogs' own checks.
#pragma once

#include <QGroupBox>
#include <string>

class QLineEdit;

namespace tavik {

class CStampsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit CStampsBox(QWidget* parent = nullptr);

    void SetTexts(const std::string& creationDate, const std::string& creationTime,
                  const std::string& updateDate, const std::string& updateTime);
    std::string CreationDate() const;
    std::string CreationTime() const;
    std::string UpdateDate() const;
    std::string UpdateTime() const;

private:
    QLineEdit* m_created;
    QLineEdit* m_createdTime;
    QLineEdit* m_modified;
    QLineEdit* m_modifiedTime;
};

}  // namespace tavik
