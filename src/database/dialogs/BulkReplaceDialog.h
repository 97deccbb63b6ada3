// "Bulk replace": one UPDATE statement over Disks or Files. "Add" in the SET row appends
// "[column] = value" to the SET text; the WHERE builder is the designer's. "Update" hands the
// statement's parts to the caller, which runs it; the dialog closes when that succeeded.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tavik {

class CConditionRow;
class CUserPrompt;

class CBulkReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit CBulkReplaceDialog(CUserPrompt& prompt, QWidget* parent = nullptr);

    // Runs the update (files: the Files table); true when it was done and the dialog may close.
    using Runner =
        std::function<bool(bool files, const std::string& set, const std::string& where)>;
    void SetRunner(Runner runner) { m_runner = std::move(runner); }

    bool Files() const;
    std::string SetText() const;
    std::string WhereText() const;
    // The statement "Update" runs.
    std::string Statement() const;

    // "Update".
    void accept() override;

    QComboBox* TableBox() const { return m_table; }
    QComboBox* SetColumnBox() const { return m_setColumn; }
    QComboBox* SetValueBox() const { return m_setValue; }
    QPushButton* SetAddButton() const { return m_setAdd; }
    QLineEdit* SetBox() const { return m_set; }
    CConditionRow* Conditions() const { return m_conditions; }
    QPlainTextEdit* WhereBox() const { return m_where; }
    QLabel* Tips() const { return m_tips; }
    QPushButton* UpdateButton() const { return m_update; }

private:
    void TableChosen();
    void SetColumnChosen();

    CUserPrompt& m_prompt;
    Runner m_runner;
    QComboBox* m_table;
    QComboBox* m_setColumn;
    QComboBox* m_setValue;
    QPushButton* m_setAdd;
    QLineEdit* m_set;
    CConditionRow* m_conditions;
    QPlainTextEdit* m_where;
    QLabel* m_tips;
    QPushButton* m_update;
};

}  // namespace tavik
