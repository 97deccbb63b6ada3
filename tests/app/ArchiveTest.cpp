#include "app/Archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavik;

namespace {
std::vector<uint8_t> Stored(const std::string& text) {
    CMemFile file;
    {
        CArchive ar(file, CArchive::Mode::Store);
        ar.WriteString(text);
    }
    return file.Bytes();
}

std::string Hex(const std::vector<uint8_t>& bytes, size_t count) {
    std::string out;
    char b[4];
    for (size_t i = 0; i < count && i < bytes.size(); ++i) {
        std::snprintf(b, sizeof b, "%02X ", bytes[i]);
        out += b;
    }
    return out;
}
}  // namespace

struct PrefixRow {
    size_t length;
    const char* prefix;
};

class StringPrefix : public ::testing::TestWithParam<PrefixRow> {};

TEST_P(StringPrefix, WritesThePrefixAndReadsTheStringBack) {
    const PrefixRow row = GetParam();
    std::string text(row.length, 'x');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>('a' + i % 26);
    const auto bytes = Stored(text);
    const std::string prefix = row.prefix;
    const size_t prefixSize = (prefix.size() + 1) / 3;
    EXPECT_EQ(Hex(bytes, prefixSize), prefix + " ");
    EXPECT_EQ(bytes.size(), prefixSize + row.length);

    CMemFile file(bytes);
    CArchive ar(file, CArchive::Mode::Load);
    std::string back;
    ASSERT_TRUE(ar.ReadString(back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(ar.Remaining(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringPrefix,
                         ::testing::Values(PrefixRow{0, "00"}, PrefixRow{11, "0B"},
                                           PrefixRow{254, "FE"}, PrefixRow{255, "FF FF 00"},
                                           PrefixRow{65533, "FF FD FF"},
                                           PrefixRow{65534, "FF FF FF FE FF 00 00"},
                                           PrefixRow{70000, "FF FF FF 70 11 01 00"}));

TEST(Archive, NumbersPointsAndRectanglesAreLittleEndian) {
    CMemFile file;
    {
        CArchive ar(file, CArchive::Mode::Store);
        int32_t i = -2;
        uint16_t u = 0xA180;
        ArPoint p{1, 0x01020304};
        ArRect r{-1, 2, 3, 4};
        ar.Int32(i);
        ar.UInt16(u);
        ar.Point(p);
        ar.Rect(r);
        ASSERT_TRUE(ar.Flush());
    }
    EXPECT_EQ(Hex(file.Bytes(), 6), "FE FF FF FF 80 A1 ");
    EXPECT_EQ(Hex(std::vector<uint8_t>(file.Bytes().begin() + 6, file.Bytes().end()), 24),
              "01 00 00 00 04 03 02 01 FF FF FF FF 02 00 00 00 03 00 00 00 04 00 00 00 ");

    CArchive in(file, CArchive::Mode::Load);
    int32_t i = 0;
    uint16_t u = 0;
    ArPoint p;
    ArRect r;
    in.Int32(i);
    in.UInt16(u);
    in.Point(p);
    in.Rect(r);
    ASSERT_TRUE(in.Ok());
    EXPECT_EQ(i, -2);
    EXPECT_EQ(u, 0xA180);
    EXPECT_EQ(p, (ArPoint{1, 0x01020304}));
    EXPECT_EQ(r, (ArRect{-1, 2, 3, 4}));
}

TEST(Archive, SixteenBitStringsAreReadAsEightBitText) {
    // "A", e-acute, the euro sign (0x80 in code page 1252) and a character the page lacks.
    std::vector<uint8_t> bytes = {0xFF, 0xFE, 0xFF, 0x04, 'A', 0, 0xE9, 0, 0xAC, 0x20, 0x14, 0x04};
    // The same after a three-byte length inside the wide form, then a plain string.
    const std::vector<uint8_t> more = {0xFF, 0xFE, 0xFF, 0xFF, 0x01, 0x00, 'z', 0, 0x02, 'o', 'k'};
    bytes.insert(bytes.end(), more.begin(), more.end());
    CMemFile file(bytes);
    CArchive ar(file, CArchive::Mode::Load);
    std::string a, b, c;
    ASSERT_TRUE(ar.ReadString(a));
    EXPECT_EQ(a, "A\xE9\x80?");
    ASSERT_TRUE(ar.ReadString(b));
    EXPECT_EQ(b, "z");
    ASSERT_TRUE(ar.ReadString(c));
    EXPECT_EQ(c, "ok");
}

TEST(Archive, DamagedLengthsAndCountsFailWithoutAllocating) {
    struct Row {
        const char* what;
        std::vector<uint8_t> bytes;
        bool list;
    };
    std::vector<uint8_t> padding(200, 'x');
    auto with = [&](std::vector<uint8_t> head) {
        head.insert(head.end(), padding.begin(), padding.end());
        return head;
    };
    const Row rows[] = {
        {"int32 length 2^31-1", with({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), false},
        {"negative int32 length", with({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}), false},
        {"16-bit length past the end", with({0xFF, 0x00, 0x10}), false},
        {"wide string past the end", with({0xFF, 0xFE, 0xFF, 0xFF, 0x80, 0x00}), false},
        {"string cut short", {0x05, 'a', 'b'}, false},
        {"prefix cut short", {0xFF, 0xFF}, false},
        {"list count 2^30", with({0x00, 0x00, 0x00, 0x40}), true},
        {"negative list count", with({0xFF, 0xFF, 0xFF, 0xFF}), true},
        {"list of 250 strings in 200 bytes", with({0xFA, 0x00, 0x00, 0x00}), true},
    };
    for (const Row& row : rows) {
        CMemFile file(row.bytes);
        CArchive ar(file, CArchive::Mode::Load);
        std::string text = "old";
        std::vector<std::string> list = {"old"};
        if (row.list)
            EXPECT_FALSE(ar.StringList(list)) << row.what;
        else
            EXPECT_FALSE(ar.ReadString(text)) << row.what;
        EXPECT_EQ(text, "old") << row.what;
        EXPECT_EQ(list, std::vector<std::string>{"old"}) << row.what;
        // Once failed, the archive stays failed and touches nothing.
        int32_t n = 7;
        EXPECT_FALSE(ar.Int32(n)) << row.what;
        EXPECT_EQ(n, 7) << row.what;
    }
}

TEST(Archive, ListsAreReplacedWholeAndStoredUpToALimit) {
    CMemFile file;
    {
        CArchive ar(file, CArchive::Mode::Store);
        std::vector<std::string> names = {"a", "bb", "ccc"};
        std::vector<uint16_t> stops = {7, 12};
        std::vector<int32_t> columns = {-1, 0x00640001};
        ar.StringList(names, 2);
        ar.UInt16List(stops);
        ar.Int32List(columns);
    }
    EXPECT_EQ(Hex(file.Bytes(), 10), "02 00 00 00 01 61 02 62 62 02 ");

    CArchive ar(file, CArchive::Mode::Load);
    std::vector<std::string> names = {"x", "y", "z"};
    std::vector<uint16_t> stops = {1, 2, 3};
    std::vector<int32_t> columns = {5};
    ar.StringList(names);
    ar.UInt16List(stops);
    ar.Int32List(columns);
    ASSERT_TRUE(ar.Ok());
    EXPECT_EQ(names, (std::vector<std::string>{"a", "bb"}));
    EXPECT_EQ(stops, (std::vector<uint16_t>{7, 12}));
    EXPECT_EQ(columns, (std::vector<int32_t>{-1, 0x00640001}));
}
