#include "remote/RemoteDriveSource.h"

#include <cstdio>
#include <set>

namespace tavik {

namespace {

constexpr int kFirstCardCru = 0x1000;
constexpr int kLastCardCru = 0x1F00;
constexpr int kRomHeader = 0x4000;
constexpr int kDsrListWord = 0x4008;
constexpr int kSubprogramListWord = 0x400A;
constexpr int kMaxListEntries = 256;  // a list in an 8 KB ROM cannot be longer

bool DriveCharacterTaken(int c) {
    return (c >= 0x30 && c <= 0x39) || (c >= 0x41 && c <= 0x5B);
}

// A list link must stay inside the card's ROM; a walk never visits an entry twice.
bool ValidLink(int link, std::set<int>& seen) {
    return link >= 0x4000 && link < 0x6000 && seen.insert(link).second;
}

}  // namespace

bool CRemoteDriveSource::ScanForDrives(CVirtualDrive& drive, int character,
                                       std::vector<uint16_t>* found) {
    CLinkPort& link = m_ti.Link();
    link.TraceText("Scan for drives");
    if (!m_ti.Where()) return false;
    const bool all = character == kAllDrives;
    std::vector<int> cards;
    if (!all && m_preferredCru >= kFirstCardCru && m_preferredCru <= kLastCardCru)
        cards.push_back(m_preferredCru);
    for (int cru = kFirstCardCru; cru <= kLastCardCru; cru += 0x100)
        if (cards.empty() || cru != cards.front()) cards.push_back(cru);
    for (int cru : cards) {
        const int header = m_ti.ReadWord(kRomHeader, cru);
        if (header < 0) return false;
        if ((header >> 8) != 0xAA) continue;

        int sub10 = 0, sub10Entry = 0, sub11 = 0, sub11Entry = 0;
        std::set<int> seen;
        int entry = m_ti.ReadWord(kSubprogramListWord, cru);
        if (entry < 0) return false;
        char text[64];
        for (int n = 0; entry != 0 && n < kMaxListEntries && !(sub10 && sub11); ++n) {
            if (!ValidLink(entry, seen)) break;
            const int name = m_ti.ReadWord(entry + 4, cru);
            if (name < 0) return false;
            if (name == 0x0110 || name == 0x0111) {
                const int address = m_ti.ReadWord(entry + 2, cru);
                if (address < 0) return false;
                if (name == 0x0110) {
                    sub10 = address;
                    sub10Entry = entry;
                } else {
                    sub11 = address;
                    sub11Entry = entry;
                }
                std::snprintf(text, sizeof text, "Found subroutine >%02X at CRU %04X", name & 0xFF,
                              cru);
                link.TraceText(text);
            }
            entry = m_ti.ReadWord(entry, cru);
            if (entry < 0) return false;
        }
        if (!sub10) continue;

        seen.clear();
        entry = m_ti.ReadWord(kDsrListWord, cru);
        if (entry < 0) return false;
        for (int n = 0; entry != 0 && n < kMaxListEntries; ++n) {
            if (!ValidLink(entry, seen)) break;
            const int lengthAndD = m_ti.ReadWord(entry + 4, cru);
            if (lengthAndD < 0) return false;
            if (lengthAndD == 0x0444) {
                const int sk = m_ti.ReadWord(entry + 6, cru);
                if (sk < 0) return false;
                const int number = sk == 0x534B ? m_ti.ReadWord(entry + 8, cru) : 0;
                if (number < 0) return false;
                const int c = number >> 8;
                const bool match = sk == 0x534B && (all ? DriveCharacterTaken(c) : c == character);
                if (match) {
                    drive.m_remoteWords[RemoteCru] = static_cast<uint16_t>(cru);
                    drive.m_remoteWords[RemoteSub10Entry] = static_cast<uint16_t>(sub10Entry);
                    drive.m_remoteWords[RemoteSub10] = static_cast<uint16_t>(sub10);
                    drive.m_remoteWords[RemoteSub11] = static_cast<uint16_t>(sub11);
                    drive.m_remoteSub11Entry = static_cast<uint16_t>(sub11Entry);
                    drive.m_remoteDrive = static_cast<uint8_t>(c - 0x30);
                    if (!all) return true;
                    if (found) found->push_back(static_cast<uint16_t>((cru & 0xFF00) | c));
                    std::snprintf(text, sizeof text, "Found DSK%c at >%04X", c, cru);
                    link.TraceText(text);
                }
            }
            entry = m_ti.ReadWord(entry, cru);
            if (entry < 0) return false;
        }
    }
    return all;
}

int CRemoteDriveSource::ConfirmDrive(CVirtualDrive& drive) {
    const int character = drive.m_remoteDrive + 0x30;
    if (!ScanForDrives(drive, character)) {
        drive.m_remoteWords = {};
        return Failed(DiskError::RemoteProblem);
    }
    Succeeded();
    return 0;
}

int CRemoteDriveSource::Failed(int error) {
    m_hasRecord = true;
    m_number1 = m_ti.Status();
    m_number2 = m_ti.Link().Status();
    return error;
}

bool CRemoteDriveSource::Succeeded() {
    m_hasRecord = false;
    m_number1 = m_number2 = 0;
    return true;
}

int CRemoteDriveSource::DsrError(int errorByte) {
    if (errorByte & 0x0F) {
        m_ti.SetHookStatus(errorByte);
        return DiskError::RemoteIoError;
    }
    if (errorByte & 0xE0) return (errorByte >> 5) - 20;  // TI error 1..7: -19..-13
    return 0;
}

int CRemoteDriveSource::ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) {
    m_ti.Link().TraceText("Read sector");
    return Access(drive, sector, buffer, nullptr);
}

int CRemoteDriveSource::WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) {
    m_ti.Link().TraceText("Write sector");
    return Access(drive, sector, nullptr, buffer);
}

int CRemoteDriveSource::Access(CVirtualDrive& drive, int sector, uint8_t* readInto,
                               const uint8_t* writeFrom) {
    const uint16_t cru = drive.m_remoteWords[RemoteCru];
    if (cru == 0 || !m_ti.Where()) return Failed(DiskError::RemoteProblem);
    const bool reading = readInto != nullptr;
    if (!m_ti.WriteWord(kPadDrive, (drive.m_remoteDrive << 8) | (reading ? 0xFF : 0x00)) ||
        !m_ti.WriteWord(kPadBuffer, kSectorVdpBuffer) || !m_ti.WriteWord(kPadSector, sector))
        return Failed(DiskError::RemoteProblem);
    Sector saved{};
    const bool save = drive.m_remoteSaveVdp;
    if (save &&
        m_ti.ReadMemory(SpaceVdp, kSectorVdpBuffer, kSectorSize, 0, 0, saved.data()) != kSectorSize)
        return Failed(DiskError::RemoteProblem);
    if (!reading &&
        m_ti.WriteMemory(SpaceVdp, kSectorVdpBuffer, kSectorSize, 0, 0, writeFrom) != kSectorSize)
        return Failed(DiskError::RemoteProblem);
    m_ti.SetCardCru(cru);
    if (!m_ti.WriteWord(kPadCru, cru) ||
        !m_ti.WriteWord(kPadEntry, drive.m_remoteWords[RemoteSub10Entry]) ||
        !m_ti.Call(drive.m_remoteWords[RemoteSub10], kDsrWorkspace, cru))
        return Failed(DiskError::RemoteProblem);
    const int result = m_ti.ReadWord(kPadSector);
    if (result < 0) return Failed(DiskError::RemoteProblem);
    // An error leaves the sector alone: nothing half-read reaches the caller.
    int error = DsrError(result >> 8);
    Sector data{};
    if (error == 0 && reading &&
        m_ti.ReadMemory(SpaceVdp, kSectorVdpBuffer, kSectorSize, 0, 0, data.data()) != kSectorSize)
        return Failed(DiskError::RemoteProblem);
    if (save && m_ti.WriteMemory(SpaceVdp, kSectorVdpBuffer, kSectorSize, 0, 0, saved.data()) !=
                    kSectorSize)
        return Failed(error ? error : DiskError::RemoteProblem);
    if (error) return Failed(error);
    if (reading) std::copy(data.begin(), data.end(), readInto);
    Succeeded();
    return 0;
}

int CRemoteDriveSource::FormatDisk(CVirtualDrive& drive, int tracks, int sides, int density) {
    m_ti.Link().TraceText("Format disk");
    const uint16_t cru = drive.m_remoteWords[RemoteCru];
    const uint16_t sub11 = drive.m_remoteWords[RemoteSub11];
    if (cru == 0 || sub11 == 0 || !m_ti.Where()) return Failed(DiskError::RemoteProblem);
    const int driveByte = (drive.m_remoteDrive + m_formatOption * 16) & 0xFF;
    if (!m_ti.WriteWord(kPadDrive, (driveByte << 8) | (tracks & 0xFF)) ||
        !m_ti.WriteWord(kPadBuffer, kFormatVdpBuffer) ||
        !m_ti.WriteWord(kPadSector, ((density & 0xFF) << 8) | (sides & 0xFF)))
        return Failed(DiskError::RemoteProblem);
    // The controller uses this VDP area as its track buffer: it is always saved and restored.
    std::vector<uint8_t> saved(density >= 2 ? 0x1A00 : 0x0D00);
    const int size = static_cast<int>(saved.size());
    if (m_ti.ReadMemory(SpaceVdp, kFormatVdpBuffer, size, 0, 0, saved.data()) != size)
        return Failed(DiskError::RemoteProblem);
    m_ti.SetCardCru(cru);
    if (!m_ti.WriteWord(kPadCru, cru) || !m_ti.WriteWord(kPadEntry, drive.m_remoteSub11Entry) ||
        !m_ti.Call(sub11, kDsrWorkspace, cru))
        return Failed(DiskError::RemoteProblem);
    const int result = m_ti.ReadWord(kPadSector);
    if (result < 0) return Failed(DiskError::RemoteProblem);
    const int error = DsrError(result >> 8);
    if (m_ti.WriteMemory(SpaceVdp, kFormatVdpBuffer, size, 0, 0, saved.data()) != size)
        return Failed(error ? error : DiskError::RemoteProblem);
    if (error) return Failed(error);
    Succeeded();
    return 0;
}

}  // namespace tavik
