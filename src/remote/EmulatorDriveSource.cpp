#include "remote/EmulatorDriveSource.h"

#include <algorithm>

namespace tavik {

bool CEmulatorDriveSource::DriveList(int request, std::vector<EmulatorDriveEntry>& entries) {
    entries.clear();
    // An answer left from an earlier request must not pass for this one's.
    m_channel.ClearAnswer();
    const std::vector<uint8_t> bytes = {static_cast<uint8_t>(request & 0xFF),
                                        static_cast<uint8_t>((request >> 8) & 0xFF)};
    if (!m_channel.SendCopyData(kEmulatorListeningTitle, kEmulatorDriveList, bytes,
                                kEmulatorTimeoutMs) ||
        m_channel.AnswerIdentifier() != kEmulatorDriveList)
        return false;
    const std::vector<uint8_t>& answer = m_channel.AnswerBytes();
    for (size_t i = 0; i + 1 < answer.size(); i += 2)
        entries.push_back({answer[i], static_cast<char>(answer[i + 1])});
    return true;
}

bool CEmulatorDriveSource::TextRequest(int driveNumber, std::string& text) {
    text.clear();
    m_channel.ClearAnswer();
    if (!m_channel.SendCopyData(kEmulatorListeningTitle, kEmulatorText,
                                {static_cast<uint8_t>(driveNumber)}, kEmulatorTimeoutMs) ||
        m_channel.AnswerIdentifier() != kEmulatorText)
        return false;
    const std::vector<uint8_t>& answer = m_channel.AnswerBytes();
    auto end = std::find(answer.begin(), answer.end(), 0);
    text.assign(answer.begin(), end);
    return true;
}

std::vector<uint8_t> CEmulatorDriveSource::SectorRequest(const CVirtualDrive& drive,
                                                         int sector) const {
    std::vector<uint8_t> bytes(16, 0);
    bytes[0] = drive.m_emulatorDrive;
    bytes[1] = static_cast<uint8_t>(sector >> 8);
    bytes[2] = static_cast<uint8_t>(sector);
    bytes[3] = drive.m_emulatorDevice;
    for (size_t i = 0; i < 10; ++i)
        bytes[4 + i] = i < drive.m_emulatorName.size()
                           ? static_cast<uint8_t>(drive.m_emulatorName[i])
                           : static_cast<uint8_t>(' ');
    return bytes;
}

int CEmulatorDriveSource::ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) {
    m_channel.ClearAnswer();
    if (!m_channel.SendCopyData(kEmulatorListeningTitle, kEmulatorReadSector,
                                SectorRequest(drive, sector), kEmulatorTimeoutMs) ||
        m_channel.AnswerIdentifier() != kEmulatorReadSector)
        return DiskError::EmulatorProblem;
    // A short answer is no sector: the buffer stays as it was.
    const std::vector<uint8_t>& answer = m_channel.AnswerBytes();
    if (answer.size() < kSectorSize) return DiskError::EmulatorProblem;
    std::copy(answer.begin(), answer.begin() + kSectorSize, buffer);
    return 0;
}

int CEmulatorDriveSource::WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) {
    std::vector<uint8_t> bytes = SectorRequest(drive, sector);
    bytes.resize(14);
    bytes.insert(bytes.end(), buffer, buffer + kSectorSize);
    return m_channel.SendCopyData(kEmulatorListeningTitle, kEmulatorWriteSector, bytes,
                                  kEmulatorTimeoutMs)
               ? 0
               : DiskError::EmulatorProblem;
}

int CEmulatorDriveSource::ConfirmDrive(CVirtualDrive& drive) {
    std::vector<EmulatorDriveEntry> entries;
    return DriveList(drive.m_emulatorDrive + '0', entries) ? 0 : DiskError::EmulatorProblem;
}

}  // namespace tavik
