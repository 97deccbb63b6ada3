// The stable machine-readable form of a catalog, shared by every command that prints one:
//   {"disk": {name, kind, totalSectors, freeSectors, files, sides, density, protected,
//             created, modified},
//    "files": [{name, fdr, type, sectors, records, lastByte, recordsPerSector, recordLength,
//               protected, clusters: [[first, last], ...], created, modified}, ...]}
// Names lose their trailing blanks and are converted from code page 1252; types are in the
// short style ("" for an invalid type); stamps read "yyyy/mm/dd hh:mm:ss" ("" when unstamped).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "disk/Catalog.h"

namespace tavik::cli {

using Json = nlohmann::ordered_json;

Json DiskJson(const DiskProperties& disk);
Json FileJson(const FileProperties& file);
Json CatalogJson(const Catalog& catalog);

// Date and time of a stamp as the catalog shows them; "" when the date word is 0.
std::string StampText(uint16_t date, uint16_t time);

// A JSON text that never throws, whatever bytes the strings hold.
std::string JsonText(const Json& json);

}  // namespace tavik::cli
