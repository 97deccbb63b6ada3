// Commands that move TI files between disk images and PC files: export, import, classify,
// hexdump and cat (a display file as text on standard output).
#include <filesystem>
#include <memory>

#include "base/Cp1252.h"
#include "base/PcFile.h"
#include "base/UserPrompt.h"
#include "cli/CatalogJson.h"
#include "cli/CliCommand.h"
#include "cli/ImageArguments.h"
#include "disk/VirtualDrive.h"
#include "exchange/ClassifyPcFile.h"
#include "exchange/ExportCommand.h"
#include "exchange/FileTransfer.h"
#include "exchange/ImportCommand.h"
#include "exchange/PcFileKind.h"
#include "exchange/PcName.h"

namespace tavik::cli {

int FormatOf(const std::string& text) {
    static const struct {
        const char* name;
        int format;
    } kFormats[] = {{"none", NoHeader},
                    {"fiad", FiadHeader},
                    {"tifiles", TifilesHeader},
                    {"text", Text},
                    {"text-tabs", TextWithTabs},
                    {"tifiles-packed", TifilesPacked},
                    {"fiad-packed", FiadPacked},
                    // The names of the whole-sector forms before they became the default.
                    {"tifiles-sectors", TifilesHeader},
                    {"fiad-sectors", FiadHeader}};
    for (const auto& f : kFormats)
        if (text == f.name) return f.format;
    return -1;
}

const char* FormatChoices() {
    return "none, fiad, tifiles (default), tifiles-packed, fiad-packed, text or text-tabs";
}

namespace {

const std::vector<uint16_t> kTabStops = {7, 12, 25};

// Messages go to standard error; questions are answered Yes (nothing in these commands asks).
class CErrorStreamPrompt : public CUserPrompt {
public:
    explicit CErrorStreamPrompt(std::ostream& err) : m_err(err) {}
    void Message(const std::string& text, PromptIcon) override {
        m_err << Cp1252ToUtf8(text) << "\n";
        ++m_messages;
    }
    PromptAnswer Ask(const std::string&, PromptButtons) override { return PromptAnswer::Yes; }
    bool KeyHeld(PolledKey) override { return false; }
    int Messages() const { return m_messages; }

private:
    std::ostream& m_err;
    int m_messages = 0;
};

// The file-name dialog answered from the command line: the proposal, changed by the options.
class COptionFileNames : public CFileNameAnswers {
public:
    explicit COptionFileNames(const CliArgs& args) : m_args(args) {}
    bool Confirm(int, FileNameDialogState& state) override {
        if (m_args.Has("name")) state.name = Utf8ToCp1252(m_args.Value("name"));
        if (m_args.Has("type")) state.type = m_args.Value("type");
        if (m_args.Has("text")) state.convertText = true;
        state.convertTabs = m_args.Has("tabs");
        state.truncate = m_args.Has("truncate");
        return true;
    }

private:
    const CliArgs& m_args;
};

int Mount(const CliArgs& args, CVirtualDrive& drive, CliContext& context, bool writable) {
    return MountImageAt(args, 0, writable ? OpenMode::ReadWrite : OpenMode::ReadOnly, drive,
                        context);
}

// The FDR of the named file, or 0 after printing why there is none.
int FindNamed(CVirtualDrive& drive, const CliArgs& args, CliContext& context) {
    const int fdr = drive.FindFile(Utf8ToCp1252(args.positional.at(1)));
    if (fdr > 0) return fdr;
    context.err << args.positional.at(0) << ": "
                << (fdr == 0 ? std::string("File not found") : drive.ErrorText()) << "\n";
    return 0;
}

int RunExport(const CliArgs& args, CliContext& context) {
    const int format = FormatOf(args.Value("as", "tifiles"));
    if (format < 0) {
        context.err << "tavik-cli export: --as takes " << FormatChoices() << "\n";
        return kExitUsage;
    }
    CVirtualDrive drive;
    if (int rc = Mount(args, drive, context, false)) return rc;
    const int fdr = FindNamed(drive, args, context);
    if (!fdr) return kExitFailed;
    // Into a folder, the file takes the PC name of its TI name.
    std::string target = args.positional.at(2);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        target = (std::filesystem::path(target) / PcNameOf(drive.GetFileName(fdr))).string();
    if (!ExportInFormat(drive, fdr, target, format, kTabStops, args.Has("crlf") || kPlatformCrLf)) {
        context.err << target << ": " << drive.ErrorText() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

int RunImport(const CliArgs& args, CliContext& context) {
    if (args.Has("name") && args.positional.size() > 2) {
        context.err << "tavik-cli import: --name needs a single PC file\n";
        return kExitUsage;
    }
    CVirtualDrive drive;
    if (int rc = Mount(args, drive, context, true)) return rc;
    CErrorStreamPrompt prompt(context.err);
    COptionFileNames names(args);
    ImportOptions options;
    options.tabStops = kTabStops;
    CImportCommand command(drive, prompt, names, options);
    const std::vector<std::string> files(args.positional.begin() + 1, args.positional.end());
    const int imported = command.Run(files);
    // Header fields the data overruled: the file is imported as the data say.
    for (const std::string& note : command.Notes())
        context.err << Cp1252ToUtf8(note) << "\n";
    return imported == static_cast<int>(files.size()) ? kExitOk : kExitFailed;
}

int RunClassify(const CliArgs& args, CliContext& context) {
    Json list = Json::array();
    int code = kExitOk;
    for (const std::string& path : args.positional) {
        auto file = CDiskFile::Open(path, OpenMode::ReadOnly);
        if (!file) {
            context.err << path << ": Cannot open PC file\n";
            code = kExitFailed;
            continue;
        }
        const PcFileClass c = ClassifyPcFile(*file, path);
        std::string kind = FormatText(c.kind);
        if (c.kind == PlainFile) kind = "Other";
        std::string type = ShortTypeText(static_cast<uint8_t>(c.flags), c.recordLength);
        if (IsDiskKind(c.kind))
            type = std::string((c.flags >> 8) < 2 ? "SS " : "DS ") +
                   ((c.flags & 0xFF) < 2 ? "SD" : "DD");
        if (args.Has("json")) {
            Json j;
            j["path"] = path;
            j["kind"] = kind;
            j["tiName"] = Cp1252ToUtf8(c.tiName);
            j["type"] = type;
            j["sectors"] = c.sectors;
            list.push_back(j);
        } else {
            context.out << path << "\t" << kind << "\t" << Cp1252ToUtf8(c.tiName) << "\t" << type
                        << "\t" << (c.sectors >= 0 ? std::to_string(c.sectors) : "") << "\n";
        }
    }
    if (args.Has("json")) context.out << JsonText(list) << "\n";
    return code;
}

int RunHexdump(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = Mount(args, drive, context, false)) return rc;
    const int fdr = FindNamed(drive, args, context);
    if (!fdr) return kExitFailed;
    std::string text;
    const bool ok = HexDumpFile(drive, fdr, text) != 0;
    context.out << text;
    if (ok) return kExitOk;
    context.err << args.positional.at(0) << ": " << drive.ErrorText() << "\n";
    return kExitFailed;
}

int RunCat(const CliArgs& args, CliContext& context) {
    CVirtualDrive drive;
    if (int rc = Mount(args, drive, context, false)) return rc;
    const int fdr = FindNamed(drive, args, context);
    if (!fdr) return kExitFailed;
    drive.SetConversion(args.Has("tabs") ? 1 : 0, -1, -1, -1, -1);
    ConversionSettings settings = ConversionOf(drive, kTabStops);
    settings.crLf = args.Has("crlf") || kPlatformCrLf;
    CMemFile text;
    const bool ok = ExportTextTo(drive, fdr, text, settings) != 0;
    context.out.write(reinterpret_cast<const char*>(text.Bytes().data()),
                      static_cast<std::streamsize>(text.Bytes().size()));
    if (ok) return kExitOk;
    context.err << args.positional.at(0) << ": " << drive.ErrorText() << "\n";
    return kExitFailed;
}

std::vector<CliOption> WithImageOptions(std::vector<CliOption> options) {
    for (const CliOption& o : ImageOptions())
        if (o.name != "json") options.push_back(o);
    return options;
}

}  // namespace

std::vector<CliCommand> ExchangeCommands() {
    return {
        {"export", "IMAGE NAME PCFILE",
         "writes a TI file to a PC file (in a folder: named after it)", 3, 3,
         WithImageOptions(
             {{"as", true, FormatChoices()}, {"crlf", false, "text lines end in CR LF"}}),
         RunExport},
        {"import", "IMAGE PCFILE...", "imports PC files as TI files onto the image", 2, 1000,
         WithImageOptions({{"name", true, "TI file name (one PC file only)"},
                           {"type", true, "type: Prog, DF80, DV80, IF%d, IV%d, R-prefixed for raw"},
                           {"text", false, "convert a text file"},
                           {"tabs", false, "expand tabs of a text file"},
                           {"truncate", false, "cut overlong text lines"}}),
         RunImport},
        {"classify",
         "PCFILE...",
         "tells what PC files hold (kind, TI name, type, sectors)",
         1,
         1000,
         {{"json", false, "machine-readable output"}},
         RunClassify},
        {"hexdump", "IMAGE NAME", "a TI file's data sectors in hexadecimal", 2, 2,
         WithImageOptions({}), RunHexdump},
        {"cat", "IMAGE NAME", "a display file as text", 2, 2,
         WithImageOptions({{"tabs", false, "create tabs"}, {"crlf", false, "lines end in CR LF"}}),
         RunCat},
    };
}

}  // namespace tavik::cli
