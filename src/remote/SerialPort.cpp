#include "remote/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace tavik {

namespace {
bool SpeedOf(int baud, speed_t& speed) {
    switch (baud) {
        case 38400:
            speed = B38400;
            return true;
        case 19200:
            speed = B19200;
            return true;
        case 9600:
            speed = B9600;
            return true;
        case 4800:
            speed = B4800;
            return true;
        case 2400:
            speed = B2400;
            return true;
        case 1200:
            speed = B1200;
            return true;
        case 600:
            speed = B600;
            return true;
        case 300:
            speed = B300;
            return true;
        case 110:
            speed = B110;
            return true;
        default:
            return false;
    }
}
}  // namespace

std::string CSerialPort::DevicePath(const std::string& portName) {
    if (portName.size() == 4 && portName.compare(0, 3, "COM") == 0 && portName[3] >= '1' &&
        portName[3] <= '9')
        return "/dev/ttyS" + std::string(1, static_cast<char>(portName[3] - 1));
    return portName;
}

CSerialPort::OpenResult CSerialPort::Open(const std::string& portName,
                                          const SerialSettings& settings, int& errorCode) {
    Close();
    m_fd = ::open(DevicePath(portName).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        errorCode = errno;
        return CannotAccess;
    }
    termios tio{};
    speed_t speed = B9600;
    if (::tcgetattr(m_fd, &tio) != 0 || !SpeedOf(settings.baudRate, speed)) {
        errorCode = errno ? errno : EINVAL;
        if (!SpeedOf(settings.baudRate, speed)) errorCode = EINVAL;
        Close();
        return ConfigurationFailed;
    }
    // Exclusive use: a second open of the device by anyone else fails.
    ::ioctl(m_fd, TIOCEXCL);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    if (settings.stopBitsIndex != 0) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~static_cast<tcflag_t>(INPCK | IXON | IXOFF | IXANY);
    if (settings.parityIndex == 1 || settings.parityIndex == 2) {
        tio.c_cflag |= PARENB;
        if (settings.parityIndex == 1) tio.c_cflag |= PARODD;
        tio.c_iflag |= INPCK;
    }
    if (settings.ctsFlow) tio.c_cflag |= CRTSCTS;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(m_fd, TCSANOW, &tio) != 0) {
        errorCode = errno;
        Close();
        return ConfigurationFailed;
    }
    // DTR and RTS are raised; a device without modem lines (a pseudo-terminal) ignores this.
    int lines = (settings.raiseDtr ? TIOCM_DTR : 0) | (settings.raiseRts ? TIOCM_RTS : 0);
    if (lines) ::ioctl(m_fd, TIOCMBIS, &lines);
    // Stale input is dropped; output is left alone (on a pseudo-terminal, flushing output would
    // also drop what an earlier user of the line wrote and the far end has not read yet).
    if (::tcflush(m_fd, TCIFLUSH) != 0) {
        errorCode = errno;
        Close();
        return TimeoutsFailed;
    }
    return Opened;
}

void CSerialPort::Close() {
    if (m_fd < 0) return;
    // Closing may drop bytes still queued for output: the end of the last command would be
    // lost and the hook left waiting for it. Let them go out first (bounded: a line held by
    // flow control must not keep us here).
    for (int i = 0; i < 1000; ++i) {
        int queued = 0;
        if (::ioctl(m_fd, TIOCOUTQ, &queued) != 0 || queued <= 0) break;
        ::usleep(1000);
    }
    ::close(m_fd);
    m_fd = -1;
}

int CSerialPort::Queued(int& errorCode) {
    int count = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &count) != 0) {
        errorCode = m_fd < 0 ? EBADF : errno;
        return -1;
    }
    return count;
}

void CSerialPort::WaitReady(int ms, bool forWrite) {
    if (m_fd < 0) return;
    pollfd p{m_fd, static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    if (::poll(&p, 1, ms) > 0 && (p.revents & (POLLHUP | POLLERR))) {
        // The other end is gone: poll keeps returning at once; pace the caller's rounds.
        ::usleep(static_cast<useconds_t>(ms) * 1000);
    }
}

int CSerialPort::ReadByte(int& errorCode) {
    unsigned char byte = 0;
    ssize_t n = ::read(m_fd, &byte, 1);
    if (n == 1) return byte;
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return -2;
    if (n == 0) return -2;
    errorCode = errno;
    return -1;
}

int CSerialPort::WriteByte(unsigned char byte, int& errorCode) {
    ssize_t n = ::write(m_fd, &byte, 1);
    if (n == 1) return 1;
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    errorCode = n < 0 ? errno : EIO;
    return -1;
}

int CSerialPort::ModemLines(int& errorCode) {
    int status = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCMGET, &status) != 0) {
        errorCode = m_fd < 0 ? EBADF : errno;
        return -1;
    }
    return ((status & TIOCM_CTS) ? kModemCts : 0) | ((status & TIOCM_CAR) ? kModemDcd : 0) |
           ((status & TIOCM_DSR) ? kModemDsr : 0);
}

}  // namespace tavik
