// Bounded walks over the sectors of a cluster list. A damaged FDR may claim thousands of sectors,
// sectors past the end of the volume or the VIB itself; every walk stays within 76 entries of at
// most 4096 sectors each and tells sectors that exist on the volume from those that do not.
#pragma once

#include <algorithm>
#include <vector>

#include "disk/DiskTypes.h"
#include "disk/Layout.h"

namespace tavik {

// The volume's sector count from a VIB image, limited to what a drive can hold.
inline int VolumeTotal(const uint8_t* vib) {
    return std::min<int>(layout::Be16(vib + layout::kVibTotal), kMaxSectors);
}

// True for a sector a file may own: not the VIB or the index, inside the volume.
inline bool IsFileSector(int sector, int total) {
    return sector >= 2 && sector < total;
}

// The lowest free sector a file may take, from `from` on; -1 when there is none. This is the
// allocation order of the whole file system: first fit, from the front.
inline int FirstFreeSector(const uint8_t* vib, int from = 2) {
    const int total = VolumeTotal(vib);
    for (int s = std::max(from, 2); s < total; ++s)
        if (!layout::BitmapUsed(vib, s)) return s;
    return -1;
}

inline int CountFreeFileSectors(const uint8_t* vib) {
    int free = 0;
    for (int s = FirstFreeSector(vib); s >= 0; s = FirstFreeSector(vib, s + 1))
        ++free;
    return free;
}

// Calls f(sector) for every sector of every cluster, in file order; stops when f returns false
// and then returns false.
template <typename F>
bool ForEachClusterSector(const std::vector<layout::ClusterEntry>& clusters, F&& f) {
    for (const layout::ClusterEntry& c : clusters) {
        for (int k = 0; k < c.Length(); ++k)
            if (!f(c.start + k)) return false;
    }
    return true;
}

}  // namespace tavik
