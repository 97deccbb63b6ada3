// Column-click sorting of the catalog list: header marks and sort keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ListSort.h"

namespace tavik {
namespace {

TEST(ListSort, HeaderMarksFollowTheClicks) {
    struct Case {
        std::vector<int> clicks;
        std::vector<std::string> headers;
        bool lastDescending;
    };
    const Case cases[] = {
        {{0}, {"Name  ^", "Size"}, false},          {{0, 0}, {"Name  v", "Size"}, true},
        {{0, 0, 0}, {"Name  ^", "Size"}, false},    {{0, 1}, {"Name", "Size  ^"}, false},
        {{0, 0, 1, 0}, {"Name  ^", "Size"}, false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> headers = {"Name", "Size"};
        bool descending = false;
        for (int click : c.clicks)
            descending = ClickHeader(headers, click);
        EXPECT_EQ(headers, c.headers);
        EXPECT_EQ(descending, c.lastDescending);
    }
}

TEST(ListSort, MarksAndTrailingBlanksComeOffButCaptionLettersStay) {
    EXPECT_EQ(HeaderWithoutMark("Drive  v"), "Drive");
    EXPECT_EQ(HeaderWithoutMark("Rev"), "Rev");
    EXPECT_EQ(HeaderWithoutMark("Size   "), "Size");
    EXPECT_EQ(HeaderWithoutMark("A  ^"), "A");
}

TEST(ListSort, NumericKeysPutNineBeforeTenAndTextSortsCapitalsFirst) {
    std::vector<std::string> numbers = {SortKey("10", true), SortKey("9", true),
                                        SortKey("100", true)};
    EXPECT_EQ(SortedOrder(numbers, false), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(SortedOrder(numbers, true), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(SortKey("1234567", true), "234567");  // cut to its last six characters
    const std::vector<std::string> names = {"beta", "Beta", "alpha", "\xE9t\xE9"};
    EXPECT_EQ(SortedOrder(names, false), (std::vector<int>{1, 2, 0, 3}));
}

}  // namespace
}  // namespace tavik
