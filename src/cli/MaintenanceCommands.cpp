// Commands that change disk images: create, format, check, defrag, copy, copy-disk, rm,
// rename, protect, undelete, purge, convert, resort.
#include <algorithm>
#include <cstdio>

#include "base/CInteger.h"
#include "base/Cp1252.h"
#include "base/PcFile.h"
#include "cli/CliCommand.h"
#include "cli/ImageArguments.h"
#include "disk/CheckReport.h"
#include "disk/FileType.h"
#include "disk/ImageConversion.h"
#include "disk/VirtualDrive.h"

namespace tavik::cli {

namespace {

constexpr int kExitProblems = 3;  // check: the disk has problems

std::vector<CliOption> VolumeOptions(std::vector<CliOption> more = {}) {
    std::vector<CliOption> options = {
        {"start", true, "byte offset of the volume inside the file (CF cards)"},
        {"size", true, "bytes of the volume (0: to the end of the file)"},
    };
    options.insert(options.end(), more.begin(), more.end());
    return options;
}

bool ReadNumber(const std::string& text, long& value) {
    size_t consumed = 0;
    const std::optional<long> number = ReadCInteger(text, consumed);
    if (!number || consumed != text.size()) return false;
    value = *number;
    return true;
}

// An option that must be one of the allowed numbers; fallback when absent.
bool ReadChoice(const CliArgs& args, const std::string& name, std::initializer_list<long> allowed,
                long fallback, long& value, CliContext& context) {
    value = fallback;
    if (!args.Has(name)) return true;
    if (ReadNumber(args.Value(name), value) &&
        std::find(allowed.begin(), allowed.end(), value) != allowed.end())
        return true;
    context.err << "tavik-cli: --" << name << " must be one of";
    for (long a : allowed)
        context.err << " " << a;
    context.err << "\n";
    return false;
}

int Fail(CVirtualDrive& drive, const std::string& path, CliContext& context) {
    context.err << path << ": " << drive.ErrorText() << "\n";
    return kExitFailed;
}

// Mounts the image (or the volume given by --start and --size), for reading and writing unless
// the command only reads.
int MountForChange(const CliArgs& args, size_t position, CVirtualDrive& drive, CliContext& context,
                   OpenMode mode = OpenMode::ReadWrite) {
    return MountImageAt(args, position, mode, drive, context);
}

// The FDR of a file named on the command line, or 0 after printing why there is none.
int FindNamed(CVirtualDrive& drive, const std::string& path, const std::string& name,
              CliContext& context) {
    const int fdr = drive.FindFile(name);
    if (fdr < 0) {
        Fail(drive, path, context);
        return 0;
    }
    if (fdr == 0) context.err << path << ": " << name << ": File not found\n";
    return fdr;
}

int RunCreate(const CliArgs& args, CliContext& context) {
    long sides = 1, density = 1, tracks = 40;
    if (!ReadChoice(args, "sides", {1, 2}, 1, sides, context) ||
        !ReadChoice(args, "density", {1, 2}, 1, density, context) ||
        !ReadChoice(args, "tracks", {40, 80}, 40, tracks, context))
        return kExitUsage;
    if (args.Has("pc99") && args.Has("hfe")) {
        context.err << "tavik-cli create: --pc99 and --hfe exclude each other\n";
        return kExitUsage;
    }
    if (tracks != 40 && !args.Has("hfe")) {
        context.err << "tavik-cli create: 80 tracks are made as HFE images only\n";
        return kExitUsage;
    }
    CVirtualDrive drive;
    const std::string& path = args.positional.at(0);
    const int created =
        args.Has("hfe")
            ? drive.CreateHfeImage(path, sides == 2, density == 2, static_cast<int>(tracks))
            : drive.CreateImage(path, sides == 2, density == 2, args.Has("pc99"));
    return created ? kExitOk : Fail(drive, path, context);
}

int RunFormat(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    const ImageFormat preset = PresetImageFormat(drive);
    long sides = 0, density = 0, sectors = 0, tracks = 0;
    if (!ReadChoice(args, "sides", {1, 2}, preset.doubleSided ? 2 : 1, sides, context) ||
        !ReadChoice(args, "density", {1, 2}, preset.doubleDensity ? 2 : 1, density, context))
        return kExitUsage;
    if ((args.Has("sectors") && !ReadNumber(args.Value("sectors"), sectors)) ||
        (args.Has("tracks") && !ReadNumber(args.Value("tracks"), tracks))) {
        context.err << "tavik-cli format: --sectors and --tracks need numbers\n";
        return kExitUsage;
    }
    const std::string name = args.Value("name");
    if (name.find_first_not_of(' ') == std::string::npos) {
        context.err << "tavik-cli format: Invalid disk name\n";
        return kExitUsage;
    }
    if (!drive.Format(name, sides == 2, density == 2, static_cast<int>(sectors),
                      static_cast<int>(tracks)))
        return Fail(drive, args.positional[0], context);
    return kExitOk;
}

int RunCheck(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context, OpenMode::ReadOnly)) return rc;
    int flags = 0;
    DiskUsage usage;
    const bool ran = drive.CheckDisk(flags, usage) != 0;
    // What a stopped or failed check found is reported all the same.
    const std::string report = CheckReport(flags, usage);
    for (char c : report)
        if (c != '\r') context.out << c;
    if (!ran) return Fail(drive, args.positional[0], context);
    if (report.empty()) {
        context.out << "No problems found\n";
        return kExitOk;
    }
    return kExitProblems;
}

int RunDefrag(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    return drive.Defragment() ? kExitOk : Fail(drive, args.positional[0], context);
}

int RunCopyDisk(const CliArgs& args, CliContext& context) {
    long mode = 0;
    if (!ReadChoice(args, "mode", {0, 1, 2, 3}, 0, mode, context)) return kExitUsage;
    CVirtualDrive source;
    if (int rc = MountForChange(args, 0, source, context, OpenMode::ReadOnly)) return rc;
    const std::string& targetPath = args.positional[1];
    const bool existed = IdentityOf(targetPath).has_value();
    CVirtualDrive target;
    if (!OpenCopyTarget(source, targetPath, target)) return Fail(target, targetPath, context);
    if (!source.CopyDisk(target, static_cast<int>(mode))) {
        // A target made for the copy goes again; an existing one is as it was.
        if (!existed) {
            target.Close();
            std::remove(targetPath.c_str());
        }
        return Fail(source, args.positional[0], context);
    }
    return kExitOk;
}

// Copies files between two images as a paste does; a file of the same name on the target is
// replaced only with --force.
int RunCopy(const CliArgs& args, CliContext& context) {
    CVirtualDrive from, target;
    if (int rc = MountForChange(args, 0, from, context, OpenMode::ReadOnly)) return rc;
    if (int rc = MountImageAt(args, 1, OpenMode::ReadWrite, target, context, "to-")) return rc;
    // One volume named twice is one drive: a file copied onto itself under its name stays.
    CVirtualDrive& source = from.SameVolume(target) ? target : from;
    const std::string& sourcePath = args.positional[0];
    const std::string& targetPath = args.positional[1];
    int result = kExitOk;
    for (size_t k = 2; k < args.positional.size(); ++k) {
        const std::string name = Utf8ToCp1252(args.positional[k]);
        const int fdr = FindNamed(source, sourcePath, name, context);
        if (fdr == 0) {
            result = kExitFailed;
            continue;
        }
        const int existing = args.Has("force") ? 0 : target.FindFile(name);
        if (existing < 0) {
            result = Fail(target, targetPath, context);
            continue;
        }
        if (existing > 0 && !(&source == &target && existing == fdr)) {
            context.err << targetPath << ": " << args.positional[k]
                        << ": Name already exists (use --force to replace it)\n";
            result = kExitFailed;
            continue;
        }
        if (!source.CopyFile(target, fdr, {})) {
            context.err << targetPath << ": " << args.positional[k] << ": " << source.ErrorText()
                        << "\n";
            result = kExitFailed;
        }
    }
    return result;
}

int RunRemove(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    const std::string& path = args.positional[0];
    int result = kExitOk;
    for (size_t k = 1; k < args.positional.size(); ++k) {
        const std::string& name = args.positional[k];
        const int fdr = FindNamed(drive, path, name, context);
        FileInfo info;
        if (fdr == 0 || !drive.GetFileInfo(fdr, info)) {
            result = kExitFailed;
            continue;
        }
        if ((info.status & kStatusProtected) && !args.Has("force")) {
            context.err << path << ": " << name << " is protected (use --force)\n";
            result = kExitFailed;
            continue;
        }
        if (!drive.DeleteFile(fdr)) result = Fail(drive, path, context);
    }
    return result;
}

int RunRename(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    const std::string& path = args.positional[0];
    const std::string& newName = args.positional[2];
    if (newName.find_first_not_of(' ') == std::string::npos) {
        context.err << "tavik-cli rename: Illegal file name\n";
        return kExitUsage;
    }
    const int fdr = FindNamed(drive, path, args.positional[1], context);
    if (fdr == 0) return kExitFailed;
    return drive.RenameFile(fdr, newName) ? kExitOk : Fail(drive, path, context);
}

int RunProtect(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    const std::string& path = args.positional[0];
    const int mode = args.Has("toggle") ? 2 : args.Has("off") ? 0 : 1;
    int fdr = 0;  // the disk itself
    if (args.positional.size() > 1) {
        fdr = FindNamed(drive, path, args.positional[1], context);
        if (fdr == 0) return kExitFailed;
    }
    return drive.SetProtection(fdr, mode) ? kExitOk : Fail(drive, path, context);
}

int RunUndelete(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    const std::string& path = args.positional[0];
    const std::string& name = args.positional[1];
    if (name.find_first_not_of(' ') == std::string::npos) {
        context.err << path << ": Illegal file name\n";
        return kExitFailed;
    }
    // A type text that reads as none of the dialog's types means any type.
    ParsedType type;
    const int wanted = ParseDialogType(args.Value("type"), type) ? type.status : -1;
    const int fdr = drive.UndeleteFile(name, wanted);
    if (fdr < 0) return Fail(drive, path, context);
    if (fdr == 0) {
        context.err << path << ": Not found, sorry\n";
        return kExitFailed;
    }
    context.out << "Undeleted " << name << " (FDR in sector " << fdr << ")\n";
    return kExitOk;
}

int RunPurge(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    const std::string& path = args.positional[0];
    if (args.positional.size() == 1) {
        if (!args.Has("disk")) {
            context.err << "tavik-cli purge: name files, or give --disk to empty the whole disk\n";
            return kExitUsage;
        }
        return drive.PurgeDisk() ? kExitOk : Fail(drive, path, context);
    }
    int result = kExitOk;
    for (size_t k = 1; k < args.positional.size(); ++k) {
        const int fdr = FindNamed(drive, path, args.positional[k], context);
        if (fdr == 0) {
            result = kExitFailed;
            continue;
        }
        if (drive.PurgeFile(fdr) != 1) result = Fail(drive, path, context);
    }
    return result;
}

int RunConvert(const CliArgs& args, CliContext& context) {
    const std::string to = args.Value("to");
    if (to != "doad" && to != "pc99" && to != "hfe") {
        context.err << "tavik-cli convert: --to must be doad, pc99 or hfe\n";
        return kExitUsage;
    }
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    // Sides and density stay as the disk says unless told otherwise.
    ImageFormat current = PresetImageFormat(drive);
    ImageFormat wanted = current;
    DiskInfo info;
    if (drive.GetDiskInfo(info)) {
        wanted.doubleSided = info.doubleSided;
        wanted.doubleDensity = info.doubleDensity;
    }
    wanted.pc99 = to == "pc99";
    wanted.hfe = to == "hfe";
    long sides = 0, density = 0;
    if (!ReadChoice(args, "sides", {1, 2}, wanted.doubleSided ? 2 : 1, sides, context) ||
        !ReadChoice(args, "density", {1, 2}, wanted.doubleDensity ? 2 : 1, density, context))
        return kExitUsage;
    wanted.doubleSided = sides == 2;
    wanted.doubleDensity = density == 2;
    if (wanted == current) return kExitOk;
    return drive.ConvertImage(wanted.pc99, wanted.doubleSided, wanted.doubleDensity, wanted.hfe)
               ? kExitOk
               : Fail(drive, args.positional[0], context);
}

int RunResort(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountForChange(args, 0, drive, context)) return rc;
    return drive.SortIndex() ? kExitOk : Fail(drive, args.positional[0], context);
}

}  // namespace

std::vector<CliCommand> MaintenanceCommands() {
    const CliOption sides{"sides", true, "1 or 2"};
    const CliOption density{"density", true, "1 (single) or 2 (double)"};
    return {
        {"create",
         "IMAGE",
         "creates a new, unformatted image file",
         1,
         1,
         {sides,
          density,
          {"pc99", false, "a PC99 track image instead of a sector dump"},
          {"hfe", false, "an HFE image (HxC floppy emulator) instead of a sector dump"},
          {"tracks", true, "tracks per side of an HFE image: 40 (default) or 80"}},
         RunCreate},
        {"format", "IMAGE", "formats the disk (an empty file system)", 1, 1,
         VolumeOptions({{"name", true, "disk name"},
                        sides,
                        density,
                        {"sectors", true, "total sectors (0: as sides and density say)"},
                        {"tracks", true, "tracks per side (default 40)"}}),
         RunFormat},
        {"check", "IMAGE", "checks the disk; exit status 3 when problems were found", 1, 1,
         VolumeOptions(), RunCheck},
        {"defrag", "IMAGE", "rewrites every file in one piece, in name order", 1, 1,
         VolumeOptions(), RunDefrag},
        {"copy", "SOURCE TARGET NAME...",
         "copies files from one image to another (DOAD, PC99 or a CF volume)", 3, 200,
         VolumeOptions({{"to-start", true, "byte offset of the target volume (CF cards)"},
                        {"to-size", true, "bytes of the target volume"},
                        {"force", false, "replace files of the same name on the target"}}),
         RunCopy},
        {"copy-disk", "SOURCE TARGET",
         "copies a disk: mode 0 all sectors, 1 used sectors, 2 files and disk info, 3 files", 2, 2,
         VolumeOptions({{"mode", true, "0 to 3"}}), RunCopyDisk},
        {"rm", "IMAGE NAME...", "deletes files", 2, 200,
         VolumeOptions({{"force", false, "delete protected files too"}}), RunRemove},
        {"rename", "IMAGE NAME NEWNAME", "renames a file", 3, 3, VolumeOptions(), RunRename},
        {"protect", "IMAGE [NAME]", "protects a file (or, without NAME, the disk)", 1, 2,
         VolumeOptions(
             {{"off", false, "remove the protection"}, {"toggle", false, "toggle the protection"}}),
         RunProtect},
        {"undelete", "IMAGE NAME", "brings a deleted file back", 2, 2,
         VolumeOptions({{"type", true, "Prog, DF80, DV80, IF%d, IV%d (default: any type)"}}),
         RunUndelete},
        {"purge", "IMAGE [NAME...]", "empties files (or, with --disk, the whole disk)", 1, 200,
         VolumeOptions({{"disk", false, "empty the whole disk"}}), RunPurge},
        {"convert", "IMAGE", "converts the image to another format, sides or density", 1, 1,
         VolumeOptions({{"to", true, "doad, pc99 or hfe"}, sides, density}), RunConvert},
        {"resort", "IMAGE", "sorts the file index by name", 1, 1, VolumeOptions(), RunResort},
    };
}

}  // namespace tavik::cli
