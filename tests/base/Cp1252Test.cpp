#include "base/Cp1252.h"
#include "base/UpperAscii.h"

#include <gtest/gtest.h>

using namespace tavik;

TEST(Cp1252, RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, MapsTheSpecialRange) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\xE9"), "\xC3\xA9");      // e acute
    EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");
    EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");  // no such character in the code page
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");          // cut short
}

TEST(Cp1252, Utf8OfEveryLengthAndAsciiUpperCase) {
    std::string out;
    for (uint32_t cp : {0x41u, 0xE9u, 0x20ACu, 0x1F600u})
        AppendUtf8(out, cp);
    EXPECT_EQ(out, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(UpperAscii("dsk1.Name\xE9"), "DSK1.NAME\xE9");  // code page letters stay
}
