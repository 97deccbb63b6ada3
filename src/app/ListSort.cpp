#include "app/ListSort.h"

#include <algorithm>
#include <numeric>

namespace tavik {

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::string HeaderWithoutMark(const std::string& header) {
    std::string h = header;
    if (EndsWith(h, kSortUp) || EndsWith(h, kSortDown)) h.erase(h.size() - 3);
    while (!h.empty() && h.back() == ' ')
        h.pop_back();
    return h;
}

bool ClickHeader(std::vector<std::string>& headers, int column) {
    if (column < 0 || column >= static_cast<int>(headers.size())) return false;
    const bool wasUp = EndsWith(headers[static_cast<size_t>(column)], kSortUp);
    for (std::string& h : headers)
        h = HeaderWithoutMark(h);
    headers[static_cast<size_t>(column)] += wasUp ? kSortDown : kSortUp;
    return wasUp;
}

std::string SortKey(const std::string& text, bool numeric) {
    if (!numeric) return text;
    const std::string padded = "000000" + text;
    return padded.substr(padded.size() - 6);
}

std::vector<int> SortedOrder(const std::vector<std::string>& keys, bool descending) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    // std::string compares its characters as unsigned bytes, as the order wants.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const std::string& ka = keys[static_cast<size_t>(a)];
        const std::string& kb = keys[static_cast<size_t>(b)];
        return descending ? kb < ka : ka < kb;
    });
    return order;
}

}  // namespace tavik
