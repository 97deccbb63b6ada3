#include "remote/LinkPort.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "base/Log.h"

namespace tavik {

namespace {

constexpr int kRoundMs = 1;  // one serial polling round

std::string WithCode(const std::string& text, int code) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, " Error code: %04X", code & 0xFFFF);
    return text + suffix;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

LineBits ParallelOutputBits(int line) {
    switch (line) {
        case OutInit:
            return {0x04, 0x00};
        case OutAutoLf:
            return {0x02, 0x02};
        case OutStrobe:
            return {0x01, 0x01};
        default:
            return {0x08, 0x08};  // Select*
    }
}

LineBits ParallelInputBits(int line) {
    switch (line) {
        case InAck:
            return {0x40, 0x00};
        case InPaperOut:
            return {0x20, 0x00};
        case InSelectIn:
            return {0x10, 0x00};
        case InError:
            return {0x08, 0x00};
        default:
            return {0x80, 0x80};  // Busy*
    }
}

int CLinkPort::ParallelBase(const std::string& portName) {
    if (Contains(portName, "LPT1 two")) return 0x378;
    if (Contains(portName, "LPT1 three")) return 0x3BC;
    if (Contains(portName, "LPT2 three")) return 0x378;
    if (Contains(portName, "LPT")) return 0x278;
    char* end = nullptr;
    long value = std::strtol(portName.c_str(), &end, 16);
    if (end == portName.c_str() || value <= 0 || value > 0xFFFF) return 0x278;
    return static_cast<int>(value);
}

int CLinkPort::EmulatedPortCode(const std::string& portName, bool serial) {
    if (Contains(portName, "PIO/2")) return 0x100;
    if (Contains(portName, "PIO")) return 0x000;
    if (Contains(portName, "RS232/2")) return 0x300;
    if (Contains(portName, "RS232/3")) return 0x400;
    if (Contains(portName, "RS232/4")) return 0x500;
    if (Contains(portName, "RS232")) return 0x200;
    return serial ? 0x200 : 0x000;
}

void CLinkPort::Trace(int kind, int value) {
    TraceText(TraceEntryText(kind, value));
}

void CLinkPort::TraceText(const std::string& line) {
    if (m_trace) {
        m_trace->Line(line);
    } else {
        LogLine(line);  // the program's log, when it keeps one
    }
}

void CLinkPort::Fail(bool show, const std::string& text) {
    m_hardFailure = true;
    TraceText(text);
    if (show) m_prompt->Message(text, PromptIcon::Error);
}

template <class Ready>
bool CLinkPort::Wait(bool useTimeout, Ready ready) {
    const long limit = useTimeout ? m_settings.timeout : 0;
    for (long round = 0;; ++round) {
        if (ready()) return true;
        if (limit > 0 && round + 1 >= limit) return false;
        if (Escape()) return false;
        if (m_deadline != std::chrono::steady_clock::time_point{} &&
            std::chrono::steady_clock::now() >= m_deadline)
            return false;
    }
}

bool CLinkPort::Open(bool messages) {
    m_open = false;
    switch (m_settings.contact) {
        case ContactNone:
            m_open = true;
            return true;
        case ContactEmulator:
            return OpenEmulator(messages);
        default:
            return m_settings.serial ? OpenSerial(messages) : OpenParallel(messages);
    }
}

void CLinkPort::Close() {
    m_serial.Close();
    m_ownIo.reset();
    m_io = nullptr;
    m_portIoReady = false;
    m_open = false;
}

bool CLinkPort::OpenEmulator(bool messages) {
    if (!m_channel || !m_channel->WindowExists(kEmulatorCallingTitle)) {
        m_status = StatusEmulatorNotAnswering;
        Fail(messages, "No external emulator listening");
        return false;
    }
    m_base = EmulatedPortCode(m_settings.portName, m_settings.serial);
    m_open = true;
    return true;
}

bool CLinkPort::OpenSerial(bool messages) {
    m_serial.Close();
    SerialSettings s;
    s.baudRate = m_settings.baudRate;
    s.stopBitsIndex = m_settings.stopBits;
    s.parityIndex = m_settings.parity;
    s.ctsFlow = m_settings.inputLine == SerialInCts || m_settings.secondInputLine == SerialInCts ||
                m_settings.outputLine == SerialOutRts;
    int code = 0;
    switch (m_serial.Open(m_settings.portName, s, code)) {
        case CSerialPort::Opened:
            m_open = true;
            m_lastSend = {};
            return true;
        case CSerialPort::CannotAccess:
            m_status = StatusSerialNotFound;
            Fail(messages, WithCode("Cannot access serial port " + m_settings.portName, code));
            return false;
        case CSerialPort::ConfigurationFailed:
            m_status = StatusSerialNotFound;
            Fail(messages, WithCode("Serial port configuration 1 failed", code));
            return false;
        case CSerialPort::TimeoutsFailed:
            m_status = StatusSerialNotFound;
            Fail(messages, WithCode("Serial port configuration 2 failed", code));
            return false;
    }
    return false;
}

bool CLinkPort::OpenParallel(bool messages) {
    m_portIoReady = false;
    m_ownIo.reset();
    m_io = m_injectedIo;
    if (!m_io) {
        m_ownIo = MakePortIo(m_settings.portName);
        m_io = m_ownIo.get();
    }
    m_base = ParallelBase(m_settings.portName);
    std::string error;
    if (!m_io->Acquire(m_base, error)) {
        m_status = StatusPortIoNotLoaded;
        Fail(messages, error);
        return false;
    }
    m_portIoReady = true;
    int extended = m_io->In(m_base + kParallelExtendedControl);
    if (extended == 0xFF) {
        m_status = StatusParallelNotFound;
        Fail(messages, "Port not found.\n");
        return false;
    }
    m_io->Out(m_base + kParallelExtendedControl, (extended & 0x1F) | 0x20);  // byte mode
    int control = m_io->In(m_base + kParallelControl);
    if (control == 0xFF) {
        m_status = StatusParallelNotFound;
        Fail(messages, "Port not found.\n");
        return false;
    }
    const LineBits out = ParallelOutputBits(m_settings.outputLine);
    control |= 0x20;
    control = (control & ~out.bit) | (out.bit ^ out.lowValue);  // output line high
    m_control = control & 0xFF;
    m_io->Out(m_base + kParallelControl, m_control);
    m_open = true;
    return true;
}

// ---- Sending ---------------------------------------------------------------------------------

bool CLinkPort::SendByte(int byte, bool useTimeout) {
    m_status = StatusExportByte;
    m_hardFailure = false;
    bool ok = false;
    if (m_settings.contact == ContactNone) {
        ok = true;
    } else if (m_settings.contact == ContactEmulator) {
        ok = SendEmulated(byte & 0xFF, useTimeout);
    } else if (m_settings.serial) {
        ok = SendSerial(byte & 0xFF, useTimeout);
    } else {
        ok = SendParallel(byte & 0xFF, useTimeout);
    }
    if (!ok) {
        Trace(TraceError, m_status);
        return false;
    }
    ++m_bytesSent;
    Trace(TraceSent, byte);
    m_status = StatusIdle;
    return true;
}

bool CLinkPort::WaitModemLine(int line, bool useTimeout) {
    const int wanted = line == SerialInCts   ? kModemCts
                       : line == SerialInDcd ? kModemDcd
                                             : kModemDsr;
    int code = 0;
    bool failed = false;
    bool ok = Wait(useTimeout, [&] {
        int lines = m_serial.ModemLines(code);
        if (lines < 0) {
            failed = true;
            return true;
        }
        if (lines & wanted) return true;
        m_serial.WaitReady(kRoundMs, false);
        return false;
    });
    if (failed) {
        Fail(true, WithCode("Modem status query failed.", code));
        return false;
    }
    return ok;
}

bool CLinkPort::SendSerial(int byte, bool useTimeout) {
    if (!m_serial.IsOpen()) {
        m_hardFailure = true;
        return false;
    }
    if (m_settings.pause) {
        const auto earliest = m_lastSend + std::chrono::milliseconds(4);
        const auto now = std::chrono::steady_clock::now();
        if (now < earliest) std::this_thread::sleep_for(earliest - now);
    }
    for (int line : {SerialInCts, SerialInDcd, SerialInDsr}) {
        if (m_settings.inputLine != line && m_settings.secondInputLine != line) continue;
        if (!WaitModemLine(line, useTimeout)) return false;
    }
    int code = 0;
    int written = 0;
    bool ok = Wait(useTimeout, [&] {
        written = m_serial.WriteByte(static_cast<unsigned char>(byte), code);
        if (written != 0) return true;
        m_serial.WaitReady(kRoundMs, true);
        return false;
    });
    if (written < 0) {
        Fail(true, WithCode("WriteFile failed.", code));
        return false;
    }
    if (!ok) return false;
    m_lastSend = std::chrono::steady_clock::now();
    return true;
}

bool CLinkPort::SendParallel(int byte, bool useTimeout) {
    if (!m_open || !m_portIoReady || !m_io) {
        m_hardFailure = true;
        return false;
    }
    const LineBits out = ParallelOutputBits(m_settings.outputLine);
    const LineBits in = ParallelInputBits(m_settings.inputLine);
    const int status = m_base + kParallelStatus;
    m_control &= 0xDF - out.bit;          // data lines drive, output line cleared
    m_control |= out.bit ^ out.lowValue;  // output line high
    m_io->Out(m_base + kParallelControl, m_control);
    if (!Wait(useTimeout, [&] { return (m_io->In(status) & in.bit) == in.lowValue; })) return false;
    m_io->Out(m_base + kParallelData, byte);
    m_control = (m_control & ~out.bit) | out.lowValue;  // output line low: the byte is there
    m_io->Out(m_base + kParallelControl, m_control);
    return Wait(useTimeout, [&] { return (m_io->In(status) & in.bit) != in.lowValue; });
}

bool CLinkPort::EmulatorWrite(int selector, int64_t value) {
    int64_t result = 0;
    return m_channel && m_channel->SendMessage(kEmulatorCallingTitle, kEmulatedPortWrite,
                                               m_base | selector, value, 200, result);
}

int64_t CLinkPort::EmulatorRead(int selector, int timeoutMs) {
    int64_t result = -1;
    if (!m_channel || !m_channel->SendMessage(kEmulatorCallingTitle, kEmulatedPortRead,
                                              m_base | selector, 20, timeoutMs, result))
        return -1;
    return result;
}

bool CLinkPort::SendEmulated(int byte, bool useTimeout) {
    if (!m_channel || !m_channel->WindowExists(kEmulatorCallingTitle)) {
        m_hardFailure = true;
        return false;
    }
    auto bitClear = [&](int selector, int64_t bit) {
        return Wait(useTimeout, [&] {
            int64_t v = EmulatorRead(selector);
            return v != -1 && (v & bit) == 0;
        });
    };
    auto bitSet = [&](int selector, int64_t bit) {
        return Wait(useTimeout, [&] {
            int64_t v = EmulatorRead(selector);
            return v != -1 && (v & bit) != 0;
        });
    };
    if (!EmulatorWrite(0x04, -1)) return false;
    if (m_settings.serial) {
        if (!bitClear(0x40, 0x1000)) return false;
        return EmulatorWrite(0xFF, byte);
    }
    if (!bitClear(0x40, 0x400)) return false;
    if (!EmulatorWrite(0xFF, byte)) return false;
    if (!EmulatorWrite(0x00, -1)) return false;
    return bitSet(0x44, 0x400);
}

// ---- Receiving -------------------------------------------------------------------------------

int CLinkPort::ReceiveByte(bool useTimeout) {
    m_status = StatusImportByte;
    m_hardFailure = false;
    int byte = -1;
    if (m_settings.contact == ContactNone) {
        m_hardFailure = true;  // nothing is there to answer
    } else if (m_settings.contact == ContactEmulator) {
        byte = ReceiveEmulated(useTimeout);
    } else if (m_settings.serial) {
        byte = ReceiveSerial(useTimeout);
    } else {
        byte = ReceiveParallel(useTimeout);
    }
    if (byte < 0) {
        Trace(TraceError, m_status);
        return -1;
    }
    ++m_bytesReceived;
    Trace(TraceReceived, byte);
    m_status = StatusIdle;
    return byte;
}

int CLinkPort::ReceiveSerial(bool useTimeout) {
    if (!m_serial.IsOpen()) {
        m_hardFailure = true;
        return -1;
    }
    int code = 0;
    int queued = 0;
    bool ok = Wait(useTimeout, [&] {
        queued = m_serial.Queued(code);
        if (queued != 0) return true;
        m_serial.WaitReady(kRoundMs, false);
        return false;
    });
    if (queued < 0) {
        Fail(true, WithCode("ClearCommError failed.", code));
        return -1;
    }
    if (!ok) {
        // The hold flags: a line the flow control waits for that is off.
        int lines = m_serial.ModemLines(code);
        if (lines < 0) lines = kModemCts | kModemDsr | kModemDcd;
        const bool ctsFlow =
            m_settings.inputLine == SerialInCts || m_settings.secondInputLine == SerialInCts;
        const bool dsrFlow =
            m_settings.inputLine == SerialInDsr || m_settings.secondInputLine == SerialInDsr;
        char text[96];
        std::snprintf(text, sizeof text, "ClearCommError: CTS=%i, DSR=%i, RLSD=%i, Xoff=%i, Xon=%i",
                      (ctsFlow && !(lines & kModemCts)) ? 1 : 0,
                      (dsrFlow && !(lines & kModemDsr)) ? 1 : 0, 0, 0, 0);
        Fail(true, text);
        m_hardFailure = false;
        return -1;
    }
    int byte = m_serial.ReadByte(code);
    if (byte == -1) {
        Fail(true, WithCode("ReadFile failed.", code));
        return -1;
    }
    return byte < 0 ? -1 : byte;
}

int CLinkPort::ReceiveParallel(bool useTimeout) {
    if (!m_open || !m_portIoReady || !m_io) {
        m_hardFailure = true;
        return -1;
    }
    const LineBits out = ParallelOutputBits(m_settings.outputLine);
    const LineBits in = ParallelInputBits(m_settings.inputLine);
    const int status = m_base + kParallelStatus;
    m_control &= 0xDF - out.bit;
    m_control |= 0x20;                    // data lines are inputs
    m_control |= out.bit ^ out.lowValue;  // output line high: ready for a byte
    m_io->Out(m_base + kParallelControl, m_control);
    if (!Wait(useTimeout, [&] { return (m_io->In(status) & in.bit) == in.lowValue; })) return -1;
    const int byte = m_io->In(m_base + kParallelData) & 0xFF;
    m_control = (m_control & ~out.bit) | out.lowValue;  // output line low: taken
    m_io->Out(m_base + kParallelControl, m_control);
    if (!Wait(useTimeout, [&] { return (m_io->In(status) & in.bit) != in.lowValue; })) return -1;
    return byte;
}

int CLinkPort::ReceiveEmulated(bool useTimeout) {
    if (!m_channel || !m_channel->WindowExists(kEmulatorCallingTitle)) {
        m_hardFailure = true;
        return -1;
    }
    auto waitBit = [&](int selector, int64_t bit, bool set) {
        return Wait(useTimeout, [&] {
            int64_t v = EmulatorRead(selector);
            return v != -1 && ((v & bit) != 0) == set;
        });
    };
    if (!EmulatorWrite(0x04, -1)) return -1;
    if (m_settings.serial) {
        if (!waitBit(0x44, 0x2000, false)) return -1;
        int64_t v = EmulatorRead(0x01, 2000);
        return v < 0 ? -1 : static_cast<int>(v & 0xFF);
    }
    if (!waitBit(0x40, 0x400, false)) return -1;
    int64_t v = EmulatorRead(0x01);
    if (v < 0) return -1;
    if (!EmulatorWrite(0x00, -1)) return -1;
    if (!waitBit(0x44, 0x400, true)) return -1;
    return static_cast<int>(v & 0xFF);
}

}  // namespace tavik
