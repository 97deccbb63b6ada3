// The drive tree's labels for images whose disk name another image in the tree shares: the disk
// name followed by the image's PC file name, so that two "SSSD" disks can be told apart.
#pragma once

#include <string>
#include <unordered_map>

#include "app/TreeModel.h"

namespace tavik {

class CDiskNameClashes {
public:
    // Counts the disk names of every image in the tree.
    void Count(const CTreeModel& tree);
    // True when the item is an image and another image carries the same disk name.
    bool Clashes(const CTreeItem& item) const;

private:
    std::unordered_map<std::string, int> m_names;
};

// "SSSD (games.dsk)": the item's text without trailing blanks and its PC file's name.
std::string LabelWithFileName(const CTreeItem& item);

}  // namespace tavik
