// One separator choice of the export and merge dialogs: "Tab", "CR", "LF", "CR+LF",
// "Form feed", "NULL" or "Other" with the text typed beside it.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "database/query/Separators.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace tavik {

class CSeparatorRow : public QWidget {
    Q_OBJECT
public:
    explicit CSeparatorRow(SeparatorChoice initial, QWidget* parent = nullptr);

    std::string Bytes() const;
    void SetChoice(SeparatorChoice choice, const std::string& other = {});
    QComboBox* Choice() const { return m_choice; }
    QLineEdit* Other() const { return m_other; }

private:
    QComboBox* m_choice;
    QLineEdit* m_other;
};

// The lower half of the export and merge dialogs: "File name:" with the path box and "Browse"
// (which puts what browse returns into the box), then the field, record and table separators.
QFormLayout* FileAndSeparatorsForm(QLineEdit* path, std::function<std::string()> browse,
                                   CSeparatorRow* (&separators)[3]);

}  // namespace tavik
