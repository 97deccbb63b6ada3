// Runs of sectors: the numbers of the sector dialogs, comparing, copying and marking runs on
// real images, and the compare range seen from either side.
#include "disk/SectorRanges.h"

#include <gtest/gtest.h>

#include "DriveFixture.h"
#include "support/ScriptedPrompt.h"

namespace tavik {
namespace {

using test::MemDrive;

Sector Filled(uint8_t value) {
    Sector s;
    s.fill(value);
    return s;
}

// A blank disk whose sectors 10 to 29 each hold their own number in every byte.
std::vector<uint8_t> Numbered() {
    std::vector<uint8_t> image = test::EmptyDisk();
    for (int n = 10; n < 30; ++n)
        std::fill_n(image.begin() + 256 * n, 256, static_cast<uint8_t>(n));
    return image;
}

TEST(SectorRanges, SectorNumbersReadAsIntegerLiteralsWithinTheRange) {
    const std::pair<const char*, int> rows[] = {
        {"0", 0},     {"1600", 1600}, {"0x10", 16}, {"010", 8},  {" 7", 7}, {"12abc", 12},
        {"1601", -1}, {"-1", -1},     {"", -1},     {"abc", -1}, {"0x", 0},
    };
    for (const auto& [text, expected] : rows) {
        const std::optional<int> n = ReadSectorNumber(text, 1600);
        EXPECT_EQ(n.value_or(-1), expected) << '"' << text << '"';
    }
    EXPECT_EQ(InvalidSectorNumberText("1601"), "Invalid sector number: 1601");
}

TEST(SectorRanges, SpansTakeAnEmptyEndAsTheDefaultCountAndNameTheBadField) {
    struct Row {
        const char *from, *to;
        int defaultCount;
        int first, last;
        const char* error;
    };
    const Row rows[] = {
        {"5", "", 1, 5, 5, ""},
        {"5", "9", 1, 5, 9, ""},
        {"20", "", 4, 20, 23, ""},
        {"1598", "", 4, 1598, 1599, ""},  // cut at the highest number
        {"x", "9", 1, 0, 0, "Invalid sector number: x"},
        {"5", "1600", 1, 0, 0, "Invalid sector number: 1600"},
        {"9", "5", 1, 0, 0, "Invalid sector number: 5"},
    };
    for (const Row& r : rows) {
        SectorSpan span;
        std::string error;
        const bool ok = ReadSectorSpan(r.from, r.to, 1599, r.defaultCount, span, error);
        EXPECT_EQ(ok, std::string(r.error).empty()) << r.from << "-" << r.to;
        EXPECT_EQ(error, r.error);
        if (ok) {
            EXPECT_EQ(span.first, r.first);
            EXPECT_EQ(span.last, r.last);
        }
    }
}

TEST(SectorRanges, CompareFindsTheDifferingSourceSectorsInOrder) {
    MemDrive a(Numbered()), b(Numbered());
    const Sector five = Filled(5);
    ASSERT_TRUE(b.drive.WriteSector(13, five.data()));
    ASSERT_TRUE(b.drive.WriteSector(17, five.data()));
    test::CScriptedPrompt prompt;
    std::vector<int> differing;
    std::string error;
    EXPECT_EQ(CompareSectorSpans(a.drive, 10, 10, b.drive, 10, prompt, differing, error), 10);
    EXPECT_EQ(differing, (std::vector<int>{13, 17}));
    EXPECT_TRUE(error.empty());
    // Against shifted partners every pair differs.
    differing.clear();
    CompareSectorSpans(a.drive, 10, 3, a.drive, 11, prompt, differing, error);
    EXPECT_EQ(differing, (std::vector<int>{10, 11, 12}));
}

TEST(SectorRanges, CompareStopsOnAReadFailureAndWhenAbortIsConfirmed) {
    MemDrive a(Numbered()), b(test::EmptyDisk(360));
    test::CScriptedPrompt prompt;
    std::vector<int> differing;
    std::string error;
    // The partner run runs past the end of the other disk's image.
    EXPECT_EQ(CompareSectorSpans(a.drive, 10, 5, b.drive, 358, prompt, differing, error), 2);
    EXPECT_EQ(error, b.drive.ErrorText());
    EXPECT_FALSE(error.empty());

    prompt.held = {PolledKey::F4};
    prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
    differing.clear();
    error.clear();
    EXPECT_EQ(CompareSectorSpans(a.drive, 10, 10, a.drive, 11, prompt, differing, error), 2);
    EXPECT_EQ(prompt.questions,
              (std::vector<std::string>{"Abort comparison?", "Abort comparison?"}));
    EXPECT_TRUE(error.empty());
}

TEST(SectorRanges, CopyWritesTheRunAndMarksItUsedWhenAsked) {
    MemDrive a(Numbered()), b(test::EmptyDisk());
    test::CScriptedPrompt prompt;
    std::string error;
    EXPECT_EQ(CopySectorSpan(a.drive, {10, 12}, b.drive, {100, 102}, true, prompt, error), 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(b.SectorBytes(100 + k)[0], 10 + k);
        EXPECT_TRUE(b.Used(100 + k));
    }
    EXPECT_FALSE(b.Used(103));
    EXPECT_EQ(CopySectorSpan(a.drive, {10, 10}, b.drive, {200, 200}, false, prompt, error), 1);
    EXPECT_FALSE(b.Used(200));
}

TEST(SectorRanges, OneSectorCopiedOntoSeveralMakesSeveralCopies) {
    MemDrive a(Numbered());
    test::CScriptedPrompt prompt;
    std::string error;
    EXPECT_EQ(CopySectorSpan(a.drive, {15, 15}, a.drive, {40, 43}, false, prompt, error), 4);
    for (int n = 40; n <= 43; ++n)
        EXPECT_EQ(a.SectorBytes(n)[0], 15) << n;
}

TEST(SectorRanges, OverlappingRunsOnOneDiskCopyWhatTheSourceHeld) {
    MemDrive a(Numbered());
    test::CScriptedPrompt prompt;
    std::string error;
    // 10-19 onto 12-21: written forwards sector by sector, 12 would be overwritten before it
    // was read.
    EXPECT_EQ(CopySectorSpan(a.drive, {10, 19}, a.drive, {12, 21}, false, prompt, error), 10);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(a.SectorBytes(12 + k)[255], 10 + k) << k;
}

TEST(SectorRanges, CopyFailuresAndAbortStopWithTheirReasons) {
    MemDrive a(Numbered()), b(test::EmptyDisk(360));
    test::CScriptedPrompt prompt;
    std::string error;
    // Reading past the source's end writes nothing at all.
    EXPECT_EQ(CopySectorSpan(a.drive, {358, 361}, b.drive, {10, 13}, false, prompt, error), 0);
    EXPECT_EQ(error, a.drive.ErrorText());
    EXPECT_EQ(b.SectorBytes(10)[0], 0);
    // Writing past the destination's end stops there.
    error.clear();
    EXPECT_EQ(CopySectorSpan(a.drive, {10, 10}, b.drive, {358, 1600}, false, prompt, error), 2);
    EXPECT_FALSE(error.empty());

    prompt.held = {PolledKey::F4};
    prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
    error.clear();
    EXPECT_EQ(CopySectorSpan(a.drive, {10, 11}, b.drive, {50, 59}, false, prompt, error), 1);
    EXPECT_EQ(prompt.questions, (std::vector<std::string>{"Abort copy?", "Abort copy?"}));
}

TEST(SectorRanges, MarkingARunSetsOrClearsItsBitsAndStopsAtTheFirstFailure) {
    MemDrive a(test::EmptyDisk());
    std::string error;
    EXPECT_EQ(MarkSectorSpan(a.drive, {20, 24}, false, error), 5);
    for (int n = 20; n <= 24; ++n)
        EXPECT_TRUE(a.Used(n));
    EXPECT_EQ(MarkSectorSpan(a.drive, {22, 23}, true, error), 2);
    EXPECT_TRUE(a.Used(21));
    EXPECT_FALSE(a.Used(22));
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(MarkSectorSpan(a.drive, {1598, 1600}, false, error), 2);
    EXPECT_FALSE(error.empty());
}

TEST(SectorRanges, ACompareRangeSwapsSidesAndMapsSectorsToPartners) {
    MemDrive a(test::EmptyDisk()), b(test::EmptyDisk());
    const CompareRange range{&b.drive, 10, 19, 100};
    EXPECT_TRUE(range.Contains(10));
    EXPECT_TRUE(range.Contains(19));
    EXPECT_FALSE(range.Contains(20));
    EXPECT_EQ(range.Counterpart(12), 102);
    const CompareRange swapped = range.Swapped(&a.drive);
    EXPECT_EQ(swapped.other, &a.drive);
    EXPECT_EQ(swapped.first, 100);
    EXPECT_EQ(swapped.last, 109);
    EXPECT_EQ(swapped.Counterpart(102), 12);
    EXPECT_FALSE(CompareRange{}.Contains(0));
}

}  // namespace
}  // namespace tavik
