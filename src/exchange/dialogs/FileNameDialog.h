// The TI file name and type asked for when importing a PC file (mode 1: with the text
// conversion check boxes) or when a name and an optional type are wanted (mode 0).
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavik {

class CFileNameDialog : public QDialog {
    Q_OBJECT
public:
    CFileNameDialog(int mode, QWidget* parent = nullptr);

    void SetName(const std::string& name);
    std::string Name() const;
    void SetType(const std::string& type);
    std::string Type() const;
    void SetConvertText(bool on);
    bool ConvertText() const;
    void SetConvertTabs(bool on);
    bool ConvertTabs() const;
    void SetTruncate(bool on);
    bool Truncate() const;

private:
    QLineEdit* m_name;
    QComboBox* m_type;
    QCheckBox* m_convertText;
    QCheckBox* m_convertTabs;
    QCheckBox* m_truncate;
};

}  // namespace tavik
