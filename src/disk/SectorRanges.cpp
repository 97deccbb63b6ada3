#include "disk/SectorRanges.h"

#include <algorithm>

#include "base/CInteger.h"
#include "base/UserPrompt.h"
#include "disk/VirtualDrive.h"

namespace tavik {

std::string InvalidSectorNumberText(const std::string& text) {
    return std::string(kInvalidSectorNumber) + ": " + text;
}

std::optional<int> ReadSectorNumber(const std::string& text, int highest) {
    const std::optional<long> n = ReadCInteger(text);
    if (!n || *n < 0 || *n > highest) return std::nullopt;
    return static_cast<int>(*n);
}

bool ReadSectorSpan(const std::string& from, const std::string& to, int highest, int defaultCount,
                    SectorSpan& span, std::string& error) {
    const std::optional<int> first = ReadSectorNumber(from, highest);
    if (!first) {
        error = InvalidSectorNumberText(from);
        return false;
    }
    span.first = *first;
    if (to.find_first_not_of(' ') == std::string::npos) {
        span.last = std::min(*first + std::max(defaultCount, 1) - 1, highest);
        return true;
    }
    const std::optional<int> last = ReadSectorNumber(to, highest);
    if (!last || *last < *first) {
        error = InvalidSectorNumberText(to);
        return false;
    }
    span.last = *last;
    return true;
}

int CompareSectorSpans(CVirtualDrive& source, int first, int count, CVirtualDrive& other,
                       int otherFirst, CUserPrompt& prompt, std::vector<int>& differing,
                       std::string& error) {
    Sector a{}, b{};
    for (int k = 0; k < count; ++k) {
        if (k > 0 && AbortRequested(prompt, "Abort comparison?")) return k;
        if (!source.ReadSector(first + k, a.data())) {
            error = source.ErrorText();
            return k;
        }
        if (!other.ReadSector(otherFirst + k, b.data())) {
            error = other.ErrorText();
            return k;
        }
        if (a != b) differing.push_back(first + k);
    }
    return count;
}

int CopySectorSpan(CVirtualDrive& source, SectorSpan from, CVirtualDrive& destination,
                   SectorSpan to, bool markUsed, CUserPrompt& prompt, std::string& error) {
    std::vector<Sector> held(static_cast<size_t>(std::max(from.Count(), 0)));
    for (int k = 0; k < from.Count(); ++k) {
        if (k > 0 && AbortRequested(prompt, "Abort copy?")) return 0;
        if (!source.ReadSector(from.first + k, held[static_cast<size_t>(k)].data())) {
            error = source.ErrorText();
            return 0;
        }
    }
    if (held.empty()) return 0;
    int written = 0;
    for (int k = 0; k < to.Count(); ++k) {
        if (k > 0 && AbortRequested(prompt, "Abort copy?")) break;
        const int n = to.first + k;
        if (!destination.WriteSector(n, held[static_cast<size_t>(k) % held.size()].data()) ||
            (markUsed && !destination.MarkSector(n, false))) {
            error = destination.ErrorText();
            break;
        }
        ++written;
    }
    return written;
}

int MarkSectorSpan(CVirtualDrive& drive, SectorSpan span, bool free, std::string& error) {
    for (int n = span.first; n <= span.last; ++n) {
        if (!drive.MarkSector(n, free)) {
            error = drive.ErrorText();
            return n - span.first;
        }
    }
    return span.Count();
}

}  // namespace tavik
