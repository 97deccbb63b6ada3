#include "database/JetDates.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "disk/TiDateTime.h"

namespace tavik {

namespace {

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};
const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                             "Thursday", "Friday", "Saturday"};

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar.
long DaysFromCivil(long y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

// Serial day 0 is 30 December 1899.
constexpr long kSerialEpoch = -25569;

int DaysInMonth(int y, int m) {
    static const int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDaysIn[m - 1];
}

std::string Upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    return Upper(a) == Upper(b);
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

// Numbers separated by one of `separators`; false for anything else.
bool SplitNumbers(const std::string& word, const char* separators, std::vector<int>& numbers,
                  std::vector<int>& digits) {
    numbers.clear();
    digits.clear();
    char separator = 0;
    size_t i = 0;
    while (i < word.size()) {
        size_t j = i;
        long value = 0;
        while (j < word.size() && std::isdigit(static_cast<unsigned char>(word[j])) && j - i < 6)
            value = value * 10 + (word[j++] - '0');
        if (j == i) return false;
        numbers.push_back(static_cast<int>(value));
        digits.push_back(static_cast<int>(j - i));
        if (j == word.size()) break;
        const char c = word[j];
        if (!std::strchr(separators, c) || (separator && c != separator)) return false;
        separator = c;
        i = j + 1;
        if (i == word.size()) return false;
    }
    return !numbers.empty();
}

std::optional<long> ParseDay(const std::string& word) {
    std::vector<int> n, digits;
    if (!SplitNumbers(word, "/-.", n, digits) || n.size() < 2 || n.size() > 3) return std::nullopt;
    int y, m, d;
    if (n.size() == 3 && (digits[0] >= 3 || n[0] > 31)) {
        y = n[0];
        m = n[1];
        d = n[2];
    } else {
        m = n[0];
        d = n[1];
        if (n.size() == 3) {
            y = n[2];
            if (digits[2] <= 2) y += y < 30 ? 2000 : 1900;
        } else {
            y = CurrentLocalTime().year;
        }
        if (m > 12 && d <= 12) std::swap(m, d);
    }
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m))
        return std::nullopt;
    return DaysFromCivil(y, m, d) - kSerialEpoch;
}

std::optional<long> ParseSeconds(const std::string& word, const std::string& meridian) {
    std::vector<int> n, digits;
    if (!SplitNumbers(word, ":", n, digits) || n.size() < 2 || n.size() > 3) return std::nullopt;
    int h = n[0];
    const int minutes = n[1], seconds = n.size() > 2 ? n[2] : 0;
    if (!meridian.empty()) {
        const bool pm = meridian[0] == 'P';
        if (h < 1 || h > 12) return std::nullopt;
        h = h % 12 + (pm ? 12 : 0);
    }
    if (h > 23 || minutes > 59 || seconds > 59) return std::nullopt;
    return h * 3600L + minutes * 60L + seconds;
}

std::string Printf(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string TimeOfDay(const JetCivil& c, bool seconds, bool twoDigitHour) {
    const int h = c.hour % 12 == 0 ? 12 : c.hour % 12;
    std::string text = Printf(twoDigitHour ? "%02d" : "%d", h) + Printf(":%02d", c.minute);
    if (seconds) text += Printf(":%02d", c.second);
    return text + (c.hour < 12 ? " AM" : " PM");
}

std::string ShortDate(const JetCivil& c) {
    return Printf("%d/", c.month) + Printf("%d/", c.day) + Printf("%04d", c.year);
}

std::string LongDate(const JetCivil& c) {
    return std::string(kDays[c.weekday - 1]) + ", " + kMonths[c.month - 1] + " " +
           Printf("%d, ", c.day) + Printf("%04d", c.year);
}

// ---- Date formats ------------------------------------------------------------------------

bool IsDateLetter(char c) {
    return std::strchr("dmyhnsqwctDMYHNSQWCT", c) != nullptr && c != 0;
}

// Whether the format holds a date or time character outside quotes.
struct FormatKinds {
    bool date = false, digits = false, text = false;
};
FormatKinds KindsOf(std::string_view format) {
    FormatKinds k;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"') {
            const size_t end = format.find('"', i + 1);
            if (end == std::string_view::npos) break;
            i = end;
        } else if (c == '\\') {
            ++i;
        } else if (c == '0' || c == '#') {
            k.digits = true;
        } else if (c == '@' || c == '&' || c == '<' || c == '>') {
            k.text = true;
        } else if (IsDateLetter(c) || SameText(format.substr(i, 3), "A/P")) {
            k.date = true;
        }
    }
    return k;
}

std::string FormatDate(double serial, std::string_view format) {
    const JetCivil c = JetCivilOf(serial);
    const std::string upper = Upper(format);
    const bool twelveHour = upper.find("AM/PM") != std::string::npos ||
                            upper.find("A/P") != std::string::npos ||
                            upper.find("AMPM") != std::string::npos;
    std::string out;
    char lastCode = 0;  // the last date or time character written, upper-cased
    for (size_t i = 0; i < format.size();) {
        const char ch = format[i];
        const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (ch == '"') {
            const size_t end = format.find('"', i + 1);
            out +=
                format.substr(i + 1, (end == std::string_view::npos ? format.size() : end) - i - 1);
            i = end == std::string_view::npos ? format.size() : end + 1;
            continue;
        }
        if (ch == '\\') {
            if (i + 1 < format.size()) out += format[i + 1];
            i += 2;
            continue;
        }
        if (upper.compare(i, 5, "AM/PM") == 0) {
            const bool lower = format[i] == 'a';
            out += c.hour < 12 ? (lower ? "am" : "AM") : (lower ? "pm" : "PM");
            i += 5;
            continue;
        }
        if (upper.compare(i, 3, "A/P") == 0) {
            const bool lower = format[i] == 'a';
            out += c.hour < 12 ? (lower ? "a" : "A") : (lower ? "p" : "P");
            i += 3;
            continue;
        }
        if (upper.compare(i, 4, "AMPM") == 0) {
            out += c.hour < 12 ? "AM" : "PM";
            i += 4;
            continue;
        }
        if (!IsDateLetter(ch)) {
            out += ch;
            ++i;
            continue;
        }
        size_t run = 1;
        while (i + run < format.size() &&
               std::toupper(static_cast<unsigned char>(format[i + run])) == u)
            ++run;
        switch (u) {
            case 'D':
                if (run == 1) out += Printf("%d", c.day);
                if (run == 2) out += Printf("%02d", c.day);
                if (run == 3) out += std::string(kDays[c.weekday - 1]).substr(0, 3);
                if (run == 4) out += kDays[c.weekday - 1];
                if (run == 5) out += ShortDate(c);
                if (run >= 6) out += LongDate(c);
                break;
            case 'M': {
                // m and mm right after an hour, or right before seconds, are minutes.
                size_t next = i + run;
                while (next < format.size() && !IsDateLetter(format[next]))
                    ++next;
                const bool minutes =
                    run <= 2 && (lastCode == 'H' ||
                                 (next < format.size() &&
                                  std::toupper(static_cast<unsigned char>(format[next])) == 'S'));
                if (minutes) {
                    out += Printf(run == 1 ? "%d" : "%02d", c.minute);
                } else if (run <= 2) {
                    out += Printf(run == 1 ? "%d" : "%02d", c.month);
                } else {
                    out += run == 3 ? std::string(kMonths[c.month - 1]).substr(0, 3)
                                    : kMonths[c.month - 1];
                }
                break;
            }
            case 'Y':
                if (run == 1) out += Printf("%d", c.dayOfYear);
                if (run == 2 || run == 3) out += Printf("%02d", c.year % 100);
                if (run >= 4) out += Printf("%04d", c.year);
                break;
            case 'H': {
                const int h = twelveHour ? (c.hour % 12 == 0 ? 12 : c.hour % 12) : c.hour;
                out += Printf(run == 1 ? "%d" : "%02d", h);
                break;
            }
            case 'N':
                out += Printf(run == 1 ? "%d" : "%02d", c.minute);
                break;
            case 'S':
                out += Printf(run == 1 ? "%d" : "%02d", c.second);
                break;
            case 'Q':
                out += Printf("%d", (c.month + 2) / 3);
                break;
            case 'W':
                out += Printf("%d", run == 1 ? c.weekday : (c.dayOfYear + 6) / 7);
                break;
            case 'C':
                out += JetDateText(serial);
                break;
            case 'T':
                out += run >= 5 ? TimeOfDay(c, true, false) : std::string(run, ch);
                break;
        }
        lastCode = u;
        i += run;
    }
    return out;
}

// ---- Number formats ----------------------------------------------------------------------

std::vector<std::string> Sections(std::string_view format) {
    std::vector<std::string> sections(1);
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"') {
            const size_t end = format.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? format.size() : end + 1;
            sections.back() += format.substr(i, stop - i);
            i = stop - 1;
        } else if (c == '\\' && i + 1 < format.size()) {
            sections.back() += format.substr(i, 2);
            ++i;
        } else if (c == ';') {
            sections.emplace_back();
        } else {
            sections.back() += c;
        }
    }
    return sections;
}

std::string GroupThousands(const std::string& digits) {
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

// One section of digit placeholders: the number (never negative here) in its place, the
// section's other characters around it.
std::string FormatNumberSection(double value, const std::string& section) {
    int intZeros = 0, decimals = 0, minDecimals = 0, exponentDigits = 0;
    bool point = false, thousands = false, placeholders = false, scientific = false;
    bool exponentSign = false;
    size_t first = std::string::npos, last = 0;
    for (size_t i = 0; i < section.size(); ++i) {
        const char c = section[i];
        if (c == '"') {
            const size_t end = section.find('"', i + 1);
            i = end == std::string::npos ? section.size() : end;
            continue;
        }
        if (c == '\\') {
            ++i;
            continue;
        }
        if (scientific) {
            if (c == '0' || c == '#') {
                ++exponentDigits;
                last = i;
            }
            continue;
        }
        if (c == '0' || c == '#') {
            placeholders = true;
            if (first == std::string::npos) first = i;
            last = i;
            if (point) {
                ++decimals;
                if (c == '0') minDecimals = decimals;
            } else if (c == '0') {
                ++intZeros;
            }
        } else if (c == '.' && placeholders && !point) {
            point = true;
            last = i;
        } else if (c == ',' && placeholders && !point) {
            thousands = true;
        } else if (c == '%') {
            value *= 100;
        } else if ((c == 'E' || c == 'e') && placeholders && i + 1 < section.size() &&
                   (section[i + 1] == '+' || section[i + 1] == '-')) {
            scientific = true;
            exponentSign = section[i + 1] == '+';
            last = ++i;
        }
    }
    auto literal = [&](size_t from, size_t to) {
        std::string out;
        for (size_t i = from; i < to && i < section.size(); ++i) {
            const char c = section[i];
            if (c == '"') {
                const size_t end = section.find('"', i + 1);
                out += section.substr(i + 1,
                                      (end == std::string::npos ? section.size() : end) - i - 1);
                i = end == std::string::npos ? section.size() : end;
            } else if (c == '\\') {
                if (i + 1 < section.size()) out += section[++i];
            } else if (c != ',' || !placeholders) {
                out += c;
            }
        }
        return out;
    };
    if (!placeholders) return literal(0, section.size());
    int exponent = 0;
    if (scientific && value != 0) {
        exponent = static_cast<int>(std::floor(std::log10(value))) - std::max(intZeros, 1) + 1;
        value /= std::pow(10.0, exponent);
    }
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string text = buffer;
    std::string whole = text.substr(0, text.find('.'));
    std::string fraction =
        text.find('.') == std::string::npos ? "" : text.substr(text.find('.') + 1);
    while (static_cast<int>(fraction.size()) > minDecimals && !fraction.empty() &&
           fraction.back() == '0')
        fraction.pop_back();
    if (whole == "0" && intZeros == 0) whole.clear();
    while (static_cast<int>(whole.size()) < intZeros)
        whole.insert(whole.begin(), '0');
    if (thousands) whole = GroupThousands(whole);
    std::string number = whole;
    if (point) number += "." + fraction;
    if (scientific) {
        number += exponent < 0 ? "E-" : (exponentSign ? "E+" : "E");
        std::string digits = std::to_string(std::abs(exponent));
        while (static_cast<int>(digits.size()) < exponentDigits)
            digits.insert(digits.begin(), '0');
        number += digits;
    }
    return literal(0, first) + number + literal(last + 1, section.size());
}

std::string FormatNumber(double value, std::string_view format) {
    const std::vector<std::string> sections = Sections(format);
    if (value < 0 && sections.size() > 1 && !sections[1].empty())
        return FormatNumberSection(-value, sections[1]);
    if (value == 0 && sections.size() > 2 && !sections[2].empty())
        return FormatNumberSection(0, sections[2]);
    const std::string text = FormatNumberSection(std::fabs(value), sections[0]);
    return value < 0 ? "-" + text : text;
}

// ---- Text formats ------------------------------------------------------------------------

std::string FormatText(const std::string& value, std::string_view format) {
    std::string text = value;
    bool leftToRight = false;
    for (char c : format) {
        if (c == '<')
            for (char& t : text)
                t = static_cast<char>(std::tolower(static_cast<unsigned char>(t)));
        if (c == '>')
            for (char& t : text)
                t = static_cast<char>(std::toupper(static_cast<unsigned char>(t)));
        if (c == '!') leftToRight = true;
    }
    std::vector<size_t> slots;
    for (size_t i = 0; i < format.size(); ++i)
        if (format[i] == '@' || format[i] == '&') slots.push_back(i);
    std::vector<std::string> filled(format.size());
    size_t used = 0;
    for (size_t k = 0; k < slots.size(); ++k) {
        const size_t slot = leftToRight ? slots[k] : slots[slots.size() - 1 - k];
        const bool have = used < text.size();
        const char t = have ? (leftToRight ? text[used] : text[text.size() - 1 - used]) : ' ';
        if (have) ++used;
        if (have || format[slot] == '@') filled[slot] = std::string(1, t);
    }
    std::string out;
    const std::string rest = leftToRight
                                 ? text.substr(std::min(used, text.size()))
                                 : text.substr(0, text.size() - std::min(used, text.size()));
    if (!leftToRight) out += rest;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '@' || c == '&') {
            out += filled[i];
        } else if (c == '"') {
            const size_t end = format.find('"', i + 1);
            out +=
                format.substr(i + 1, (end == std::string_view::npos ? format.size() : end) - i - 1);
            i = end == std::string_view::npos ? format.size() : end;
        } else if (c == '\\') {
            if (i + 1 < format.size()) out += format[++i];
        } else if (c != '<' && c != '>' && c != '!') {
            out += c;
        }
    }
    if (leftToRight) out += rest;
    return out;
}

}  // namespace

std::optional<double> ParseJetNumber(const std::string& text) {
    const char* begin = text.c_str();
    while (*begin == ' ')
        ++begin;
    if (!*begin) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    while (end && *end == ' ')
        ++end;
    if (!end || *end || !std::isfinite(v)) return std::nullopt;
    return v;
}

JetCivil JetCivilOf(double serial) {
    JetCivil c;
    if (!std::isfinite(serial) || std::fabs(serial) > 3e6) return c;
    double whole = std::trunc(serial);
    long seconds = std::lround(std::fabs(serial - whole) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += serial < 0 ? -1 : 1;
    }
    const long days = static_cast<long>(whole);
    CivilFromDays(days + kSerialEpoch, c.year, c.month, c.day);
    c.hour = static_cast<int>(seconds / 3600);
    c.minute = static_cast<int>(seconds / 60 % 60);
    c.second = static_cast<int>(seconds % 60);
    c.weekday = static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
    c.dayOfYear =
        static_cast<int>(DaysFromCivil(c.year, c.month, c.day) - DaysFromCivil(c.year, 1, 1) + 1);
    return c;
}

std::optional<double> ParseJetDate(std::string_view text) {
    std::vector<std::string> words = Words(text);
    std::string meridian;
    if (!words.empty()) {
        const std::string u = Upper(words.back());
        if (u == "AM" || u == "PM" || u == "A" || u == "P") {
            meridian = u;
            words.pop_back();
        }
    }
    if (words.empty() || words.size() > 2) return std::nullopt;
    std::optional<long> day, seconds;
    for (const std::string& word : words) {
        if (word.find(':') != std::string::npos) {
            if (seconds) return std::nullopt;
            seconds = ParseSeconds(word, meridian);
            if (!seconds) return std::nullopt;
        } else {
            if (day || seconds) return std::nullopt;
            day = ParseDay(word);
            if (!day) return std::nullopt;
        }
    }
    if (!meridian.empty() && !seconds) return std::nullopt;
    return static_cast<double>(day.value_or(0)) +
           static_cast<double>(seconds.value_or(0)) / 86400.0;
}

namespace {

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

std::optional<Interval> IntervalOf(std::string_view text) {
    static const std::pair<const char*, Interval> kNames[] = {
        {"YYYY", Interval::Year},   {"Q", Interval::Quarter}, {"M", Interval::Month},
        {"Y", Interval::DayOfYear}, {"D", Interval::Day},     {"W", Interval::Weekday},
        {"WW", Interval::Week},     {"H", Interval::Hour},    {"N", Interval::Minute},
        {"S", Interval::Second}};
    const std::string u = Upper(text);
    for (const auto& [name, interval] : kNames)
        if (u == name) return interval;
    return std::nullopt;
}

// Serials of 1 January 100 and 31 December 9999, the dates Jet can hold.
constexpr double kFirstSerial = -657434, kLastSerial = 2958465;

std::optional<double> InRange(double serial) {
    if (!std::isfinite(serial) || serial < kFirstSerial || serial >= kLastSerial + 1)
        return std::nullopt;
    return serial;
}

long FloorDiv(long a, long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// The serial day of a date's calendar day.
long SerialDay(const JetCivil& c) {
    return DaysFromCivil(c.year, c.month, c.day) - kSerialEpoch;
}

}  // namespace

std::optional<double> JetDateSerial(double year, double month, double day) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(day) ||
        std::fabs(year) > 1e6 || std::fabs(month) > 1e6 || std::fabs(day) > 1e7)
        return std::nullopt;
    long y = std::lround(std::nearbyint(year));
    if (y >= 0 && y < 30) y += 2000;
    if (y >= 30 && y < 100) y += 1900;
    const long months = y * 12 + std::lround(std::nearbyint(month)) - 1;
    const long first = DaysFromCivil(FloorDiv(months, 12),
                                     static_cast<int>(months - FloorDiv(months, 12) * 12) + 1, 1);
    return InRange(
        static_cast<double>(first - kSerialEpoch + std::lround(std::nearbyint(day)) - 1));
}

std::optional<double> JetDateAdd(std::string_view interval, double number, double serial) {
    const auto which = IntervalOf(interval);
    if (!which || !std::isfinite(number) || std::fabs(number) > 1e8 || !InRange(serial))
        return std::nullopt;
    const long n = std::lround(std::nearbyint(number));
    const JetCivil c = JetCivilOf(serial);
    const double timeOfDay = (c.hour * 3600 + c.minute * 60 + c.second) / 86400.0;
    long months = 0;
    switch (*which) {
        case Interval::Year:
            months = n * 12;
            break;
        case Interval::Quarter:
            months = n * 3;
            break;
        case Interval::Month:
            months = n;
            break;
        case Interval::DayOfYear:
        case Interval::Day:
        case Interval::Weekday:
            return InRange(serial + static_cast<double>(n));
        case Interval::Week:
            return InRange(serial + static_cast<double>(n) * 7);
        case Interval::Hour:
            return InRange(serial + static_cast<double>(n) / 24);
        case Interval::Minute:
            return InRange(serial + static_cast<double>(n) / 1440);
        case Interval::Second:
            return InRange(serial + static_cast<double>(n) / 86400);
    }
    const long total = c.year * 12L + (c.month - 1) + months;
    const int y = static_cast<int>(FloorDiv(total, 12));
    const int m = static_cast<int>(total - FloorDiv(total, 12) * 12) + 1;
    if (y < 100 || y > 9999) return std::nullopt;
    const int d = std::min(c.day, DaysInMonth(y, m));
    return InRange(static_cast<double>(DaysFromCivil(y, m, d) - kSerialEpoch) + timeOfDay);
}

std::optional<double> JetDateDiff(std::string_view interval, double from, double to) {
    const auto which = IntervalOf(interval);
    if (!which || !InRange(from) || !InRange(to)) return std::nullopt;
    const JetCivil a = JetCivilOf(from), b = JetCivilOf(to);
    const long dayA = SerialDay(a), dayB = SerialDay(b);
    const long hours = (dayB - dayA) * 24 + b.hour - a.hour;
    switch (*which) {
        case Interval::Year:
            return b.year - a.year;
        case Interval::Quarter:
            return (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3);
        case Interval::Month:
            return (b.year * 12 + b.month) - (a.year * 12 + a.month);
        case Interval::DayOfYear:
        case Interval::Day:
            return dayB - dayA;
        case Interval::Weekday:
            return (dayB - dayA) / 7;
        case Interval::Week:
            return FloorDiv(dayB - 1, 7) - FloorDiv(dayA - 1, 7);
        case Interval::Hour:
            return hours;
        case Interval::Minute:
            return hours * 60 + b.minute - a.minute;
        case Interval::Second:
            return (hours * 60 + b.minute - a.minute) * 60 + b.second - a.second;
    }
    return std::nullopt;
}

std::optional<double> JetDatePart(std::string_view interval, double serial) {
    const auto which = IntervalOf(interval);
    if (!which || !InRange(serial)) return std::nullopt;
    const JetCivil c = JetCivilOf(serial);
    switch (*which) {
        case Interval::Year:
            return c.year;
        case Interval::Quarter:
            return (c.month - 1) / 3 + 1;
        case Interval::Month:
            return c.month;
        case Interval::DayOfYear:
            return c.dayOfYear;
        case Interval::Day:
            return c.day;
        case Interval::Weekday:
            return c.weekday;
        case Interval::Week: {
            // The week holding 1 January is the first.
            JetCivil first = c;
            first.month = first.day = 1;
            return FloorDiv(SerialDay(c) - 1, 7) - FloorDiv(SerialDay(first) - 1, 7) + 1;
        }
        case Interval::Hour:
            return c.hour;
        case Interval::Minute:
            return c.minute;
        case Interval::Second:
            return c.second;
    }
    return std::nullopt;
}

std::string JetDateText(double serial) {
    const JetCivil c = JetCivilOf(serial);
    const bool noDay = c.year == 1899 && c.month == 12 && c.day == 30;
    const bool noTime = c.hour == 0 && c.minute == 0 && c.second == 0;
    if (noDay) return TimeOfDay(c, true, false);
    if (noTime) return ShortDate(c);
    return ShortDate(c) + " " + TimeOfDay(c, true, false);
}

double JetNow() {
    const LocalTime t = CurrentLocalTime();
    return static_cast<double>(DaysFromCivil(t.year, t.month, t.day) - kSerialEpoch) +
           (t.hours * 3600 + t.minutes * 60 + t.seconds) / 86400.0;
}

std::string JetNumberText(double value) {
    char text[64];
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", value);
    } else {
        std::snprintf(text, sizeof text, "%.15G", value);
    }
    return text;
}

std::string JetFormat(const JetFormatValue& value, std::string_view format) {
    const std::string own = value.isNumber ? JetNumberText(value.number) : value.text;
    if (format.empty()) return own;
    struct Named {
        const char* name;
        const char* custom;
        int kind;  // 0 date, 1 number, 2 yes/no words
    };
    static const Named kNamed[] = {
        {"General Date", "c", 0},
        {"Long Date", "dddd, mmmm d, yyyy", 0},
        {"Medium Date", "dd-mmm-yy", 0},
        {"Short Date", "m/d/yyyy", 0},
        {"Long Time", "h:nn:ss AM/PM", 0},
        {"Medium Time", "hh:nn AM/PM", 0},
        {"Short Time", "hh:nn", 0},
        {"General Number", "", 1},
        {"Currency", "$#,##0.00;($#,##0.00)", 1},
        {"Fixed", "0.00", 1},
        {"Standard", "#,##0.00", 1},
        {"Percent", "0.00%", 1},
        {"Scientific", "0.00E+00", 1},
        {"Yes/No", "Yes/No", 2},
        {"True/False", "True/False", 2},
        {"On/Off", "On/Off", 2},
    };
    std::string custom(format);
    int kind = -1;
    for (const Named& n : kNamed) {
        if (SameText(format, n.name)) {
            custom = n.custom;
            kind = n.kind;
        }
    }
    std::optional<double> number =
        value.isNumber ? std::optional<double>(value.number) : ParseJetNumber(value.text);
    if (kind == 2) {
        if (!number) return own;
        const std::string words = custom;
        const size_t slash = words.find('/');
        return *number != 0 ? words.substr(0, slash) : words.substr(slash + 1);
    }
    if (kind == 1 && custom.empty()) return number ? JetNumberText(*number) : own;
    const FormatKinds k = kind == 1 ? FormatKinds{false, true, false} : KindsOf(custom);
    if (kind == 0 || (k.date && !k.digits)) {
        std::optional<double> serial = value.isNumber ? number : ParseJetDate(value.text);
        if (!serial) serial = number;
        return serial ? FormatDate(*serial, custom) : own;
    }
    if (k.digits || kind == 1) {
        if (!number && !value.isNumber) number = ParseJetDate(value.text);
        return number ? FormatNumber(*number, custom) : own;
    }
    return FormatText(own, custom);
}

}  // namespace tavik
