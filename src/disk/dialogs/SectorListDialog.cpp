#include "disk/dialogs/SectorListDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavik {

CSectorListDialog::CSectorListDialog(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent), m_list(new QPlainTextEdit) {
    setWindowTitle(title);
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->setObjectName("sectors");
    SetText(text);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(220, 300);
}

QString CSectorListDialog::Text() const {
    // Lines as the list is read back: separated by "\r\n".
    return m_list->toPlainText().replace('\n', "\r\n");
}

void CSectorListDialog::SetText(const QString& text) {
    QString plain = text;
    m_list->setPlainText(plain.remove('\r'));
}

}  // namespace tavik
