// "SQL query": a free SQL query node. The "Disk:", "File:" and "Parameters:" lists insert a
// column or a parameter at the caret of the statement; "Execute command" runs the statement
// as a command, "Display results" lists its rows with the display specification. OK stores the
// node; "Run now" stores it and asks for it to be run at once.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "database/query/QueryFields.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tavik {

class CDisplayBuilderRow;
class CUserPrompt;

class CSqlQueryDialog : public QDialog {
    Q_OBJECT
public:
    CSqlQueryDialog(CUserPrompt& prompt, const QueryFields& node, QWidget* parent = nullptr);

    // The names "Parameters:" offers (without brackets).
    void SetParameters(const std::vector<std::string>& names);

    // The node OK (or "Run now") stores.
    QueryFields Result() const;
    // True when the dialog was closed with "Run now".
    bool RunRequested() const { return m_runRequested; }

    void accept() override;

    QLineEdit* NameBox() const { return m_name; }
    QLineEdit* CommentsBox() const { return m_comments; }
    QComboBox* DiskBox() const { return m_disk; }
    QComboBox* FileBox() const { return m_file; }
    QComboBox* ParameterBox() const { return m_parameters; }
    QPlainTextEdit* StatementBox() const { return m_statement; }
    QRadioButton* ExecuteButton() const { return m_execute; }
    QRadioButton* DisplayButton() const { return m_displayResults; }
    CDisplayBuilderRow* DisplayBuilder() const { return m_builder; }
    QLineEdit* DisplayBox() const { return m_display; }
    QPushButton* RunNowButton() const { return m_runNow; }

private:
    void Insert(QComboBox* list, const QString& text);
    void ModeChosen();

    CUserPrompt& m_prompt;
    QueryFields m_node;
    bool m_runRequested = false;
    QLineEdit* m_name;
    QLineEdit* m_comments;
    QComboBox* m_disk;
    QComboBox* m_file;
    QComboBox* m_parameters;
    QPlainTextEdit* m_statement;
    QRadioButton* m_execute;
    QRadioButton* m_displayResults;
    CDisplayBuilderRow* m_builder;
    QLineEdit* m_display;
    QPushButton* m_runNow;
};

}  // namespace tavik
