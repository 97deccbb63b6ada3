// The emulator's side of the local-socket channel, for tests: the "Zantu listening" window
// serves drive lists, sectors and texts from image files and answers into the system's
// "TAVIK listening" window; the "Zantu calling" window emulates a TI serial or parallel port
// (messages 0x9900 and 0x9901) with a device behind it. Runs on its own thread.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VirtualTi.h"

namespace tavik::test {

struct PeerDrive {
    std::string imagePath;
    uint8_t tag = 0;
};

class CEmulatorPeer {
public:
    explicit CEmulatorPeer(std::string folder);
    ~CEmulatorPeer();
    CEmulatorPeer(const CEmulatorPeer&) = delete;
    CEmulatorPeer& operator=(const CEmulatorPeer&) = delete;

    // Set up before Start.
    std::map<char, PeerDrive> drives;
    std::string floppies = "DSK1 = disk1.dsk\r\n";
    void AttachPort(CByteDevice& device, std::mutex& mutex) {
        m_device = &device;
        m_deviceMutex = &mutex;
    }
    bool Start(bool listening = true, bool calling = true);
    void Stop();

    // Faults.
    std::atomic<bool> silent{false};           // copy-data requests are never answered
    std::atomic<bool> wrongIdentifier{false};  // sector answers carry another identifier
    std::atomic<bool> shortAnswer{false};      // sector answers carry too few bytes
    std::atomic<int> sectorReads{0};
    std::atomic<int> sectorWrites{0};

private:
    void Loop();
    bool Handle(int fd, bool calling);
    int64_t PortMessage(uint32_t message, int64_t first, int64_t second);
    bool CopyData(uint32_t identifier, const std::vector<uint8_t>& bytes, int64_t& result);
    bool AnswerSystem(uint32_t identifier, const std::vector<uint8_t>& bytes);

    std::string m_folder;
    int m_listening = -1;
    int m_calling = -1;
    int m_answerFd = -1;
    std::vector<std::pair<int, bool>> m_clients;  // fd, is a "calling" client
    CByteDevice* m_device = nullptr;
    std::mutex* m_deviceMutex = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace tavik::test
