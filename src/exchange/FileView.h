// The texts of the catalog list's views of a TI file: as text (the text export), hexadecimal
// (the dump of its data sectors) and as BASIC (the program's listing, with what stopped it),
// and a view saved to a PC file. The viewer window only shows what is made here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disk/VirtualDrive.h"

namespace tavik {

enum class ViewKind { Text, Hex, Basic };

// "Text", "Hexadecimal", "BASIC": the view's name in the viewer's title.
const char* ViewKindName(ViewKind kind);

struct FileView {
    std::string text;  // code page 1252, lines ended as the view makes them
    bool protectedProgram = false;
};

// The view of the file whose FDR is sector fdr. Text views follow the export's tab creation
// (createTabs, tabStops). A BASIC listing that stopped early ends with its problem (what was
// listed before it stays); a file that is no program holds only that problem. 1, or 0 with the
// drive's last error when the file cannot be read.
int MakeFileView(CTiDisk& disk, int fdr, ViewKind kind, bool createTabs,
                 const std::vector<uint16_t>& tabStops, FileView& view);

// Writes a view's text as the PC file `path`; an existing file is replaced only once the new
// one is complete. False with the system's reason ("Permission denied") in `reason`.
bool SaveViewText(const std::string& path, const std::string& text, std::string& reason);

}  // namespace tavik
