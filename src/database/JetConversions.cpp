// The Jet functions and operators of numbers and dates: + and - (also on date texts and
// texts), \ and ^, CStr, CInt, CLng, CDbl, CDate, Chr, Asc, IsNull, Date, Now, Time, Year ...
// Weekday, DateSerial, DateAdd, DateDiff, DatePart and Format. A date travels as the text Jet shows
// for it (JetDates.h).
//
// Null handling is Jet's: the date parts, the operators and Format give null for a null; the
// conversions, Chr and Asc refuse it ("Invalid use of Null"); the date functions of an interval
// give null when any argument is null.
#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "base/Cp1252.h"
#include "database/JetDates.h"
#include "database/JetFunctions.h"

namespace tavik {

namespace {

using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);

const char* const kNullUse = "Invalid use of Null.";
const char* const kMismatch = "Data type mismatch in criteria expression.";
const char* const kOverflow = "Overflow.";
const char* const kInvalidCall = "Invalid procedure call.";

std::string TextOf(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? std::string(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string();
}

void ResultText(sqlite3_context* ctx, const std::string& utf8) {
    sqlite3_result_text(ctx, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void ResultDate(sqlite3_context* ctx, double serial) {
    ResultText(ctx, JetDateText(serial));
}

bool IsNumeric(sqlite3_value* v) {
    const int type = sqlite3_value_type(v);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

// A number a value stands for: numbers as they are, texts that read as numbers. Texts store
// as SQLite's numeric affinity would read them.
std::optional<double> NumberOf(sqlite3_value* v) {
    if (IsNumeric(v)) return sqlite3_value_double(v);
    if (sqlite3_value_type(v) != SQLITE_TEXT) return std::nullopt;
    return ParseJetNumber(TextOf(v));
}

// A date serial a value stands for: numbers are serials, texts are read as dates.
std::optional<double> SerialOf(sqlite3_value* v) {
    if (IsNumeric(v)) return sqlite3_value_double(v);
    if (sqlite3_value_type(v) != SQLITE_TEXT) return std::nullopt;
    if (auto serial = ParseJetDate(Utf8ToCp1252(TextOf(v)))) return serial;
    return NumberOf(v);
}

bool IsDateText(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_TEXT && !NumberOf(v) &&
           ParseJetDate(Utf8ToCp1252(TextOf(v)));
}

// A whole result as an integer when it is one, else as a real.
void ResultNumber(sqlite3_context* ctx, double value) {
    if (!std::isfinite(value)) return sqlite3_result_error(ctx, kOverflow, -1);
    if (value == std::trunc(value) && std::fabs(value) < 9.0e15)
        return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(value));
    sqlite3_result_double(ctx, value);
}

bool AnyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// Integer arithmetic as SQLite does it, real when it would overflow.
void AddNumbers(sqlite3_context* ctx, sqlite3_value* a, sqlite3_value* b, bool subtract) {
    if (sqlite3_value_type(a) == SQLITE_INTEGER && sqlite3_value_type(b) == SQLITE_INTEGER) {
        const sqlite3_int64 x = sqlite3_value_int64(a), y = sqlite3_value_int64(b);
        sqlite3_int64 r = 0;
        if (!(subtract ? __builtin_sub_overflow(x, y, &r) : __builtin_add_overflow(x, y, &r)))
            return sqlite3_result_int64(ctx, r);
    }
    const double x = *NumberOf(a), y = *NumberOf(b);
    sqlite3_result_double(ctx, subtract ? x - y : x + y);
}

void FnAddSubtract(sqlite3_context* ctx, sqlite3_value** argv, bool subtract) {
    sqlite3_value* a = argv[0];
    sqlite3_value* b = argv[1];
    if (AnyNull(2, argv)) return sqlite3_result_null(ctx);
    // Two texts that are not both dates: "+" joins them, as Jet does.
    if (!subtract && sqlite3_value_type(a) == SQLITE_TEXT && sqlite3_value_type(b) == SQLITE_TEXT)
        return ResultText(ctx, TextOf(a) + TextOf(b));
    if (NumberOf(a) && NumberOf(b)) return AddNumbers(ctx, a, b, subtract);
    const bool dateA = IsDateText(a), dateB = IsDateText(b);
    if (dateA && dateB && subtract) return ResultNumber(ctx, *SerialOf(a) - *SerialOf(b));
    if ((dateA && NumberOf(b)) || (dateB && NumberOf(a) && !subtract)) {
        const double serial = subtract ? *SerialOf(a) - *NumberOf(b) : *SerialOf(a) + *SerialOf(b);
        return ResultDate(ctx, serial);
    }
    sqlite3_result_error(ctx, kMismatch, -1);
}

// Jet rounds halves to the even neighbour.
double RoundEven(double v) {
    return std::nearbyint(v);
}

void FnIntDivide(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto a = NumberOf(argv[0]), b = NumberOf(argv[1]);
    if (!a || !b) return sqlite3_result_error(ctx, kMismatch, -1);
    const double divisor = RoundEven(*b);
    if (divisor == 0) return sqlite3_result_error(ctx, "Division by zero.", -1);
    ResultNumber(ctx, std::trunc(RoundEven(*a) / divisor));
}

void FnPower(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto a = NumberOf(argv[0]), b = NumberOf(argv[1]);
    if (!a || !b) return sqlite3_result_error(ctx, kMismatch, -1);
    ResultNumber(ctx, std::pow(*a, *b));
}

void FnCStr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            return sqlite3_result_error(ctx, kNullUse, -1);
        case SQLITE_INTEGER:
            return ResultText(ctx, std::to_string(sqlite3_value_int64(argv[0])));
        case SQLITE_FLOAT:
            return ResultText(ctx, JetNumberText(sqlite3_value_double(argv[0])));
        default:
            return ResultText(ctx, TextOf(argv[0]));
    }
}

void FnCInteger(sqlite3_context* ctx, sqlite3_value** argv, double low, double high) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_error(ctx, kNullUse, -1);
    std::optional<double> v = NumberOf(argv[0]);
    if (!v && IsDateText(argv[0])) v = SerialOf(argv[0]);
    if (!v) return sqlite3_result_error(ctx, "Type mismatch.", -1);
    const double r = RoundEven(*v);
    if (r < low || r > high) return sqlite3_result_error(ctx, kOverflow, -1);
    sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(r));
}

void FnCDbl(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_error(ctx, kNullUse, -1);
    std::optional<double> v = NumberOf(argv[0]);
    if (!v && IsDateText(argv[0])) v = SerialOf(argv[0]);
    if (!v) return sqlite3_result_error(ctx, "Type mismatch.", -1);
    sqlite3_result_double(ctx, *v);
}

void FnCDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_error(ctx, kNullUse, -1);
    const auto serial = SerialOf(argv[0]);
    if (!serial) return sqlite3_result_error(ctx, "Type mismatch.", -1);
    ResultDate(ctx, *serial);
}

void FnChr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_error(ctx, kNullUse, -1);
    const auto code = NumberOf(argv[0]);
    if (!code) return sqlite3_result_error(ctx, "Type mismatch.", -1);
    const double c = RoundEven(*code);
    if (c < 0 || c > 255) return sqlite3_result_error(ctx, kInvalidCall, -1);
    ResultText(ctx, Cp1252ToUtf8(std::string(1, static_cast<char>(static_cast<int>(c)))));
}

void FnAsc(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_error(ctx, kNullUse, -1);
    const std::string text = Utf8ToCp1252(TextOf(argv[0]));
    if (text.empty()) return sqlite3_result_error(ctx, kInvalidCall, -1);
    sqlite3_result_int(ctx, static_cast<unsigned char>(text[0]));
}

void FnDatePart(sqlite3_context* ctx, sqlite3_value** argv, int JetCivil::*part) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    const auto serial = SerialOf(argv[0]);
    if (!serial) return sqlite3_result_error(ctx, kMismatch, -1);
    sqlite3_result_int(ctx, JetCivilOf(*serial).*part);
}

template <int JetCivil::*Part>
void FnPart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    FnDatePart(ctx, argv, Part);
}

// DateSerial(year, month, day).
void FnDateSerial(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto y = NumberOf(argv[0]), m = NumberOf(argv[1]), d = NumberOf(argv[2]);
    if (!y || !m || !d) return sqlite3_result_error(ctx, kMismatch, -1);
    const auto serial = JetDateSerial(*y, *m, *d);
    if (!serial) return sqlite3_result_error(ctx, kInvalidCall, -1);
    ResultDate(ctx, *serial);
}

// DateAdd(interval, number, date), DateDiff(interval, date, date), DatePart(interval, date).
void FnDateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto n = NumberOf(argv[1]);
    const auto serial = SerialOf(argv[2]);
    if (!n || !serial) return sqlite3_result_error(ctx, kMismatch, -1);
    const auto result = JetDateAdd(TextOf(argv[0]), *n, *serial);
    if (!result) return sqlite3_result_error(ctx, kInvalidCall, -1);
    ResultDate(ctx, *result);
}

void FnDateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto from = SerialOf(argv[1]), to = SerialOf(argv[2]);
    if (!from || !to) return sqlite3_result_error(ctx, kMismatch, -1);
    const auto result = JetDateDiff(TextOf(argv[0]), *from, *to);
    if (!result) return sqlite3_result_error(ctx, kInvalidCall, -1);
    ResultNumber(ctx, *result);
}

void FnIntervalPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv)) return sqlite3_result_null(ctx);
    const auto serial = SerialOf(argv[1]);
    if (!serial) return sqlite3_result_error(ctx, kMismatch, -1);
    const auto result = JetDatePart(TextOf(argv[0]), *serial);
    if (!result) return sqlite3_result_error(ctx, kInvalidCall, -1);
    ResultNumber(ctx, *result);
}

void FnFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    JetFormatValue value;
    value.isNumber = IsNumeric(argv[0]);
    value.number = sqlite3_value_double(argv[0]);
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER)
        value.number = static_cast<double>(sqlite3_value_int64(argv[0]));
    value.text = Utf8ToCp1252(TextOf(argv[0]));
    const std::string format = argc > 1 && sqlite3_value_type(argv[1]) != SQLITE_NULL
                                   ? Utf8ToCp1252(TextOf(argv[1]))
                                   : std::string();
    ResultText(ctx, Cp1252ToUtf8(JetFormat(value, format)));
}

struct Registration {
    const char* name;
    int args;
    Fn fn;
    bool deterministic;
};

const Registration kConversions[] = {
    {"jet_add", 2, [](sqlite3_context* c, int, sqlite3_value** v) { FnAddSubtract(c, v, false); },
     true},
    {"jet_sub", 2, [](sqlite3_context* c, int, sqlite3_value** v) { FnAddSubtract(c, v, true); },
     true},
    {"jet_intdiv", 2, FnIntDivide, true},
    {"jet_pow", 2, FnPower, true},
    {"jet_cstr", 1, FnCStr, true},
    {"jet_cint", 1,
     [](sqlite3_context* c, int, sqlite3_value** v) { FnCInteger(c, v, -32768, 32767); }, true},
    {"jet_clng", 1,
     [](sqlite3_context* c, int, sqlite3_value** v) {
         FnCInteger(c, v, -2147483648.0, 2147483647.0);
     },
     true},
    {"jet_cdbl", 1, FnCDbl, true},
    {"jet_cdate", 1, FnCDate, true},
    {"jet_chr", 1, FnChr, true},
    {"jet_asc", 1, FnAsc, true},
    {"jet_date", 0,
     [](sqlite3_context* c, int, sqlite3_value**) { ResultDate(c, std::floor(JetNow())); }, false},
    {"jet_now", 0, [](sqlite3_context* c, int, sqlite3_value**) { ResultDate(c, JetNow()); },
     false},
    {"jet_time", 0,
     [](sqlite3_context* c, int, sqlite3_value**) {
         const double now = JetNow();
         ResultDate(c, now - std::floor(now));
     },
     false},
    {"jet_year", 1, FnPart<&JetCivil::year>, true},
    {"jet_month", 1, FnPart<&JetCivil::month>, true},
    {"jet_day", 1, FnPart<&JetCivil::day>, true},
    {"jet_hour", 1, FnPart<&JetCivil::hour>, true},
    {"jet_minute", 1, FnPart<&JetCivil::minute>, true},
    {"jet_second", 1, FnPart<&JetCivil::second>, true},
    {"jet_weekday", 1, FnPart<&JetCivil::weekday>, true},
    {"jet_isnull", 1,
     [](sqlite3_context* c, int, sqlite3_value** v) {
         sqlite3_result_int(c, sqlite3_value_type(v[0]) == SQLITE_NULL ? -1 : 0);
     },
     true},
    {"jet_dateserial", 3, FnDateSerial, true},
    {"jet_dateadd", 3, FnDateAdd, true},
    {"jet_datediff", 3, FnDateDiff, true},
    {"jet_datepart", 2, FnIntervalPart, true},
    {"jet_format", 1, FnFormat, true},
    {"jet_format", 2, FnFormat, true},
};

}  // namespace

bool RegisterJetConversions(sqlite3* db) {
    for (const auto& r : kConversions) {
        const int flags = SQLITE_UTF8 | (r.deterministic ? SQLITE_DETERMINISTIC : 0);
        if (sqlite3_create_function(db, r.name, r.args, flags, nullptr, r.fn, nullptr, nullptr) !=
            SQLITE_OK)
            return false;
    }
    return true;
}

}  // namespace tavik
