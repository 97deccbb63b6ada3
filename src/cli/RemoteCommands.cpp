// tavik-cli remote ...: the drives of a TI-99/4A on a cable (or behind an emulator's emulated
// port), reached through the hook, and the emulator's own drives.
//   remote scan | dir DSKn | read-disk DSKn OUT.DSK | write-disk IMAGE DSKn | upload-hook FILE
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

#include "base/CInteger.h"
#include "base/Cp1252.h"
#include "cli/CliCommand.h"
#include "disk/Catalog.h"
#include "disk/VirtualDrive.h"
#include "remote/DriveScan.h"
#include "remote/EmulatorDriveSource.h"
#include "remote/LocalSocketChannel.h"
#include "remote/RemoteDriveSource.h"
#include "remote/RemoteTi.h"

namespace tavik::cli {

namespace {

// Messages go to the error stream; nobody can hold Escape, and questions get the answer the
// command line chose.
class CCliPrompt : public CUserPrompt {
public:
    CCliPrompt(std::ostream& err, PromptAnswer answer) : m_err(err), m_answer(answer) {}
    void Message(const std::string& text, PromptIcon) override { m_err << text << "\n"; }
    PromptAnswer Ask(const std::string&, PromptButtons) override { return m_answer; }
    bool KeyHeld(PolledKey) override { return false; }

private:
    std::ostream& m_err;
    PromptAnswer m_answer;
};

// Everything one remote command needs, built from the options.
struct CRemoteSession {
    CRemoteSession(const CliArgs& args, CliContext& context)
        : prompt(context.err, args.Has("scan") ? PromptAnswer::Yes : PromptAnswer::No),
          channel(args.Value("channel-folder")),
          ti(prompt),
          remote(ti),
          emulator(channel),
          emulatorDrives(args.Has("emulator-drives")) {}

    CCliPrompt prompt;
    CLocalSocketChannel channel;
    CRemoteTi ti;
    CRemoteDriveSource remote;
    CEmulatorDriveSource emulator;
    bool emulatorDrives;
    int cacheLevel = CacheWholeDisk;
    bool saveVdp = true;
};

bool Number(const CliArgs& args, const char* name, int& value, CliContext& context) {
    if (!args.values.count(name)) return true;
    auto parsed = ReadCInteger(args.Value(name));
    if (!parsed) {
        context.err << "tavik-cli remote: --" << name << " needs a number\n";
        return false;
    }
    value = static_cast<int>(*parsed);
    return true;
}

// Link settings from the options; false (with a message) when one cannot be read.
bool Configure(const CliArgs& args, CRemoteSession& session, CliContext& context) {
    LinkSettings s;
    const std::string mode = args.Value("mode", "serial");
    if (mode == "serial") {
        s.contact = ContactCable;
        s.serial = true;
        s.portName = "COM1";
    } else if (mode == "parallel") {
        s.contact = ContactCable;
        s.serial = false;
        s.portName = "LPT1 single port";
    } else if (mode == "emulator") {
        s.contact = ContactEmulator;
        s.portName = "RS232/1";
    } else {
        context.err << "tavik-cli remote: --mode is serial, parallel or emulator\n";
        return false;
    }
    s.portName = args.Value("port", s.portName);
    if (s.contact == ContactEmulator) s.serial = s.portName.find("PIO") == std::string::npos;
    int callLimit = 30000;
    int option = 0;
    if (!Number(args, "baud", s.baudRate, context) ||
        !Number(args, "timeout", s.timeout, context) ||
        !Number(args, "handshake-in", s.outputLine, context) ||
        !Number(args, "handshake-out", s.inputLine, context) ||
        !Number(args, "cts", s.secondInputLine, context) ||
        !Number(args, "parity", s.parity, context) ||
        !Number(args, "stop-bits", s.stopBits, context) ||
        !Number(args, "buffer", session.cacheLevel, context) ||
        !Number(args, "call-timeout", callLimit, context) ||
        !Number(args, "format-option", option, context))
        return false;
    s.pause = args.Has("pause");
    session.saveVdp = !args.Has("no-save-vdp");
    session.ti.Link().SetSettings(s);
    session.ti.Link().SetEmulatorChannel(&session.channel);
    session.ti.SetCallWaitLimit(callLimit);
    session.remote.SetFormatOption(option);
    if (session.emulatorDrives) {
        if (!session.channel.Listen()) {
            context.err << "tavik-cli remote: another program holds \"" << kSystemListeningTitle
                        << "\"\n";
            return false;
        }
        return true;
    }
    return session.ti.Link().Open(true);
}

// "DSK1" (or "1") names drive character '1'.
bool DriveCharacter(const std::string& text, char& character, CliContext& context) {
    std::string rest = text;
    if (rest.size() > 3 && (rest.compare(0, 3, "DSK") == 0 || rest.compare(0, 3, "dsk") == 0))
        rest = rest.substr(3);
    if (rest.size() != 1 || static_cast<unsigned char>(rest[0]) < 0x30) {
        context.err << "tavik-cli remote: " << text << " is no drive name (DSK1 .. DSK9)\n";
        return false;
    }
    character = rest[0];
    return true;
}

std::unique_ptr<CVirtualDrive> MountDrive(CRemoteSession& session, char character,
                                          CliContext& context) {
    auto drive = std::make_unique<CVirtualDrive>();
    int kind = 0;
    if (session.emulatorDrives) {
        kind = drive->MountEmulator(static_cast<uint8_t>(character), &session.emulator, "", 0);
    } else {
        drive->m_remoteSaveVdp = session.saveVdp;
        kind = drive->MountRemote(static_cast<uint8_t>(character - 0x30), &session.remote);
        if (kind) drive->SetConversion(-1, -1, -1, -1, session.cacheLevel);
    }
    if (!kind) {
        context.err << "DSK" << character << ": " << drive->ErrorText() << "\n";
        return nullptr;
    }
    return drive;
}

int Scan(CRemoteSession& session, CliContext& context) {
    std::vector<ScannedDrive> drives;
    if (session.emulatorDrives) {
        std::string floppies;
        int error = 0;
        if (!ScanEmulatorDrives(session.emulator, drives, floppies, error, session.prompt)) {
            if (error) context.err << "Problem with Zantu\n";
            return kExitFailed;
        }
        for (const ScannedDrive& d : drives)
            context.out << Cp1252ToUtf8(d.label) << "\n";
        if (!floppies.empty()) context.out << "Floppies\n" << Cp1252ToUtf8(floppies) << "\n";
        return kExitOk;
    }
    if (!ScanRemoteDrives(session.remote, session.cacheLevel, session.saveVdp, drives,
                          session.prompt))
        return kExitFailed;
    for (const ScannedDrive& d : drives) {
        std::string name = d.drive->GetDiskName();
        context.out << d.device << "  " << d.label << "  " << Cp1252ToUtf8(name) << "\n";
    }
    return kExitOk;
}

int Dir(CRemoteSession& session, char character, CliContext& context) {
    auto drive = MountDrive(session, character, context);
    if (!drive) return kExitFailed;
    Catalog catalog;
    const bool ok = ReadCatalog(*drive, catalog) != 0;
    const DiskProperties& d = catalog.disk;
    context.out << "Disk " << Cp1252ToUtf8(TrimmedName(d.name.data(), d.name.size())) << "  "
                << d.totalSectors << " sectors, " << d.freeSectors << " free, " << d.files
                << (d.files == 1 ? " file\n" : " files\n");
    for (const FileProperties& f : catalog.files) {
        char line[96];
        std::snprintf(line, sizeof line, "%-10s %5d  %-6s %5d\n",
                      Cp1252ToUtf8(TrimmedName(f.name.data(), f.name.size())).c_str(), f.fdrSector,
                      CatalogTypeText(f.status, f.recordLength).c_str(), f.sectors);
        context.out << line;
    }
    if (!ok) {
        context.err << "DSK" << character << ": " << drive->ErrorText() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

int ReadDisk(CRemoteSession& session, char character, const std::string& out, CliContext& context) {
    auto drive = MountDrive(session, character, context);
    if (!drive) return kExitFailed;
    if (!drive->ReadVib(true)) {
        context.err << "DSK" << character << ": " << drive->ErrorText() << "\n";
        return kExitFailed;
    }
    const uint8_t* vib = drive->VibBuffer();
    CVirtualDrive target;
    if (!target.CreateImage(out, vib[18] == 2, vib[19] == 2, false)) {
        context.err << out << ": " << target.ErrorText() << "\n";
        return kExitFailed;
    }
    const bool ok = drive->CopySectors(target, false) != 0;
    target.Close();
    if (!ok) {
        // No image made of part of a disk is left behind.
        std::error_code ec;
        std::filesystem::remove(out, ec);
        context.err << "DSK" << character << ": " << drive->ErrorText() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

int WriteDisk(CRemoteSession& session, const std::string& image, char character,
              CliContext& context) {
    CVirtualDrive source;
    if (!source.OpenImage(image)) {
        context.err << image << ": " << source.ErrorText() << "\n";
        return kExitFailed;
    }
    auto drive = MountDrive(session, character, context);
    if (!drive) return kExitFailed;
    if (!source.CopySectors(*drive, false)) {
        context.err << image << ": " << source.ErrorText() << "\n";
        return kExitFailed;
    }
    return kExitOk;
}

int RunRemote(const CliArgs& args, CliContext& context) {
    const std::string& what = args.positional[0];
    const size_t count = args.positional.size();
    auto usage = [&] {
        context.err << "usage: tavik-cli remote scan | dir DSKn | read-disk DSKn OUT.DSK | "
                       "write-disk IMAGE DSKn | upload-hook FILE\n";
        return kExitUsage;
    };
    const bool known = (what == "scan" && count == 1) || (what == "dir" && count == 2) ||
                       (what == "read-disk" && count == 3) ||
                       (what == "write-disk" && count == 3) ||
                       (what == "upload-hook" && count == 2);
    if (!known) return usage();
    char character = 0;
    if ((what == "dir" || what == "read-disk") &&
        !DriveCharacter(args.positional[1], character, context))
        return kExitUsage;
    if (what == "write-disk" && !DriveCharacter(args.positional[2], character, context))
        return kExitUsage;
    if (what == "upload-hook" && args.Has("emulator-drives")) return usage();

    CRemoteSession session(args, context);
    if (!Configure(args, session, context)) return kExitFailed;
    if (what == "scan") return Scan(session, context);
    if (what == "dir") return Dir(session, character, context);
    if (what == "read-disk") return ReadDisk(session, character, args.positional[2], context);
    if (what == "write-disk") return WriteDisk(session, args.positional[1], character, context);
    switch (session.ti.UploadHook(args.positional[1])) {
        case HookUploadResult::Failed:
            return kExitFailed;
        case HookUploadResult::Uploaded:
            return kExitOk;
        case HookUploadResult::ScanRequested:
            return Scan(session, context);
    }
    return kExitFailed;
}

}  // namespace

std::vector<CliCommand> RemoteCommands() {
    CliCommand remote;
    remote.name = "remote";
    remote.arguments =
        "scan | dir DSKn | read-disk DSKn OUT.DSK | write-disk IMAGE DSKn | "
        "upload-hook FILE";
    remote.summary = "the drives of a TI-99/4A on a cable (through the hook) or of the emulator";
    remote.minArguments = 1;
    remote.maxArguments = 3;
    remote.options = {
        {"mode", true, "serial (default), parallel or emulator (its emulated port)"},
        {"port", true,
         "COM1..COM4 or a device path; an LPT name, a hex base or /dev/parportN; "
         "RS232/1..4 or PIO/1..2"},
        {"baud", true, "38400, 19200, 9600 (default), 4800, 2400, 1200, 600, 300 or 110"},
        {"timeout", true, "polling rounds a byte may wait, about ms on a serial port (4096)"},
        {"handshake-in", true,
         "output line: 0 Select*, 1 Init, 2 AutoLF*, 3 Strobe* / serial "
         "0 none, 1 DTR, 2 RTS"},
        {"handshake-out", true,
         "input line: 0 Busy*, 1 Ack, 2 PaperOut, 3 SelectIn, 4 Error / "
         "serial 0 none, 1 CTS, 2 DCD, 3 DSR"},
        {"cts", true, "second serial input line: 0 none, 1 CTS, 2 DCD, 3 DSR"},
        {"parity", true, "0 none, 1 odd, 2 even"},
        {"stop-bits", true, "0 one, 1 one and a half, 2 two"},
        {"pause", false, "pause before each byte (serial)"},
        {"buffer", true, "cache level of the drive: 0, 1 or 2 (whole disk, default)"},
        {"no-save-vdp", false, "do not save the VDP memory used as sector buffer"},
        {"call-timeout", true, "ms to wait for a DSR call to report back (30000; 0: forever)"},
        {"format-option", true, "option nibble given to the format subroutine"},
        {"scan", false, "after upload-hook: scan for drives"},
        {"emulator-drives", false, "use the emulator's own drives instead of the hook"},
        {"channel-folder", true, "folder of the emulator's sockets (default: runtime folder)"},
    };
    remote.run = RunRemote;
    return {remote};
}

}  // namespace tavik::cli
