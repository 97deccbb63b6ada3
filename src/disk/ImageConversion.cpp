// Converting an image to another format, sides or density, and creating a new image. A
// conversion builds the new image in memory and only then replaces the PC file, atomically, so
// that the old image survives any failure.
#include "disk/ImageConversion.h"

#include <cerrno>
#include <cstring>

#include "base/AtomicFile.h"
#include "base/CInteger.h"
#include "disk/HfeImage.h"
#include "disk/Layout.h"
#include "disk/Pc99Image.h"

namespace tavik {

namespace {

std::vector<uint8_t> BlankImage(const ImageFormat& format, int tracks) {
    if (format.pc99) return BlankPc99Image(format.doubleSided, format.doubleDensity);
    if (format.hfe)
        return BuildHfeImage({tracks, format.doubleSided ? 2 : 1, format.doubleDensity});
    size_t sectors = 9 * static_cast<size_t>(tracks);
    if (format.doubleSided) sectors *= 2;
    if (format.doubleDensity) sectors *= 2;
    return std::vector<uint8_t>(sectors * kSectorSize, 0);
}

}  // namespace

int CVirtualDrive::ConvertImage(bool pc99, bool doubleSided, bool doubleDensity, bool hfe) {
    if (!IsImageKind(m_kind) || (pc99 && hfe)) return Fail(DiskError::BadFormatSpec);
    if (!m_file) return Fail(DiskError::NoDrive);
    // A volume inside a larger file (a CF card) shares that file with other volumes; rewriting
    // the whole file would destroy them.
    if (m_start != 0) return Fail(DiskError::BadFormatSpec);

    // A disk of 80 tracks keeps them in the formats that can hold them (PC99 has 40).
    if (!ReadVib()) return 0;
    const int tracks = m_vib[layout::kVibTracksPerSide] > 40 ? 80 : 40;

    CVirtualDrive converted;
    auto memory =
        std::make_unique<CMemFile>(BlankImage({pc99, doubleSided, doubleDensity, hfe}, tracks));
    CMemFile* bytes = memory.get();
    const int kind = converted.MountFile(std::move(memory), 0, 0, 0);
    if (kind == DriveKind::None) return Fail(converted.LastError());
    converted.SetScratch();
    converted.SetPrompt(m_prompt);
    if (!CopySectors(converted, false)) return 0;

    const std::vector<uint8_t>& image = bytes->Bytes();
    const int64_t length = static_cast<int64_t>(image.size());
    if (!RewritePcFile(
            [&](CPcFile& out) { return out.WriteAt(0, image.data(), image.size()) == length; }))
        return 0;
    m_kind = kind;
    m_hfe = std::move(converted.m_hfe);
    m_start = 0;
    m_size = converted.m_size;
    if (m_maxSize != 0 && m_maxSize < length) m_maxSize = 0;
    if (m_kind == DriveKind::DoadImage) m_cacheLevel = CacheNothing;
    InvalidateCaches();
    return 1;
}

ImageFormat PresetImageFormat(int kind, int64_t size) {
    ImageFormat format;
    if (kind == DriveKind::DoadImage) {
        format.doubleSided = size >= 92161;
        format.doubleDensity = size >= 184321;
    } else if (kind == DriveKind::Pc99Fm || kind == DriveKind::Pc99Mfm) {
        format.pc99 = true;
        format.doubleDensity = kind == DriveKind::Pc99Mfm;
        format.doubleSided = size >= (format.doubleDensity ? 300001 : 140001);
    }
    return format;
}

ImageFormat PresetImageFormat(const CVirtualDrive& drive) {
    const CHfeImage* hfe = drive.Hfe();
    if (!hfe) return PresetImageFormat(drive.Kind(), drive.Size());
    ImageFormat format;
    format.hfe = true;
    format.doubleSided = hfe->Geometry().sides == 2;
    format.doubleDensity = hfe->Geometry().mfm;
    return format;
}

std::string SuggestedImageName(const std::string& diskName) {
    const size_t end = diskName.find_first_of(std::string("\\/<>|:*? \0", 10));
    const std::string stem = diskName.substr(0, end);
    return stem.empty() ? std::string() : stem + ".DSK";
}

NewImageDefaults SuggestNewImage(CVirtualDrive& source) {
    NewImageDefaults defaults;
    DiskInfo info;
    if (!source.GetDiskInfo(info)) return defaults;
    defaults.fileName = SuggestedImageName(info.name);
    defaults.doubleSided = info.doubleSided;
    defaults.doubleDensity = info.doubleDensity;
    return defaults;
}

namespace {

int ApplyTypedNumbers(CVirtualDrive& drive, const NewImageChoice& choice) {
    DriveProperties props;
    drive.GetDriveProperties(props);
    auto typed = [](const std::string& text, int64_t& value) {
        const std::optional<long> number = ReadCInteger(text);
        if (number && *number != 0) value = *number;
    };
    typed(choice.start, props.start);
    typed(choice.size, props.size);
    typed(choice.maxSize, props.maxSize);
    return drive.SetDriveProperties(props);
}

}  // namespace

int CreateNewImage(CVirtualDrive& drive, const NewImageChoice& choice, CVirtualDrive* source) {
    // A file that is there already is the user's: another drive's image is never replaced,
    // any other only when the user says so.
    if (const auto identity = IdentityOf(choice.path)) {
        if (CDiskFile::IsOpenElsewhere(*identity)) {
            drive.SetLastError(DiskError::FileInUse);
            drive.NamePcFile(choice.path);
            return 0;
        }
        if (drive.Prompt().Ask(choice.path + " already exists.\nDo you want to replace it?",
                               PromptButtons::YesNo) != PromptAnswer::Yes) {
            drive.SetLastError(DiskError::UserAborted);
            return 0;
        }
    }
    // The new image is made whole in memory, copy included, and only then written beside the
    // chosen file and renamed over it: a failure leaves what was there.
    const ImageFormat format{choice.pc99 && !choice.hfe, choice.doubleSided, choice.doubleDensity,
                             choice.hfe};
    CVirtualDrive scratch;
    scratch.SetScratch();
    if (!scratch.MountFile(std::make_unique<CMemFile>(BlankImage(format, 40)), 0, 0, 0) ||
        (!choice.hfe && !ApplyTypedNumbers(scratch, choice))) {
        drive.SetLastError(scratch.LastError());
        return 0;
    }
    if (source && !source->CopySectors(scratch, false)) {
        drive.SetLastError(source->LastError());
        return 0;
    }
    const std::vector<uint8_t>& bytes = dynamic_cast<CMemFile&>(*scratch.File()).Bytes();
    errno = 0;
    const bool written = ReplaceFileAtomically(choice.path, [&](CPcFile& out) {
        return out.WriteAt(0, bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
    });
    if (!written) {
        drive.SetLastError(DiskError::CantOpenPcFile);
        drive.NamePcFile(choice.path, errno);
        return 0;
    }
    if (!drive.OpenImage(choice.path)) return 0;  // the error names the file
    if (choice.hfe) return 1;
    DriveProperties props;
    scratch.GetDriveProperties(props);
    props.kind = drive.Kind();
    return drive.SetDriveProperties(props);
}

int OpenCopyTarget(CVirtualDrive& source, const std::string& path, CVirtualDrive& target) {
    if (const auto identity = IdentityOf(path)) {
        // The source's own file is never a target, whatever path leads to it; nor is a file
        // another drive shows, whose copies of the sectors would go stale.
        if (source.File() && source.File()->Identity() == identity) {
            target.SetLastError(DiskError::SameFile);
            return 0;
        }
        if (CDiskFile::IsOpenElsewhere(*identity, source.File())) {
            target.SetLastError(DiskError::FileInUse);
            target.NamePcFile(path);
            return 0;
        }
        return target.OpenImage(path) ? 1 : 0;
    }
    DiskInfo info;
    if (!source.GetDiskInfo(info)) {
        target.SetLastError(source.LastError());
        return 0;
    }
    if (const CHfeImage* hfe = source.Hfe())
        return target.CreateHfeImage(path, info.doubleSided, info.doubleDensity,
                                     hfe->Geometry().tracks > 40 ? 80 : 40)
                   ? 1
                   : 0;
    const bool pc99 = source.Kind() == DriveKind::Pc99Fm || source.Kind() == DriveKind::Pc99Mfm;
    return target.CreateImage(path, info.doubleSided, info.doubleDensity, pc99) ? 1 : 0;
}

}  // namespace tavik
