// "Select disk copy mode": how a disk is copied onto another (CopyMode values 0 to 3).
#pragma once

#include <QDialog>

class QButtonGroup;

namespace tavik {

class CCopyModeDialog : public QDialog {
    Q_OBJECT
public:
    explicit CCopyModeDialog(QWidget* parent = nullptr);
    int Mode() const;
    void SetMode(int mode);

private:
    QButtonGroup* m_group;
};

}  // namespace tavik
