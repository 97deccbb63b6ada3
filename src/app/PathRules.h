// Path rules of the drive tree and the workspace. Paths use the platform's separator.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavik {

inline constexpr char kPathSeparator =
    static_cast<char>(std::filesystem::path::preferred_separator);

// The path without one trailing separator (a lone root separator stays).
std::string RemoveTrailingSeparator(std::string_view path);

// Whether an item with path `path` belongs directly in the folder `folder`: after removing one
// trailing separator from both, the paths differ, `path` begins with the folder's path
// (case-sensitive) followed by a separator, and the rest holds no further separator.
bool BelongsInFolder(std::string_view path, std::string_view folder);

// The last component of a path (the part after its last separator).
std::string LastComponent(std::string_view path);

// The folder part of a file name: up to its last separator (on Windows also a colon), the
// separator not included; empty when the name has none.
std::string FolderPart(std::string_view name);

}  // namespace tavik
