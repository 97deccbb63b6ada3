#include "disk/SectorMap.h"

#include <algorithm>

#include "base/CInteger.h"

namespace tavik {

namespace {

// How the files use a sector: 0 none, 1 FDR of one file, 2 data of one file, 3 FDR of several
// files, 4 several files.
int UseClass(uint16_t state) {
    const int low = state & (kUsageIndexedFdr | kUsageCountMask);
    if ((state & kUsageCountMask) == 0) return 0;
    if (low == 0x101) return 1;
    if (low == 1) return 2;
    if (low >= 258) return 3;
    return 4;
}

}  // namespace

int CSectorMap::Fill(CVirtualDrive& drive) {
    int flags = 0;
    DiskUsage usage{};
    const int result = drive.CheckDisk(flags, usage);
    SetUsage(usage);
    return result;
}

void CSectorMap::SetUsage(const DiskUsage& usage) {
    int total = 0;
    for (size_t s = 0; s < m_state.size(); ++s) {
        m_state[s] = static_cast<uint16_t>(usage[s] & ~kMapSelected);
        if (total == static_cast<int>(s) && !(usage[s] & kUsageBeyondTotal)) ++total;
    }
    m_sectors = std::max(total, kMaxSectors);
}

void CSectorMap::Clear() {
    m_state.fill(0);
    m_sectors = kMaxSectors;
}

uint16_t CSectorMap::State(int sector) const {
    return Valid(sector) ? m_state[static_cast<size_t>(sector)] : 0;
}

void CSectorMap::Select(int sector, bool on) {
    if (!Valid(sector)) return;
    uint16_t& word = m_state[static_cast<size_t>(sector)];
    word = static_cast<uint16_t>(on ? word | kMapSelected : word & ~kMapSelected);
}

bool CSectorMap::IsSelected(int sector) const {
    return (State(sector) & kMapSelected) != 0;
}

void CSectorMap::ClearSelection() {
    for (uint16_t& word : m_state)
        word = static_cast<uint16_t>(word & ~kMapSelected);
}

std::vector<int> CSectorMap::SelectedSectors() const {
    std::vector<int> sectors;
    for (int s = 0; s < m_sectors; ++s)
        if (IsSelected(s)) sectors.push_back(s);
    return sectors;
}

int CSectorMap::CellCount(bool showBeyondDiskSize) const {
    if (showBeyondDiskSize) return m_sectors;
    for (int s = 0; s < m_sectors; ++s)
        if (m_state[static_cast<size_t>(s)] & kUsageBeyondTotal) return s;
    return m_sectors;
}

std::string CSectorMap::GridText(int perLine, bool showBeyondDiskSize) const {
    if (perLine < 1) perLine = 1;
    const int cells = CellCount(showBeyondDiskSize);
    std::string text;
    text.reserve(static_cast<size_t>(cells + cells / perLine * 2 + 2));
    for (int s = 0; s < cells; ++s) {
        text += CellChar(s, m_state[static_cast<size_t>(s)]);
        if ((s + 1) % perLine == 0) text += "\r\n";
    }
    if (text.size() >= 2 && text.ends_with("\r\n")) text.resize(text.size() - 2);
    return text;
}

char CSectorMap::CellChar(int sector, uint16_t state) {
    const bool used = (state & kUsageBitmapUsed) != 0;
    if (sector < 2) return used ? 'D' : 'd';
    const bool beyond = (state & kUsageBeyondTotal) != 0;
    static constexpr char kInside[2][5] = {{'.', 'f', 'u', '@', '*'}, {'-', 'F', 'o', '@', '*'}};
    static constexpr char kBeyond[2][5] = {{'x', 'f', 'u', '@', '*'}, {'X', 'F', 'o', '@', '*'}};
    return (beyond ? kBeyond : kInside)[used ? 1 : 0][UseClass(state)];
}

MapColour CSectorMap::CellColour(int sector, uint16_t state) {
    if (state & kMapSelected) return kMapRed;
    if (!(state & kUsageBitmapUsed)) return kMapGreen;
    if (sector >= 2 && (state & kUsageBeyondTotal)) return kMapBlack;
    return kMapBlue;
}

int CSectorMap::CellPosition(int sector, int perLine) {
    return sector + sector / perLine * 2;
}

int CSectorMap::CaretSector(int position, int perLine) {
    const int line = perLine + 2;
    if (position % line == perLine)
        position += 2;
    else if (position % line == perLine + 1)
        position += 1;
    return position - position / line * 2;
}

int CSectorMap::ClickedSector(int position, int perLine, bool textSelected, int currentCell) {
    int s = CaretSector(position, perLine);
    if (!textSelected && s > 0 && s != currentCell + 1) --s;
    return s;
}

std::string CSectorMap::SelectionText() const {
    std::string text;
    int s = 0;
    while (s < m_sectors) {
        if (!IsSelected(s)) {
            ++s;
            continue;
        }
        int end = s;
        while (end + 1 < m_sectors && IsSelected(end + 1))
            ++end;
        if (!text.empty()) text += "\r\n";
        text += std::to_string(s);
        if (end > s) text += "-" + std::to_string(end);
        s = end + 1;
    }
    return text;
}

std::vector<int> CSectorMap::ParseSelection(std::string_view text, int count) {
    std::vector<int> sectors;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        size_t used = 0;
        const std::optional<long> first = ReadCInteger(line, used);
        if (!first) break;
        long last = *first;
        if (used < line.size() && line[used] == '-') {
            if (const std::optional<long> second = ReadCInteger(line.substr(used + 1)))
                last = *second;
        }
        // Only sectors of the map count; a huge range costs no more than the map's size.
        const long low = std::max(0L, std::min(*first, last));
        const long high =
            std::min<long>(std::min(count, kMaxDiskSectors) - 1, std::max(*first, last));
        for (long s = low; s <= high; ++s)
            sectors.push_back(static_cast<int>(s));
        at = end + 1;
    }
    return sectors;
}

}  // namespace tavik
