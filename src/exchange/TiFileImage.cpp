#include "exchange/TiFileImage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "disk/Catalog.h"
#include "disk/Layout.h"
#include "disk/TiName.h"
#include "exchange/FileTransfer.h"

namespace tavik {

using namespace layout;

std::string ShownName(const FileProperties& file) {
    const auto end = std::find(file.name.begin(), file.name.end(), 0);
    return TrimmedName(file.name.data(), static_cast<size_t>(end - file.name.begin()));
}

int ReadFileImage(CTiDisk& disk, int fdr, TiFileImage& image) {
    if (!disk.GetFileProperties(fdr, image.file)) return 0;
    if (!disk.ReadFdr(fdr)) return 0;
    Sector fdrImage{};
    std::memcpy(fdrImage.data(), disk.FdrBuffer(), kSectorSize);
    CDriveSectorFeed feed(disk, fdrImage.data());
    const int sectors = image.file.sectors;
    if (feed.Count() < sectors) {
        disk.SetLastError(DiskError::ReadFailed);
        return 0;
    }
    image.data.assign(static_cast<size_t>(sectors) * kSectorSize, 0);
    for (int k = 0; k < sectors; ++k)
        if (!feed.Read(k, image.data.data() + static_cast<size_t>(k) * kSectorSize)) return 0;
    return 1;
}

namespace {

std::string NameOf(const TiFileImage& image) {
    return std::string(reinterpret_cast<const char*>(image.file.name.data()), kNameLength);
}

// A name no file on the disk has, for a file built before it replaces another.
std::string PassingName(CTiDisk& disk, const std::vector<std::string>& taken) {
    for (int n = 0; n < 10000; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "~TAVIK%04d", n);
        const std::string padded = PadTiName(name);
        if (std::find(taken.begin(), taken.end(), padded) != taken.end()) continue;
        const int found = disk.FindFile(padded);
        if (found < 0) return {};
        if (found == 0) return padded;
    }
    disk.SetLastError(DiskError::MaxFiles);
    return {};
}

// The new file's FDR takes the image's fields; AppendSector has already counted the sectors.
int FinishFdr(CTiDisk& disk, int fdr, const FileProperties& file) {
    if (!disk.ReadFdr(fdr)) return 0;
    uint8_t* f = disk.FdrBuffer();
    std::memcpy(f + kFdrExtra, file.extra.data(), 2);
    f[kFdrStatus] = file.status;
    f[kFdrRecordsPerSector] = file.recordsPerSector;
    f[kFdrEofOffset] = file.eofOffset;
    f[kFdrRecordLength] = file.recordLength;
    SetLe16(f + kFdrRecords, file.records);
    if (file.creationDate) {
        SetBe16(f + kFdrCreationTime, file.creationTime);
        SetBe16(f + kFdrCreationDate, file.creationDate);
    }
    if (file.updateDate) {
        SetBe16(f + kFdrUpdateTime, file.updateTime);
        SetBe16(f + kFdrUpdateDate, file.updateDate);
    }
    return disk.WriteFdr(fdr);
}

int WriteOne(CTiDisk& disk, const std::string& name, const TiFileImage& image) {
    const int fdr = disk.CreateFile(name, image.file.status, image.file.recordLength);
    if (fdr < 2) return 0;
    for (int k = 0; k < image.file.sectors; ++k) {
        const int n = disk.AppendSector(fdr);
        if (n < 2) return 0;
        if (!disk.WriteSector(n, image.data.data() + static_cast<size_t>(k) * kSectorSize))
            return 0;
    }
    return FinishFdr(disk, fdr, image.file) ? fdr : 0;
}

}  // namespace

int WriteFileImages(CTiDisk& disk, const std::vector<const TiFileImage*>& files, bool replace,
                    std::string& error) {
    error.clear();
    auto fail = [&](const TiFileImage& image, const std::string& reason) {
        error = ShownName(image.file) + ": " + reason;
        return 0;
    };
    std::vector<std::string> names;
    std::vector<int> replaced;
    for (const TiFileImage* image : files) {
        const std::string name = NameOf(*image);
        // A zero byte ends a name in the index order: names with one could not be told apart.
        if (ShownName(image->file).empty() || name.find('\0') != std::string::npos)
            return fail(*image, "Invalid file name");
        if (image->data.size() != size_t{image->file.sectors} * kSectorSize)
            return fail(*image, "The file's data is incomplete");
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            disk.SetLastError(DiskError::NameExists);
            return fail(*image, disk.ErrorText());
        }
        const int found = disk.FindFile(name);
        if (found < 0) return fail(*image, disk.ErrorText());
        if (found >= 2 && !replace) {
            disk.SetLastError(DiskError::NameExists);
            return fail(*image, disk.ErrorText());
        }
        names.push_back(name);
        replaced.push_back(found >= 2 ? found : 0);
    }

    // The whole batch is one change of the disk: a failure at any step puts back every sector
    // written, and the files the disk had are not touched before the last step anyway.
    CAllOrNothing change(disk);
    auto undo = [&](const TiFileImage& image) { return fail(image, disk.ErrorText()); };

    std::vector<int> made(files.size(), 0);
    std::vector<std::string> passing;
    for (size_t i = 0; i < files.size(); ++i) {
        std::string name = names[i];
        if (replaced[i]) {
            name = PassingName(disk, passing);
            if (name.empty()) return undo(*files[i]);
            passing.push_back(name);
        }
        made[i] = WriteOne(disk, name, *files[i]);
        if (!made[i]) return undo(*files[i]);
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (!replaced[i]) continue;
        if (!disk.DeleteFile(replaced[i]) || !disk.RenameFile(made[i], names[i]))
            return undo(*files[i]);
    }
    change.Keep();
    return 1;
}

}  // namespace tavik
