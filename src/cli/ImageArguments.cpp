#include "cli/ImageArguments.h"

#include "base/CInteger.h"
#include "base/PcFile.h"

namespace tavik::cli {

namespace {

// The whole text must be one non-negative C integer.
bool ReadByteCount(const std::string& text, int64_t& value) {
    size_t consumed = 0;
    auto number = ReadCInteger(text, consumed);
    if (!number || consumed != text.size() || *number < 0) return false;
    value = *number;
    return true;
}

}  // namespace

std::vector<CliOption> ImageOptions() {
    return {
        {"json", false, "machine-readable output"},
        {"start", true, "byte offset of the volume inside the file (CF cards)"},
        {"size", true, "bytes of the volume (0: to the end of the file)"},
    };
}

int MountImageArgument(const CliArgs& args, CVirtualDrive& drive, CliContext& context) {
    return MountImageAt(args, 0, OpenMode::ReadOnly, drive, context);
}

int MountImageAt(const CliArgs& args, size_t position, OpenMode mode, CVirtualDrive& drive,
                 CliContext& context, const std::string& prefix) {
    int64_t start = 0, size = 0;
    for (auto [name, value] : {std::pair{prefix + "start", &start}, {prefix + "size", &size}}) {
        if (args.Has(name) && !ReadByteCount(args.Value(name), *value)) {
            context.err << "tavik-cli: --" << name << " needs a number of bytes\n";
            return kExitUsage;
        }
    }
    const std::string& path = args.positional.at(position);
    OpenFailure why = OpenFailure::None;
    auto file = CDiskFile::Open(path, mode, &why);
    if (!file) {
        drive.SetLastError(why == OpenFailure::NotRegular ? DiskError::NotRegularFile
                                                          : DiskError::CantOpenPcFile);
    } else if (drive.MountFile(std::move(file), start, size, -1)) {
        return kExitOk;
    }
    context.err << path << ": " << drive.ErrorText() << "\n";
    return kExitFailed;
}

std::string KindName(int kind) {
    switch (kind) {
        case DriveKind::DoadImage:
            return "DOAD";
        case DriveKind::Pc99Fm:
            return "PC99 FM";
        case DriveKind::Pc99Mfm:
            return "PC99 MFM";
        case DriveKind::HfeImage:
            return "HFE";
        case DriveKind::RemoteTi:
            return "Remote";
        case DriveKind::EmulatorDrive:
            return "Emulator";
        default:
            return "";
    }
}

}  // namespace tavik::cli
