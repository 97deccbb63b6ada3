#include "disk/FileType.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(TypeText, FourStylesOfEveryType) {
    struct Row {
        uint8_t status;
        const char* styles[4];
    } rows[] = {
        {0x00, {"DF80", "Dis/Fix 80", "Display, Fixed 80", "DISPLAY, FIXED 80"}},
        {0x01, {"Prog", "Prog", "Program", "PROGRAM"}},
        {0x02, {"IF80", "Int/Fix 80", "Internal, Fixed 80", "INTERNAL, FIXED 80"}},
        {0x80, {"DV80", "Dis/Var 80", "Display, Variable 80", "DISPLAY, VARIABLE 80"}},
        {0x82, {"IV80", "Int/Var80", "Internal, Variable 80", "INTERNAL, VARIABLE 80"}},
        {0x03, {"Invalid format", "Invalid format", "Invalid format", "INVALID FORMAT"}},
        {0x81, {"Invalid format", "Invalid format", "Invalid format", "INVALID FORMAT"}},
        {0x83, {"Invalid format", "Invalid format", "Invalid format", "INVALID FORMAT"}},
    };
    for (const Row& r : rows) {
        for (int style = 0; style < 4; ++style)
            EXPECT_EQ(TypeText(r.status, 80, style), r.styles[style]) << int{r.status} << style;
        // Bits outside the type mask do not change the text.
        EXPECT_EQ(TypeText(static_cast<uint8_t>(r.status | 0x7C), 80, 0), r.styles[0]);
    }
    EXPECT_EQ(TypeText(0x00, 80, 4), "");
    EXPECT_EQ(TypeText(0x00, 80, -1), "");
}

TEST(TypeText, ReportsProtection) {
    bool isProtected = false;
    EXPECT_EQ(TypeText(0x8A, 254, 0, &isProtected), "IV254");
    EXPECT_TRUE(isProtected);
    EXPECT_EQ(TypeText(0x01, 0, 9, &isProtected), "");
    EXPECT_FALSE(isProtected);
}

TEST(ParseType, ImportTexts) {
    struct Row {
        const char* text;
        int status;  // -1: no match
        int recordLength;
    } rows[] = {
        {"PROG", 0x01, 0},
        {" program ", 0x01, 0},
        {"ea5", 0x01, 0},
        {"PROGRAMS", -1, 0},
        {"df80", 0x00, 80},
        {"DF 80", 0x00, 80},  // a number may follow blanks, as scanf reads it
        {"RDF80", 0x00, 80},
        {"RDF81", -1, 0},
        {"DV254", 0x80, 254},
        {"IF128", 0x02, 128},
        {"IV254xyz", 0x82, 254},
        {" dis/var 80 ", 0x80, 80},
        {"DIS/VAR80", 0x80, 80},
        {"Dis/Fix   128", 0x00, 128},
        {"int/fix 64", 0x02, 64},
        {"INT/VAR 254", 0x82, 254},
        {"Display, Fixed 80", 0x00, 80},
        {"display,variable 80", 0x80, 80},
        {"Internal, Fixed 1", 0x02, 1},
        {"INTERNAL, VARIABLE 255", 0x82, 255},
        {"DF336", 0x00, 80},  // the low byte of the number
        {"D/V80", -1, 0},
        {"DF", -1, 0},
        {"", -1, 0},
        {"Display, Fixed", -1, 0},
    };
    for (const Row& r : rows) {
        ParsedType t{};
        const bool ok = ParseType(r.text, false, t);
        EXPECT_EQ(ok, r.status >= 0) << r.text;
        if (!ok || r.status < 0) continue;
        EXPECT_EQ(t.status, r.status) << r.text;
        EXPECT_EQ(t.recordLength, r.recordLength) << r.text;
    }
    ParsedType t{};
    ASSERT_TRUE(ParseType("IV254", true, t));
    EXPECT_EQ(t.status, 0x8A);
    ASSERT_TRUE(ParseType("prog", true, t));
    EXPECT_EQ(t.status, 0x09);
}

TEST(ParseType, RoundTripOfEveryStyle) {
    for (uint8_t status : {0x00, 0x01, 0x02, 0x80, 0x82}) {
        for (int style = 0; style < 4; ++style) {
            // The medium style of INT/VAR has no blank and still reads back.
            ParsedType t{};
            const std::string text = TypeText(status, 96, style);
            ASSERT_TRUE(ParseType(text, false, t)) << text;
            EXPECT_EQ(t.status, status) << text;
            EXPECT_EQ(t.recordLength, status == 0x01 ? 0 : 96) << text;
        }
    }
}

TEST(ParseDialogType, ShortListIsCaseSensitiveAndReadsCIntegers) {
    struct Row {
        const char* text;
        int status;
        int recordLength;
    } rows[] = {
        {"Prog", 0x01, 0},    {"DF0x50", 0x00, 80}, {"DV80", 0x80, 80},    {"IF010", 0x02, 8},
        {"IV254", 0x82, 254}, {"prog", -1, 0},      {"PROG", -1, 0},       {"df80", -1, 0},
        {" DF80", -1, 0},     {"Prog ", -1, 0},     {"DIS/FIX 80", -1, 0},
    };
    for (const Row& r : rows) {
        ParsedType t{};
        const bool ok = ParseDialogType(r.text, t);
        EXPECT_EQ(ok, r.status >= 0) << r.text;
        if (!ok || r.status < 0) continue;
        EXPECT_EQ(t.status, r.status) << r.text;
        EXPECT_EQ(t.recordLength, r.recordLength) << r.text;
    }
}

}  // namespace
}  // namespace tavik
