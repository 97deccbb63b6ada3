// The sectors of a DSKn drive of a cabled TI-99/4A: the disk controller's DSR subroutines >10
// (sector read and write) and >11 (format) are called through the hook, with their parameters
// in the scratch pad and the sector passing through VDP memory:
//   >834C drive number, >834D read/write flag (>FF read, >00 write) or number of tracks,
//   >834E VDP buffer, >8350 sector number or density/sides, the error byte back in >8350,
//   >83D0 CRU base of the card, >83D2 its subprogram list entry, >83E0 the workspace.
// One source serves every remote drive; each drive keeps its own CRU base, subroutine addresses
// and drive number (CVirtualDrive's remote fields).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disk/SectorSource.h"
#include "disk/VirtualDrive.h"
#include "remote/RemoteTi.h"

namespace tavik {

// Scratch-pad and VDP places of the sector protocol.
constexpr uint16_t kPadDrive = 0x834C;
constexpr uint16_t kPadBuffer = 0x834E;
constexpr uint16_t kPadSector = 0x8350;
constexpr uint16_t kPadCru = 0x83D0;
constexpr uint16_t kPadEntry = 0x83D2;
constexpr uint16_t kDsrWorkspace = 0x83E0;
constexpr uint16_t kSectorVdpBuffer = 0x2000;
constexpr uint16_t kFormatVdpBuffer = 0x1800;

// Index of the remote words of a drive.
enum RemoteWord : int { RemoteCru = 0, RemoteSub10Entry = 1, RemoteSub10 = 2, RemoteSub11 = 3 };

// The value of a drive-list entry of an all-drives scan: CRU base high byte, drive character.
inline int DriveEntryCru(uint16_t entry) {
    return entry & 0xFF00;
}
inline char DriveEntryCharacter(uint16_t entry) {
    return static_cast<char>(entry & 0xFF);
}

constexpr int kAllDrives = 1;

class CRemoteDriveSource : public CSectorSource {
public:
    explicit CRemoteDriveSource(CRemoteTi& ti) : m_ti(ti) {}

    CRemoteTi& Ti() { return m_ti; }

    // character: a drive character ('1' for DSK1), or kAllDrives to list every DSKx of every
    // card into `found`. Returns found (one drive) or success (all drives).
    bool ScanForDrives(CVirtualDrive& drive, int character, std::vector<uint16_t>* found = nullptr);

    int ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) override;
    int WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) override;
    int ConfirmDrive(CVirtualDrive& drive) override;
    int FormatDisk(CVirtualDrive& drive, int tracks, int sides, int density) override;

    // A single-drive scan looks at the card at this CRU base first (0: none), so that a drive
    // name offered by two cards is mounted from the card the all-drives scan found it on.
    void SetPreferredCru(int cru) { m_preferredCru = cru; }

    // The option nibble placed in the high half of >834C when formatting.
    void SetFormatOption(int nibble) { m_formatOption = nibble & 0x0F; }

    bool HasErrorRecord() const override { return m_hasRecord; }
    int ErrorNumber1() const override { return m_number1; }
    int ErrorNumber2() const override { return m_number2; }
    int ErrorCode() const override { return m_ti.HookStatus(); }
    void LogLine(const std::string& line) override { m_ti.Link().TraceText(line); }
    bool IsRemoteLink() const override { return true; }

private:
    int Access(CVirtualDrive& drive, int sector, uint8_t* readInto, const uint8_t* writeFrom);
    // The error byte at >8350 as a drive error (0 when none).
    int DsrError(int errorByte);
    int Failed(int error);
    bool Succeeded();

    CRemoteTi& m_ti;
    int m_formatOption = 0;
    int m_preferredCru = 0;
    bool m_hasRecord = false;
    int m_number1 = 0;
    int m_number2 = 0;
};

}  // namespace tavik
