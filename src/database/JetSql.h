// The Jet SQL dialect on SQLite. Every statement the catalogue generates, and every statement a
// user types, is Jet SQL; this translator is the one place that turns it into SQLite's SQL:
//   "text" and 'text' literals (doubled quotes inside) become SQLite literals that compare
//   without regard to case; YES/TRUE become -1 and NO/FALSE 0 (Jet's true is -1);
//   [names] become quoted identifiers, or parameters when they name no column, table or alias
//   of the statement (reported by name, in order of first appearance, bound as ?1, ?2, ...);
//   DISTINCTROW keeps rows apart by the records they come from (over a join, one row per
//   combination of the records of the tables whose fields are selected); TOP n [PERCENT]
//   becomes a LIMIT of the same SELECT that keeps the rows tying with the last one;
//   a SELECT without ORDER BY gives its rows in the order of the row IDs of its tables;
//   "X UNION ALL (Y)" and other parenthesised compound members become sub-selects;
//   &, +, -, \ and ^ become the engine's functions where Jet's meaning differs from SQLite's
//   (nulls in &, date texts in + and -); the Jet functions map onto functions the engine
//   registers (JetFunctions.h), and an unknown function or operator is refused by name;
//   #date# literals become text.
// LIKE keeps its keyword: the engine's like() implements Jet's wildcards (* ? # [..] [!..]).
// Values never enter the SQL text through here: they are bound to the parameters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// Which names are tables and which are their columns (all comparisons ignore case).
class CJetSchema {
public:
    virtual ~CJetSchema() = default;
    // The columns of the table, or nullptr when there is no such table.
    virtual const std::vector<std::string>* Columns(std::string_view table) const = 0;
};

struct JetTranslation {
    bool ok = false;
    std::string error;                    // the engine's description when not ok
    std::string sql;                      // SQLite SQL (code page 1252, like the input)
    std::vector<std::string> parameters;  // parameter names; parameter i is bound as ?(i+1)
    bool isQuery = false;                 // a SELECT (rows), otherwise a command
    // Set when the statement is a single SELECT of every column of one table: the rows can then
    // be changed through it. keySql selects only that table's row ids, in the statement's order.
    std::string baseTable;
    std::string keySql;
};

JetTranslation TranslateJetSql(std::string_view jet, const CJetSchema& schema);

// A criteria text (as for "find first": "[ID]=5", "Name='Version'") as an SQLite expression in
// which the columns of `table` are known names.
JetTranslation TranslateJetCriteria(std::string_view criteria, const CJetSchema& schema,
                                    std::string_view table);

}  // namespace tavik
