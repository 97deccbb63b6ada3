#include "remote/PortIo.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#if defined(__linux__)
#include <linux/parport.h>
#include <linux/ppdev.h>
#endif
#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#include <sys/io.h>
#define TAVIK_RAW_PORTS 1
#endif

namespace tavik {

namespace {
std::string WithCode(const std::string& text, int code) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " Error code: %04X", code & 0xFFFF);
    return text + suffix;
}
}  // namespace

CPpdevPortIo::~CPpdevPortIo() {
#if defined(__linux__)
    if (m_fd >= 0) {
        ::ioctl(m_fd, PPRELEASE);
        ::close(m_fd);
    }
#endif
}

bool CPpdevPortIo::Acquire(int base, std::string& error) {
    m_base = base;
#if defined(__linux__)
    if (m_fd >= 0) return true;
    m_fd = ::open(m_device.c_str(), O_RDWR);
    if (m_fd < 0) {
        error = WithCode("Cannot access parallel port " + m_device, errno);
        return false;
    }
    if (::ioctl(m_fd, PPCLAIM) != 0) {
        error = WithCode("Cannot claim parallel port " + m_device, errno);
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
#else
    error = WithCode("Cannot access parallel port " + m_device, ENOSYS);
    return false;
#endif
}

int CPpdevPortIo::In(int address) {
#if defined(__linux__)
    if (m_fd < 0) return 0xFF;
    unsigned char value = 0xFF;
    switch (address - m_base) {
        case kParallelData:
            if (::ioctl(m_fd, PPRDATA, &value) != 0) return 0xFF;
            return value;
        case kParallelStatus:
            if (::ioctl(m_fd, PPRSTATUS, &value) != 0) return 0xFF;
            return value;
        case kParallelControl:
            if (::ioctl(m_fd, PPRCONTROL, &value) != 0) return 0xFF;
            return value & 0x1F;
        case kParallelExtendedControl:
            return m_extended;
        default:
            return 0xFF;
    }
#else
    (void)address;
    return 0xFF;
#endif
}

void CPpdevPortIo::Out(int address, int value) {
#if defined(__linux__)
    if (m_fd < 0) return;
    unsigned char byte = static_cast<unsigned char>(value);
    switch (address - m_base) {
        case kParallelData:
            ::ioctl(m_fd, PPWDATA, &byte);
            break;
        case kParallelControl: {
            int reverse = (value & 0x20) ? 1 : 0;
            ::ioctl(m_fd, PPDATADIR, &reverse);
            unsigned char lines = static_cast<unsigned char>(value & 0x0F);
            ::ioctl(m_fd, PPWCONTROL, &lines);
            break;
        }
        case kParallelExtendedControl: {
            // Bits 7-5 of the extended control register select the mode; 001 is byte mode.
            int mode = ((value >> 5) & 7) == 1 ? IEEE1284_MODE_BYTE : IEEE1284_MODE_COMPAT;
            ::ioctl(m_fd, PPSETMODE, &mode);
            m_extended = value & 0xFF;
            break;
        }
        default:
            break;
    }
#else
    (void)address;
    (void)value;
#endif
}

bool CRawPortIo::Acquire(int base, std::string& error) {
#ifdef TAVIK_RAW_PORTS
    if (base < 0 || base + kParallelExtendedControl >= 0x10000) {
        error = WithCode("Bad parallel port address", EINVAL);
        return false;
    }
    if (::ioperm(static_cast<unsigned long>(base), 3, 1) != 0 ||
        ::ioperm(static_cast<unsigned long>(base + kParallelExtendedControl), 1, 1) != 0) {
        char text[64];
        std::snprintf(text, sizeof text, "No access to I/O ports at %03X", base);
        error = WithCode(text, errno);
        return false;
    }
    return true;
#else
    char text[64];
    std::snprintf(text, sizeof text, "No access to I/O ports at %03X", base);
    error = WithCode(text, ENOSYS);
    return false;
#endif
}

int CRawPortIo::In(int address) {
#ifdef TAVIK_RAW_PORTS
    return ::inb(static_cast<unsigned short>(address));
#else
    (void)address;
    return 0xFF;
#endif
}

void CRawPortIo::Out(int address, int value) {
#ifdef TAVIK_RAW_PORTS
    ::outb(static_cast<unsigned char>(value), static_cast<unsigned short>(address));
#else
    (void)address;
    (void)value;
#endif
}

std::unique_ptr<CPortIo> MakePortIo(const std::string& portName) {
    if (!portName.empty() && portName[0] == '/') return std::make_unique<CPpdevPortIo>(portName);
    return std::make_unique<CRawPortIo>();
}

}  // namespace tavik
