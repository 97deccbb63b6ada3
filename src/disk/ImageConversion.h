// The new-image command's logic: the suggested file name and format for a copy of a disk, and
// the creation of the image with the typed start, size and maximum size. (Converting an
// existing image is CVirtualDrive::ConvertImage.)
#pragma once

#include <string>

#include "disk/VirtualDrive.h"

namespace tavik {

// An image's format as the drive-properties dialog presets it from the kind and the size; a
// conversion is due when the user picks something else.
struct ImageFormat {
    bool pc99 = false;
    bool doubleSided = false;
    bool doubleDensity = false;
    bool hfe = false;
    bool operator==(const ImageFormat&) const = default;
};
ImageFormat PresetImageFormat(int kind, int64_t size);
// The same for a mounted drive; an HFE image says its sides and density in its header.
ImageFormat PresetImageFormat(const CVirtualDrive& drive);

// The part of a disk name before the first character a PC file name cannot hold (or a blank),
// followed by ".DSK"; "" when that part is empty.
std::string SuggestedImageName(const std::string& diskName);

struct NewImageDefaults {
    std::string fileName;
    bool doubleSided = false;
    bool doubleDensity = false;
};

// What the dialog shows first when the new image is to receive a copy of source.
NewImageDefaults SuggestNewImage(CVirtualDrive& source);

struct NewImageChoice {
    std::string path;
    bool pc99 = false;
    bool doubleSided = false;
    bool doubleDensity = false;
    // Typed as C integers; a field that does not read as a number, or reads as 0, keeps the
    // value found when the new file was mounted.
    std::string start;
    std::string size;
    std::string maxSize;
    bool hfe = false;  // an HFE image of 40 tracks; the typed numbers do not apply to it
};

// Creates and mounts the image on drive and applies the typed numbers; with a source, copies
// every sector of it into the new image. 1 on success; 0 with the reason in drive's last error.
int CreateNewImage(CVirtualDrive& drive, const NewImageChoice& choice, CVirtualDrive* source);

// The copy-disk command's target chosen as a PC file: an existing file is opened as an image, a
// new one is created with the source's sides and density, as a PC99 or HFE image when the source
// is one. 1, or 0 with the reason in target's last error.
int OpenCopyTarget(CVirtualDrive& source, const std::string& path, CVirtualDrive& target);

}  // namespace tavik
