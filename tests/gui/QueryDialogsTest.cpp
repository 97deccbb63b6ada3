// The catalogue's dialogs driven through their widgets: the WHERE builder's operators, values
// and tips, the designer's read-back into node fields (checked by assembling them), the SQL
// query and bulk replace dialogs, the customized display and the parameter question.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ScriptedPrompt.h"
#include "database/dialogs/BulkReplaceDialog.h"
#include "database/dialogs/ConditionRow.h"
#include "database/dialogs/CustomDisplayDialog.h"
#include "database/dialogs/DisplayBuilderRow.h"
#include "database/dialogs/ParamNotFoundDialog.h"
#include "database/dialogs/QueryDesignerDialog.h"
#include "database/dialogs/SqlQueryDialog.h"
#include "database/query/Assemble.h"
#include "qt/DialogRunner.h"

namespace tavik {
namespace {

void Choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
}

QueryFields NewNode(QueryKind kind = QueryKind::Disks) {
    QueryFields f;
    f.kind = static_cast<int32_t>(kind);
    return f;
}

QueryFields DiskParent() {
    QueryFields p = NewNode();
    p.name = "Double sided";
    p.predicate = "SELECT ALL ";
    p.where = "[DS] = YES";
    return p;
}

// The WHERE builder: the column's kind and the operator decide the value box and the tips line.
TEST(ConditionRowTest, OperatorsFillTheValueAndTheTip) {
    const struct {
        bool files;
        const char* column;
        const char* op;
        const char* value;  // nullptr: the box is hidden
        const char* tip;
    } rows[] = {
        {false, "Size", "BETWEEN", " AND ", "Syntax: BETWEEN X AND Z"},
        {false, "Free", "NOT IN", "( , )", "Syntax: IN(X,Y,Z,etc)"},
        {false, "Files", " >=", "", "123 or [parameter]"},
        {true, "Records", "LIKE", "",
         "Wildcards: ? any char, * string, # digit, [ADM-Z] valid chars, [!MJQ-Z] all but these"},
        {false, "DS", " = NO", nullptr, "Valid values: True, False, Yes or No"},
        {true, "Protected", " = YES", nullptr, "Valid values: True, False, Yes or No"},
        {false, "Disk name", " <>", "\"x\"", "\"string\" or [parameter]"},
        {true, "File name", "IN", "(\"x\" , \"y\")", "Syntax: IN(\"$1\",\"$2\",\"$3\",etc)"},
        {true, "Type", "NOT BETWEEN", "\"x\" AND \"y\"", "syntax: BETWEEN \"$1\" AND \"$2\""},
        {false, "Info2", "NOT LIKE", nullptr,
         "Wildcards: ? any char, * string, # digit, [ADM-Z] valid chars, [!MJa-z] all but these"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.column) + r.op);
        QPlainTextEdit where;
        QLabel tips;
        CConditionRow row(&where, &tips);
        row.SetTable(r.files);
        Choose(row.ColumnBox(), r.column);
        Choose(row.OperatorBox(), r.op);
        EXPECT_EQ(tips.text().toStdString(), r.tip);
        const bool likeOnText = std::string(r.op).find("LIKE") != std::string::npos &&
                                QueryColumnKind(r.files, r.column) == ColumnKind::Text;
        if (r.value) {
            EXPECT_TRUE(row.ValueShown());
            EXPECT_EQ(row.ValueBox()->currentText().toStdString(), r.value);
        } else if (!likeOnText) {
            EXPECT_FALSE(row.ValueShown());
        }
    }
}

TEST(ConditionRowTest, ColumnsFollowTheTableAndYesNoColumnsHideTheValue) {
    QPlainTextEdit where;
    QLabel tips;
    CConditionRow row(&where, &tips);
    EXPECT_EQ(row.ColumnBox()->itemText(0), "Disk name");
    EXPECT_EQ(row.ColumnBox()->count(), 21);
    EXPECT_EQ(row.ValueBox()->currentText(), "\"x\"");  // a text column starts with "x"
    Choose(row.ColumnBox(), "DD");
    EXPECT_EQ(row.OperatorBox()->count(), 2);
    EXPECT_EQ(row.OperatorBox()->itemText(0), " = YES");
    EXPECT_FALSE(row.ValueShown());
    Choose(row.ColumnBox(), "ID");
    EXPECT_TRUE(row.ValueShown());
    EXPECT_EQ(row.OperatorBox()->count(), 12);
    EXPECT_EQ(row.ValueBox()->currentText(), "");  // other kinds start empty
    row.SetTable(true);
    EXPECT_EQ(row.ColumnBox()->itemText(2), "Type");
    // The value box offers the parameter names.
    EXPECT_GE(row.ValueBox()->findText("[CurDisk Disk name]"), 0);
    EXPECT_GE(row.ValueBox()->findText("[This year]"), 0);
}

TEST(ConditionRowTest, AndAndOrAppendOneConditionEach) {
    QPlainTextEdit where;
    QLabel tips;
    CConditionRow row(&where, &tips);
    Choose(row.ColumnBox(), "Disk name");
    Choose(row.OperatorBox(), " =");
    row.ValueBox()->setEditText("\"WORK\"");
    row.AndButton()->click();
    Choose(row.ColumnBox(), "DS");
    Choose(row.OperatorBox(), " = YES");
    row.OrButton()->click();
    row.SetLeftJoin(true);
    Choose(row.ColumnBox(), "Size");
    Choose(row.OperatorBox(), " >");
    row.ValueBox()->setEditText("[Limit]");
    row.AndButton()->click();
    EXPECT_EQ(where.toPlainText().toStdString(),
              "[Disk name]  = \"WORK\"\n OR [DS]  = YES \n AND [this].[Size]  > [Limit]");
}

class DesignerTest : public testing::Test {
protected:
    test::CScriptedPrompt prompt;
};

TEST_F(DesignerTest, NewStandaloneQueryAssemblesFromWhatTheBuildersWrote) {
    CQueryDesignerDialog d(prompt, NewNode(), std::nullopt, "");
    EXPECT_EQ(d.windowTitle(), "Database query");
    EXPECT_FALSE(d.CombinationBox()->isVisibleTo(&d));
    EXPECT_FALSE(d.JoinOnBox()->isVisibleTo(&d));
    EXPECT_FALSE(d.NumberBox()->isEnabled());
    d.NameBox()->setText("Big disks");
    Choose(d.Conditions()->ColumnBox(), "Size");
    Choose(d.Conditions()->OperatorBox(), " >");
    d.Conditions()->ValueBox()->setEditText("720");
    d.Conditions()->AndButton()->click();
    Choose(d.OrderColumnBox(), "Disk name");
    d.DescendingBox()->setChecked(true);
    d.OrderAddButton()->click();
    Choose(d.OrderColumnBox(), "ID");
    d.DescendingBox()->setChecked(false);
    d.OrderAddButton()->click();
    EXPECT_EQ(d.OrderByBox()->text(), "[Disk name] DESC, [ID]");
    d.accept();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(prompt.messages.empty());
    const QueryFields q = d.Result();
    EXPECT_EQ(q.kind, 14);
    EXPECT_EQ(q.name, "Big disks");
    EXPECT_EQ(q.combination, 0);
    EXPECT_TRUE(q.joinOn.empty());
    const std::vector<QueryFields> chain = {q};
    EXPECT_EQ(Assemble(chain),
              "SELECT ALL * FROM [Disks] WHERE [Size]  > 720 ORDER BY [Disk name] DESC, [ID]");
}

TEST_F(DesignerTest, FileQueryUnderDiskQueryCombinesAsFilesOnDisks) {
    CQueryDesignerDialog d(prompt, NewNode(QueryKind::Files), 14, "Double sided");
    EXPECT_TRUE(d.CombinationBox()->isVisibleTo(&d));
    ASSERT_EQ(d.CombinationBox()->count(), 2);
    EXPECT_EQ(d.CombinationBox()->itemText(1), "Files on disks from");
    EXPECT_EQ(d.findChild<QLabel*>("parentName")->text(), "Double sided");
    // Turning the query into a disk query offers the same-table combinations.
    Choose(d.TableBox(), "Disks");
    EXPECT_EQ(d.CombinationBox()->count(), 5);
    EXPECT_EQ(d.CombinationBox()->itemText(4), "LEFT JOIN with");
    Choose(d.TableBox(), "Files");
    d.NameBox()->setText("Long files");
    d.CombinationBox()->setCurrentIndex(1);
    d.WhereBox()->setPlainText("[Size] > 10");
    d.accept();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    const QueryFields q = d.Result();
    EXPECT_EQ(q.kind, 15);
    EXPECT_EQ(q.combination, 6);
    const std::vector<QueryFields> chain = {q, DiskParent()};
    EXPECT_EQ(Assemble(chain),
              "SELECT ALL  t0.* FROM [Files] t0 INNER JOIN ([DiskFileMM] t1 INNER JOIN [Disks] t2 "
              "ON t2.[ID] = t1.[DiskID]) ON t1.[FileID] = t0.[ID] WHERE ( t0.[Size] > 10) AND ( "
              "t2.[ID] IN (SELECT ALL [ID] FROM [Disks] WHERE [DS] = YES))");
}

TEST_F(DesignerTest, LeftJoinWritesThisAndTheJoinBuilderAddsItsCondition) {
    CQueryDesignerDialog d(prompt, NewNode(), 14, "Double sided");
    Choose(d.CombinationBox(), "LEFT JOIN with");
    Choose(d.Conditions()->ColumnBox(), "Free");
    Choose(d.Conditions()->OperatorBox(), " <");
    d.Conditions()->ValueBox()->setEditText("10");
    d.Conditions()->AndButton()->click();
    Choose(d.JoinColumnBox(), "Disk name");
    d.JoinAddButton()->click();
    Choose(d.JoinColumnBox(), "Size");
    d.JoinAddButton()->click();
    Choose(d.OrderColumnBox(), "Size");
    d.OrderAddButton()->click();
    EXPECT_EQ(d.OrderByBox()->text(), "[this].[Size]");
    d.NameBox()->setText("Twins");
    d.accept();
    const QueryFields q = d.Result();
    EXPECT_EQ(q.combination, 4);
    EXPECT_EQ(q.where, "[this].[Free]  < 10\r\n AND [this].[ID] <> [parent].[ID]");
    EXPECT_EQ(q.joinOn,
              "[this].[Disk name] = [parent].[Disk name]\r\n AND [this].[Size] = [parent].[Size]");
    // Back to standalone, the builders write plain columns again.
    Choose(d.CombinationBox(), "Standalone");
    Choose(d.OrderColumnBox(), "ID");
    d.OrderAddButton()->click();
    EXPECT_EQ(d.OrderByBox()->text(), "[this].[Size], [ID]");
}

TEST_F(DesignerTest, SelectChoicesAndTheChecksThatKeepTheDialogOpen) {
    const struct {
        const char* select;
        const char* number;
        const char* predicate;  // nullptr: refused
    } rows[] = {
        {"ALL", "", "SELECT ALL "},
        {"TOP", "5", "SELECT TOP 5 "},
        {"TOP", "0x10", "SELECT TOP 16 "},
        {"TOP %", "150", "SELECT TOP 100 PERCENT "},
        {"DISTINCTROW", "", "SELECT DISTINCTROW "},
        {"TOP", "", nullptr},
        {"TOP", "0", nullptr},
        {"TOP %", "ten", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.select) + " " + r.number);
        prompt.messages.clear();
        CQueryDesignerDialog d(prompt, NewNode(), std::nullopt, "");
        d.NameBox()->setText("q");
        Choose(d.SelectBox(), r.select);
        d.NumberBox()->setText(r.number);
        d.accept();
        if (r.predicate) {
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_EQ(d.Result().predicate, r.predicate);
        } else {
            EXPECT_NE(d.result(), QDialog::Accepted);
            ASSERT_EQ(prompt.messages.size(), 1u);
        }
    }
    prompt.messages.clear();
    CQueryDesignerDialog unnamed(prompt, NewNode(), std::nullopt, "");
    unnamed.NameBox()->setText("   ");
    unnamed.accept();
    EXPECT_NE(unnamed.result(), QDialog::Accepted);
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Enter a name for the query."});
}

TEST_F(DesignerTest, AnExistingNodeShowsItsFieldsAndKeepsThemUnchanged) {
    QueryFields node = NewNode(QueryKind::Files);
    node.name = "Recent";
    node.predicate = "SELECT TOP 25 PERCENT ";
    node.where = "[Size] > 3\r\n AND [Type] = \"PROGRAM\"";
    node.orderBy = "[File name]";
    node.combination = 6;
    node.comments = "from the big disks";
    node.display = "[File name] [Size]<right>";
    node.columns = {1, 2};
    CQueryDesignerDialog d(prompt, node, 14, "Big disks");
    EXPECT_EQ(d.SelectBox()->currentText(), "TOP %");
    EXPECT_EQ(d.NumberBox()->text(), "25");
    EXPECT_EQ(d.TableBox()->currentText(), "Files");
    EXPECT_EQ(d.CombinationBox()->currentText(), "Files on disks from");
    EXPECT_EQ(d.WhereBox()->toPlainText(), "[Size] > 3\n AND [Type] = \"PROGRAM\"");
    EXPECT_EQ(d.CommentsBox()->text(), "from the big disks");
    d.accept();
    const QueryFields q = d.Result();
    EXPECT_EQ(q.predicate, node.predicate);
    EXPECT_EQ(q.where, node.where);
    EXPECT_EQ(q.orderBy, node.orderBy);
    EXPECT_EQ(q.combination, 6);
    EXPECT_EQ(q.display, node.display);
    EXPECT_TRUE(q.columns.empty());  // rebuilt when the list is shown
    EXPECT_EQ(q.sql,
              "SELECT TOP 25 PERCENT * FROM [Files] WHERE " + node.where + " ORDER BY [File name]");
}

TEST_F(DesignerTest, DisplayBuilderAppendsFieldsAndNewQueriesStartWithTheDefaults) {
    CQueryDesignerDialog d(prompt, NewNode(), std::nullopt, "");
    d.SetDefaultDisplays("[Disk name] [Size]", "[File name] [Type]");
    EXPECT_EQ(d.DisplayBox()->text(), "[Disk name] [Size]");
    Choose(d.TableBox(), "Files");
    EXPECT_EQ(d.DisplayBox()->text(), "[File name] [Type]");
    CDisplayBuilderRow* b = d.DisplayBuilder();
    EXPECT_EQ(b->FieldBox()->itemText(0), "-- All file fields --");
    Choose(b->FieldBox(), "Last byte");
    b->SizeBox()->setText("10");
    Choose(b->JustifyBox(), "Left");
    b->AddButton()->click();
    EXPECT_EQ(d.DisplayBox()->text(), "[File name] [Type] [Last byte]<10 left>");
    // Once edited, the text stays when the table changes.
    Choose(d.TableBox(), "Disks");
    EXPECT_EQ(d.DisplayBox()->text(), "[File name] [Type] [Last byte]<10 left>");
    d.DisplayBox()->clear();
    Choose(b->FieldBox(), "-- All disk fields --");
    b->SizeBox()->clear();
    Choose(b->JustifyBox(), "Right");
    b->AddButton()->click();
    const QString all = d.DisplayBox()->text();
    EXPECT_EQ(all.count("<right>"), 21);
    EXPECT_TRUE(all.startsWith(" [Disk name]<right> [ID]<right>"));
}

TEST(DisplayBuilderRowTest, AddAppendsTheFieldWithItsFormat) {
    QLineEdit line;
    CDisplayBuilderRow row(&line, nullptr);
    row.SetFields({"-- All catalog fields --", "File name", "Size"}, {"File name", "Size"});
    const struct {
        const char* field;
        const char* size;
        const char* justify;
        const char* added;
    } rows[] = {
        {"File name", "10", "Left", " [File name]<10 left>"},
        {"Size", "", "Right", " [Size]<right>"},
        {"Size", "40", "Default", " [Size]<40 >"},
        {"Size", "wide", "Center", " [Size]<center>"},
        {"File name", "", "Default", " [File name]"},
        {"-- All catalog fields --", "", "Left", " [File name]<left> [Size]<left>"},
    };
    for (const auto& r : rows) {
        line.clear();
        Choose(row.FieldBox(), r.field);
        row.SizeBox()->setText(r.size);
        Choose(row.JustifyBox(), r.justify);
        row.AddButton()->click();
        EXPECT_EQ(line.text().toStdString(), r.added) << r.field << " " << r.size;
    }
}

class SqlDialogTest : public testing::Test {
protected:
    test::CScriptedPrompt prompt;
};

TEST_F(SqlDialogTest, ListsInsertAtTheCaretAndReturnToTheirFirstEntry) {
    QueryFields node = NewNode(QueryKind::Sql);
    CSqlQueryDialog d(prompt, node);
    EXPECT_EQ(d.windowTitle(), "SQL query");
    d.SetParameters({"Owner", "Today"});
    d.StatementBox()->setPlainText("SELECT  FROM [Disks]");
    QTextCursor c = d.StatementBox()->textCursor();
    c.setPosition(7);
    d.StatementBox()->setTextCursor(c);
    Choose(d.DiskBox(), "Disk name");
    EXPECT_EQ(d.DiskBox()->currentIndex(), 0);
    d.StatementBox()->insertPlainText(", ");
    Choose(d.FileBox(), "Last");
    d.StatementBox()->moveCursor(QTextCursor::End);
    d.StatementBox()->insertPlainText(" WHERE [Disks].[Info1] = ");
    Choose(d.ParameterBox(), "Owner");
    EXPECT_EQ(d.ParameterBox()->currentIndex(), 0);
    EXPECT_EQ(d.StatementBox()->toPlainText(),
              "SELECT [Disks].[Disk name], [Files].[Last] FROM [Disks] WHERE [Disks].[Info1] = "
              "[Owner]");
}

TEST_F(SqlDialogTest, ExecuteCommandStoresNoneAndDisplayResultsTheSpecification) {
    QueryFields node = NewNode(QueryKind::Sql);
    node.name = "Wipe";
    node.sql = "DELETE FROM [Params]\r\nWHERE [Type] = 3";
    node.display = "None";
    node.columns = {5};
    {
        CSqlQueryDialog d(prompt, node);
        EXPECT_TRUE(d.ExecuteButton()->isChecked());
        EXPECT_EQ(d.DisplayBox()->text(), "");
        EXPECT_FALSE(d.DisplayBox()->isEnabled());
        EXPECT_EQ(d.StatementBox()->toPlainText(), "DELETE FROM [Params]\nWHERE [Type] = 3");
        d.accept();
        const QueryFields q = d.Result();
        EXPECT_EQ(q.kind, 16);
        EXPECT_EQ(q.sql, node.sql);
        EXPECT_EQ(q.display, "None");
        EXPECT_EQ(q.columns, node.columns);  // nothing changed, the columns stay
        EXPECT_FALSE(d.RunRequested());
    }
    CSqlQueryDialog d(prompt, node);
    d.DisplayButton()->setChecked(true);
    EXPECT_TRUE(d.DisplayBox()->isEnabled());
    CDisplayBuilderRow* b = d.DisplayBuilder();
    Choose(b->FieldBox(), "-- By field number --");
    b->SizeBox()->setText("60");
    b->AddButton()->click();
    EXPECT_EQ(d.DisplayBox()->text(), " [# x]<60 >");
    Choose(b->FieldBox(), "-- All returned fields --");
    b->AddButton()->click();
    EXPECT_EQ(d.DisplayBox()->text(), "");  // an empty specification shows every field
    d.DisplayBox()->setText("[#0] [#2]<right>");
    d.RunNowButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.RunRequested());
    EXPECT_EQ(d.Result().display, "[#0] [#2]<right>");
    EXPECT_TRUE(d.Result().columns.empty());
}

TEST_F(SqlDialogTest, NameAndStatementAreNeeded) {
    CSqlQueryDialog d(prompt, NewNode(QueryKind::Sql));
    EXPECT_TRUE(d.DisplayButton()->isChecked());
    d.NameBox()->setText("Count");
    d.RunNowButton()->click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.RunRequested());
    EXPECT_EQ(prompt.messages, std::vector<std::string>{"Enter an SQL statement."});
    d.StatementBox()->setPlainText("SELECT COUNT(*) FROM [Files]");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(BulkReplaceDialogTest, SetAndWhereMakeTheStatement) {
    test::CScriptedPrompt prompt;
    CBulkReplaceDialog d(prompt);
    EXPECT_EQ(d.windowTitle(), "Bulk replace");
    EXPECT_EQ(d.SetColumnBox()->findText("ID"), -1);
    Choose(d.TableBox(), "Files");
    Choose(d.SetColumnBox(), "Info1");
    EXPECT_EQ(d.SetValueBox()->currentText(), "\"x\"");
    d.SetAddButton()->click();
    EXPECT_EQ(d.Statement(), "UPDATE [Files] SET [Info1] = \"x\"");
    Choose(d.SetColumnBox(), "Protected");
    EXPECT_EQ(d.Tips()->text(), "Valid values: True, False, Yes or No");
    d.SetAddButton()->click();
    Choose(d.SetColumnBox(), "Records");
    d.SetValueBox()->setEditText("[CurFile Records]");
    d.SetAddButton()->click();
    Choose(d.Conditions()->ColumnBox(), "Size");
    Choose(d.Conditions()->OperatorBox(), "BETWEEN");
    EXPECT_EQ(d.Tips()->text(), "Syntax: BETWEEN X AND Z");
    d.Conditions()->ValueBox()->setEditText("1 AND 4");
    d.Conditions()->AndButton()->click();
    Choose(d.Conditions()->ColumnBox(), "Type");
    d.Conditions()->OrButton()->click();
    EXPECT_EQ(d.Statement(),
              "UPDATE [Files] SET [Info1] = \"x\", [Protected] = YES, [Records] = [CurFile "
              "Records] WHERE [Size] BETWEEN 1 AND 4\r\n OR [Type]  = \"x\"");
}

TEST(BulkReplaceDialogTest, UpdateClosesOnlyWhenTheRunnerSucceeded) {
    test::CScriptedPrompt prompt;
    CBulkReplaceDialog d(prompt);
    std::vector<std::string> runs;
    bool succeed = false;
    d.SetRunner([&](bool files, const std::string& set, const std::string& where) {
        runs.push_back((files ? "Files|" : "Disks|") + set + "|" + where);
        return succeed;
    });
    d.UpdateButton()->click();  // nothing in SET
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(d.result(), QDialog::Accepted);
    d.SetBox()->setText("[Info3] = \"old\"");
    d.UpdateButton()->click();
    EXPECT_NE(d.result(), QDialog::Accepted);  // failed: stays open to mend
    succeed = true;
    d.UpdateButton()->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(runs,
              (std::vector<std::string>{"Disks|[Info3] = \"old\"|", "Disks|[Info3] = \"old\"|"}));
}

class CustomDisplayTest : public testing::Test {
protected:
    CustomDisplayTest() {
        defaults.diskFields = "[Disk name] [Size]";
        defaults.diskSizes = ParseSizeList("<100><0xC028><0xC032>");
        targets.list = ListKind::DiskQuery;
        targets.currentSpec = &nodeSpec;
        targets.currentColumns = &nodeColumns;
        targets.defaultFields = &defaults.diskFields;
        targets.defaultSizes = &defaults.diskSizes;
    }
    test::CScriptedPrompt prompt;
    DisplayDefaults defaults;
    std::string nodeSpec = "[Disk name]";
    std::vector<int32_t> nodeColumns = {static_cast<int32_t>(ColumnCode(0, 90, JustifyLeft)),
                                        static_cast<int32_t>(ColumnCode(3, 0, JustifyRight))};
    DisplayTargets targets;
};

TEST_F(CustomDisplayTest, GetCurrentSaveAndTheBuilder) {
    CCustomDisplayDialog d(prompt, targets);
    EXPECT_EQ(d.windowTitle(), "Customized display");
    ASSERT_EQ(d.ApplyToBox()->count(), 3);
    EXPECT_EQ(d.ApplyToBox()->itemText(1), "Default disk query fields");
    // Opens on the shown list, written back from its columns.
    EXPECT_EQ(d.TextBox()->toPlainText(), "[Disk name]<90 left> [Free]<right> ");
    Choose(d.ApplyToBox(), "Default disk query fields");
    d.GetCurrentButton()->click();
    EXPECT_EQ(d.TextBox()->toPlainText(), "[Disk name] [Size]");
    Choose(d.Builder()->FieldBox(), "Files");
    d.Builder()->AddButton()->click();
    EXPECT_EQ(d.TextBox()->toPlainText(), "[Disk name] [Size] [Files]");
    d.SaveButton()->click();
    EXPECT_EQ(defaults.diskFields, "[Disk name] [Size] [Files]");
    EXPECT_TRUE(d.Customizer().DefaultsChanged());
    Choose(d.ApplyToBox(), "Current query");
    d.TextBox()->setPlainText("[ID]\n[Size]<right>");
    d.SaveButton()->click();
    EXPECT_EQ(nodeSpec, "[ID] [Size]<right>");
    EXPECT_TRUE(nodeColumns.empty());
}

TEST_F(CustomDisplayTest, OkAppliesAnEditedTextAndCancelDoesNot) {
    {
        CCustomDisplayDialog d(prompt, targets);
        Choose(d.ApplyToBox(), "Default column sizes");
        d.TextBox()->setPlainText("[ID]<60 center> [#2]<30>");
        d.reject();
    }
    EXPECT_EQ(defaults.diskSizes, ParseSizeList("<100><0xC028><0xC032>"));
    {
        CCustomDisplayDialog d(prompt, targets);
        d.accept();  // nothing edited: the node stays as it was
    }
    EXPECT_EQ(nodeSpec, "[Disk name]");
    EXPECT_EQ(nodeColumns.size(), 2u);
    CCustomDisplayDialog d(prompt, targets);
    Choose(d.ApplyToBox(), "Default column sizes");
    d.TextBox()->setPlainText("[ID]<60 center> [#2]<30>");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(defaults.diskSizes, (std::vector<uint16_t>{100, 60 + 2 * 0x4000, 30 + 1 * 0x4000}));
}

TEST(ParamNotFoundDialogTest, TheTypeChoiceDecidesHowTheValueReads) {
    const struct {
        const char* typed;
        ParamChoice choice;
        int32_t type;
        bool yes;
        long number;
        const char* text;
    } rows[] = {
        {"YES", ParamChoice::Auto, kParamYesNo, true, 0, ""},
        {" false ", ParamChoice::Auto, kParamYesNo, false, 0, ""},
        {"12", ParamChoice::Auto, kParamNumber, false, 12, ""},
        {"-0x10", ParamChoice::Auto, kParamNumber, false, -16, ""},
        {"12 apples", ParamChoice::Auto, kParamText, false, 0, "12 apples"},
        {"12", ParamChoice::Text, kParamText, false, 0, "12"},
        {"017", ParamChoice::Number, kParamNumber, false, 15, ""},
        {"true", ParamChoice::Boolean, kParamYesNo, true, 0, ""},
        {"maybe", ParamChoice::Boolean, kParamYesNo, false, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.typed);
        test::CScriptedPrompt prompt;
        CParamNotFoundDialog d(prompt, "Owner");
        d.ValueBox()->setText(r.typed);
        d.ChoiceButton(r.choice)->setChecked(true);
        d.accept();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        const ParamValue v = d.Value();
        EXPECT_EQ(v.type, r.type);
        if (r.type == kParamYesNo) {
            EXPECT_EQ(v.yes, r.yes);
        } else if (r.type == kParamNumber) {
            EXPECT_EQ(v.number, r.number);
        } else {
            EXPECT_EQ(v.text, r.text);
        }
    }
}

TEST(ParamNotFoundDialogTest, AskerAnswersFromTheDialog) {
    test::CScriptedPrompt prompt;
    CQtParamAsker asker(prompt, nullptr);
    ParamAnswer answer;
    SetStandingAnswer([](QDialog& dialog) {
        auto& d = static_cast<CParamNotFoundDialog&>(dialog);
        EXPECT_EQ(d.windowTitle(), "Parameter not found");
        EXPECT_EQ(d.NameLabel()->text(), "Min size");
        EXPECT_TRUE(d.ChoiceButton(ParamChoice::Auto)->isChecked());
        d.ValueBox()->setText("zero");
        d.ChoiceButton(ParamChoice::Number)->setChecked(true);
        d.accept();  // not a number: stays open
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.ValueBox()->setText("0x20");
        d.SaveBox()->setChecked(true);
        d.accept();
    });
    ASSERT_TRUE(asker.AskParameter("Min size", answer));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(answer.value, "0x20");
    EXPECT_EQ(answer.choice, ParamChoice::Number);
    EXPECT_TRUE(answer.saveIntoDatabase);
    SetStandingAnswer([](QDialog& d) { d.reject(); });
    EXPECT_FALSE(asker.AskParameter("Min size", answer));
}

// Renders each dialog; with TAVIK_SHOTS set to a folder the renderings are saved there.
TEST(QueryDialogsTour, EachDialogRenders) {
    test::CScriptedPrompt prompt;
    const QByteArray folder = qgetenv("TAVIK_SHOTS");
    auto save = [&](QDialog& d, const char* name) {
        d.adjustSize();
        const QPixmap shot = d.grab();
        EXPECT_FALSE(shot.isNull()) << name;
        if (!folder.isEmpty())
            shot.save(QDir(QString::fromLocal8Bit(folder)).filePath(QString(name) + ".png"));
    };
    QueryFields node = NewNode(QueryKind::Files);
    node.name = "Long files";
    node.predicate = "SELECT TOP 20 ";
    node.where = "[Size] > 10\r\n AND [Type] LIKE \"DIS*\"";
    node.orderBy = "[File name]";
    node.display = "[File name] [Size]<right>";
    node.combination = 6;
    CQueryDesignerDialog designer(prompt, node, 14, "Double sided");
    save(designer, "query-designer");
    CQueryDesignerDialog plain(prompt, NewNode(), std::nullopt, "");
    save(plain, "query-designer-new");
    QueryFields sql = NewNode(QueryKind::Sql);
    sql.name = "Per disk";
    sql.sql = "SELECT [Disks].[Disk name], COUNT(*) FROM [Disks] GROUP BY [Disks].[Disk name]";
    CSqlQueryDialog sqlDialog(prompt, sql);
    save(sqlDialog, "sql-query");
    CBulkReplaceDialog bulk(prompt);
    save(bulk, "bulk-replace");
    DisplayDefaults defaults;
    defaults.diskFields = "[Disk name] [Size]<right> [Free]<right>";
    DisplayTargets targets;
    targets.defaultFields = &defaults.diskFields;
    targets.defaultSizes = &defaults.diskSizes;
    CCustomDisplayDialog custom(prompt, targets);
    save(custom, "customized-display");
    CParamNotFoundDialog param(prompt, "Min size");
    save(param, "parameter-not-found");
}

}  // namespace
}  // namespace tavik
