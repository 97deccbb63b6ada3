#include "disk/TiDateTime.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

#include "disk/TextScan.h"

namespace tavik {

namespace {

// Years in the century below this one belong to the 21st century.
constexpr int kCenturyPivot = 71;

std::optional<LocalTime> g_fixedClock;

struct Date {
    int day, month, year;
};
struct Time {
    int hours, minutes, seconds;
};

Date UnpackDate(uint16_t word) {
    return {word & 0x1F, (word >> 5) & 0x0F, (word >> 9) & 0x7F};
}
Time UnpackTime(uint16_t word) {
    return {(word >> 11) & 0x1F, (word >> 5) & 0x3F, (word & 0x1F) * 2};
}

std::string Format(const char* format, int a, int b, int c) {
    char text[48];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool Contains(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

}  // namespace

uint16_t PackDate(int day, int month, int year) {
    const unsigned y = static_cast<unsigned>(((year % 100) + 100) % 100);
    return static_cast<uint16_t>(y * 512 + (static_cast<unsigned>(month) & 0x0F) * 32 +
                                 (static_cast<unsigned>(day) & 0x1F));
}

uint16_t PackTime(int hours, int minutes, int seconds) {
    return static_cast<uint16_t>(static_cast<unsigned>(hours) * 2048 +
                                 static_cast<unsigned>(minutes) * 32 +
                                 static_cast<unsigned>(seconds / 2));
}

uint16_t PackDate() {
    const LocalTime now = CurrentLocalTime();
    return PackDate(now.day, now.month, now.year);
}

uint16_t PackTime() {
    const LocalTime now = CurrentLocalTime();
    return PackTime(now.hours, now.minutes, now.seconds);
}

std::string DateText(uint16_t word, int order) {
    if (word == 0) return {};
    const Date d = UnpackDate(word);
    const bool modern = d.year < kCenturyPivot;
    switch (order) {
        case 0:
            return Format("%02d/%02d/%02d", d.day, d.month, d.year);
        case 1:
            return Format("%02d/%02d/%02d", d.month, d.day, d.year);
        case 2:
            return Format("%02d/%02d/%02d", d.year, d.month, d.day);
        case 3:
            return Format(modern ? "%02d/%02d/20%02d" : "%02d/%02d/19%02d", d.day, d.month, d.year);
        case 4:
            return Format(modern ? "%02d/%02d/20%02d" : "%02d/%02d/19%02d", d.month, d.day, d.year);
        case 5:
            return Format(modern ? "20%02d/%02d/%02d" : "19%02d/%02d/%02d", d.year, d.month, d.day);
        default:
            return {};
    }
}

std::string TimeText(uint16_t word, bool twentyFourHour) {
    const Time t = UnpackTime(word);
    if (twentyFourHour) return Format("%02d:%02d:%02d", t.hours, t.minutes, t.seconds);
    if (t.hours == 0) return Format("%02d:%02d:%02d am", 12, t.minutes, t.seconds);
    if (t.hours == 12) return Format("%02d:%02d:%02d pm", 12, t.minutes, t.seconds);
    if (t.hours > 12) return Format("%02d:%02d:%02d pm", t.hours - 12, t.minutes, t.seconds);
    return Format("%02d:%02d:%02d am", t.hours, t.minutes, t.seconds);
}

int ParseDate(const std::string& text, int preferredOrder) {
    const std::string lower = Lower(text);
    if (Contains(lower, "now") || Contains(lower, "today")) return PackDate();
    std::vector<int> n;
    if (ScanPattern(lower, "%d/%d/%d", n) != 3) return -1;
    // The order is taken from the numbers when they leave no doubt; orders 3 to 5 (four-digit
    // years in texts) read like 0 to 2.
    int order = preferredOrder % 3;
    if (preferredOrder < 0 || preferredOrder > 5) order = 0;
    if (n[0] >= 32)
        order = 2;
    else if (n[0] > 12)
        order = 0;
    else if (n[1] > 12)
        order = 1;
    Date d{};
    switch (order) {
        case 0:
            d = {n[0], n[1], n[2]};
            break;
        case 1:
            d = {n[1], n[0], n[2]};
            break;
        default:
            d = {n[2], n[1], n[0]};
            break;
    }
    if (d.year > 1970) d.year -= 1900;
    if (d.day < 1 || d.day > 31 || d.month < 1 || d.month > 12 || d.year < 0 || d.year > 99)
        return -1;
    return PackDate(d.day, d.month, d.year);
}

int ParseTime(const std::string& text) {
    const std::string lower = Lower(text);
    if (Contains(lower, "now")) return PackTime();
    std::vector<int> n;
    if (ScanPattern(lower, "%d:%d:%d", n) != 3) return -1;
    if (n[0] < 0 || n[1] < 0 || n[2] < 0) return -1;
    int hours = n[0];
    if (Contains(lower, "am") && hours == 12)
        hours = 0;
    else if (Contains(lower, "pm") && hours != 12)
        hours += 12;
    if (hours > 23 || n[1] > 59 || n[2] > 59) return -1;
    return PackTime(hours, n[1], n[2]);
}

void SetClockForTesting(const LocalTime* fixed) {
    if (fixed)
        g_fixedClock = *fixed;
    else
        g_fixedClock.reset();
}

LocalTime CurrentLocalTime() {
    if (g_fixedClock) return *g_fixedClock;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace tavik
