#include "disk/SectorMoves.h"

#include <algorithm>

#include "disk/ClusterWalk.h"
#include "disk/VirtualDrive.h"

namespace tavik {

namespace {

int TrackLength(bool doubleDensity) {
    return doubleDensity ? 18 : 9;
}

int LastPosition(const std::vector<int>& sectors) {
    return static_cast<int>(sectors.size()) - 1;
}

// True when the data sector at position p (p >= 1) follows the one before it on the disk.
bool Follows(const std::vector<int>& sectors, int p) {
    return sectors[static_cast<size_t>(p)] == sectors[static_cast<size_t>(p - 1)] + 1;
}

}  // namespace

int NextTrackStart(int sector, bool doubleDensity, int end) {
    const int track = TrackLength(doubleDensity);
    return std::min((sector / track + 1) * track, end);
}

int PreviousTrackStart(int sector, bool doubleDensity) {
    const int track = TrackLength(doubleDensity);
    if (sector <= 0) return 0;
    return (sector - 1) / track * track;
}

int NextInFile(const std::vector<int>& sectors, int position) {
    if (position < 0) return sectors.empty() ? position : 0;
    return position < LastPosition(sectors) ? position + 1 : position;
}

int PreviousInFile(const std::vector<int>& sectors, int position) {
    if (position <= 0) return kFdrPosition;
    return std::min(position - 1, LastPosition(sectors));
}

int NextClusterInFile(const std::vector<int>& sectors, int position) {
    if (position < 0) return sectors.empty() ? position : 0;
    const int last = LastPosition(sectors);
    if (position >= last) return position;
    int q = position + 1;
    while (q < last && Follows(sectors, q))
        ++q;
    return q;
}

int PreviousClusterInFile(const std::vector<int>& sectors, int position) {
    if (position <= 0) return kFdrPosition;
    int q = std::min(position, LastPosition(sectors));
    if (q > 0 && !Follows(sectors, q)) --q;  // already at a run's start: into the run before
    while (q > 0 && Follows(sectors, q))
        --q;
    return q;
}

int SectorAtPosition(const std::vector<int>& sectors, int fdr, int position) {
    if (position == kFdrPosition) return fdr;
    if (position < 0 || position > LastPosition(sectors)) return -1;
    return sectors[static_cast<size_t>(position)];
}

int PositionOfSector(const std::vector<int>& sectors, int fdr, int sector) {
    if (sector == fdr) return kFdrPosition;
    const auto at = std::find(sectors.begin(), sectors.end(), sector);
    return at == sectors.end() ? kOutsideFile : static_cast<int>(at - sectors.begin());
}

int ReadFileSectors(CVirtualDrive& drive, int fdr, std::vector<int>& sectors) {
    sectors.clear();
    if (!drive.ReadFdr(fdr)) return 0;
    ForEachClusterSector(layout::ReadClusters(drive.FdrBuffer()), [&](int sector) {
        sectors.push_back(sector);
        return true;
    });
    return 1;
}

}  // namespace tavik
