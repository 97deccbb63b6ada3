// The program's one catalogue database and what follows its state: the catalogue's options are
// copied from the application's options before each use (scan review, file duplicates, full
// path names) and the path opened is copied back; the database root of the drive tree shows the
// catalogue's label and is drawn open or closed.
#pragma once

#include <string>

#include "app/Options.h"
#include "app/TreeModel.h"
#include "database/Catalogue.h"

namespace tavik {

class CCatalogueHost {
public:
    CCatalogueHost(COptions& options, CTreeModel& tree, CUserPrompt& prompt);

    // The catalogue, its options freshly copied from the application's.
    CCatalogue& Catalogue();
    bool IsOpen() const { return m_catalogue.IsOpen(); }

    // Each shows its failures through the prompt; the root item follows the outcome.
    bool Create(const std::string& path);
    bool Open(const std::string& path);
    void Close();
    // At start-up: a path that does not exist leaves the catalogue closed without a message.
    void OpenOnStartup(const std::string& path);

    // Relabels and redraws the database root after the catalogue's state (or the "Full path
    // names" option) changed.
    void UpdateRootItem();

private:
    void PullOptions();
    void PushOptions();

    COptions& m_options;
    CTreeModel& m_tree;
    CatalogueOptions m_catalogueOptions;
    CCatalogue m_catalogue;
};

}  // namespace tavik
