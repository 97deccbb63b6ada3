// The program's one connection to a cabled TI-99/4A and to the emulator: the hook's command
// layer with its link, the sector source of every remote drive and that of every emulator
// drive, kept for the whole run (the drives in the tree point at them). The link takes the
// remote options at each connection. The drive tree's scans, "Unhook TI-99/4A" and the hook
// upload run here on the tree model; messages go to the prompt.
#pragma once

#include <memory>
#include <string>

#include "app/RemoteOptions.h"
#include "app/TreeModel.h"
#include "base/UserPrompt.h"

namespace tavik {

class CEmulatorChannel;
class CEmulatorDriveSource;
class CRemoteDriveSource;
class CRemoteTi;

enum class UploadOutcome { Failed, Uploaded, ScanRequested };

class CRemoteConnection {
public:
    // channel: the program's end of the emulator channel (its listening window); kept.
    CRemoteConnection(CUserPrompt& prompt, CEmulatorChannel& channel);
    ~CRemoteConnection();
    CRemoteConnection(const CRemoteConnection&) = delete;
    CRemoteConnection& operator=(const CRemoteConnection&) = delete;

    // The link takes these settings; a link that is open is opened again with them.
    void ApplySettings(const RemoteOptionValues& options);

    // Every DSKx of the cabled TI-99/4A replaces the drives under the TI-99/4A root. Nothing
    // found ("No DSKx DSR found") or a link that cannot be opened leaves the tree as it was.
    bool ScanRemote(CTreeModel& tree, const RemoteOptionValues& options);
    // Gives the TI back to its program; the remote drives leave the tree. A failure shows
    // "Transmission error" and leaves the tree as it was.
    bool Unhook(CTreeModel& tree, const RemoteOptionValues& options);
    // Every drive of the emulator and its list of floppies replace what the emulator root
    // showed. A missing emulator shows "Zantu not found"; a failed drive list the drive error
    // text of -21.
    bool ScanEmulator(CTreeModel& tree, const RemoteOptionValues& options);
    // Sends a hook file to the TI's loader; the core asks whether to scan afterwards.
    UploadOutcome UploadHook(const std::string& path, const RemoteOptionValues& options);

    CRemoteTi& Ti();
    CRemoteDriveSource& RemoteSource();
    CEmulatorDriveSource& EmulatorSource();

private:
    bool Connect(const RemoteOptionValues& options);

    struct Parts;
    std::unique_ptr<Parts> m;
};

}  // namespace tavik
