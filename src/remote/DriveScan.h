// The drive tree's scans: every DSKx of a cabled TI-99/4A, and every drive of the emulator, each
// mounted as a drive object with the label its tree node shows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/UserPrompt.h"
#include "disk/VirtualDrive.h"
#include "remote/EmulatorDriveSource.h"
#include "remote/RemoteDriveSource.h"

namespace tavik {

struct ScannedDrive {
    std::unique_ptr<CVirtualDrive> drive;
    std::string label;   // "DSK1", or "DSK1 [DISKNAME]" for an emulator drive
    std::string device;  // the device node it sits under ("CRU >1100"); empty for the emulator
    char character = 0;
};

// "CRU >%04X" for a CRU base, else "Ramdisk", "Dravel card", "Varnel card", "Device %d".
std::string RemoteDeviceName(int device);

// Mounts every DSKx the TI's cards offer, with the given cache level and VDP-save flag.
// Nothing found: "No DSKx DSR found".
bool ScanRemoteDrives(CRemoteDriveSource& source, int cacheLevel, bool saveVdp,
                      std::vector<ScannedDrive>& drives, CUserPrompt& prompt);

// Mounts every drive of the emulator and fetches its list of floppies. A missing emulator shows
// "Zantu not found"; a failed drive list leaves lastError at -21.
bool ScanEmulatorDrives(CEmulatorDriveSource& source, std::vector<ScannedDrive>& drives,
                        std::string& floppies, int& lastError, CUserPrompt& prompt);

}  // namespace tavik
