// Packed TI date and time words as they stand in VIB and FDR bytes 20-27.
//   date: bits 15-9 year in the century, 8-5 month, 4-0 day; years below 71 are 20xx.
//   time: bits 15-11 hours, 10-5 minutes, 4-0 seconds / 2.
#pragma once

#include <cstdint>
#include <string>

namespace tavik {

uint16_t PackDate(int day, int month, int year);
uint16_t PackTime(int hours, int minutes, int seconds);
uint16_t PackDate();  // today, from the local clock
uint16_t PackTime();  // now

// Six orders: 0 d/m/y, 1 m/d/y, 2 y/m/d, 3-5 the same with four-digit years. "" for 0.
std::string DateText(uint16_t word, int order);
std::string TimeText(uint16_t word, bool twentyFourHour);

// Packed word, or -1 when the text is not a valid date or time.
int ParseDate(const std::string& text, int preferredOrder);
int ParseTime(const std::string& text);

// For tests: "now" comes from this local time instead of the clock while set.
struct LocalTime {
    int year = 0, month = 0, day = 0, hours = 0, minutes = 0, seconds = 0;
};
void SetClockForTesting(const LocalTime* fixed);
LocalTime CurrentLocalTime();

}  // namespace tavik
