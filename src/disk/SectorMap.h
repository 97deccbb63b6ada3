// The sector map's model: one 16-bit state word per sector number 0 to 1599, or to the last
// sector of a larger disk, filled by the disk check (use count, FDR, beyond the disk size,
// bitmap) plus the map's own selection bit, and the text grid the map shows, one character per
// sector.
//
// Grid text: lines of `perLine` cells, every line but the last ending in "\r\n", so sector s is
// character s + (s / perLine) x 2 of the text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "disk/VirtualDrive.h"

namespace tavik {

constexpr uint16_t kMapSelected = 0x0800;

struct MapColour {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const MapColour&) const = default;
};

inline constexpr MapColour kMapGreen{0, 255, 0};
inline constexpr MapColour kMapBlue{0, 0, 255};
inline constexpr MapColour kMapBlack{0, 0, 0};
inline constexpr MapColour kMapRed{255, 0, 0};

class CSectorMap {
public:
    // Rebuilds the states from the drive's disk check; the selection is cleared. 0 (with the
    // drive's last error) when the check could not run to its end; what it found stays.
    int Fill(CVirtualDrive& drive);
    // Takes a usage table as the disk check gives it (the selection is cleared).
    void SetUsage(const DiskUsage& usage);
    void Clear();

    uint16_t State(int sector) const;
    // The sectors the map holds: 1600, or all of a larger disk.
    int Sectors() const { return m_sectors; }
    // Outside the map's sectors: ignored.
    void Select(int sector, bool on);
    bool IsSelected(int sector) const;
    void ClearSelection();
    std::vector<int> SelectedSectors() const;

    // The cells the grid holds: every sector, or up to the first one beyond the disk size.
    int CellCount(bool showBeyondDiskSize) const;
    std::string GridText(int perLine, bool showBeyondDiskSize) const;

    static char CellChar(int sector, uint16_t state);
    static MapColour CellColour(int sector, uint16_t state);

    // Caret positions in the grid text.
    static int CellPosition(int sector, int perLine);
    // The sector of a caret position (a caret on a line end belongs to the next line).
    static int CaretSector(int position, int perLine);
    // A caret placed by a click lands after the clicked character: without a text selection
    // the sector before it is meant, except when the caret moved right by one from the current
    // cell.
    static int ClickedSector(int position, int perLine, bool textSelected, int currentCell);

    // The selection as runs, "%d-%d" or "%d", joined by "\r\n".
    std::string SelectionText() const;
    // Each line "%i-%i" or "%i"; reading stops at the first line without a number. Sectors
    // from `count` on are left out.
    static std::vector<int> ParseSelection(std::string_view text, int count = kMaxSectors);

private:
    bool Valid(int sector) const { return sector >= 0 && sector < m_sectors; }

    std::array<uint16_t, kMaxDiskSectors> m_state{};
    int m_sectors = kMaxSectors;
};

}  // namespace tavik
