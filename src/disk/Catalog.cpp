#include "disk/Catalog.h"

#include "disk/FileType.h"
#include "disk/Layout.h"

namespace tavik {

int ReadCatalog(CVirtualDrive& drive, Catalog& catalog) {
    catalog.files.clear();
    // Sectors 0 and 1 are read once for the whole listing even on a drive that caches nothing
    // (it would read the index again for the walk otherwise); the copies are fresh.
    const int level = drive.CacheLevelSetting();
    if (level == CacheNothing) {
        drive.InvalidateCaches();
        drive.SetConversion(-1, -1, -1, -1, CacheSystemSectors);
    }
    const int ok = drive.GetDiskProperties(catalog.disk) && drive.ReadCatalog(catalog.files);
    if (level == CacheNothing) drive.SetConversion(-1, -1, -1, -1, CacheNothing);
    return ok;
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
