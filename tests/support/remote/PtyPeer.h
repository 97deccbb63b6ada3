// A TI-99/4A on a serial cable, for tests: a pseudo-terminal whose far end is served by a
// thread that feeds every byte to the device and writes its answers back. The system opens
// SlavePath() like any serial device.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "VirtualTi.h"

namespace tavik::test {

class CPtyPeer {
public:
    // The mutex guards the device; the test takes it too before looking at the device.
    CPtyPeer(CByteDevice& device, std::mutex& mutex);
    ~CPtyPeer();
    CPtyPeer(const CPtyPeer&) = delete;
    CPtyPeer& operator=(const CPtyPeer&) = delete;

    bool Ok() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }
    void Stop();

private:
    void Pump();

    CByteDevice& m_device;
    std::mutex& m_mutex;
    int m_master = -1;
    int m_slave = -1;  // kept open so the terminal stays up between the system's opens
    std::string m_slavePath;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace tavik::test
