// "archive": Archiver files on disk images. list shows the files an archive holds, extract
// writes them onto a disk image, export one of them to a PC file; create makes an archive from
// files of the image, add and remove change one.
#include <cstdio>

#include "base/Cp1252.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "cli/ImageArguments.h"
#include "disk/Catalog.h"
#include "disk/VirtualDrive.h"
#include "exchange/ArkTransfer.h"
#include "exchange/PcFileKind.h"

namespace tavik::cli {

namespace {

const std::vector<uint16_t> kTabStops = {7, 12, 25};

std::string ArchiveUsage() {
    return "list IMAGE NAME | extract IMAGE NAME TARGET-IMAGE [MEMBER...] | export IMAGE NAME "
           "MEMBER PCFILE | create IMAGE NAME FILE... | add IMAGE NAME FILE... | remove IMAGE "
           "NAME MEMBER...";
}

// The words after the subcommand: IMAGE NAME and the rest.
struct ArchiveWords {
    CliArgs args;  // positional: IMAGE NAME ...
    std::string image;
    std::string name;
    std::vector<std::string> rest;
};

ArchiveWords WordsOf(const CliArgs& args) {
    ArchiveWords w;
    w.args = args;
    w.args.positional.erase(w.args.positional.begin());
    w.image = w.args.positional.at(0);
    w.name = w.args.positional.at(1);
    w.rest.assign(w.args.positional.begin() + 2, w.args.positional.end());
    return w;
}

int Report(const std::string& image, const std::string& error, CliContext& context) {
    context.err << image << ": " << Cp1252ToUtf8(error) << "\n";
    return kExitFailed;
}

// The FDR of the named file, or 0 after printing why there is none.
int FindNamed(CVirtualDrive& drive, const std::string& image, const std::string& name,
              CliContext& context) {
    const std::string tiName = Utf8ToCp1252(name);
    const int fdr = drive.FindFile(tiName);
    if (fdr > 0) return fdr;
    Report(image, fdr == 0 ? tiName + ": File not found" : drive.ErrorText(), context);
    return 0;
}

int FindAll(CVirtualDrive& drive, const ArchiveWords& w, std::vector<int>& fdrs,
            CliContext& context) {
    for (const std::string& file : w.rest) {
        const int fdr = FindNamed(drive, w.image, file, context);
        if (!fdr) return 0;
        fdrs.push_back(fdr);
    }
    return 1;
}

std::vector<std::string> TiNames(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const std::string& n : names)
        out.push_back(Utf8ToCp1252(n));
    return out;
}

// Mounts IMAGE and reads archive NAME of it.
int OpenNamed(const ArchiveWords& w, CVirtualDrive& drive, CArkFile& ark, int& fdr,
              CliContext& context) {
    if (int rc = MountImageArgument(w.args, drive, context)) return rc;
    fdr = FindNamed(drive, w.image, w.name, context);
    if (!fdr) return kExitFailed;
    std::string error;
    if (!OpenArk(drive, fdr, ark, error)) return Report(w.image, error, context);
    return kExitOk;
}

Json MemberJson(const ArkMember& m) {
    Json j = FileJson(m.image.file);
    // A member has no FDR and no clusters of its own.
    j.erase("fdr");
    j.erase("clusters");
    if (!m.damage.empty()) j["damage"] = Cp1252ToUtf8(m.damage);
    return j;
}

int RunList(const ArchiveWords& w, CliContext& context) {
    CVirtualDrive drive;
    CArkFile ark;
    int fdr = 0;
    if (int rc = OpenNamed(w, drive, ark, fdr, context)) return rc;
    if (w.args.Has("json")) {
        Json j;
        const std::string name = drive.GetFileName(fdr);
        j["archive"] = {{"name", Cp1252ToUtf8(TrimmedName(
                                     reinterpret_cast<const uint8_t*>(name.data()), name.size()))},
                        {"compressed", ark.compressed}};
        Json files = Json::array();
        for (const ArkMember& m : ark.members)
            files.push_back(MemberJson(m));
        j["files"] = std::move(files);
        context.out << JsonText(j) << "\n";
    } else {
        context.out << "Archive " << w.name << "  " << (ark.compressed ? "compressed" : "plain")
                    << ", " << ark.members.size()
                    << (ark.members.size() == 1 ? " file\n" : " files\n");
        context.out << "Name        Type    Size  Recs  Last  R/S  P\n";
        for (const ArkMember& m : ark.members) {
            const FileProperties& f = m.image.file;
            char line[80];
            std::snprintf(line, sizeof line, "%-10s  %-6s %5d %5d %5d %4d  %c",
                          Cp1252ToUtf8(ShownName(f)).c_str(),
                          CatalogTypeText(f.status, f.recordLength).c_str(), f.sectors, f.records,
                          f.eofOffset, f.recordsPerSector,
                          (f.status & kStatusProtected) ? 'P' : ' ');
            context.out << line << (m.damage.empty() ? "" : "  damaged") << "\n";
        }
    }
    const std::string damage = ark.FirstDamage();
    return damage.empty() ? kExitOk : Report(w.image, damage, context);
}

int RunExtract(const ArchiveWords& w, CliContext& context) {
    CVirtualDrive source;
    CArkFile ark;
    int fdr = 0;
    if (int rc = OpenNamed(w, source, ark, fdr, context)) return rc;
    const std::string& targetPath = w.rest.at(0);
    CVirtualDrive target;
    auto file = CDiskFile::Open(targetPath, OpenMode::ReadWrite);
    if (!file) target.SetLastError(DiskError::CantOpenPcFile);
    if (!file || !target.MountFile(std::move(file), 0, 0, -1))
        return Report(targetPath, target.ErrorText(), context);
    std::string error;
    const std::vector<std::string> members(w.rest.begin() + 1, w.rest.end());
    if (!ExtractArkMembers(ark, TiNames(members), target, w.args.Has("replace"), error))
        return Report(targetPath, error, context);
    return kExitOk;
}

int RunExport(const ArchiveWords& w, CliContext& context) {
    const int format = FormatOf(w.args.Value("as", "tifiles"));
    if (format < 0) {
        context.err << "tavik-cli archive: --as takes " << FormatChoices() << "\n";
        return kExitUsage;
    }
    CVirtualDrive drive;
    CArkFile ark;
    int fdr = 0;
    if (int rc = OpenNamed(w, drive, ark, fdr, context)) return rc;
    const std::string member = Utf8ToCp1252(w.rest.at(0));
    const int i = ark.Find(member);
    if (i < 0) return Report(w.image, member + ": File not found", context);
    std::string error;
    if (!ExportArkMember(ark.members[static_cast<size_t>(i)], w.rest.at(1), format, kTabStops,
                         error, w.args.Has("crlf") || kPlatformCrLf))
        return Report(w.image, error, context);
    return kExitOk;
}

int RunCreate(const ArchiveWords& w, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountImageAt(w.args, 0, OpenMode::ReadWrite, drive, context)) return rc;
    std::vector<int> fdrs;
    if (!FindAll(drive, w, fdrs, context)) return kExitFailed;
    std::string error;
    if (!CreateArk(drive, Utf8ToCp1252(w.name), drive, fdrs, !w.args.Has("uncompressed"),
                   w.args.Has("replace"), error))
        return Report(w.image, error, context);
    return kExitOk;
}

int RunAdd(const ArchiveWords& w, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountImageAt(w.args, 0, OpenMode::ReadWrite, drive, context)) return rc;
    const int arkFdr = FindNamed(drive, w.image, w.name, context);
    std::vector<int> fdrs;
    if (!arkFdr || !FindAll(drive, w, fdrs, context)) return kExitFailed;
    std::string error;
    if (!AddToArk(drive, arkFdr, drive, fdrs, w.args.Has("replace"), error))
        return Report(w.image, error, context);
    return kExitOk;
}

int RunRemove(const ArchiveWords& w, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = MountImageAt(w.args, 0, OpenMode::ReadWrite, drive, context)) return rc;
    const int arkFdr = FindNamed(drive, w.image, w.name, context);
    if (!arkFdr) return kExitFailed;
    std::string error;
    if (!RemoveFromArk(drive, arkFdr, TiNames(w.rest), error))
        return Report(w.image, error, context);
    return kExitOk;
}

int RunArchive(const CliArgs& args, CliContext& context) {
    static const struct {
        const char* name;
        size_t minWords;  // after IMAGE NAME
        size_t maxWords;
        int (*run)(const ArchiveWords&, CliContext&);
    } kSubcommands[] = {{"list", 0, 0, RunList},     {"extract", 1, 1000, RunExtract},
                        {"export", 2, 2, RunExport}, {"create", 1, 1000, RunCreate},
                        {"add", 1, 1000, RunAdd},    {"remove", 1, 1000, RunRemove}};
    const std::string& sub = args.positional.at(0);
    for (const auto& s : kSubcommands) {
        if (sub != s.name) continue;
        const size_t words = args.positional.size() - 3;
        if (words < s.minWords || words > s.maxWords) break;
        return s.run(WordsOf(args), context);
    }
    context.err << "usage: tavik-cli archive " << ArchiveUsage() << "\n";
    return kExitUsage;
}

}  // namespace

std::vector<CliCommand> ArchiveCommands() {
    std::vector<CliOption> options = ImageOptions();
    options.push_back({"replace", false, "extract, create, add: replace files of the same name"});
    options.push_back({"uncompressed", false, "create: a plain archive (DIS/FIX 128)"});
    options.push_back({"as", true, std::string("export: ") + FormatChoices()});
    options.push_back({"crlf", false, "export: text lines end in CR LF"});
    return {{"archive", ArchiveUsage(),
             "Archiver files: lists, extracts (onto a disk image) or exports (to a PC file) the "
             "files of archive NAME of IMAGE; creates one from files of IMAGE, adds or removes "
             "files",
             3, 1000, options, RunArchive}};
}

}  // namespace tavik::cli
