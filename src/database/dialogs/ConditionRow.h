// The WHERE builder of the query designer and of the bulk replace dialog: a column of Disks or
// Files, the operators its kind offers, a value box that also offers the parameter names, and
// "AND" / "OR", which append one condition to the WHERE text box. Choosing a column or an
// operator fills the value box and the tips line.
#pragma once

#include <QWidget>

#include "database/query/ConditionBuilder.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tavik {

class CConditionRow : public QWidget {
    Q_OBJECT
public:
    CConditionRow(QPlainTextEdit* where, QLabel* tips, QWidget* parent = nullptr);

    // The table whose columns are offered (Files, else Disks).
    void SetTable(bool files);
    // With a left join the columns are written "[this].[column] ".
    void SetLeftJoin(bool on) { m_leftJoin = on; }

    QComboBox* ColumnBox() const { return m_column; }
    QComboBox* OperatorBox() const { return m_operator; }
    QComboBox* ValueBox() const { return m_value; }
    bool ValueShown() const { return m_valueShown; }
    QPushButton* AndButton() const { return m_and; }
    QPushButton* OrButton() const { return m_or; }

private:
    ColumnKind Kind() const;
    void ColumnChosen();
    void OperatorChosen();
    void Append(Conjunction conjunction);

    QPlainTextEdit* m_where;
    QLabel* m_tips;
    QComboBox* m_column;
    QComboBox* m_operator;
    QComboBox* m_value;
    QPushButton* m_and;
    QPushButton* m_or;
    bool m_files = false;
    bool m_leftJoin = false;
    bool m_valueShown = true;
};

}  // namespace tavik
