// What the four panes of the main window are built with: the program's drive tree, options,
// prompt and internal clip, and the disk they show together.
#pragma once

#include <string>

#include "qt/QtUserPrompt.h"

namespace tavik {

class CCurrentDisk;
class COptions;
class CTreeModel;

struct PaneContext {
    CTreeModel& tree;
    COptions& options;
    CQtUserPrompt& prompt;
    std::string& clip;
    CCurrentDisk& disk;
};

}  // namespace tavik
