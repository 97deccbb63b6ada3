// The catalog of a disk as one read: the disk's properties and the properties of every file,
// in index order. It reads sector 0, sector 1 and each FDR once, whatever the cache level.
#pragma once

#include <string>
#include <vector>

#include "disk/DiskTypes.h"
#include "disk/VirtualDrive.h"

namespace tavik {

struct Catalog {
    DiskProperties disk;
    std::vector<FileProperties> files;
};

// 1 on success. A read error stops the listing: 0, with the files read so far in the catalog
// and the reason in the drive's last error.
int ReadCatalog(CVirtualDrive& drive, Catalog& catalog);

// The type as the catalog shows it: the short style, empty for an invalid combination.
std::string CatalogTypeText(uint8_t status, uint8_t recordLength);

// Name bytes (code page 1252) without the trailing blanks.
std::string TrimmedName(const uint8_t* name, size_t length);
inline std::string TrimmedName(const std::string& name) {
    return TrimmedName(reinterpret_cast<const uint8_t*>(name.data()), name.size());
}

}  // namespace tavik
