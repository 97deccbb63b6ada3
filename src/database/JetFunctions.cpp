#include "database/JetFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tavik {

namespace {

std::u32string Decode(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<uint8_t>(s[i]);
        char32_t cp = b;
        size_t len = 1;
        if (b >= 0xC0 && b < 0xE0) {
            cp = b & 0x1F;
            len = 2;
        } else if (b >= 0xE0 && b < 0xF0) {
            cp = b & 0x0F;
            len = 3;
        } else if (b >= 0xF0 && b < 0xF8) {
            cp = b & 0x07;
            len = 4;
        }
        if (len > 1) {
            if (i + len > s.size()) {
                cp = b;
                len = 1;
            } else {
                for (size_t k = 1; k < len; ++k)
                    cp = (cp << 6) | (s[i + k] & 0x3F);
            }
        }
        out += cp;
        i += len;
    }
    return out;
}

std::string Encode(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t cp : s) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// Case folding for the letters of code page 1252.
char32_t Lower(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x160 || c == 0x152 || c == 0x17D) return c + 1;
    if (c == 0x178) return 0xFF;
    return c;
}

char32_t UpperCp(char32_t c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    if (c == 0x161 || c == 0x153 || c == 0x17E) return c - 1;
    if (c == 0xFF) return 0x178;
    return c;
}

struct PatternItem {
    enum Kind { Any, One, Digit, Set, Char } kind;
    char32_t ch = 0;
    bool negate = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool Matches(char32_t c) const {
        switch (kind) {
            case One:
                return true;
            case Digit:
                return c >= '0' && c <= '9';
            case Char:
                return Lower(c) == ch;
            case Set: {
                bool in = false;
                char32_t l = Lower(c);
                for (auto& r : ranges)
                    if ((l >= r.first && l <= r.second) || (c >= r.first && c <= r.second))
                        in = true;
                return in != negate;
            }
            case Any:
                return false;
        }
        return false;
    }
};

std::vector<PatternItem> Compile(std::u32string_view p) {
    std::vector<PatternItem> items;
    for (size_t i = 0; i < p.size(); ++i) {
        char32_t c = p[i];
        if (c == '*') {
            if (items.empty() || items.back().kind != PatternItem::Any)
                items.push_back({PatternItem::Any});
        } else if (c == '?') {
            items.push_back({PatternItem::One});
        } else if (c == '#') {
            items.push_back({PatternItem::Digit});
        } else if (c == '[' && p.find(']', i + 1) != std::u32string_view::npos) {
            size_t end = p.find(']', i + 1);
            PatternItem set{PatternItem::Set};
            size_t k = i + 1;
            if (k < end && p[k] == '!') {
                set.negate = true;
                ++k;
            }
            if (k == end && !set.negate) {  // "[]" matches the empty text
                i = end;
                continue;
            }
            for (; k < end; ++k) {
                char32_t a = p[k];
                if (k + 2 < end && p[k + 1] == '-') {
                    char32_t b = p[k + 2];
                    set.ranges.push_back({Lower(a), Lower(b)});
                    k += 2;
                } else {
                    set.ranges.push_back({Lower(a), Lower(a)});
                }
            }
            items.push_back(set);
            i = end;
        } else {
            PatternItem lit{PatternItem::Char};
            lit.ch = Lower(c);
            items.push_back(lit);
        }
    }
    return items;
}

// Wildcard matching with one backtracking point per star: linear in practice, never recursive.
bool Match(const std::vector<PatternItem>& items, std::u32string_view text) {
    size_t p = 0, t = 0;
    size_t starP = SIZE_MAX, starT = 0;
    while (t < text.size()) {
        if (p < items.size() && items[p].kind == PatternItem::Any) {
            starP = ++p;
            starT = t;
        } else if (p < items.size() && items[p].Matches(text[t])) {
            ++p;
            ++t;
        } else if (starP != SIZE_MAX) {
            p = starP;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::Any)
        ++p;
    return p == items.size();
}

std::u32string_view Arg(sqlite3_value* v, std::u32string& store) {
    const auto* txt = reinterpret_cast<const char*>(sqlite3_value_text(v));
    store = Decode(txt ? std::string_view(txt, sqlite3_value_bytes(v)) : std::string_view());
    return store;
}

void ResultText(sqlite3_context* ctx, std::u32string_view s) {
    std::string u = Encode(s);
    sqlite3_result_text(ctx, u.data(), static_cast<int>(u.size()), SQLITE_TRANSIENT);
}

bool AnyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

void InvalidCall(sqlite3_context* ctx) {
    sqlite3_result_error(ctx, "Invalid procedure call.", -1);
}

void FnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    auto* items = static_cast<std::vector<PatternItem>*>(sqlite3_get_auxdata(ctx, 0));
    if (!items) {
        std::u32string p;
        items = new std::vector<PatternItem>(Compile(Arg(argv[0], p)));
        sqlite3_set_auxdata(ctx, 0, items,
                            [](void* x) { delete static_cast<std::vector<PatternItem>*>(x); });
        items = static_cast<std::vector<PatternItem>*>(sqlite3_get_auxdata(ctx, 0));
        if (!items) {  // SQLite may drop auxiliary data at once; compile for this call only
            std::u32string t;
            auto once = Compile(Arg(argv[0], p));
            return sqlite3_result_int(ctx, Match(once, Arg(argv[1], t)) ? 1 : 0);
        }
    }
    std::u32string t;
    sqlite3_result_int(ctx, Match(*items, Arg(argv[1], t)) ? 1 : 0);
}

void FnLeftRight(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool left) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    sqlite3_int64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) return InvalidCall(ctx);
    std::u32string s;
    Arg(argv[0], s);
    size_t k =
        static_cast<size_t>(std::min<sqlite3_int64>(n, static_cast<sqlite3_int64>(s.size())));
    ResultText(ctx, left ? std::u32string_view(s).substr(0, k)
                         : std::u32string_view(s).substr(s.size() - k));
}

void FnMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    sqlite3_int64 start = sqlite3_value_int64(argv[1]);
    sqlite3_int64 len = argc > 2 ? sqlite3_value_int64(argv[2]) : INT32_MAX;
    if (start < 1 || len < 0) return InvalidCall(ctx);
    std::u32string s;
    Arg(argv[0], s);
    if (static_cast<size_t>(start - 1) >= s.size()) return ResultText(ctx, {});
    ResultText(ctx, std::u32string_view(s).substr(static_cast<size_t>(start - 1),
                                                  static_cast<size_t>(len)));
}

void FnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::u32string s;
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(Arg(argv[0], s).size()));
}

void FnCase(sqlite3_context* ctx, sqlite3_value** argv, bool upper) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::u32string s;
    Arg(argv[0], s);
    for (auto& c : s)
        c = upper ? UpperCp(c) : Lower(c);
    ResultText(ctx, s);
}

void FnTrim(sqlite3_context* ctx, sqlite3_value** argv, bool left, bool right) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::u32string s;
    Arg(argv[0], s);
    size_t b = 0, e = s.size();
    if (left)
        while (b < e && s[b] == ' ')
            ++b;
    if (right)
        while (e > b && s[e - 1] == ' ')
            --e;
    ResultText(ctx, std::u32string_view(s).substr(b, e - b));
}

bool Truth(sqlite3_value* v) {
    switch (sqlite3_value_numeric_type(v)) {
        case SQLITE_INTEGER:
            return sqlite3_value_int64(v) != 0;
        case SQLITE_FLOAT:
            return sqlite3_value_double(v) != 0;
        default:
            return false;
    }
}

void FnIif(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_value(ctx, Truth(argv[0]) ? argv[1] : argv[2]);
}

// "&": a null operand counts as an empty text; only two nulls give null.
void FnConcat(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL && sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::string joined;
    for (int i = 0; i < 2; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) continue;
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (text) joined.append(text, static_cast<size_t>(sqlite3_value_bytes(argv[i])));
    }
    sqlite3_result_text(ctx, joined.data(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
}

void FnNz(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL) return sqlite3_result_value(ctx, argv[0]);
    if (argc > 1) return sqlite3_result_value(ctx, argv[1]);
    sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

// Val reads the number at the start of a text, skipping blanks (also between digits, as Jet
// does) and stopping at the first other character.
void FnVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER ||
        sqlite3_value_type(argv[0]) == SQLITE_FLOAT)
        return sqlite3_result_value(ctx, argv[0]);
    const auto* txt = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    std::string digits;
    bool fraction = false, exponent = false;
    for (const char* p = txt ? txt : ""; *p; ++p) {
        char c = *p;
        if (c == ' ' || c == '\t') continue;
        if ((c == '-' || c == '+') && (digits.empty() || digits.back() == 'e')) {
            digits += c;
        } else if (c >= '0' && c <= '9') {
            digits += c;
        } else if (c == '.' && !fraction && !exponent) {
            fraction = true;
            digits += c;
        } else if ((c == 'e' || c == 'E') && !exponent && !digits.empty()) {
            exponent = true;
            digits += 'e';
        } else {
            break;
        }
    }
    if (!fraction && !exponent && digits.size() < 18) {
        return sqlite3_result_int64(ctx, std::strtoll(digits.c_str(), nullptr, 10));
    }
    double d = std::strtod(digits.c_str(), nullptr);
    sqlite3_result_double(ctx, std::isfinite(d) ? d : 0.0);
}

void FnInstr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    sqlite3_int64 start = 1;
    int a = 0;
    if (argc == 3) {
        start = sqlite3_value_int64(argv[0]);
        a = 1;
        if (start < 1) return InvalidCall(ctx);
    }
    std::u32string s1, s2;
    Arg(argv[a], s1);
    Arg(argv[a + 1], s2);
    for (auto& c : s1)
        c = Lower(c);
    for (auto& c : s2)
        c = Lower(c);
    if (static_cast<size_t>(start - 1) > s1.size()) return sqlite3_result_int(ctx, 0);
    size_t pos = s1.find(s2, static_cast<size_t>(start - 1));
    sqlite3_result_int64(ctx,
                         pos == std::u32string::npos ? 0 : static_cast<sqlite3_int64>(pos + 1));
}

void FnStr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    std::string s;
    if (sqlite3_value_numeric_type(argv[0]) == SQLITE_FLOAT) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", sqlite3_value_double(argv[0]));
        s = buf;
    } else {
        s = std::to_string(sqlite3_value_int64(argv[0]));
    }
    if (s[0] != '-') s = " " + s;
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void FnInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_numeric_type(argv[0])) {
        case SQLITE_NULL:
            return sqlite3_result_null(ctx);
        case SQLITE_INTEGER:
            return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        default: {
            double d = std::floor(sqlite3_value_double(argv[0]));
            if (std::isfinite(d) && std::fabs(d) < 9e18)
                return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(d));
            return sqlite3_result_double(ctx, d);
        }
    }
}

// Replace(text, find, with [, start [, count [, compare]]]): the text from `start` on with
// `count` (-1: every) occurrences of `find` replaced; compare 0 matches exactly, 1 (the
// database's way, the default) without regard to case.
void FnReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < std::min(argc, 3); ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return sqlite3_result_error(ctx, "Invalid use of Null.", -1);
    const sqlite3_int64 start = argc > 3 ? sqlite3_value_int64(argv[3]) : 1;
    const sqlite3_int64 count = argc > 4 ? sqlite3_value_int64(argv[4]) : -1;
    const bool exact = argc > 5 && sqlite3_value_int64(argv[5]) == 0;
    if (start < 1 || count < -1) return InvalidCall(ctx);
    std::u32string text, find, with;
    Arg(argv[0], text);
    Arg(argv[1], find);
    Arg(argv[2], with);
    if (static_cast<size_t>(start - 1) >= text.size()) return ResultText(ctx, {});
    text.erase(0, static_cast<size_t>(start - 1));
    if (find.empty() || count == 0) return ResultText(ctx, text);
    auto same = [&](char32_t a, char32_t b) { return exact ? a == b : Lower(a) == Lower(b); };
    std::u32string out;
    sqlite3_int64 done = 0;
    size_t i = 0;
    while (i < text.size()) {
        if ((count < 0 || done < count) && i + find.size() <= text.size() &&
            std::equal(find.begin(), find.end(), text.begin() + static_cast<long>(i), same)) {
            out += with;
            i += find.size();
            ++done;
        } else {
            out += text[i++];
        }
    }
    ResultText(ctx, out);
}

using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);

struct Registration {
    const char* name;
    int args;
    Fn fn;
};

}  // namespace

bool JetLikeMatch(std::string_view pattern, std::string_view text) {
    return Match(Compile(Decode(pattern)), Decode(text));
}

bool RegisterJetFunctions(sqlite3* db) {
    static const Registration kFunctions[] = {
        {"like", 2, FnLike},
        {"jet_left", 2,
         [](sqlite3_context* c, int n, sqlite3_value** v) { FnLeftRight(c, n, v, true); }},
        {"jet_right", 2,
         [](sqlite3_context* c, int n, sqlite3_value** v) { FnLeftRight(c, n, v, false); }},
        {"jet_mid", 2, FnMid},
        {"jet_mid", 3, FnMid},
        {"jet_len", 1, FnLen},
        {"jet_ucase", 1, [](sqlite3_context* c, int, sqlite3_value** v) { FnCase(c, v, true); }},
        {"jet_lcase", 1, [](sqlite3_context* c, int, sqlite3_value** v) { FnCase(c, v, false); }},
        {"jet_trim", 1,
         [](sqlite3_context* c, int, sqlite3_value** v) { FnTrim(c, v, true, true); }},
        {"jet_ltrim", 1,
         [](sqlite3_context* c, int, sqlite3_value** v) { FnTrim(c, v, true, false); }},
        {"jet_rtrim", 1,
         [](sqlite3_context* c, int, sqlite3_value** v) { FnTrim(c, v, false, true); }},
        {"jet_iif", 3, FnIif},
        {"jet_concat", 2, FnConcat},
        {"jet_nz", 1, FnNz},
        {"jet_nz", 2, FnNz},
        {"jet_val", 1, FnVal},
        {"jet_instr", 2, FnInstr},
        {"jet_instr", 3, FnInstr},
        {"jet_str", 1, FnStr},
        {"jet_int", 1, FnInt},
        {"jet_replace", 3, FnReplace},
        {"jet_replace", 4, FnReplace},
        {"jet_replace", 5, FnReplace},
        {"jet_replace", 6, FnReplace},
    };
    for (const auto& r : kFunctions) {
        int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
        if (sqlite3_create_function(db, r.name, r.args, flags, nullptr, r.fn, nullptr, nullptr) !=
            SQLITE_OK)
            return false;
    }
    return RegisterJetConversions(db);
}

}  // namespace tavik
