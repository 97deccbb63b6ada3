// Commands on disk images: dir (the catalog), info (the disk), sector (a hex dump).
#include <cctype>
#include <cstdio>

#include "base/CInteger.h"
#include "base/Cp1252.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "cli/ImageArguments.h"
#include "disk/Catalog.h"
#include "disk/VirtualDrive.h"

namespace tavik::cli {

namespace {

std::string Printf(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string Padded(const std::string& text, size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

// The ten name characters as they stand, for a column of text output.
std::string NameColumn(const std::array<uint8_t, 10>& name) {
    std::string text(name.begin(), name.end());
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = '.';
    return Cp1252ToUtf8(text);
}

int Fail(CVirtualDrive& drive, const CliArgs& args, CliContext& context) {
    context.err << args.positional.at(0) << ": " << drive.ErrorText() << "\n";
    return kExitFailed;
}

void PrintDiskSummary(const DiskProperties& d, std::ostream& out) {
    out << "Disk " << NameColumn(d.name) << "  " << KindName(d.driveKind) << ", " << d.totalSectors
        << " sectors, " << d.freeSectors << " free, " << d.files
        << (d.files == 1 ? " file\n" : " files\n");
}

int RunDir(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountImageArgument(args, drive, context)) return rc;
    Catalog catalog;
    const bool ok = ReadCatalog(drive, catalog) != 0;
    if (args.Has("json")) {
        if (!ok) return Fail(drive, args, context);
        context.out << JsonText(CatalogJson(catalog)) << "\n";
        return kExitOk;
    }
    if (catalog.disk.driveKind == DriveKind::None && !ok) return Fail(drive, args, context);
    PrintDiskSummary(catalog.disk, context.out);
    context.out << "Name        FDR  Type    Size  Recs  Last  R/S  P  Clu  Created              "
                   "Modified\n";
    for (const FileProperties& f : catalog.files) {
        context.out << NameColumn(f.name)
                    << Printf(" %5d  %-6s %5d %5d %5d %4d  %c %4d  ", f.fdrSector,
                              CatalogTypeText(f.status, f.recordLength).c_str(), f.sectors,
                              f.records, f.eofOffset, f.recordsPerSector,
                              (f.status & kStatusProtected) ? 'P' : ' ',
                              static_cast<int>(f.clusters.size()))
                    << Padded(StampText(f.creationDate, f.creationTime), 19) << "  "
                    << StampText(f.updateDate, f.updateTime) << "\n";
    }
    // A damaged disk still shows the files before the one that could not be read.
    return ok ? kExitOk : Fail(drive, args, context);
}

int RunInfo(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountImageArgument(args, drive, context)) return rc;
    DiskProperties d;
    if (!drive.GetDiskProperties(d)) return Fail(drive, args, context);
    if (args.Has("json")) {
        context.out << JsonText(DiskJson(d)) << "\n";
        return kExitOk;
    }
    auto line = [&](const char* label, const std::string& value) {
        context.out << Padded(label, 15) << value << "\n";
    };
    line("Disk name:", NameColumn(d.name));
    line("Kind:", KindName(d.driveKind));
    line("Sides:", std::to_string(d.sides));
    line("Density:", std::to_string(d.density));
    line("Protected:", d.protection == 0x50 ? "yes" : "no");
    line("Total sectors:", std::to_string(d.totalSectors));
    line("Free sectors:", std::to_string(d.freeSectors));
    line("Files:", std::to_string(d.files));
    line("Created:", StampText(d.creationDate, d.creationTime));
    line("Modified:", StampText(d.updateDate, d.updateTime));
    return kExitOk;
}

int RunSector(const CliArgs& args, CliContext& context) {
    const std::string& text = args.positional.at(1);
    size_t consumed = 0;
    auto number = ReadCInteger(text, consumed);
    if (!number || consumed != text.size()) {
        context.err << "tavik-cli sector: " << text << " is not a sector number\n";
        return kExitUsage;
    }
    CVirtualDrive drive;
    if (int rc = MountImageArgument(args, drive, context)) return rc;
    const int n =
        *number < 0 || *number >= kMaxDiskSectors ? kMaxDiskSectors : static_cast<int>(*number);
    Sector data{};
    if (!drive.ReadSector(n, data.data())) return Fail(drive, args, context);
    if (args.Has("json")) {
        std::string hex;
        for (uint8_t b : data)
            hex += Printf("%02x", b);
        Json j;
        j["sector"] = n;
        j["data"] = hex;
        context.out << JsonText(j) << "\n";
        return kExitOk;
    }
    for (int row = 0; row < kSectorSize; row += 16) {
        std::string ascii;
        context.out << Printf("%02X:", row);
        for (int k = 0; k < 16; ++k) {
            const uint8_t b = data[static_cast<size_t>(row + k)];
            context.out << Printf(" %02X", b);
            ascii += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
        }
        context.out << "  " << ascii << "\n";
    }
    return kExitOk;
}

}  // namespace

std::vector<CliCommand> DiskCommands() {
    return {
        {"dir", "IMAGE", "lists the catalog of a disk image", 1, 1, ImageOptions(), RunDir},
        {"info", "IMAGE", "shows the disk's name, format, size and stamps", 1, 1, ImageOptions(),
         RunInfo},
        {"sector", "IMAGE N", "shows sector N as a hexadecimal dump", 2, 2, ImageOptions(),
         RunSector},
    };
}

}  // namespace tavik::cli
