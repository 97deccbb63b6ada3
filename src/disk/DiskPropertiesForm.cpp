#include "disk/DiskPropertiesForm.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/CInteger.h"
#include "disk/FilePropertiesForm.h"
#include "disk/HfeImage.h"
#include "disk/TiName.h"

namespace tavik {

int SizeButtonSectors(bool doubleSided, bool doubleDensity) {
    int sectors = 360;
    if (doubleDensity) sectors *= 2;
    if (doubleSided) sectors *= 2;
    return sectors;
}

DiskPropertiesForm BlankImageForm(const CVirtualDrive& drive) {
    DiskPropertiesForm form;
    const int64_t sectors = std::min<int64_t>(drive.Size() / kSectorSize, kMaxSectors);
    int tracks = 40;
    if (const CHfeImage* hfe = drive.Hfe()) {
        const HfeGeometry& g = hfe->Geometry();
        form.doubleSided = g.sides == 2;
        form.doubleDensity = g.mfm;
        tracks = g.tracks;
    } else {
        form.doubleSided = drive.Size() >= 92161;
        form.doubleDensity = drive.Size() >= 184321;
    }
    form.sectors = std::to_string(sectors);
    form.tracksPerSide = std::to_string(tracks);
    form.sectorsPerTrack = form.doubleDensity ? "18" : "9";
    return form;
}

std::string ReadDiskPropertiesForm(const DiskPropertiesForm& form, DiskProperties& record) {
    const size_t first = form.name.find_first_not_of(" \t");
    if (first == std::string::npos) return "Invalid disk name";
    const std::string name =
        PadTiName(form.name.substr(first, form.name.find_last_not_of(" \t") - first + 1));
    const std::optional<long> sectors = ReadCInteger(form.sectors);
    if (!sectors) return "Invalid number: size";
    const std::optional<long> tracks = ReadCInteger(form.tracksPerSide);
    if (!tracks) return "Invalid number: tracks per side";
    const std::optional<long> perTrack = ReadCInteger(form.sectorsPerTrack);
    if (!perTrack) return "Invalid number: sectors per track";
    StampValues stamps;
    const std::string stampMessage = ReadStampFields(
        {form.creationDate, form.creationTime, form.updateDate, form.updateTime}, stamps);
    if (!stampMessage.empty()) return stampMessage;

    std::memcpy(record.name.data(), name.data(), record.name.size());
    record.totalSectors = static_cast<uint16_t>(*sectors);
    record.tracksPerSide = static_cast<uint8_t>(*tracks);
    record.sectorsPerTrack = static_cast<uint8_t>(*perTrack);
    record.protection = form.isProtected ? 0x50 : 0x20;
    record.sides = form.doubleSided ? 2 : 1;
    record.density = form.doubleDensity ? 2 : 1;
    record.creationDate = stamps.creationDate;
    record.creationTime = stamps.creationTime;
    record.updateDate = stamps.updateDate;
    record.updateTime = stamps.updateTime;
    return {};
}

int FormatFromForm(CVirtualDrive& drive, const DiskPropertiesForm& form, std::string& message) {
    DiskProperties record;
    drive.GetDiskProperties(record);  // an unformatted disk has nothing worth keeping
    message = ReadDiskPropertiesForm(form, record);
    if (!message.empty()) return 0;
    if (record.updateDate == 0) record.updateDate = record.creationDate;
    if (record.updateTime == 0) record.updateTime = record.creationTime;
    const std::string name(reinterpret_cast<const char*>(record.name.data()), record.name.size());
    if (!drive.Format(name, form.doubleSided, form.doubleDensity, record.totalSectors,
                      record.tracksPerSide)) {
        message = drive.ErrorText();
        return 0;
    }
    // What Format chose must stay: a size of 0 means the default for sides and density, and
    // the "DSK" mark of a disk that had none before.
    DiskProperties formatted;
    if (!drive.GetDiskProperties(formatted)) {
        message = drive.ErrorText();
        return 0;
    }
    if (record.totalSectors == 0) record.totalSectors = formatted.totalSectors;
    if (record.tracksPerSide == 0) record.tracksPerSide = formatted.tracksPerSide;
    record.dsk = formatted.dsk;
    if (!drive.SetDiskProperties(record)) {
        message = drive.ErrorText();
        return 0;
    }
    return 1;
}

int SetDiskPropertiesFromForm(CVirtualDrive& drive, const DiskPropertiesForm& form,
                              std::string& message) {
    DiskProperties record;
    if (!drive.GetDiskProperties(record)) {
        message = drive.ErrorText();
        return 0;
    }
    message = ReadDiskPropertiesForm(form, record);
    if (!message.empty()) return 0;
    if (!drive.SetDiskProperties(record)) {
        message = drive.ErrorText();
        return 0;
    }
    return 1;
}

}  // namespace tavik
