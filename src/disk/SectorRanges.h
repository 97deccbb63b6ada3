// The sector editor's work on runs of sectors: reading the sector numbers typed into its
// dialogs, comparing two runs, copying one run onto another and marking a run in the bitmap,
// and the compare range the editor keeps to show a sector's differences from its partner.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavik {

class CUserPrompt;
class CVirtualDrive;

inline constexpr const char* kInvalidSectorNumber = "Invalid sector number";
// "Invalid sector number: " followed by the text that did not read.
std::string InvalidSectorNumberText(const std::string& text);

// A sector number typed as a C integer literal, between 0 and highest; nothing otherwise.
std::optional<int> ReadSectorNumber(const std::string& text, int highest);

struct SectorSpan {
    int first = 0;
    int last = -1;
    int Count() const { return last - first + 1; }
};

// A "from" and "to" pair of fields: both must read and lie in 0 to highest, else error gets
// "Invalid sector number: " and the text. An empty "to" makes a span of defaultCount sectors
// (cut at highest). A "to" below "from" is refused like a number that does not read.
bool ReadSectorSpan(const std::string& from, const std::string& to, int highest, int defaultCount,
                    SectorSpan& span, std::string& error);

// The pairs a comparison covered: source sectors first to last of the shown drive against
// otherFirst on of the other drive. While the shown sector lies inside, the editor's reference
// copy is its partner sector.
struct CompareRange {
    CVirtualDrive* other = nullptr;  // null: no range
    int first = 0;
    int last = -1;
    int otherFirst = 0;

    bool Active() const { return other != nullptr; }
    bool Contains(int sector) const { return other && sector >= first && sector <= last; }
    int Counterpart(int sector) const { return sector - first + otherFirst; }
    // The same pairs seen from the other side; `formerlyShown` is the drive of this side.
    CompareRange Swapped(CVirtualDrive* formerlyShown) const {
        return {formerlyShown, otherFirst, otherFirst + last - first, first};
    }
};

// Compares count sector pairs byte by byte, in order; the source sectors that differ from their
// partners go to `differing`. Holding F4 between pairs asks "Abort comparison?" (Yes stops). A
// read failure stops with that drive's error text in error. Returns the pairs compared.
int CompareSectorSpans(CVirtualDrive& source, int first, int count, CVirtualDrive& other,
                       int otherFirst, CUserPrompt& prompt, std::vector<int>& differing,
                       std::string& error);

// Copies the source span onto the destination span, the source sectors over again in turn when
// the destination span is longer (several copies of one sector). Every source sector is read
// before the first write, so that runs overlapping on one disk copy what they held. With
// markUsed each destination sector is marked used in its bitmap. Holding F4 between sectors
// asks "Abort copy?". A failure stops with the drive's error text in error. Returns the
// sectors written.
int CopySectorSpan(CVirtualDrive& source, SectorSpan from, CVirtualDrive& destination,
                   SectorSpan to, bool markUsed, CUserPrompt& prompt, std::string& error);

// Marks every sector of the span used (or free) in the bitmap; the first failure stops with the
// drive's error text. Returns the sectors marked.
int MarkSectorSpan(CVirtualDrive& drive, SectorSpan span, bool free, std::string& error);

}  // namespace tavik
