#include "disk/Catalog.h"

#include <algorithm>

#include "disk/FileType.h"
#include "disk/Layout.h"

namespace tavik {

int ReadCatalog(CVirtualDrive& drive, Catalog& catalog) {
    catalog.files.clear();
    if (!drive.GetDiskProperties(catalog.disk)) return 0;
    // GetDiskProperties has just read the index; take it from the buffer rather than asking for
    // it again (a drive without caches would read sector 1 once per file otherwise).
    Sector index;
    std::copy(drive.IndexBuffer(), drive.IndexBuffer() + kSectorSize, index.begin());
    const int count = layout::IndexLength(index.data());
    catalog.files.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        FileProperties file;
        if (!drive.GetFileProperties(layout::Be16(index.data() + 2 * k), file)) return 0;
        catalog.files.push_back(std::move(file));
    }
    return 1;
}

std::string CatalogTypeText(uint8_t status, uint8_t recordLength) {
    switch (status & kTypeMask) {
        case 0x03:
        case 0x81:
        case 0x83:
            return {};
        default:
            return TypeText(status, recordLength, 0);
    }
}

std::string TrimmedName(const uint8_t* name, size_t length) {
    std::string text(reinterpret_cast<const char*>(name), length);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

}  // namespace tavik
