// The sector editor's rules without a window: the dump text, hexadecimal and character typing
// in overwrite and insert mode with the caret's moves, and the Delete key.
#include "disk/SectorEditBuffer.h"

#include <gtest/gtest.h>

#include <numeric>

namespace tavik {
namespace {

Sector Ascending() {
    Sector s{};
    std::iota(s.begin(), s.end(), 0);
    return s;
}

CSectorEditBuffer Loaded(const Sector& s) {
    CSectorEditBuffer b;
    b.Load(s.data());
    return b;
}

// Types the characters one after the other from the caret on.
Caret TypeAll(CSectorEditBuffer& b, Caret caret, const std::string& text, bool insert = false) {
    for (char c : text)
        b.Type(caret, c, insert);
    return caret;
}

TEST(SectorEditBuffer, DumpLinesHoldOffsetHexAndCharactersInTheirColumns) {
    Sector s{};
    s[0] = 'T';
    s[1] = 0x07;  // below 0x20: a space in the characters
    s[15] = 0xFF;
    s[16] = 'x';
    const CSectorEditBuffer b = Loaded(s);
    const std::string line0 = b.Line(0);
    ASSERT_EQ(line0.size(), 68u);
    EXPECT_EQ(line0.substr(0, 13), "00: 54 07 00 ");
    EXPECT_EQ(line0.substr(dump::HexColumn(15), 3), "FF ");
    EXPECT_EQ(line0[dump::CharColumn(0)], 'T');
    EXPECT_EQ(line0[dump::CharColumn(1)], ' ');
    EXPECT_EQ(static_cast<uint8_t>(line0[dump::CharColumn(15)]), 0xFF);
    EXPECT_EQ(b.Line(15).substr(0, 4), "F0: ");
    const std::string text = b.Text();
    EXPECT_EQ(text.size(), 16u * 70 - 2);  // no line end after the last line
    EXPECT_EQ(text.substr(68, 6), "\r\n10: ");
    EXPECT_EQ(text[70 + dump::CharColumn(0)], 'x');
}

TEST(SectorEditBuffer, DifferingRunsCoverNeighbouringChangedBytes) {
    CSectorEditBuffer b = Loaded(Sector{});
    Sector changed{};
    for (int i : {2, 3, 4, 9, 15, 16})
        changed[i] = 1;
    b.SetBuffer(changed.data());
    EXPECT_EQ(b.DifferingRuns(0), (std::vector<std::pair<int, int>>{{2, 4}, {9, 9}, {15, 15}}));
    EXPECT_EQ(b.DifferingRuns(1), (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_TRUE(b.DifferingRuns(2).empty());
    b.AcceptBuffer();
    EXPECT_TRUE(b.DifferingRuns(0).empty());
}

TEST(SectorEditBuffer, TypedHexDigitsSetHighThenLowNibbleAndMoveOn) {
    Sector s{};
    s[0] = 0x12;
    CSectorEditBuffer b = Loaded(s);
    Caret caret{0, dump::HexColumn(0)};
    EXPECT_TRUE(b.Type(caret, 'a', false));  // lower case counts
    EXPECT_EQ(b.Bytes()[0], 0xA2);
    EXPECT_EQ(caret, (Caret{0, 5}));
    EXPECT_TRUE(b.Type(caret, '7', false));
    EXPECT_EQ(b.Bytes()[0], 0xA7);
    EXPECT_EQ(caret, (Caret{0, dump::HexColumn(1)}));
    // Typing on: byte 1 next, then across the line end to the first byte of line 1.
    caret = TypeAll(b, {0, dump::HexColumn(15)}, "Cd");
    EXPECT_EQ(b.Bytes()[15], 0xCD);
    EXPECT_EQ(caret, (Caret{1, dump::HexColumn(0)}));
    TypeAll(b, caret, "0F");
    EXPECT_EQ(b.Bytes()[16], 0x0F);
}

TEST(SectorEditBuffer, CharactersThatAreNoHexDigitsChangeNothing) {
    const Sector s = Ascending();
    for (char c : {'G', 'g', 'z', ' ', '-', 'x'}) {
        CSectorEditBuffer b = Loaded(s);
        for (int column : {dump::HexColumn(3), dump::HexColumn(3) + 1}) {
            Caret caret{2, column};
            EXPECT_FALSE(b.Type(caret, c, false)) << c;
            EXPECT_EQ(caret, (Caret{2, column}));
        }
        EXPECT_EQ(b.Bytes(), s) << c;
    }
}

TEST(SectorEditBuffer, TypingOnTheSpaceBetweenBytesOrAtTheLineEndChangesNothing) {
    const Sector s = Ascending();
    CSectorEditBuffer b = Loaded(s);
    for (Caret start : {Caret{0, dump::HexColumn(2) + 2}, Caret{3, dump::kLineWidth}}) {
        Caret caret = start;
        EXPECT_FALSE(b.Type(caret, '5', false));
        EXPECT_EQ(caret, start);
    }
    EXPECT_EQ(b.Bytes(), s);
}

TEST(SectorEditBuffer, TypingBeforeTheHexPartOnlyMovesTheCaretToIt) {
    const Sector s = Ascending();
    CSectorEditBuffer b = Loaded(s);
    for (int column : {0, 1, 3}) {
        Caret caret{4, column};
        EXPECT_FALSE(b.Type(caret, '5', false));
        EXPECT_EQ(caret, (Caret{4, dump::kHexStart}));
    }
    EXPECT_EQ(b.Bytes(), s);
}

TEST(SectorEditBuffer, InsertModeShiftsTheSectorUpAndLosesItsLastByte) {
    Sector s = Ascending();
    s[255] = 0xFF;
    CSectorEditBuffer b = Loaded(s);
    TypeAll(b, {0, dump::HexColumn(0)}, "41", true);
    EXPECT_EQ(b.Bytes()[0], 0x41);
    EXPECT_EQ(b.Bytes()[1], 0x00);
    EXPECT_EQ(b.Bytes()[255], 254);  // the former byte 254; 0xFF is gone
    // The second digit shifts nothing.
    EXPECT_EQ(b.Bytes()[2], 1);
}

TEST(SectorEditBuffer, CharactersReplaceOrInsertAndWrapToTheNextLine) {
    Sector s = Ascending();
    CSectorEditBuffer b = Loaded(s);
    Caret caret = TypeAll(b, {0, dump::CharColumn(14)}, "AB");
    EXPECT_EQ(b.Bytes()[14], 'A');
    EXPECT_EQ(b.Bytes()[15], 'B');
    EXPECT_EQ(caret, (Caret{1, dump::CharColumn(0)}));
    caret = TypeAll(b, {1, dump::CharColumn(2)}, "z", true);
    EXPECT_EQ(b.Bytes()[18], 'z');
    EXPECT_EQ(b.Bytes()[19], 18);
    EXPECT_EQ(b.Bytes()[255], 254);
    EXPECT_EQ(caret, (Caret{1, dump::CharColumn(3)}));
}

TEST(SectorEditBuffer, TheLastBytesOfTheSectorTakeDigitsInTurn) {
    CSectorEditBuffer b = Loaded(Sector{});
    // Bytes 250 on: each pair of digits goes to the next byte, as everywhere else.
    Caret caret = TypeAll(b, {15, dump::HexColumn(10)}, "414243444546");
    for (int i = 250; i < 256; ++i)
        EXPECT_EQ(b.Bytes()[i], 0x41 + i - 250) << i;
    // After byte 255 the caret stays on it: a further digit changes its low nibble.
    EXPECT_EQ(caret, (Caret{15, dump::HexColumn(15) + 1}));
    TypeAll(b, caret, "9");
    EXPECT_EQ(b.Bytes()[255], 0x49);
    EXPECT_EQ(b.Bytes()[254], 0x45);
    // The last character likewise keeps the caret.
    caret = TypeAll(b, {15, dump::CharColumn(15)}, "QR");
    EXPECT_EQ(b.Bytes()[255], 'R');
    EXPECT_EQ(caret, (Caret{15, dump::CharColumn(15)}));
}

TEST(SectorEditBuffer, DeleteRemovesTheByteAfterTheCaretAndKeepsByte255) {
    struct Row {
        Caret caret;
        int removed;  // -1: nothing
    };
    const Row rows[] = {
        {{0, dump::HexColumn(0)}, 0},       {{0, dump::HexColumn(0) + 1}, 1},
        {{0, dump::HexColumn(0) + 2}, 1},   {{0, 0}, 0},
        {{1, dump::HexColumn(15) + 2}, 32}, {{2, dump::CharColumn(5)}, 37},
        {{15, dump::HexColumn(15)}, 255},   {{15, dump::HexColumn(15) + 1}, -1},
        {{3, dump::kLineWidth}, -1},
    };
    for (const Row& row : rows) {
        CSectorEditBuffer b = Loaded(Ascending());
        EXPECT_EQ(b.DeleteAfter(row.caret), row.removed >= 0)
            << row.caret.line << "," << row.caret.column;
        if (row.removed < 0) {
            EXPECT_EQ(b.Bytes(), Ascending());
            continue;
        }
        for (int i = 0; i < 255; ++i)
            ASSERT_EQ(b.Bytes()[i], i < row.removed ? i : i + 1) << row.removed << " at " << i;
        EXPECT_EQ(b.Bytes()[255], 255);
    }
}

TEST(SectorEditBuffer, ByteAtCaretFollowsTheColumns) {
    const std::pair<Caret, int> rows[] = {
        {{0, 0}, 0},
        {{0, dump::HexColumn(3)}, 3},
        {{0, dump::HexColumn(3) + 2}, 3},
        {{2, dump::HexColumn(15) + 2}, 47},
        {{2, dump::CharColumn(4)}, 36},
        {{15, dump::kLineWidth}, 255},
    };
    for (const auto& [caret, byte] : rows)
        EXPECT_EQ(CSectorEditBuffer::ByteAtCaret(caret), byte) << caret.line << "," << caret.column;
}

}  // namespace
}  // namespace tavik
