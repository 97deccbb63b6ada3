// The sector-list dialog: a list of sectors, one number or "first-last" run per line, edited as
// text ("Selected sectors" for the map's selection).
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace tavik {

class CSectorListDialog : public QDialog {
    Q_OBJECT
public:
    CSectorListDialog(const QString& title, const QString& text, QWidget* parent = nullptr);
    QString Text() const;
    void SetText(const QString& text);

private:
    QPlainTextEdit* m_list;
};

}  // namespace tavik
