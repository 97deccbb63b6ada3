#include "cli/CatalogJson.h"

#include "base/Cp1252.h"
#include "cli/ImageArguments.h"
#include "disk/TiDateTime.h"

namespace tavik::cli {

std::string StampText(uint16_t date, uint16_t time) {
    if (date == 0) return {};
    return DateText(date, 5) + " " + TimeText(time, true);
}

Json DiskJson(const DiskProperties& disk) {
    Json j;
    j["name"] = Cp1252ToUtf8(TrimmedName(disk.name.data(), disk.name.size()));
    j["kind"] = KindName(disk.driveKind);
    j["totalSectors"] = disk.totalSectors;
    j["freeSectors"] = disk.freeSectors;
    j["files"] = disk.files;
    j["sides"] = disk.sides;
    j["density"] = disk.density;
    j["protected"] = disk.protection == 0x50;
    j["created"] = StampText(disk.creationDate, disk.creationTime);
    j["modified"] = StampText(disk.updateDate, disk.updateTime);
    return j;
}

Json FileJson(const FileProperties& file) {
    Json j;
    j["name"] = Cp1252ToUtf8(TrimmedName(file.name.data(), file.name.size()));
    j["fdr"] = file.fdrSector;
    j["type"] = CatalogTypeText(file.status, file.recordLength);
    j["sectors"] = file.sectors;
    j["records"] = file.records;
    j["lastByte"] = file.eofOffset;
    j["recordsPerSector"] = file.recordsPerSector;
    j["recordLength"] = file.recordLength;
    j["protected"] = (file.status & kStatusProtected) != 0;
    Json clusters = Json::array();
    for (uint32_t c : file.clusters)
        clusters.push_back({FileProperties::ClusterFirst(c), FileProperties::ClusterLast(c)});
    j["clusters"] = std::move(clusters);
    j["created"] = StampText(file.creationDate, file.creationTime);
    j["modified"] = StampText(file.updateDate, file.updateTime);
    return j;
}

Json CatalogJson(const Catalog& catalog) {
    Json j;
    j["disk"] = DiskJson(catalog.disk);
    Json files = Json::array();
    for (const FileProperties& f : catalog.files)
        files.push_back(FileJson(f));
    j["files"] = std::move(files);
    return j;
}

std::string JsonText(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tavik::cli
