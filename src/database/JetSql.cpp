#include "database/JetSql.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "database/SqlText.h"

namespace tavik {

namespace {

enum class Tok { Ident, Bracket, String, Date, Number, Op };

struct Token {
    Tok kind;
    std::string text;   // name, literal contents, number or operator
    std::string upper;  // identifiers: upper-cased
};

std::string Upper(std::string_view s) {
    std::string r(s);
    for (auto& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

bool IsIdentStart(unsigned char c) {
    return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsIdentChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c >= 0x80;
}

const char* const kSyntaxError = "Syntax error in query expression.";

bool Tokenize(std::string_view s, std::vector<Token>& out, std::string& error) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c <= ' ') {
            ++i;
            continue;
        }
        if (c == '[') {
            size_t end = s.find(']', i + 1);
            if (end == std::string_view::npos) {
                error = "Invalid bracketing of name '" + std::string(s.substr(i)) + "'.";
                return false;
            }
            std::string name(s.substr(i + 1, end - i - 1));
            if (name.empty() || name.find('[') != std::string::npos) {
                error =
                    "Invalid bracketing of name '" + std::string(s.substr(i, end - i + 1)) + "'.";
                return false;
            }
            out.push_back({Tok::Bracket, name, Upper(name)});
            i = end + 1;
            continue;
        }
        if (c == '"' || c == '\'' || c == '#') {
            const char q = static_cast<char>(c);
            std::string text;
            size_t j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == q) {
                    if (q != '#' && j + 1 < n && s[j + 1] == q) {
                        text += q;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                text += s[j++];
            }
            if (!closed) {
                error = q == '#' ? "Syntax error in date in query expression."
                                 : "Syntax error in string in query expression.";
                return false;
            }
            out.push_back({q == '#' ? Tok::Date : Tok::String, text, {}});
            i = j;
            continue;
        }
        if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit((unsigned char)s[i + 1]))) {
            size_t j = i;
            while (j < n && std::isdigit((unsigned char)s[j]))
                ++j;
            if (j < n && s[j] == '.') {
                ++j;
                while (j < n && std::isdigit((unsigned char)s[j]))
                    ++j;
            }
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                size_t k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < n && std::isdigit((unsigned char)s[k])) {
                    j = k;
                    while (j < n && std::isdigit((unsigned char)s[j]))
                        ++j;
                }
            }
            if (j < n && IsIdentStart((unsigned char)s[j])) {
                error = kSyntaxError;
                return false;
            }
            out.push_back({Tok::Number, std::string(s.substr(i, j - i)), {}});
            i = j;
            continue;
        }
        if (IsIdentStart(c)) {
            size_t j = i;
            while (j < n && IsIdentChar((unsigned char)s[j]))
                ++j;
            std::string name(s.substr(i, j - i));
            out.push_back({Tok::Ident, name, Upper(name)});
            i = j;
            continue;
        }
        if (c == '&' && i + 2 < n && (s[i + 1] == 'H' || s[i + 1] == 'h') &&
            std::isxdigit((unsigned char)s[i + 2])) {
            size_t j = i + 2;
            while (j < n && std::isxdigit((unsigned char)s[j]))
                ++j;
            if (j >= n || !IsIdentChar((unsigned char)s[j])) {
                unsigned long long v = 0;
                for (size_t k = i + 2; k < j && v < 0x100000000ULL; ++k)
                    v = v * 16 +
                        static_cast<unsigned>(std::isdigit((unsigned char)s[k])
                                                  ? s[k] - '0'
                                                  : std::toupper((unsigned char)s[k]) - 'A' + 10);
                out.push_back({Tok::Number, std::to_string(v), {}});
                i = j;
                continue;
            }
        }
        static const char* const kTwo[] = {"<>", "<=", ">=", "!="};
        bool two = false;
        for (const char* op : kTwo) {
            if (i + 1 < n && s[i] == op[0] && s[i + 1] == op[1]) {
                out.push_back({Tok::Op, op, {}});
                i += 2;
                two = true;
                break;
            }
        }
        if (two) continue;
        if (std::string_view("=<>+-*/\\^&(),.!;").find(static_cast<char>(c)) !=
            std::string_view::npos) {
            out.push_back({Tok::Op, std::string(1, static_cast<char>(c)), {}});
            ++i;
            continue;
        }
        error = "Invalid character in query expression.";
        return false;
    }
    return true;
}

const std::set<std::string>& Keywords() {
    static const std::set<std::string> k = {
        "SELECT", "ALL",    "DISTINCT", "DISTINCTROW", "TOP",    "PERCENT", "FROM",   "WHERE",
        "AND",    "OR",     "NOT",      "IN",          "IS",     "NULL",    "LIKE",   "BETWEEN",
        "ORDER",  "BY",     "ASC",      "DESC",        "GROUP",  "HAVING",  "AS",     "INNER",
        "LEFT",   "RIGHT",  "OUTER",    "JOIN",        "ON",     "UNION",   "INSERT", "INTO",
        "VALUES", "UPDATE", "SET",      "DELETE",      "EXISTS", "YES",     "NO",     "TRUE",
        "FALSE",  "MOD",    "XOR",      "EQV",         "IMP",    "CASE",    "WHEN",   "THEN",
        "ELSE",   "END",    "CROSS",    "INTERSECT",   "EXCEPT"};
    return k;
}

bool IsKeyword(const Token& t) {
    return t.kind == Tok::Ident && Keywords().count(t.upper);
}

// Jet function -> the engine's function (registered by the engine layer, or SQLite's own).
const std::map<std::string, std::string>& Functions() {
    static const std::map<std::string, std::string> f = {{"LEFT", "jet_left"},
                                                         {"RIGHT", "jet_right"},
                                                         {"MID", "jet_mid"},
                                                         {"LEN", "jet_len"},
                                                         {"UCASE", "jet_ucase"},
                                                         {"LCASE", "jet_lcase"},
                                                         {"TRIM", "jet_trim"},
                                                         {"LTRIM", "jet_ltrim"},
                                                         {"RTRIM", "jet_rtrim"},
                                                         {"IIF", "jet_iif"},
                                                         {"NZ", "jet_nz"},
                                                         {"VAL", "jet_val"},
                                                         {"INSTR", "jet_instr"},
                                                         {"STR", "jet_str"},
                                                         {"INT", "jet_int"},
                                                         {"REPLACE", "jet_replace"},
                                                         {"CHR", "jet_chr"},
                                                         {"ASC", "jet_asc"},
                                                         {"CSTR", "jet_cstr"},
                                                         {"CINT", "jet_cint"},
                                                         {"CLNG", "jet_clng"},
                                                         {"CDBL", "jet_cdbl"},
                                                         {"CDATE", "jet_cdate"},
                                                         {"DATEVALUE", "jet_cdate"},
                                                         {"DATE", "jet_date"},
                                                         {"NOW", "jet_now"},
                                                         {"TIME", "jet_time"},
                                                         {"YEAR", "jet_year"},
                                                         {"MONTH", "jet_month"},
                                                         {"DAY", "jet_day"},
                                                         {"HOUR", "jet_hour"},
                                                         {"MINUTE", "jet_minute"},
                                                         {"SECOND", "jet_second"},
                                                         {"WEEKDAY", "jet_weekday"},
                                                         {"DATESERIAL", "jet_dateserial"},
                                                         {"DATEADD", "jet_dateadd"},
                                                         {"DATEDIFF", "jet_datediff"},
                                                         {"DATEPART", "jet_datepart"},
                                                         {"ISNULL", "jet_isnull"},
                                                         {"FORMAT", "jet_format"},
                                                         {"ABS", "abs"},
                                                         {"COUNT", "count"},
                                                         {"SUM", "sum"},
                                                         {"AVG", "avg"},
                                                         {"MIN", "min"},
                                                         {"MAX", "max"}};
    return f;
}

bool IsAggregate(const std::string& function) {
    return function == "count" || function == "sum" || function == "avg" || function == "min" ||
           function == "max";
}

std::string Literal(std::string_view text) {
    return SqlTextLiteral(text) + " COLLATE NOCASE";
}

class CTranslator {
public:
    CTranslator(const std::vector<Token>& tokens, const CJetSchema& schema, std::string_view table)
        : m_t(tokens), m_schema(schema) {
        if (!table.empty()) AddTable(table);
    }

    bool Run(JetTranslation& result, bool criteria);
    const std::string& Error() const { return m_error; }

private:
    struct Scope {
        int depth = 0;
        size_t outStart = 0;
        size_t listStart = 0;
        size_t listEnd = 0;  // 0: FROM not yet seen
        std::string top;
        bool percent = false;
        bool star = false;      // the select list is * or name.*
        std::string qualifier;  // the name before .*
        bool orderBy = false;
        size_t orderPos = 0;  // the output piece "ORDER" when orderBy
        bool groupBy = false;
        bool compound = false;  // a member after UNION
        bool distinct = false;
        bool distinctRow = false;
        bool aggregate = false;  // the select list calls an aggregate function
        // The tables of the FROM, and what the select list names: every column, qualifiers,
        // unqualified columns.
        struct Table {
            std::string qualifier;  // the alias, else the name
            std::string name;
            bool grouped;  // inside brackets that group joins (its row id cannot be named)
        };
        std::vector<Table> tables;
        bool listAll = false;
        std::set<std::string> listQualifiers;
        std::set<std::string> listColumns;
    };

    const Token* At(size_t i) const { return i < m_t.size() ? &m_t[i] : nullptr; }
    bool IsOp(size_t i, const char* op) const {
        const Token* t = At(i);
        return t && t->kind == Tok::Op && t->text == op;
    }
    bool IsWord(size_t i, const char* word) const {
        const Token* t = At(i);
        return t && t->kind == Tok::Ident && t->upper == word;
    }
    bool IsName(size_t i) const {
        const Token* t = At(i);
        return t && (t->kind == Tok::Bracket || (t->kind == Tok::Ident && !IsKeyword(*t)));
    }
    void AddTable(std::string_view name) {
        const std::vector<std::string>* cols = m_schema.Columns(name);
        if (!cols) return;
        m_tables.insert(Upper(name));
        for (const auto& c : *cols)
            m_columns.insert(Upper(c));
    }
    bool Fail(std::string text) {
        if (m_error.empty()) m_error = std::move(text);
        return false;
    }

    void Analyse();
    bool EmitName(size_t i);
    bool EmitSelect(size_t& i);
    void CloseScope(bool byUnion);
    void Emit(std::string piece) { m_out.push_back(std::move(piece)); }
    // The pieces from..to as SQL, the Jet operators among them resolved.
    std::string Join(size_t from, size_t to) const;
    int ParamIndex(const std::string& name);
    void NoteListToken(size_t i);
    void NoteTable(size_t i);
    std::string DistinctRowGrouping(const Scope& s) const;

    const std::vector<Token>& m_t;
    const CJetSchema& m_schema;
    std::set<std::string> m_tables;
    std::set<std::string> m_columns;
    std::map<std::string, std::string> m_aliases;  // upper alias -> table ("" for column aliases)
    std::vector<bool> m_tablePos;
    std::vector<bool> m_aliasPos;
    int m_topTables = 0;  // table positions in the outermost FROM
    std::vector<std::string> m_out;
    std::vector<Scope> m_scopes;
    std::vector<bool> m_parens;  // per open bracket: it wraps a compound member
    std::vector<std::string> m_params;
    std::string m_error;
    bool m_pendingCompound = false;
    bool m_compound = false;  // the outermost statement is a compound select
    bool m_topGroupBy = false;
    std::string m_topTableName;  // the first table of the outermost FROM
    Scope m_topScope;
    bool m_haveTopScope = false;
    size_t m_size = 0;
    static constexpr size_t kMaxSqlSize = 1 << 20;
};

// Finds the tables the statement reads or writes, their aliases and the column aliases, so that
// the main pass can tell a column from a parameter.
void CTranslator::Analyse() {
    m_tablePos.assign(m_t.size(), false);
    m_aliasPos.assign(m_t.size(), false);
    struct Level {
        bool inFrom;
        bool join;  // a bracket inside a FROM that groups joins
    };
    std::vector<Level> levels{{false, false}};
    bool expectTable = false;
    int plainDepth = 0;  // brackets open that are not join groups
    for (size_t i = 0; i < m_t.size(); ++i) {
        const Token& t = m_t[i];
        if (t.kind == Tok::Op) {
            if (t.text == "(") {
                bool join = expectTable && !IsWord(i + 1, "SELECT");
                levels.push_back({join, join});
                if (!join) ++plainDepth;
                expectTable = join;
            } else if (t.text == ")") {
                if (levels.size() > 1) {
                    if (!levels.back().join) --plainDepth;
                    levels.pop_back();
                }
                expectTable = false;
            } else if (t.text == ",") {
                expectTable = levels.back().inFrom;
            } else {
                expectTable = false;
            }
            continue;
        }
        if (t.kind == Tok::Ident && IsKeyword(t)) {
            const std::string& u = t.upper;
            if (u == "FROM" || u == "JOIN" || u == "INTO" || u == "UPDATE") {
                levels.back().inFrom = true;
                expectTable = true;
            } else if (u == "WHERE" || u == "ORDER" || u == "GROUP" || u == "HAVING" ||
                       u == "UNION" || u == "SET" || u == "VALUES" || u == "SELECT") {
                levels.back().inFrom = false;
                expectTable = false;
                if (u == "GROUP" && plainDepth == 0) m_topGroupBy = true;
            } else if (u == "AS" && IsName(i + 1)) {
                m_aliases.emplace(Upper(m_t[i + 1].text), "");
                m_aliasPos[i + 1] = true;
                expectTable = false;
            } else if (u != "INNER" && u != "LEFT" && u != "RIGHT" && u != "OUTER" &&
                       u != "CROSS") {
                expectTable = false;
            }
            continue;
        }
        if (expectTable && (t.kind == Tok::Bracket || t.kind == Tok::Ident)) {
            m_tablePos[i] = true;
            AddTable(t.text);
            if (plainDepth == 0 && m_topTables++ == 0) m_topTableName = t.text;
            size_t j = i + 1;
            if (IsWord(j, "AS")) ++j;
            if (IsName(j) && !IsOp(j + 1, "(")) {
                m_aliases[Upper(m_t[j].text)] = Upper(t.text);
                m_aliasPos[j] = true;
                i = j;
            }
            expectTable = false;
            continue;
        }
        expectTable = false;
    }
}

int CTranslator::ParamIndex(const std::string& name) {
    std::string u = Upper(name);
    for (size_t k = 0; k < m_params.size(); ++k)
        if (Upper(m_params[k]) == u) return static_cast<int>(k);
    m_params.push_back(name);
    return static_cast<int>(m_params.size() - 1);
}

bool CTranslator::EmitName(size_t i) {
    const Token& t = m_t[i];
    const std::string u = Upper(t.text);
    bool known = m_tablePos[i] || m_aliasPos[i] || IsOp(i + 1, ".") || IsOp(i + 1, "!") ||
                 (i > 0 && (IsOp(i - 1, ".") || IsOp(i - 1, "!"))) || m_tables.count(u) ||
                 m_columns.count(u) || m_aliases.count(u) || m_schema.Columns(t.text) != nullptr;
    if (known) {
        Emit(SqlName(t.text));
    } else {
        Emit("?" + std::to_string(ParamIndex(t.text) + 1));
    }
    return true;
}

bool CTranslator::EmitSelect(size_t& i) {
    Scope s;
    s.depth = static_cast<int>(m_parens.size());
    s.outStart = m_out.size();
    s.compound = m_pendingCompound;
    m_pendingCompound = false;
    Emit("SELECT");
    size_t j = i + 1;
    for (;;) {
        if (IsWord(j, "ALL")) {
            Emit("ALL");
            ++j;
        } else if (IsWord(j, "DISTINCT")) {
            Emit("DISTINCT");
            s.distinct = true;
            ++j;
        } else if (IsWord(j, "DISTINCTROW")) {
            s.distinctRow = true;
            ++j;
        } else if (IsWord(j, "TOP")) {
            const Token* n = At(j + 1);
            if (!n || n->kind != Tok::Number ||
                n->text.find_first_not_of("0123456789") != std::string::npos ||
                n->text.size() > 9 || !s.top.empty())
                return Fail(
                    "The SELECT statement includes a reserved word or an argument name that is "
                    "misspelled or missing, or the punctuation is incorrect.");
            s.top = std::to_string(std::stol(n->text));
            j += 2;
            if (IsWord(j, "PERCENT")) {
                s.percent = true;
                ++j;
            }
        } else {
            break;
        }
    }
    s.listStart = m_out.size();
    if (IsOp(j, "*") && IsWord(j + 1, "FROM")) {
        s.star = true;
    } else if (IsName(j) && IsOp(j + 1, ".") && IsOp(j + 2, "*") && IsWord(j + 3, "FROM")) {
        s.star = true;
        s.qualifier = m_t[j].text;
    }
    m_scopes.push_back(s);
    i = j;
    return true;
}

namespace {

// Jet operators whose meaning SQLite's operators lack are emitted as marks until their operands
// are known, then become calls of the engine's functions: "&" joins a null with a text as that
// text (SQLite's "||" gives null, so "[Info1] & "x"" in a bulk update would empty every row
// whose Info1 is null); "+" and "-" also work on the date texts of the Jet date functions and
// join two texts; "\" divides rounded integers; "^" raises to a power.
constexpr char kMark = '\x01';
struct Operator {
    char symbol;
    int precedence;  // higher binds tighter
    const char* function;
    const char* plain;  // what a mark without two operands becomes
};
const Operator kOperators[] = {{'^', 7, "jet_pow", "^"},
                               {'\\', 5, "jet_intdiv", "\\"},
                               {'+', 3, "jet_add", "+"},
                               {'-', 3, "jet_sub", "-"},
                               {'&', 2, "jet_concat", "||"}};

std::string Mark(char symbol) {
    return std::string(1, kMark) + symbol;
}

// The precedence of an operator piece; 1 for everything an operand never runs across (lower
// precedence than every wrapped operator, or a separator); 0 for operand pieces.
int Precedence(const std::string& piece) {
    if (piece.size() == 2 && piece[0] == kMark) {
        for (const Operator& o : kOperators)
            if (o.symbol == piece[1]) return o.precedence;
    }
    if (piece == "*" || piece == "/") return 6;
    if (piece == "%") return 4;
    if (piece == "+" || piece == "-") return 3;
    if (piece == "||") return 2;
    static const std::set<std::string> kEnds = {
        ",",     "=",     "<>",     "<",      ">",       "<=",        ">=",     "AND",      "OR",
        "NOT",   "LIKE",  "IN",     "IS",     "BETWEEN", "SELECT",    "ALL",    "DISTINCT", "WHERE",
        "SET",   "FROM",  "ON",     "HAVING", "BY",      "AS",        "THEN",   "ELSE",     "WHEN",
        "CASE",  "END",   "VALUES", "LIMIT",  "OFFSET",  "UNION",     "ESCAPE", "XOR",      "EQV",
        "ORDER", "GROUP", "ASC",    "DESC",   ";",       "INTERSECT", "EXCEPT"};
    return kEnds.count(piece) ? 1 : 0;
}

// Brackets a piece opens (positive) or closes (negative), outside quotes.
int Balance(const std::string& piece) {
    int balance = 0;
    char quote = 0;
    for (char c : piece) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++balance;
        } else if (c == ')') {
            --balance;
        }
    }
    return balance;
}

// Replaces each operator mark by a call of its function on its operands, tightest-binding
// operators first. The piece count stays the same.
void WrapOperators(std::vector<std::string>& out) {
    for (const Operator& op : kOperators) {
        const std::string mark = Mark(op.symbol);
        for (size_t k = 0; k < out.size(); ++k) {
            if (out[k] != mark) continue;
            // The left operand ends right before the mark: a value, not an operator.
            size_t left = k;
            if (k > 0 && Precedence(out[k - 1]) == 0 && Balance(out[k - 1]) <= 0) {
                for (int depth = 0; left > 0; --left) {
                    const std::string& p = out[left - 1];
                    const int b = Balance(p);
                    if (b < 0) {
                        depth -= b;
                    } else if (b > 0) {
                        if (depth < b) break;
                        depth -= b;
                    } else if (depth == 0) {
                        const int level = Precedence(p);
                        if (level > 0 && level <= op.precedence) break;
                    }
                }
            }
            size_t right = k + 1;
            // A sign may lead the right operand.
            while (right < out.size() && (out[right] == "-" || out[right] == "+" ||
                                          out[right] == Mark('-') || out[right] == Mark('+')))
                ++right;
            const size_t valueStart = right;
            for (int depth = 0; right < out.size(); ++right) {
                const std::string& p = out[right];
                const int b = Balance(p);
                if (b > 0) {
                    depth += b;
                } else if (b < 0) {
                    if (depth < -b) break;
                    depth += b;
                } else if (depth == 0) {
                    const int level = Precedence(p);
                    if (level > 0 && level <= op.precedence) break;
                }
            }
            if (left == k || right == valueStart) {
                out[k] = op.plain;
                continue;
            }
            for (size_t j = k + 1; j < valueStart; ++j)
                if (out[j][0] == kMark) out[j] = out[j].substr(1);
            out[left] = std::string(op.function) + "(" + out[left];
            out[k] = ",";
            out[right - 1] += ")";
        }
    }
}

std::string JoinPieces(const std::vector<std::string>& pieces) {
    std::string r;
    for (size_t k = 0; k < pieces.size(); ++k) {
        if (k > 0 && pieces[k] != "." && pieces[k - 1] != ".") r += ' ';
        r += pieces[k];
    }
    return r;
}

}  // namespace

std::string CTranslator::Join(size_t from, size_t to) const {
    to = std::min(to, m_out.size());
    std::vector<std::string> pieces(m_out.begin() + static_cast<long>(std::min(from, to)),
                                    m_out.begin() + static_cast<long>(to));
    WrapOperators(pieces);
    return JoinPieces(pieces);
}

// A table of a FROM: its qualifier (the alias, else its name) for the innermost select.
void CTranslator::NoteTable(size_t i) {
    if (m_scopes.empty()) return;
    std::string qualifier = m_t[i].text;
    size_t j = i + 1;
    if (IsWord(j, "AS")) ++j;
    if (j < m_t.size() && m_aliasPos[j]) qualifier = m_t[j].text;
    Scope& s = m_scopes.back();
    s.tables.push_back({qualifier, m_t[i].text, static_cast<int>(m_parens.size()) > s.depth});
}

// What the select list of the innermost select names, for DISTINCTROW.
void CTranslator::NoteListToken(size_t i) {
    if (m_scopes.empty()) return;
    Scope& s = m_scopes.back();
    if (s.listEnd != 0) return;
    const Token& t = m_t[i];
    if (t.kind == Tok::Op && t.text == "*" && (i == 0 || !IsOp(i - 1, "."))) {
        s.listAll = true;
    } else if ((t.kind == Tok::Bracket || t.kind == Tok::Ident) && !IsKeyword(t) &&
               !IsOp(i + 1, "(")) {
        if (IsOp(i + 1, ".") || IsOp(i + 1, "!")) {
            s.listQualifiers.insert(t.upper);
        } else if (i == 0 || (!IsOp(i - 1, ".") && !IsOp(i - 1, "!"))) {
            if (m_columns.count(t.upper)) s.listColumns.insert(t.upper);
        }
    }
}

// DISTINCTROW keeps whole rows apart: over one table it changes nothing; over a join it keeps
// one row per distinct combination of the rows of the tables whose fields are selected.
std::string CTranslator::DistinctRowGrouping(const Scope& s) const {
    if (!s.distinctRow || s.groupBy || s.aggregate || s.listAll || s.tables.size() < 2) return {};
    std::vector<bool> named(s.tables.size(), false);
    for (size_t t = 0; t < s.tables.size(); ++t) {
        if (s.listQualifiers.count(Upper(s.tables[t].qualifier))) named[t] = true;
        if (const auto* columns = m_schema.Columns(s.tables[t].name)) {
            for (const auto& c : *columns)
                if (s.listColumns.count(Upper(c))) named[t] = true;
        }
    }
    if (std::all_of(named.begin(), named.end(), [](bool b) { return b; })) return {};
    std::string grouping;
    for (size_t t = 0; t < s.tables.size(); ++t) {
        if (!named[t]) continue;
        if (s.tables[t].grouped) return {};
        grouping += (grouping.empty() ? "" : ", ") + SqlName(s.tables[t].qualifier) + ".rowid";
    }
    return grouping;
}

void CTranslator::CloseScope(bool byUnion) {
    Scope s = m_scopes.back();
    m_scopes.pop_back();
    const bool outermost =
        s.depth == 0 && m_scopes.empty() && !byUnion && !s.compound && !m_compound;
    const std::string grouping = DistinctRowGrouping(s);
    if (!grouping.empty()) {
        const size_t at = s.orderBy ? s.orderPos : m_out.size();
        m_out.insert(m_out.begin() + static_cast<long>(at), {"GROUP", "BY", grouping});
        if (s.orderBy) s.orderPos += 3;
    }
    // Without an order the rows of a table come in the order of their IDs (an index the engine
    // happens to read would give its own order).
    if (outermost && !s.orderBy && !s.groupBy && !s.distinct && !s.aggregate && grouping.empty() &&
        !s.tables.empty()) {
        std::string order;
        for (const auto& table : s.tables)
            if (!table.grouped)
                order += (order.empty() ? "" : ", ") + SqlName(table.qualifier) + ".rowid";
        if (!order.empty()) m_out.insert(m_out.end(), {"ORDER", "BY", order});
    }
    if (!s.top.empty()) {
        // The count repeats the statement, so nested predicates grow the text fast.
        std::string count = s.top;
        if (s.percent) {
            const std::string body = Join(s.outStart, m_out.size());
            m_size += body.size();
            count = "(SELECT (COUNT(*) * " + s.top + " + 99) / 100 FROM (" + body + "))";
        }
        if (s.orderBy) {
            // TOP n keeps the rows that tie with the n-th in the order: as many rows as rank
            // no higher than n.
            const std::string from = Join(s.listEnd, s.orderPos);
            const std::string order = Join(s.orderPos + 2, m_out.size());
            m_size += from.size() + order.size();
            count = "(SELECT COUNT(*) FROM (SELECT RANK() OVER (ORDER BY " + order +
                    ") AS tavik_rank " + from + ") WHERE tavik_rank <= " + count + ")";
        }
        if (m_size > kMaxSqlSize) {
            Fail("Query is too complex.");
            return;
        }
        Emit("LIMIT");
        Emit(count);
    }
    bool wrap = (byUnion && (!s.top.empty() || s.orderBy)) || (s.compound && !s.top.empty());
    if (wrap) {
        m_out.insert(m_out.begin() + static_cast<long>(s.outStart), "SELECT * FROM (");
        Emit(")");
    }
    if (outermost) {
        m_topScope = s;
        m_haveTopScope = !wrap;
    }
}

const char* const kInvalidStatement =
    "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.";

bool CTranslator::Run(JetTranslation& r, bool criteria) {
    Analyse();
    size_t end = m_t.size();
    while (end > 0 && IsOp(end - 1, ";"))
        --end;
    if (!criteria) {
        r.isQuery = IsWord(0, "SELECT") || IsOp(0, "(");
        if (!r.isQuery && !IsWord(0, "INSERT") && !IsWord(0, "UPDATE") && !IsWord(0, "DELETE"))
            return Fail(kInvalidStatement);
    } else if (end == 0) {
        return Fail(kSyntaxError);
    }
    size_t i = 0;
    while (i < end) {
        const Token& t = m_t[i];
        const int depth = static_cast<int>(m_parens.size());
        Scope* scope =
            !m_scopes.empty() && m_scopes.back().depth == depth ? &m_scopes.back() : nullptr;
        if (m_tablePos[i]) NoteTable(i);
        NoteListToken(i);
        if (t.kind == Tok::String || t.kind == Tok::Date) {
            Emit(Literal(t.text));
        } else if (t.kind == Tok::Number) {
            Emit(t.text);
        } else if (t.kind == Tok::Bracket) {
            EmitName(i);
        } else if (t.kind == Tok::Ident) {
            const std::string& u = t.upper;
            if ((u == "LEFT" || u == "RIGHT" || u == "ASC") && IsOp(i + 1, "(")) {
                Emit(Functions().at(u));
            } else if (IsKeyword(t)) {
                if (u == "SELECT") {
                    if (!EmitSelect(i)) return false;
                    continue;
                }
                if (u == "YES" || u == "TRUE") {
                    Emit("-1");
                } else if (u == "NO" || u == "FALSE") {
                    Emit("0");
                } else if (u == "MOD") {
                    Emit("%");
                } else if (u == "DISTINCTROW" || u == "TOP" || u == "PERCENT") {
                    return Fail(kSyntaxError);
                } else if (u == "XOR" || u == "EQV" || u == "IMP") {
                    return Fail("The operator " + t.text + " is not supported.");
                } else if (u == "UNION" || u == "INTERSECT" || u == "EXCEPT") {
                    if (scope) CloseScope(true);
                    if (depth == 0) m_compound = true;
                    m_pendingCompound = true;
                    Emit(u);
                    if (IsWord(i + 1, "ALL")) {
                        Emit("ALL");
                        ++i;
                    }
                } else if (u == "DELETE") {
                    // Jet names what it deletes ("DELETE *", "DELETE t.*"); SQLite deletes rows
                    // of the table after FROM.
                    Emit("DELETE");
                    size_t j = i + 1;
                    while (j < end && !IsWord(j, "FROM"))
                        ++j;
                    i = j;
                    continue;
                } else {
                    if (u == "FROM" && scope && scope->listEnd == 0) scope->listEnd = m_out.size();
                    if (u == "ORDER" && scope) {
                        scope->orderBy = true;
                        scope->orderPos = m_out.size();
                    }
                    if (u == "GROUP" && scope) scope->groupBy = true;
                    Emit(u);
                }
            } else if (IsOp(i + 1, "(") && !m_tablePos[i]) {
                auto it = Functions().find(u);
                if (it == Functions().end())
                    return Fail("Undefined function '" + t.text + "' in expression.");
                if (IsAggregate(it->second) && !m_scopes.empty() && m_scopes.back().listEnd == 0)
                    m_scopes.back().aggregate = true;
                Emit(it->second);
            } else {
                EmitName(i);
            }
        } else {
            const std::string& o = t.text;
            if (o == "(") {
                bool member = IsWord(i + 1, "SELECT") &&
                              (i == 0 || IsWord(i - 1, "UNION") || IsWord(i - 1, "INTERSECT") ||
                               IsWord(i - 1, "EXCEPT") ||
                               (i >= 2 && IsWord(i - 1, "ALL") && IsWord(i - 2, "UNION")) ||
                               (IsOp(i - 1, "(") && !m_parens.empty() && m_parens.back()));
                if (member) {
                    Emit("SELECT * FROM (");
                    m_pendingCompound = false;
                } else {
                    Emit("(");
                }
                m_parens.push_back(member);
            } else if (o == ")") {
                if (m_parens.empty()) return Fail("Extra ) in query expression.");
                while (!m_scopes.empty() && m_scopes.back().depth == depth)
                    CloseScope(false);
                if (!m_error.empty()) return false;
                m_parens.pop_back();
                Emit(")");
            } else if (o == "&" || o == "+" || o == "-" || o == "\\" || o == "^") {
                Emit(Mark(o[0]));
            } else if (o == "!") {
                Emit(".");
            } else if (o == "!=") {
                Emit("<>");
            } else if (o == ";") {
                return Fail("Characters found after end of SQL statement.");
            } else {
                Emit(o);
            }
        }
        ++i;
    }
    if (!m_parens.empty()) return Fail("Missing ), ], or Item in query expression.");
    while (!m_scopes.empty())
        CloseScope(false);
    if (!m_error.empty()) return false;

    r.sql = Join(0, m_out.size());
    r.parameters = m_params;
    if (r.isQuery && m_haveTopScope && m_topScope.star && !m_topGroupBy &&
        m_topScope.listEnd > m_topScope.listStart) {
        std::string table;
        std::string key;
        if (m_topScope.qualifier.empty()) {
            if (m_topTables == 1) table = m_topTableName;
            key = "rowid";
        } else {
            std::string q = Upper(m_topScope.qualifier);
            auto a = m_aliases.find(q);
            if (a != m_aliases.end() && !a->second.empty()) {
                table = a->second;
            } else if (m_tables.count(q)) {
                table = m_topScope.qualifier;
            }
            key = SqlName(m_topScope.qualifier) + ".rowid";
        }
        if (!table.empty() && m_schema.Columns(table)) {
            r.baseTable = table;
            std::string head = Join(0, m_topScope.listStart);
            std::string tail = Join(m_topScope.listEnd, m_out.size());
            r.keySql = head + " " + key + " " + tail;
        }
    }
    r.ok = true;
    return true;
}

}  // namespace

JetTranslation TranslateJetSql(std::string_view jet, const CJetSchema& schema) {
    JetTranslation r;
    std::vector<Token> tokens;
    if (!Tokenize(jet, tokens, r.error)) return r;
    CTranslator t(tokens, schema, {});
    if (!t.Run(r, false)) {
        r = JetTranslation{false, t.Error(), {}, {}, false, {}, {}};
    }
    return r;
}

JetTranslation TranslateJetCriteria(std::string_view criteria, const CJetSchema& schema,
                                    std::string_view table) {
    JetTranslation r;
    std::vector<Token> tokens;
    if (!Tokenize(criteria, tokens, r.error)) return r;
    CTranslator t(tokens, schema, table);
    if (!t.Run(r, true)) {
        r = JetTranslation{false, t.Error(), {}, {}, false, {}, {}};
    }
    return r;
}

}  // namespace tavik
