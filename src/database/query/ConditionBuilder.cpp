#include "database/query/ConditionBuilder.h"

namespace tavik {

namespace {

const std::string kLikeTip =
    "Wildcards: ? any char, * string, # digit, [ADM-Z] valid chars, [!MJQ-Z] all but these";
const std::string kTextLikeTip =
    "Wildcards: ? any char, * string, # digit, [ADM-Z] valid chars, [!MJa-z] all but these";

bool IsIn(const std::string& op) {
    return op == "IN" || op == "NOT IN";
}
bool IsBetween(const std::string& op) {
    return op == "BETWEEN" || op == "NOT BETWEEN";
}
bool IsLike(const std::string& op) {
    return op == "LIKE" || op == "NOT LIKE";
}

}  // namespace

const std::vector<std::string>& ConditionOperators(ColumnKind kind) {
    static const std::vector<std::string> compare = {" =",      " <>",         " <",   " <=",
                                                     " >",      " >=",         "IN",   "NOT IN",
                                                     "BETWEEN", "NOT BETWEEN", "LIKE", "NOT LIKE"};
    static const std::vector<std::string> yesNo = {" = YES", " = NO"};
    return kind == ColumnKind::YesNo ? yesNo : compare;
}

std::string DefaultConditionValue(ColumnKind kind) {
    return kind == ColumnKind::Text ? "\"x\"" : "";
}

OperatorChoice ChooseOperator(ColumnKind kind, const std::string& op) {
    OperatorChoice choice;
    switch (kind) {
        case ColumnKind::YesNo:
            choice.tip = "Valid values: True, False, Yes or No";
            choice.valueShown = false;
            choice.value = "";
            break;
        case ColumnKind::Number:
            if (IsIn(op)) {
                choice.value = "( , )";
                choice.tip = "Syntax: IN(X,Y,Z,etc)";
            } else if (IsBetween(op)) {
                choice.value = " AND ";
                choice.tip = "Syntax: BETWEEN X AND Z";
            } else if (IsLike(op)) {
                choice.tip = kLikeTip;
            } else {
                choice.tip = "123 or [parameter]";
            }
            break;
        case ColumnKind::Text:
            if (IsIn(op)) {
                choice.value = "(\"x\" , \"y\")";
                choice.tip = "Syntax: IN(\"$1\",\"$2\",\"$3\",etc)";
            } else if (IsBetween(op)) {
                choice.value = "\"x\" AND \"y\"";
                choice.tip = "syntax: BETWEEN \"$1\" AND \"$2\"";
            } else if (IsLike(op)) {
                choice.value = "\"x*\"";
                choice.tip = kTextLikeTip;
            } else {
                choice.tip = "\"string\" or [parameter]";
            }
            break;
    }
    return choice;
}

const std::vector<std::string>& ConditionParameterNames() {
    // The file checksum is offered under the name the resolver knows ("CurFile ...").
    static const std::vector<std::string> names = {
        "[CurDisk ID]", "[CurDisk Disk name]", "[CurDisk CRC-S]", "[CurDisk ...]",
        "[CurFile ID]", "[CurFile File name]", "[CurFile CRC]",   "[CurFile ...]",
        "[Today]",      "[This year]",         "[Path]"};
    return names;
}

void AppendCondition(std::string& where, Conjunction conjunction, const std::string& column,
                     const std::string& op, const std::string& value, bool leftJoin) {
    if (!where.empty()) where += conjunction == Conjunction::And ? "\r\n AND " : "\r\n OR ";
    where += (leftJoin ? "[this].[" : "[") + column + "] ";
    where += op;
    where += ' ';
    where += value;
}

void AppendOrderColumn(std::string& orderBy, const std::string& column, bool descending,
                       bool leftJoin) {
    if (!orderBy.empty()) orderBy += ", ";
    orderBy += (leftJoin ? "[this].[" : "[") + column + "]";
    if (descending) orderBy += " DESC";
}

void AppendJoinColumn(std::string& joinOn, std::string& where, const std::string& column) {
    if (joinOn.empty()) {
        joinOn = "[this].[" + column + "] = [parent].[" + column + "]";
        if (!where.empty()) where += "\r\n AND ";
        where += "[this].[ID] <> [parent].[ID]";
        return;
    }
    joinOn += "\r\n AND [this].[" + column + "] = [parent].[" + column + "]";
}

}  // namespace tavik
