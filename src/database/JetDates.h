// Dates and numbers as Jet turns them into text and back, for the Jet functions of the SQL
// dialect (Date, Now, Time, Year, Month, Day, Format, CStr, date arithmetic).
//
// A Jet date is a serial: days since 30 December 1899, the time of day as the fraction. In the
// engine a date travels as the text Jet shows for it, in the catalogue's locale (United States):
// "12/8/2026" for a date, "2:03:00 PM" for a time of day, "12/8/2026 2:03:00 PM" for both. The
// date texts the catalogue stores ("2012/05/17", "14:03:00") read as dates too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The serial of a date text, or nothing when the text is no date. Accepted: year first
// ("2012/05/17", "2012-05-17"), month first ("12/8/2026", "12-8-26"; a month above 12 is taken
// as the day, as Jet does), each optionally followed by a time; a time alone ("14:03:00",
// "2:03 PM"). Two-digit years 30 to 99 are 19xx, 00 to 29 20xx.
std::optional<double> ParseJetDate(std::string_view text);

// The text Jet shows for a serial (its "General Date" format).
std::string JetDateText(double serial);

// The serial of the current local time (the clock of TiDateTime.h, so tests can set it).
double JetNow();

struct JetCivil {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
    int weekday = 7;  // 1 Sunday .. 7 Saturday
    int dayOfYear = 1;
};
JetCivil JetCivilOf(double serial);

// DateSerial(year, month, day): a month or day beyond its range rolls into the next months or
// back into the previous ones; years 0 to 29 are 20xx, 30 to 99 19xx. Nothing when the date
// falls outside the years 100 to 9999.
std::optional<double> JetDateSerial(double year, double month, double day);

// DateAdd, DateDiff and DatePart with their interval texts: "yyyy" years, "q" quarters, "m"
// months, "y" days of the year, "d" days, "w" weekdays, "ww" weeks, "h" hours, "n" minutes, "s"
// seconds. Adding months keeps the day where the month has it, else takes the month's last
// day; DateDiff counts the boundaries crossed (weeks "ww" begin on Sunday). Nothing for an
// unknown interval or a result outside the years 100 to 9999.
std::optional<double> JetDateAdd(std::string_view interval, double number, double serial);
std::optional<double> JetDateDiff(std::string_view interval, double from, double to);
std::optional<double> JetDatePart(std::string_view interval, double serial);

// The number a whole text reads as (blanks around it allowed), or nothing.
std::optional<double> ParseJetNumber(const std::string& text);

// The text of a number as Jet's CStr writes it: integers plainly, other numbers with up to 15
// significant digits ("0.5", "1E+20").
std::string JetNumberText(double value);

// Jet's Format(value, format): named formats ("General Date", "Short Date", "Long Time",
// "Fixed", "Percent", "Yes/No", ...) and custom ones of date and time characters (d dd ddd dddd
// m mm mmm mmmm yy yyyy h hh n nn s ss AM/PM am/pm A/P q w y c), of digit placeholders (0 # . ,
// % E+, sections separated by ";") or of text placeholders (@ & < >). A number with a date
// format is taken as a serial; a text that reads as a date or a number is formatted as one when
// the format asks for it, any other text as it stands. An empty format gives the value's own
// text.
struct JetFormatValue {
    bool isNumber = false;
    double number = 0;
    std::string text;  // the value's own text (for texts and dates)
};
std::string JetFormat(const JetFormatValue& value, std::string_view format);

}  // namespace tavik
