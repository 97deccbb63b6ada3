#include "app/PathRules.h"

#include <gtest/gtest.h>

using namespace tavik;

#ifndef _WIN32
TEST(PathRules, AnItemBelongsDirectlyInItsFolder) {
    const struct {
        const char* path;
        const char* folder;
        bool belongs;
    } rows[] = {
        {"/discs/a.dsk", "/discs", true},
        {"/discs/a.dsk", "/discs/", true},
        {"/discs/sub/", "/discs", true},
        {"/discs/sub/a.dsk", "/discs", false},  // only direct children
        {"/discs", "/discs/", false},           // the folder itself
        {"/discsx/a.dsk", "/discs", false},
        {"/discs.dsk", "/discs", false},  // a prefix of the name is no folder
        {"/Discs/a.dsk", "/discs", false},
        {"/a.dsk", "/", true},
        {"a.dsk", "", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(BelongsInFolder(row.path, row.folder), row.belongs)
            << row.path << " in " << row.folder;
}

TEST(PathRules, FolderPartsAndComponents) {
    EXPECT_EQ(FolderPart("/home/u/Workspace.TVK"), "/home/u");
    EXPECT_EQ(FolderPart("/Workspace.TVK"), "/");
    EXPECT_EQ(FolderPart("Workspace.TVK"), "");
    EXPECT_EQ(LastComponent("/home/u/discs"), "discs");
    EXPECT_EQ(RemoveTrailingSeparator("/home/u/"), "/home/u");
    EXPECT_EQ(RemoveTrailingSeparator("/"), "/");
}
#endif
