// Register access to a PC parallel port: data at base, status at base + 1, control at base + 2,
// extended control at base + 0x402. Two real implementations: Linux ppdev on a /dev/parportN
// device, and raw port access (ioperm/inb/outb) at a base address. Tests plug in a simulated
// port with a virtual TI-99/4A behind it.
#pragma once

#include <memory>
#include <string>

namespace tavik {

constexpr int kParallelData = 0;
constexpr int kParallelStatus = 1;
constexpr int kParallelControl = 2;
constexpr int kParallelExtendedControl = 0x402;

class CPortIo {
public:
    virtual ~CPortIo() = default;
    // Gains access to the port at base; on failure `error` holds a message (with the system's
    // error code) and false is returned.
    virtual bool Acquire(int base, std::string& error) = 0;
    virtual int In(int address) = 0;  // 0..255
    virtual void Out(int address, int value) = 0;
};

// ppdev: the registers are reached by offset from the base given to Acquire. The direction bit
// (0x20) of the control register and the byte mode of the extended control register are passed
// on with the matching ioctls.
class CPpdevPortIo : public CPortIo {
public:
    explicit CPpdevPortIo(std::string device) : m_device(std::move(device)) {}
    ~CPpdevPortIo() override;
    bool Acquire(int base, std::string& error) override;
    int In(int address) override;
    void Out(int address, int value) override;

private:
    std::string m_device;
    int m_fd = -1;
    int m_base = 0;
    int m_extended = 0x15;  // what the extended control register reads as
};

// Raw I/O ports (x86 only, needs the right to call ioperm).
class CRawPortIo : public CPortIo {
public:
    bool Acquire(int base, std::string& error) override;
    int In(int address) override;
    void Out(int address, int value) override;
};

// The implementation for a port name: a device path (starting with '/') gives ppdev, anything
// else raw port access.
std::unique_ptr<CPortIo> MakePortIo(const std::string& portName);

}  // namespace tavik
