// The program's own icons, drawn with QPainter when first asked for: the drive tree's strip of
// 22 icons (index = NodeKind), the toolbar's command icons, the catalog list's file-type icons
// and the chooser's PC-file kinds.
#pragma once

#include <QIcon>
#include <QPixmap>

#include "app/Command.h"
#include "app/NodeKind.h"

namespace tavik {

constexpr int kTreeIconCount = 22;
constexpr int kIconSize = 16;

// 22 icons of 16 x 16 side by side, drawn on magenta (255, 0, 255), the transparent colour.
QPixmap TreeIconStrip();
// One icon of the strip, with magenta made transparent.
QIcon TreeIcon(int index);
// The icon of a tree item of this kind.
inline QIcon TreeIcon(NodeKind kind) {
    return TreeIcon(IconIndex(kind));
}
// The toolbar icon of a command; a null icon for commands without a button.
QIcon CommandIcon(CommandId id);
// Catalog row icons: 0 program, 1 DIS/FIX, 2 DIS/VAR, 3 INT/FIX, 4 INT/VAR, 5 INT with length 1.
QIcon CatalogIcon(int index);
// Chooser icons by PC-file kind (1 sector dump, 2/3 PC99, 6 other, 7 FIAD, 8 TIFILES, 0 folder).
QIcon PcFileKindIcon(int kind);

}  // namespace tavik
