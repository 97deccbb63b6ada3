#include "app/CatalogueHost.h"

#include "app/PathRules.h"

namespace tavik {

CCatalogueHost::CCatalogueHost(COptions& options, CTreeModel& tree, CUserPrompt& prompt)
    : m_options(options), m_tree(tree), m_catalogue(m_catalogueOptions, prompt) {}

void CCatalogueHost::PullOptions() {
    CatalogueOptions& o = m_catalogueOptions;
    o.databasePath = m_options.databasePath;
    o.lastDatabaseFolder = m_options.lastDatabaseFolder;
    o.openDatabaseOnStartup = m_options.openDatabaseOnStartup != 0;
    o.fullPathNames = m_options.fullFolderNames != 0;
    o.reviewDiskInfo = m_options.reviewDiskInfo != 0;
    o.reviewFileInfo = m_options.reviewFileInfo != 0;
    // A value no answer has (a damaged workspace) asks.
    const int32_t d = m_options.fileDuplicates;
    o.fileDuplicates = d >= DuplicatesCreateNew && d <= DuplicatesUpdateOld
                           ? static_cast<FileDuplicatePolicy>(d)
                           : DuplicatesAskMe;
}

void CCatalogueHost::PushOptions() {
    m_options.databasePath = m_catalogueOptions.databasePath;
}

CCatalogue& CCatalogueHost::Catalogue() {
    PullOptions();
    return m_catalogue;
}

bool CCatalogueHost::Create(const std::string& path) {
    PullOptions();
    const bool ok = m_catalogue.Create(path);
    PushOptions();
    UpdateRootItem();
    return ok;
}

bool CCatalogueHost::Open(const std::string& path) {
    PullOptions();
    const bool ok = m_catalogue.Open(path);
    PushOptions();
    UpdateRootItem();
    return ok;
}

void CCatalogueHost::Close() {
    m_catalogue.Close();
    UpdateRootItem();
}

void CCatalogueHost::OpenOnStartup(const std::string& path) {
    PullOptions();
    m_catalogueOptions.databasePath = path;
    m_catalogueOptions.openDatabaseOnStartup = true;
    m_catalogue.OpenOnStartup();
    PushOptions();
    UpdateRootItem();
}

void CCatalogueHost::UpdateRootItem() {
    CTreeItem* root = m_tree.DatabaseRootItem();
    if (!root) return;
    CTreeNode& node = root->Node();
    if (m_catalogue.IsOpen()) {
        // The node keeps both forms, so that "Full path names" can relabel it later.
        node.path = m_catalogue.Path();
        node.label = LastComponent(node.path);
        m_tree.SetKind(root, NodeKind::DatabaseOpen);
        m_tree.SetText(root, m_options.fullFolderNames ? node.path : node.label);
    } else {
        node.path = kDatabaseClosed;
        node.label = kDatabaseClosed;
        m_tree.SetKind(root, NodeKind::DatabaseClosed);
        m_tree.SetText(root, kDatabaseClosed);
    }
}

}  // namespace tavik
