#include "app/RemoteConnection.h"

#include "app/RemoteTree.h"
#include "remote/DriveScan.h"
#include "remote/EmulatorDriveSource.h"
#include "remote/RemoteDriveSource.h"
#include "remote/RemoteTi.h"

namespace tavik {

struct CRemoteConnection::Parts {
    Parts(CUserPrompt& prompt_, CEmulatorChannel& channel)
        : prompt(prompt_), ti(prompt_), remote(ti), emulator(channel) {
        ti.Link().SetEmulatorChannel(&channel);
    }
    // Every DSR call leaves the subroutine's context as the hook's "interrupted program"; the
    // program the hook really interrupted is kept from before the first call, for unhooking.
    void NoteProgram() {
        if (programKnown) return;
        programWp = ti.ProgramWp();
        programPc = ti.ProgramPc();
        programSt = ti.ProgramSt();
        programKnown = true;
    }

    CUserPrompt& prompt;
    CRemoteTi ti;
    CRemoteDriveSource remote;
    CEmulatorDriveSource emulator;
    bool programKnown = false;
    uint16_t programWp = 0;
    uint16_t programPc = 0;
    uint16_t programSt = 0;
};

namespace {

LinkSettings LinkSettingsOf(const RemoteOptionValues& o) {
    LinkSettings s;
    s.portName = o.portName;
    s.contact = o.contact == ContactCable ? ContactCable : ContactEmulator;
    s.serial = o.serial;
    s.baudRate = o.baudRate;
    s.outputLine = o.outputLine;
    s.inputLine = o.inputLine;
    s.secondInputLine = o.secondInputLine;
    s.parity = o.parity;
    s.stopBits = o.stopBits;
    s.pause = o.pause;
    s.timeout = o.timeout;
    return s;
}

}  // namespace

CRemoteConnection::CRemoteConnection(CUserPrompt& prompt, CEmulatorChannel& channel)
    : m(std::make_unique<Parts>(prompt, channel)) {}

CRemoteConnection::~CRemoteConnection() = default;

CRemoteTi& CRemoteConnection::Ti() {
    return m->ti;
}
CRemoteDriveSource& CRemoteConnection::RemoteSource() {
    return m->remote;
}
CEmulatorDriveSource& CRemoteConnection::EmulatorSource() {
    return m->emulator;
}

void CRemoteConnection::ApplySettings(const RemoteOptionValues& options) {
    CLinkPort& link = m->ti.Link();
    const bool wasOpen = link.IsOpen();
    link.SetSettings(LinkSettingsOf(options));
    m->ti.SetXopWord(options.breakpointXop);
    if (wasOpen) link.Open(false);
}

bool CRemoteConnection::Connect(const RemoteOptionValues& options) {
    CLinkPort& link = m->ti.Link();
    link.SetSettings(LinkSettingsOf(options));
    m->ti.SetXopWord(options.breakpointXop);
    return link.Open(true);
}

bool CRemoteConnection::ScanRemote(CTreeModel& tree, const RemoteOptionValues& options) {
    if (!Connect(options)) return false;
    std::vector<ScannedDrive> drives;
    ScanRemoteDrives(m->remote, options.cacheLevel, options.saveVdp, drives, m->prompt);
    // A scan that broke off part of the way still offers the drives it had mounted.
    if (drives.empty()) return false;
    m->NoteProgram();  // the scan only read memory: the hook state is still the program's
    for (ScannedDrive& d : drives)
        d.drive->SetPrompt(&m->prompt);
    ReplaceRootDrives(tree, tree.TiRootItem(), drives, options.showDevices);
    return true;
}

bool CRemoteConnection::Unhook(CTreeModel& tree, const RemoteOptionValues& options) {
    // The resume address and the breakpoint's place come from the hook state, which only a
    // fresh "Where" makes sure of (there may have been no scan in this run).
    bool ok = Connect(options) && m->ti.Where();
    if (ok && m->programKnown) ok = m->ti.SetReturn(m->programWp, m->programPc, m->programSt);
    if (!ok) {
        m->prompt.Message("Transmission error", PromptIcon::Error);
        return false;
    }
    if (!m->ti.Unhook()) return false;
    m->programKnown = false;
    ClearRootDrives(tree, tree.TiRootItem());
    return true;
}

bool CRemoteConnection::ScanEmulator(CTreeModel& tree, const RemoteOptionValues& options) {
    std::vector<ScannedDrive> drives;
    std::string floppies;
    int error = 0;
    if (!ScanEmulatorDrives(m->emulator, drives, floppies, error, m->prompt)) {
        if (error != 0) {
            CVirtualDrive failed;
            failed.SetLastError(error);
            m->prompt.Message(failed.ErrorText(), PromptIcon::Error);
        }
        return false;
    }
    for (ScannedDrive& d : drives)
        d.drive->SetPrompt(&m->prompt);
    ReplaceRootDrives(tree, tree.EmulatorRootItem(), drives, options.showDevices);
    AddFloppies(tree, tree.EmulatorRootItem(), floppies);
    return true;
}

UploadOutcome CRemoteConnection::UploadHook(const std::string& path,
                                            const RemoteOptionValues& options) {
    CLinkPort& link = m->ti.Link();
    link.SetSettings(LinkSettingsOf(options));
    m->ti.SetXopWord(options.breakpointXop);
    link.Close();  // opened by the upload itself once the file is found good
    const HookUploadResult result = m->ti.UploadHook(path);
    if (result == HookUploadResult::Failed) return UploadOutcome::Failed;
    // A new hook has interrupted a new program.
    m->programKnown = false;
    m->NoteProgram();
    return result == HookUploadResult::ScanRequested ? UploadOutcome::ScanRequested
                                                     : UploadOutcome::Uploaded;
}

}  // namespace tavik
