// Runs the sector map and the find-and-replace engine over arbitrary disks: the input's first
// bytes choose the search (pattern, wildcards, filters, range, layout test, mode), the rest is
// laid over a 360-sector dump. Every run must end, stay inside its sectors and leave the map's
// grid well formed; the selection list read back must name only map sectors.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/SectorMap.h"
#include "disk/SectorSearch.h"
#include "disk/VirtualDrive.h"

using namespace tavik;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kControl = 24;
    if (size < kControl) return 0;
    const uint8_t* c = data;
    std::vector<uint8_t> image(360 * kSectorSize, 0);
    std::memcpy(image.data(), data + kControl, std::min(size - kControl, image.size()));

    CVirtualDrive drive;
    if (!drive.MountFile(std::make_unique<CMemFile>(std::move(image)), 0, 0, -1)) return 0;
    CSectorMap map;
    map.Fill(drive);
    const int perLine = 1 + c[0] % 40;
    const std::string grid = map.GridText(perLine, (c[1] & 1) != 0);
    if (grid.size() > kMaxDiskSectors * 3) __builtin_trap();
    for (const int s : CSectorMap::ParseSelection(grid))
        if (s < 0 || s >= kMaxDiskSectors) __builtin_trap();

    SearchForm form;
    form.find.assign(reinterpret_cast<const char*>(c + 2), c[1] % 7);
    form.findHex = (c[9] & 1) != 0;
    form.findWildcard = c[10] & 1 ? std::string(1, static_cast<char>(c[11])) : "";
    form.replace.assign(reinterpret_cast<const char*>(c + 12), c[9] % 6);
    form.replaceWildcard = c[10] & 2 ? std::string(1, static_cast<char>(c[18])) : "";
    form.first = std::to_string(c[19] % 40);
    form.last = c[10] & 4 ? "" : std::to_string(c[20] * 2);
    form.crossBoundaries = (c[10] & 8) != 0;
    form.insideFile = c[10] & 16 ? c[21] % 8 : 0;
    form.markedFree = (c[22] & 1) != 0;
    form.markedUsed = (c[22] & 2) != 0;
    form.inFdrs = (c[22] & 4) != 0;
    form.inFiles = (c[22] & 8) != 0;
    form.notUsed = (c[22] & 16) != 0;
    static const char* const kFormats[] = {"Any", "fdr", "DV80", "df80", "IV254", "if12", "x"};
    form.format = kFormats[c[23] % 7];
    SearchSettings settings;
    std::string message;
    if (!ReadSearchForm(form, settings, message)) return 0;
    CSectorSearch search;
    search.Start(settings);
    for (int run = 0; run < 4; ++run) {
        const SearchOutcome out =
            search.Run(drive, map, static_cast<SearchMode>((c[21] >> (2 * run)) & 3));
        if (out.matched && (out.showSector < 0 || out.showSector >= kMaxDiskSectors ||
                            out.markOffset < 0 || out.markOffset + out.markLength > kSectorSize))
            __builtin_trap();
        if (!out.matched && out.message.empty()) __builtin_trap();
    }
    return 0;
}
