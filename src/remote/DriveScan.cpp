#include "remote/DriveScan.h"

#include <cstdio>

namespace tavik {

std::string RemoteDeviceName(int device) {
    char text[32];
    switch (device) {
        case 1:
            return "Ramdisk";
        case 2:
            return "Dravel card";
        case 3:
            return "Varnel card";
        default:
            if (device >= 0x1000) {
                std::snprintf(text, sizeof text, "CRU >%04X", device);
            } else {
                std::snprintf(text, sizeof text, "Device %d", device);
            }
            return text;
    }
}

bool ScanRemoteDrives(CRemoteDriveSource& source, int cacheLevel, bool saveVdp,
                      std::vector<ScannedDrive>& drives, CUserPrompt& prompt) {
    drives.clear();
    CVirtualDrive probe;
    std::vector<uint16_t> found;
    const bool scanned = source.ScanForDrives(probe, kAllDrives, &found);
    for (uint16_t entry : found) {
        ScannedDrive scanned_drive;
        scanned_drive.character = DriveEntryCharacter(entry);
        scanned_drive.drive = std::make_unique<CVirtualDrive>();
        scanned_drive.drive->m_remoteSaveVdp = saveVdp;
        // The same drive name on two cards: each node must reach its own card.
        source.SetPreferredCru(DriveEntryCru(entry));
        const int kind = scanned_drive.drive->MountRemote(
            static_cast<uint8_t>(scanned_drive.character - 0x30), &source);
        source.SetPreferredCru(0);
        if (kind != DriveKind::RemoteTi) continue;
        scanned_drive.drive->m_remoteSaveVdp = saveVdp;
        scanned_drive.drive->SetConversion(-1, -1, -1, -1, cacheLevel);
        scanned_drive.label = std::string("DSK") + scanned_drive.character;
        scanned_drive.device = RemoteDeviceName(DriveEntryCru(entry));
        drives.push_back(std::move(scanned_drive));
    }
    if (drives.empty()) {
        prompt.Message("No DSKx DSR found", PromptIcon::Warning);
        return false;
    }
    return scanned;
}

bool ScanEmulatorDrives(CEmulatorDriveSource& source, std::vector<ScannedDrive>& drives,
                        std::string& floppies, int& lastError, CUserPrompt& prompt) {
    drives.clear();
    floppies.clear();
    if (!source.EmulatorPresent()) {
        prompt.Message("Zantu not found", PromptIcon::Warning);
        return false;
    }
    std::vector<EmulatorDriveEntry> entries;
    if (!source.DriveList(kAllDrives, entries)) {
        lastError = DiskError::EmulatorProblem;
        return false;
    }
    for (const EmulatorDriveEntry& entry : entries) {
        if (static_cast<unsigned char>(entry.character) < 0x30) continue;
        ScannedDrive scanned;
        scanned.character = entry.character;
        scanned.drive = std::make_unique<CVirtualDrive>();
        if (scanned.drive->MountEmulator(static_cast<uint8_t>(entry.character), &source, "",
                                         entry.tag) != DriveKind::EmulatorDrive)
            continue;
        std::string name = scanned.drive->GetDiskName();
        scanned.drive->m_emulatorName = name.substr(0, 10);
        // The label shows the name without the padding of the VIB.
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        char label[48];
        std::snprintf(label, sizeof label, "DSK%c [%s]", entry.character, name.c_str());
        scanned.label = label;
        drives.push_back(std::move(scanned));
    }
    source.TextRequest(0, floppies);
    return true;
}

}  // namespace tavik
