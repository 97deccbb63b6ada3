#include "disk/TiDateTime.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(TiDatePacking, PackAndPrintInEveryOrder) {
    const uint16_t endOf1999 = PackDate(31, 12, 1999);
    EXPECT_EQ(endOf1999, 0xC79F);
    struct Row {
        int order;
        const char* text;
    } rows[] = {{0, "31/12/99"},   {1, "12/31/99"},   {2, "99/12/31"}, {3, "31/12/1999"},
                {4, "12/31/1999"}, {5, "1999/12/31"}, {6, ""},         {-1, ""}};
    for (const Row& r : rows)
        EXPECT_EQ(DateText(endOf1999, r.order), r.text) << r.order;

    // The century turns between stored years 70 and 71.
    EXPECT_EQ(DateText(PackDate(1, 2, 70), 3), "01/02/2070");
    EXPECT_EQ(DateText(PackDate(1, 2, 70), 5), "2070/02/01");
    EXPECT_EQ(DateText(PackDate(1, 2, 71), 4), "02/01/1971");
    EXPECT_EQ(DateText(PackDate(5, 6, 2012), 0), "05/06/12");
    EXPECT_EQ(DateText(0, 5), "");
}

TEST(TiTimePacking, OddSecondsAreLostAndBothClockStyles) {
    const uint16_t late = PackTime(23, 59, 59);
    EXPECT_EQ(late, 0xBF7D);
    EXPECT_EQ(TimeText(late, true), "23:59:58");
    struct Row {
        int hours;
        const char* text;
    } rows[] = {{0, "12:30:10 am"},  {1, "01:30:10 am"},  {11, "11:30:10 am"},
                {12, "12:30:10 pm"}, {13, "01:30:10 pm"}, {23, "11:30:10 pm"}};
    for (const Row& r : rows)
        EXPECT_EQ(TimeText(PackTime(r.hours, 30, 10), false), r.text);
    EXPECT_EQ(TimeText(0, true), "00:00:00");
}

TEST(TiDateParsing, FieldOrderFollowsTheNumbers) {
    const int may13 = PackDate(13, 5, 12);
    for (int preferred : {0, 1, 2}) {
        EXPECT_EQ(ParseDate("13/05/12", preferred), may13) << preferred;
        EXPECT_EQ(ParseDate("05/13/12", preferred), may13) << preferred;
        EXPECT_EQ(ParseDate("12/05/13", preferred), preferred == 0   ? PackDate(12, 5, 13)
                                                    : preferred == 1 ? PackDate(5, 12, 13)
                                                                     : PackDate(13, 5, 12));
    }
    EXPECT_EQ(ParseDate("2012/05/13", 0), -1);  // 2012 - 1900 = 112 is no year of the century
    EXPECT_EQ(ParseDate("1985/05/13", 0), PackDate(13, 5, 85));
    EXPECT_EQ(ParseDate("13/5/1985", 0), PackDate(13, 5, 85));
    EXPECT_EQ(ParseDate("31/02/10", 0), PackDate(31, 2, 10));  // month lengths are not checked
    EXPECT_EQ(ParseDate(" 1/ 2/ 3 and more", 0), PackDate(1, 2, 3));
}

TEST(TiDateParsing, InvalidTexts) {
    for (const char* text : {"", "1/2", "a/b/c", "1-2-3", "0/1/10", "32/13/10", "13/13/13",
                             "1/0/10", "1/1/100", "1/1/-1", "99999999999/1/1"})
        EXPECT_EQ(ParseDate(text, 0), -1) << text;
}

TEST(TiTimeParsing, TwelveHourTextsAndLimits) {
    EXPECT_EQ(ParseTime("12:30:00 am"), PackTime(0, 30, 0));
    EXPECT_EQ(ParseTime("12:30:00 PM"), PackTime(12, 30, 0));
    EXPECT_EQ(TimeText(static_cast<uint16_t>(ParseTime("1:05:07 pm")), true), "13:05:06");
    EXPECT_EQ(ParseTime("23:59:59"), PackTime(23, 59, 59));
    for (const char* text :
         {"24:00:00", "12:60:00", "12:00:60", "1:2", "x", "13:00:00 pm", "-1:00:00 pm", ""})
        EXPECT_EQ(ParseTime(text), -1) << text;
}

TEST(TiClock, NowAndTodayComeFromTheClock) {
    const LocalTime fixed{2024, 3, 9, 14, 7, 33};
    SetClockForTesting(&fixed);
    EXPECT_EQ(PackDate(), PackDate(9, 3, 24));
    EXPECT_EQ(PackTime(), PackTime(14, 7, 33));
    EXPECT_EQ(ParseDate("Today", 1), PackDate(9, 3, 24));
    EXPECT_EQ(ParseDate("right NOW", 0), PackDate(9, 3, 24));
    EXPECT_EQ(ParseTime("Now"), PackTime(14, 7, 33));
    SetClockForTesting(nullptr);
    EXPECT_GE(CurrentLocalTime().year, 2024);
}

}  // namespace
}  // namespace tavik
