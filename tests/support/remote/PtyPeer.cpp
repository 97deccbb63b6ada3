#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

namespace tavik::test {

CPtyPeer::CPtyPeer(CByteDevice& device, std::mutex& mutex) : m_device(device), m_mutex(mutex) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    const char* name = ::ptsname(m_master);
    m_slavePath = name ? name : "";
    m_slave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (m_slave >= 0) {
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
    m_thread = std::thread([this] { Pump(); });
}

CPtyPeer::~CPtyPeer() {
    Stop();
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
}

void CPtyPeer::Stop() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

void CPtyPeer::Pump() {
    std::vector<uint8_t> out;
    while (!m_stop) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 2) > 0 && (p.revents & POLLIN)) {
            uint8_t bytes[512];
            ssize_t n = ::read(m_master, bytes, sizeof bytes);
            std::lock_guard<std::mutex> lock(m_mutex);
            for (ssize_t i = 0; i < n; ++i)
                m_device.Feed(bytes[i]);
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            while (m_device.HasOutput()) {
                out.push_back(m_device.PeekOutput());
                m_device.PopOutput();
            }
        }
        size_t done = 0;
        while (done < out.size() && !m_stop) {
            ssize_t n = ::write(m_master, out.data() + done, out.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else
                ::usleep(500);
        }
        out.clear();
    }
}

}  // namespace tavik::test
