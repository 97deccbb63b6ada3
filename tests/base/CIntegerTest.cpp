#include "base/CInteger.h"

#include <gtest/gtest.h>

using tavik::ReadCInteger;

TEST(CInteger, ReadsDecimalHexAndOctalLiterals) {
    EXPECT_EQ(ReadCInteger("80"), 80);
    EXPECT_EQ(ReadCInteger("0x50"), 80);
    EXPECT_EQ(ReadCInteger("0X64000"), 409600);
    EXPECT_EQ(ReadCInteger("0120"), 80);
    EXPECT_EQ(ReadCInteger("  -12"), -12);
    EXPECT_EQ(ReadCInteger("+7"), 7);
    EXPECT_EQ(ReadCInteger("0"), 0);
}

TEST(CInteger, StopsAtTheFirstForeignCharacter) {
    EXPECT_EQ(ReadCInteger("12abc"), 12);
    EXPECT_EQ(ReadCInteger("09"), 0);   // 9 is no octal digit
    EXPECT_EQ(ReadCInteger("0xg"), 0);  // "0" then an x that starts no number
    size_t used = 0;
    EXPECT_EQ(ReadCInteger("0x1F-3", used), 31);
    EXPECT_EQ(used, 4u);
}

TEST(CInteger, RefusesTextWithoutDigits) {
    EXPECT_FALSE(ReadCInteger(""));
    EXPECT_FALSE(ReadCInteger("None"));
    EXPECT_FALSE(ReadCInteger("-"));
    EXPECT_FALSE(ReadCInteger("  "));
}
