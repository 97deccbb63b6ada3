#include "PathRules.h"

namespace tavik {

namespace {
bool IsFolderBreak(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == kPathSeparator;
#endif
}
}  // namespace

std::string RemoveTrailingSeparator(std::string_view path) {
    if (path.size() > 1 && path.back() == kPathSeparator) path.remove_suffix(1);
    return std::string(path);
}

// The folder's path must be followed by a separator: a plain prefix test would put
// "/discs/ab.dsk" into the folder "/discs/a".
bool BelongsInFolder(std::string_view path, std::string_view folder) {
    const std::string p = RemoveTrailingSeparator(path);
    const std::string f = RemoveTrailingSeparator(folder);
    if (p == f || f.empty()) return false;
    if (p.compare(0, f.size(), f) != 0) return false;
    size_t restStart = f.size();
    if (f.back() != kPathSeparator) {  // a root folder already ends in its separator
        if (p.size() <= f.size() || p[f.size()] != kPathSeparator) return false;
        ++restStart;
    }
    const std::string_view rest = std::string_view(p).substr(restStart);
    return !rest.empty() && rest.find(kPathSeparator) == std::string_view::npos;
}

std::string LastComponent(std::string_view path) {
    const size_t sep = path.find_last_of(kPathSeparator);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string FolderPart(std::string_view name) {
    for (size_t i = name.size(); i > 0; --i)
        if (IsFolderBreak(name[i - 1])) return std::string(name.substr(0, i == 1 ? 1 : i - 1));
    return {};
}

}  // namespace tavik
