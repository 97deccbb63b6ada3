// What the workspace needs of the main window: reading its placement and pane sizes into the
// options before they are written, and setting them from the options after a load.
#pragma once

#include "app/Options.h"

namespace tavik {

class CLayoutHost {
public:
    virtual ~CLayoutHost() = default;
    // Placement into windowPlacement, row heights and column widths into the six size fields.
    virtual void CaptureLayout(COptions& options) = 0;
    // Nothing while treeWidth is negative; otherwise placement (always shown), column splits,
    // the lower row after advancedView, and a new layout.
    virtual void ApplyLayout(COptions& options) = 0;
};

// Row heights when the lower row is shown with no height of its own: from the height h the
// rows have together, three fifths for the upper row and the rest for the lower one, which needs
// room for a whole sector in the editor.
struct RowHeights {
    int upper = 0;
    int lower = 0;
};
inline RowHeights RecomputedRows(int rowsHeight) {
    const int upper = rowsHeight * 3 / 5;
    return {upper, rowsHeight - upper};
}

}  // namespace tavik
