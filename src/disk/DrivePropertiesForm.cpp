#include "disk/DrivePropertiesForm.h"

#include <optional>

#include "base/CInteger.h"
#include "disk/ImageConversion.h"

namespace tavik {

DrivePropertiesForm DriveFormFor(const CVirtualDrive& drive) {
    DrivePropertiesForm form;
    const ImageFormat preset = PresetImageFormat(drive);
    form.format = preset.pc99 ? FormatPc99 : preset.hfe ? FormatHfe : FormatDoad;
    form.doubleSided = preset.doubleSided;
    form.doubleDensity = preset.doubleDensity;
    form.start = std::to_string(drive.Start());
    form.size = std::to_string(drive.Size());
    form.maxSize = drive.MaxSize() == 0 ? "None" : std::to_string(drive.MaxSize());
    return form;
}

void ChooseCfFormat(DrivePropertiesForm& form) {
    form.format = FormatDoad;
    form.size = "0x64000";
    form.doubleSided = true;
    form.doubleDensity = true;
}

int ApplyDrivePropertiesForm(CVirtualDrive& drive, const DrivePropertiesForm& form) {
    DriveProperties props;
    if (!drive.GetDriveProperties(props) || !IsImageKind(props.kind)) {
        drive.SetLastError(DiskError::NoDrive);
        return 0;
    }
    const ImageFormat shown = PresetImageFormat(drive);
    const ImageFormat wanted{form.format == FormatPc99, form.doubleSided, form.doubleDensity,
                             form.format == FormatHfe};
    // The typed numbers describe the old layout; a conversion makes its own.
    if (!(wanted == shown))
        return drive.ConvertImage(wanted.pc99, wanted.doubleSided, wanted.doubleDensity,
                                  wanted.hfe);
    props.start = ReadCInteger(form.start).value_or(0);
    props.maxSize = ReadCInteger(form.maxSize).value_or(0);
    if (const std::optional<long> size = ReadCInteger(form.size)) props.size = *size;
    return drive.SetDriveProperties(props);
}

}  // namespace tavik
