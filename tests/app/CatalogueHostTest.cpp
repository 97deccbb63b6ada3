// The program's one catalogue: its options come from the application's options, the path it
// opened goes back to them, and the database root of the drive tree follows its state.
#include <gtest/gtest.h>

#include <fstream>

#include "ScriptedPrompt.h"
#include "TestSupport.h"
#include "app/CatalogueHost.h"

namespace tavik {
namespace {

TEST(CatalogueHost, RootItemFollowsOpenAndCloseAndThePathIsKept) {
    const std::string folder = test::TempFolder();
    COptions options;
    options.fullFolderNames = 0;
    CTreeModel tree;
    tree.CreateRoots();
    test::CScriptedPrompt prompt;
    CCatalogueHost host(options, tree, prompt);
    const std::string path = folder + "/Floppies.db";
    ASSERT_TRUE(host.Create(path));
    CTreeItem* root = tree.DatabaseRootItem();
    EXPECT_EQ(root->Kind(), NodeKind::DatabaseOpen);
    EXPECT_EQ(root->Text(), "Floppies.db");
    EXPECT_EQ(root->Node().path, path);
    EXPECT_EQ(options.databasePath, path);

    host.Close();
    EXPECT_EQ(root->Kind(), NodeKind::DatabaseClosed);
    EXPECT_EQ(root->Text(), "Database closed");

    options.fullFolderNames = 1;
    ASSERT_TRUE(host.Open(path));
    EXPECT_EQ(root->Text(), path);

    // A file that is no catalogue: the engine's complaint, and the root shows closed.
    const std::string other = folder + "/notes.txt";
    std::ofstream(other) << std::string(600, 'x');
    EXPECT_FALSE(host.Open(other));
    EXPECT_EQ(root->Kind(), NodeKind::DatabaseClosed);
    EXPECT_EQ(root->Text(), "Database closed");
    EXPECT_FALSE(prompt.messages.empty());
    EXPECT_EQ(options.databasePath, path);

    // A catalogue that went away is not opened at start, and nothing is said.
    const size_t said = prompt.messages.size();
    host.OpenOnStartup(folder + "/gone.db");
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(prompt.messages.size(), said);
    host.OpenOnStartup(path);
    EXPECT_TRUE(host.IsOpen());
}

TEST(CatalogueHost, FullPathNamesRelabelTheOpenRootOnly) {
    const std::string folder = test::TempFolder();
    COptions options;
    options.fullFolderNames = 0;
    CTreeModel tree;
    tree.CreateRoots();
    test::CScriptedPrompt prompt;
    CCatalogueHost host(options, tree, prompt);
    host.UpdateRootItem();
    EXPECT_EQ(tree.DatabaseRootItem()->Text(), "Database closed");
    ASSERT_TRUE(host.Create(folder + "/A.db"));
    options.fullFolderNames = 1;
    host.UpdateRootItem();
    EXPECT_EQ(tree.DatabaseRootItem()->Text(), folder + "/A.db");
    options.fullFolderNames = 0;
    host.UpdateRootItem();
    EXPECT_EQ(tree.DatabaseRootItem()->Text(), "A.db");
    // The scan options reach the catalogue with each use.
    options.fileDuplicates = DuplicatesUpdateOld;
    options.reviewDiskInfo = 0;
    EXPECT_EQ(host.Catalogue().Options().fileDuplicates, DuplicatesUpdateOld);
    EXPECT_FALSE(host.Catalogue().Options().reviewDiskInfo);
}

}  // namespace
}  // namespace tavik
