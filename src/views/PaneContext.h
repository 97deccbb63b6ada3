// What the four panes of the main window are built with: the program's drive tree, options,
// prompt and internal clip, and the disk they show together.
#pragma once

#include <string>

namespace tavik {

class CCurrentDisk;
class COptions;
class CTreeModel;
class CUserPrompt;

struct PaneContext {
    CTreeModel& tree;
    COptions& options;
    CUserPrompt& prompt;
    std::string& clip;
    CCurrentDisk& disk;
};

}  // namespace tavik
