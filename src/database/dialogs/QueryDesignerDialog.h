// "Database query": the designer of a disk or file query. It shows the node's fields; the
// WHERE, ORDER BY, join-on and display builders append to their texts; OK checks the entries
// (a message keeps the dialog open) and gives the node fields to write.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "database/query/QueryDesigner.h"
#include "database/query/QueryFields.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tavik {

class CConditionRow;
class CDisplayBuilderRow;
class CUserPrompt;

class CQueryDesignerDialog : public QDialog {
    Q_OBJECT
public:
    // `node` is the query edited (a new one has only its kind); `parentKind` and `parentName`
    // are those of the parent node when the query hangs under another node of the tree.
    CQueryDesignerDialog(CUserPrompt& prompt, const QueryFields& node,
                         std::optional<int32_t> parentKind, const std::string& parentName,
                         QWidget* parent = nullptr);

    // The display specifications a new query starts with (the catalogue's defaults). Changing
    // the table switches between them while the text is still the other table's default.
    void SetDefaultDisplays(const std::string& disks, const std::string& files);

    // What the controls hold now, and the node OK writes.
    DesignerInput Input() const;
    QueryFields Result() const;

    void accept() override;

    // The controls, for callers that fill them and for tests.
    QLineEdit* NameBox() const { return m_name; }
    QComboBox* CombinationBox() const { return m_combination; }
    QComboBox* SelectBox() const { return m_select; }
    QLineEdit* NumberBox() const { return m_number; }
    QComboBox* TableBox() const { return m_from; }
    CConditionRow* Conditions() const { return m_conditions; }
    QPlainTextEdit* WhereBox() const { return m_where; }
    QComboBox* OrderColumnBox() const { return m_orderColumn; }
    QCheckBox* DescendingBox() const { return m_descending; }
    QPushButton* OrderAddButton() const { return m_orderAdd; }
    QLineEdit* OrderByBox() const { return m_orderBy; }
    QComboBox* JoinColumnBox() const { return m_joinColumn; }
    QPushButton* JoinAddButton() const { return m_joinAdd; }
    QPlainTextEdit* JoinOnBox() const { return m_joinOn; }
    CDisplayBuilderRow* DisplayBuilder() const { return m_builder; }
    QLineEdit* DisplayBox() const { return m_display; }
    QLineEdit* CommentsBox() const { return m_comments; }
    QLabel* Tips() const { return m_tips; }

    // Reads a stored predicate back into the SELECT choice and its number.
    static SelectChoice ReadPredicate(const std::string& predicate, long& number);
    // The list position of a stored combination value among the choices offered.
    static int CombinationPosition(int32_t combination);

private:
    bool Files() const;
    bool LeftJoin() const;
    void TableChosen();
    void CombinationChosen();
    void SelectChosen();
    // The text shown in a message when an entry cannot be taken; empty when all is well.
    std::string Check() const;

    CUserPrompt& m_prompt;
    QueryFields m_node;
    std::optional<int32_t> m_parentKind;
    std::string m_diskDisplay, m_fileDisplay;
    bool m_isNew;

    QLineEdit* m_name;
    QWidget* m_combinationRow;
    QComboBox* m_combination;
    QLabel* m_parentName;
    QComboBox* m_select;
    QLineEdit* m_number;
    QComboBox* m_from;
    CConditionRow* m_conditions;
    QPlainTextEdit* m_where;
    QComboBox* m_orderColumn;
    QCheckBox* m_descending;
    QPushButton* m_orderAdd;
    QLineEdit* m_orderBy;
    QWidget* m_joinGroup;
    QComboBox* m_joinColumn;
    QPushButton* m_joinAdd;
    QPlainTextEdit* m_joinOn;
    CDisplayBuilderRow* m_builder;
    QLineEdit* m_display;
    QLineEdit* m_comments;
    QLabel* m_tips;
};

}  // namespace tavik
