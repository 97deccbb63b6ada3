// The sectors of an emulator's drives, requested by copy-data messages to its "Zantu listening"
// window; the emulator answers into the system's listening window:
//   0xA501 drive list: 2 bytes, the request (1: all drives, or a drive character), low byte
//          first; the answer is pairs of bytes, a tag then the drive character.
//   0xA502 read sector: 16 bytes: drive number, sector high, sector low, tag, 10 name bytes
//          (space padded), 2 unused; the answer carries identifier 0xA502 and the sector.
//   0xA503 write sector: the 14 bytes of 0xA502 then the 256 sector bytes.
//   0xA504 text: 1 byte, a drive number (0 for the list of floppies).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disk/SectorSource.h"
#include "disk/VirtualDrive.h"
#include "remote/EmulatorChannel.h"

namespace tavik {

constexpr uint32_t kEmulatorDriveList = 0xA501;
constexpr uint32_t kEmulatorReadSector = 0xA502;
constexpr uint32_t kEmulatorWriteSector = 0xA503;
constexpr uint32_t kEmulatorText = 0xA504;
constexpr int kEmulatorTimeoutMs = 500;

struct EmulatorDriveEntry {
    uint8_t tag = 0;
    char character = 0;
};

class CEmulatorDriveSource : public CSectorSource {
public:
    explicit CEmulatorDriveSource(CEmulatorChannel& channel) : m_channel(channel) {}

    CEmulatorChannel& Channel() { return m_channel; }
    bool EmulatorPresent() { return m_channel.WindowExists(kEmulatorListeningTitle); }

    // request: 1 for all drives, or a drive character.
    bool DriveList(int request, std::vector<EmulatorDriveEntry>& entries);
    bool TextRequest(int driveNumber, std::string& text);

    int ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) override;
    int WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) override;
    int ConfirmDrive(CVirtualDrive& drive) override;

private:
    std::vector<uint8_t> SectorRequest(const CVirtualDrive& drive, int sector) const;

    CEmulatorChannel& m_channel;
};

}  // namespace tavik
