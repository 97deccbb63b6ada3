// What the "Files in TI format" chooser shows, without its window: the texts of its six modes,
// the filters and wildcard patterns, and the listing of a folder in which every file is
// classified (sub-folders first, hidden and temporary entries left out).
#pragma once

#include <string>
#include <vector>

namespace tavik {

enum ChooserMode : int {
    ChooseMount = 0,
    ChooseCopy = 1,
    ChooseImport = 2,
    ChooseExport = 3,
    ChooseCreate = 4,
    ChooseUpload = 5,
};

struct ChooserModeInfo {
    std::string title;
    std::string button;
    bool mountFolderBox = false;  // "Mount folder too"
    bool singleSelection = false;
    bool exportFormats = false;  // the export-format combo
    bool tiDisk = false;         // the content boxes' start state
    bool tiFile = false;
};
ChooserModeInfo ChooserModeOf(int mode);

// The content boxes "TI disk", "TI file", "Other".
struct ChooserContent {
    bool tiDisk = false;
    bool tiFile = false;
    bool other = false;
};

struct ChooserColumn {
    std::string caption;
    int width;
    bool rightAligned;
};
const std::vector<ChooserColumn>& ChooserColumns();

enum ChooserIcon : int {
    IconFolder = 0,
    IconDiskImage,
    IconTrackImage,
    IconFiad,
    IconTifiles,
    IconOther
};

struct ChooserRow {
    std::string pcName;
    bool folder = false;
    int kind = 0;  // PcFileKind; 0 for folders
    std::string format;
    std::string tiName;
    std::string type;
    std::string size;
    int icon = IconFolder;
};

const std::vector<std::string>& ChooserFilters();
// The typed file name when it holds a wildcard, else the pattern of the selected filter (the
// text between its parentheses).
std::string ChooserPattern(const std::string& typedName, int filterIndex);
// "*" and "?" wildcards, letters compared without case, "*.*" matching every name; several
// patterns may be separated by ";".
bool MatchesWildcard(const std::string& name, const std::string& pattern);
// Hidden (leading ".") and temporary (trailing "~", ".tmp", ".swp") names.
bool HiddenOrTemporary(const std::string& name);
// The folder with one trailing separator.
std::string WithTrailingSeparator(const std::string& folder);

// Sub-folders (by name), then the files matching the pattern (by name) whose kind the content
// boxes let through.
std::vector<ChooserRow> ListChooserFolder(const std::string& folder, const std::string& pattern,
                                          const ChooserContent& content);

}  // namespace tavik
