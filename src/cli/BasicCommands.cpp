// The "basic" command: the listing of a TI BASIC or Extended BASIC program (a file on a disk
// image, or a PC file with or without a TIFILES or FIAD header), and with --create a listing
// turned into a program file on an image.
#include "base/Cp1252.h"
#include "base/PcFile.h"
#include "cli/CliCommand.h"
#include "cli/ImageArguments.h"
#include "disk/VirtualDrive.h"
#include "exchange/basic/BasicFile.h"
#include "exchange/basic/BasicTokenizer.h"

namespace tavik::cli {

namespace {

using basic::BasicForm;
using basic::BasicListing;

int PrintListing(const BasicListing& listing, const std::string& label, CliContext& context) {
    context.out << Cp1252ToUtf8(listing.text);
    if (listing.isProtected) context.err << label << ": protected program\n";
    if (listing.Complete()) return kExitOk;
    context.err << label << ": " << listing.problem
                << (listing.lines ? " (listing stopped there)" : "") << "\n";
    return kExitFailed;
}

int RunList(const CliArgs& args, CliContext& context) {
    const std::string& first = args.positional.at(0);
    BasicListing listing;
    if (args.positional.size() == 1) {
        std::string error;
        if (!basic::ListBasicPcFile(first, listing, error)) {
            context.err << first << ": " << error << "\n";
            return kExitFailed;
        }
        return PrintListing(listing, first, context);
    }
    CVirtualDrive drive;
    if (int rc = MountImageArgument(args, drive, context)) return rc;
    const std::string& name = args.positional.at(1);
    const int fdr = drive.FindFile(Utf8ToCp1252(name));
    if (fdr <= 0 || !basic::ListBasicFile(drive, fdr, listing)) {
        context.err << first << ": "
                    << (fdr == 0 ? std::string("File not found") : drive.ErrorText()) << "\n";
        return kExitFailed;
    }
    return PrintListing(listing, first + ": " + name, context);
}

int RunCreate(const CliArgs& args, CliContext& context) {
    if (args.positional.size() != 3) {
        context.err << "usage: tavik-cli basic --create LISTING IMAGE NAME [--long|--merge] "
                       "[--protect]\n";
        return kExitUsage;
    }
    if (args.Has("long") && args.Has("merge")) {
        context.err << "tavik-cli basic: --long and --merge exclude each other\n";
        return kExitUsage;
    }
    if (args.Has("protect") && args.Has("merge")) {
        context.err << "tavik-cli basic: a program in the merge form cannot be protected\n";
        return kExitUsage;
    }
    const std::string& listingPath = args.positional[0];
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(listingPath, bytes)) {
        context.err << listingPath << ": Cannot open PC file\n";
        return kExitFailed;
    }
    std::vector<basic::BasicLine> lines;
    std::string error;
    const std::string text = Utf8ToCp1252(std::string(bytes.begin(), bytes.end()));
    if (!basic::TokenizeListing(text, lines, error)) {
        context.err << listingPath << ": " << error << "\n";
        return kExitFailed;
    }
    const BasicForm form = args.Has("long")    ? BasicForm::Long
                           : args.Has("merge") ? BasicForm::Merge
                                               : BasicForm::Program;
    CVirtualDrive drive;
    if (int rc = MountImageAt(args, 1, OpenMode::ReadWrite, drive, context)) return rc;
    const std::string& image = args.positional[1];
    if (!basic::CreateBasicFile(drive, Utf8ToCp1252(args.positional[2]), lines, form,
                                args.Has("protect"), error)) {
        context.err << image << ": " << (error.empty() ? drive.ErrorText() : error) << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

int RunBasic(const CliArgs& args, CliContext& context) {
    if (args.Has("create")) return RunCreate(args, context);
    if (args.Has("long") || args.Has("merge") || args.Has("protect")) {
        context.err << "tavik-cli basic: --long, --merge and --protect go with --create\n";
        return kExitUsage;
    }
    if (args.positional.size() > 2) {
        context.err << "usage: tavik-cli basic IMAGE NAME | PCFILE\n";
        return kExitUsage;
    }
    return RunList(args, context);
}

}  // namespace

std::vector<CliCommand> BasicCommands() {
    std::vector<CliOption> options = {
        {"create", false, "tokenise the listing LISTING into the program NAME on IMAGE"},
        {"long", false, "with --create: the long form (INT/VAR 254) instead of PROGRAM"},
        {"merge", false, "with --create: the merge form (DIS/VAR 163) instead of PROGRAM"},
        {"protect", false, "with --create: a protected program"},
    };
    for (const CliOption& o : ImageOptions())
        if (o.name != "json") options.push_back(o);
    return {{"basic", "IMAGE NAME | PCFILE | --create LISTING IMAGE NAME",
             "lists a TI BASIC or Extended BASIC program (PROGRAM, INT/VAR 254 or DIS/VAR 163), "
             "or makes one from a listing",
             1, 3, std::move(options), RunBasic}};
}

}  // namespace tavik::cli
