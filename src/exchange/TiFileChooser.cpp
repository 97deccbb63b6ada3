#include "exchange/TiFileChooser.h"

#include <algorithm>
#include <filesystem>

#include "base/PcFile.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/PcFileKind.h"

namespace tavik {

namespace fs = std::filesystem;

ChooserModeInfo ChooserModeOf(int mode) {
    ChooserModeInfo m;
    switch (mode) {
        case ChooseMount:
            m = {"Select file(s) containing a TI disk image",
                 "Mount",
                 true,
                 false,
                 false,
                 true,
                 false};
            break;
        case ChooseCopy:
            m = {"Select/create a TI disk image file", "Copy", false, true, false, true, false};
            break;
        case ChooseImport:
            m = {"Select file(s) containing TI file data",
                 "Import",
                 false,
                 false,
                 false,
                 false,
                 true};
            break;
        case ChooseExport:
            m = {"Select/create one file to receive TI file data",
                 "Export",
                 false,
                 true,
                 true,
                 false,
                 true};
            break;
        case ChooseCreate:
            m = {"Select/create a TI disk image file", "Create", false, true, false, true, false};
            break;
        case ChooseUpload:
            m = {"Select a hook routine in DF80 format", "Upload", false, true, false, false, true};
            break;
        default:
            break;
    }
    return m;
}

const std::vector<ChooserColumn>& ChooserColumns() {
    static const std::vector<ChooserColumn> columns = {{"PC name", 110, false},
                                                       {"Format", 70, false},
                                                       {"TI name", 100, false},
                                                       {"Type", 50, false},
                                                       {"Size", 50, true}};
    return columns;
}

const std::vector<std::string>& ChooserFilters() {
    static const std::vector<std::string> filters = {
        "All files (*.*)",           "Disk files (*.DSK)",    "PC99 files (*.PC9*)",
        "Text files (*.txt)",        "Dis/Var files (*.DV*)", "Dis/Fix files (*.DF*)",
        "Int/Fix files (*.IF*)",     "Int/Var files (*.IV*)", "Program files (*.prg)",
        "Assembly programs (*.ea5)", "GPL programs (*.gk)",   "Source files (*.s)",
        "Object files (*.o)"};
    return filters;
}

std::string ChooserPattern(const std::string& typedName, int filterIndex) {
    if (typedName.find_first_of("*?") != std::string::npos) return typedName;
    const auto& filters = ChooserFilters();
    if (filterIndex < 0 || filterIndex >= static_cast<int>(filters.size())) return "*.*";
    const std::string& f = filters[static_cast<size_t>(filterIndex)];
    const size_t open = f.find('('), close = f.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return "*.*";
    return f.substr(open + 1, close - open - 1);
}

namespace {

char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Iterative matching with one remembered star: linear in practice, never exponential.
bool MatchOne(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::string TypeColumn(const PcFileClass& pc) {
    if (IsDiskKind(pc.kind)) {
        const int sides = pc.flags >> 8, density = pc.flags & 0xFF;
        return std::string(sides < 2 ? "SS " : "DS ") + (density < 2 ? "SD" : "DD");
    }
    if (pc.kind == PlainFile) return {};
    return ShortTypeText(static_cast<uint8_t>(pc.flags), pc.recordLength);
}

int IconOf(int kind) {
    switch (kind) {
        case SectorDump:
            return IconDiskImage;
        case TrackImageSingle:
        case TrackImageDouble:
        case HfeDisk:
            return IconTrackImage;
        case FiadFile:
            return IconFiad;
        case TifilesFile:
            return IconTifiles;
        default:
            return IconOther;
    }
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    size_t from = 0;
    for (;;) {
        const size_t semi = pattern.find(';', from);
        std::string one =
            pattern.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
        while (!one.empty() && one.front() == ' ')
            one.erase(0, 1);
        while (!one.empty() && one.back() == ' ')
            one.pop_back();
        if (!one.empty() && MatchOne(name, one)) return true;
        if (semi == std::string::npos) return false;
        from = semi + 1;
    }
}

bool HiddenOrTemporary(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.back() == '~') return true;
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto endsWith = [&](const char* s) {
        const std::string e(s);
        return lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0;
    };
    return endsWith(".tmp") || endsWith(".swp");
}

std::string WithTrailingSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder;
    return folder + '/';
}

std::vector<ChooserRow> ListChooserFolder(const std::string& folder, const std::string& pattern,
                                          const ChooserContent& content) {
    std::vector<ChooserRow> folders, files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (HiddenOrTemporary(name)) continue;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            ChooserRow row;
            row.pcName = name;
            row.folder = true;
            folders.push_back(row);
            continue;
        }
        if (!it->is_regular_file(typeError) || !MatchesWildcard(name, pattern)) continue;
        auto file = CDiskFile::Open(it->path().string(), OpenMode::ReadOnly);
        if (!file) continue;
        const PcFileClass pc = ClassifyPcFile(*file, name);
        file->Close();
        const bool shown = IsDiskKind(pc.kind)    ? content.tiDisk
                           : pc.kind == PlainFile ? content.other
                                                  : content.tiFile;
        if (!shown) continue;
        ChooserRow row;
        row.pcName = name;
        row.kind = pc.kind;
        row.icon = IconOf(pc.kind);
        if (pc.kind != PlainFile) {
            row.format = FormatText(pc.kind);
            row.tiName = pc.tiName;
            row.type = TypeColumn(pc);
        }
        if (pc.sectors >= 0) row.size = std::to_string(pc.sectors);
        files.push_back(row);
    }
    auto byName = [](const ChooserRow& a, const ChooserRow& b) { return a.pcName < b.pcName; };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

}  // namespace tavik
