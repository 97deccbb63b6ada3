// A serial port on POSIX termios: raw 8-bit bytes, the chosen speed, stop bits and parity, and
// the modem lines read from the kernel's modem status. The port stays non-blocking; waits are
// done by the caller in rounds of about a millisecond.
#pragma once

#include <string>

namespace tavik {

struct SerialSettings {
    int baudRate = 9600;
    int stopBitsIndex = 0;  // 0 "1", 1 "1.5" (taken as 2: termios knows no 1.5), 2 "2"
    int parityIndex = 0;    // 0 none, 1 odd, 2 even
    bool ctsFlow = false;   // hardware flow control on CTS/RTS
    bool raiseDtr = true;
    bool raiseRts = true;
};

// Modem lines as reported by ModemLines.
constexpr int kModemCts = 0x1;
constexpr int kModemDcd = 0x2;
constexpr int kModemDsr = 0x4;

class CSerialPort {
public:
    enum OpenResult { Opened = 0, CannotAccess = 1, ConfigurationFailed = 2, TimeoutsFailed = 3 };

    CSerialPort() = default;
    ~CSerialPort() { Close(); }
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // "COM1".."COM9" name /dev/ttyS0..8; anything else is taken as a device path.
    static std::string DevicePath(const std::string& portName);

    // Opens exclusively and configures; on failure errorCode holds the system's error number.
    OpenResult Open(const std::string& portName, const SerialSettings& settings, int& errorCode);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }

    // Bytes waiting to be read, or -1 (errorCode set).
    int Queued(int& errorCode);
    // Waits up to ms for input (or for room to write when forWrite).
    void WaitReady(int ms, bool forWrite);
    // One byte, -1 on error (errorCode set), -2 when none was there.
    int ReadByte(int& errorCode);
    // 1 written, 0 not now (try again), -1 error (errorCode set).
    int WriteByte(unsigned char byte, int& errorCode);
    // The modem lines (kModem*), -1 when the device has none to report (errorCode set).
    int ModemLines(int& errorCode);

private:
    int m_fd = -1;
};

}  // namespace tavik
