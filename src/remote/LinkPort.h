// The byte transport to a TI-99/4A running the hook routine: a serial cable (termios), a
// parallel cable (port registers through CPortIo, with a handshake on one control line and one
// status line), or an emulator's emulated serial or parallel port reached over the emulator
// channel. Every higher command is a sequence of SendByte and ReceiveByte.
//
// Waits count rounds against the time-out (0: no limit) and give up when Escape is held. For the
// serial cable a round lasts about a millisecond, so the time-out is also a time in ms.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "base/UserPrompt.h"
#include "remote/EmulatorChannel.h"
#include "remote/LinkStatus.h"
#include "remote/PortIo.h"
#include "remote/SerialPort.h"
#include "remote/TraceLog.h"

namespace tavik {

enum LinkContact : int { ContactCable = 0, ContactEmulator = 1, ContactNone = 2 };

// Parallel handshake lines.
enum ParallelOutputLine : int { OutSelect = 0, OutInit = 1, OutAutoLf = 2, OutStrobe = 3 };
enum ParallelInputLine : int { InBusy = 0, InAck = 1, InPaperOut = 2, InSelectIn = 3, InError = 4 };
// Serial lines.
enum SerialOutputLine : int { SerialOutNone = 0, SerialOutDtr = 1, SerialOutRts = 2 };
enum SerialInputLine : int { SerialInNone = 0, SerialInCts = 1, SerialInDcd = 2, SerialInDsr = 3 };

struct LineBits {
    int bit;
    int lowValue;  // register value (bit masked) that drives or reads the pin low
};
LineBits ParallelOutputBits(int line);
LineBits ParallelInputBits(int line);

// Messages 0x9900 (read a selector) and 0x9901 (write a selector) of the emulated port.
constexpr uint32_t kEmulatedPortRead = 0x9900;
constexpr uint32_t kEmulatedPortWrite = 0x9901;

struct LinkSettings {
    std::string portName = "LPT1";
    int contact = ContactEmulator;
    bool serial = false;
    int baudRate = 9600;
    int outputLine = 0;       // "Handshake in:" / "DTR:"
    int inputLine = 0;        // "Handshake out:" / "DCD:"
    int secondInputLine = 0;  // "CTS:" (serial only)
    int parity = 0;
    int stopBits = 0;
    bool pause = false;
    int timeout = 4096;
};

class CLinkPort {
public:
    explicit CLinkPort(CUserPrompt& prompt = SilentPrompt()) : m_prompt(&prompt) {}

    void SetPrompt(CUserPrompt& prompt) { m_prompt = &prompt; }
    CUserPrompt& Prompt() const { return *m_prompt; }
    void SetSettings(const LinkSettings& settings) { m_settings = settings; }
    LinkSettings& Settings() { return m_settings; }
    const LinkSettings& Settings() const { return m_settings; }
    void SetEmulatorChannel(CEmulatorChannel* channel) { m_channel = channel; }
    // Port registers to use instead of the real ones chosen from the port name (not owned).
    void SetPortIo(CPortIo* io) { m_injectedIo = io; }
    // Where the trace goes; without one, the program's log (base/Log.h).
    void SetTrace(CTraceLog* trace) { m_trace = trace; }
    CTraceLog* TraceSink() const { return m_trace; }

    // Prepares the port; with messages, failures are also shown through the prompt.
    bool Open(bool messages);
    void Close();
    bool IsOpen() const { return m_open; }
    bool SendByte(int byte, bool useTimeout);
    int ReceiveByte(bool useTimeout);  // 0..255, or -1

    int Status() const { return m_status; }
    // True when the last byte failed for another reason than a time-out or Escape (the port
    // reported an error, the emulator window is gone).
    bool HardFailure() const { return m_hardFailure; }
    void SetStatus(int status) { m_status = status; }
    int Base() const { return m_base; }
    int ControlCopy() const { return m_control; }
    // Every wait also ends at this moment (none when default-constructed), time-out or not.
    void SetDeadline(std::chrono::steady_clock::time_point deadline) { m_deadline = deadline; }
    void Trace(int kind, int value);
    void TraceText(const std::string& line);

    // Base address of a parallel port name; emulated port code of a port name.
    static int ParallelBase(const std::string& portName);
    static int EmulatedPortCode(const std::string& portName, bool serial);

    uint64_t BytesSent() const { return m_bytesSent; }
    uint64_t BytesReceived() const { return m_bytesReceived; }

private:
    bool OpenSerial(bool messages);
    bool OpenParallel(bool messages);
    bool OpenEmulator(bool messages);
    bool SendSerial(int byte, bool useTimeout);
    bool SendParallel(int byte, bool useTimeout);
    bool SendEmulated(int byte, bool useTimeout);
    int ReceiveSerial(bool useTimeout);
    int ReceiveParallel(bool useTimeout);
    int ReceiveEmulated(bool useTimeout);
    bool WaitModemLine(int line, bool useTimeout);
    // Polls ready() in rounds until it holds, the time-out runs out or Escape is held.
    template <class Ready>
    bool Wait(bool useTimeout, Ready ready);
    bool Escape() { return m_prompt->KeyHeld(PolledKey::Escape); }
    void Fail(bool show, const std::string& text);
    bool EmulatorWrite(int selector, int64_t value);
    int64_t EmulatorRead(int selector, int timeoutMs = 200);

    CUserPrompt* m_prompt;
    int m_status = 0;
    LinkSettings m_settings;
    int m_base = 0;
    int m_control = 0;
    bool m_open = false;
    bool m_hardFailure = false;
    bool m_portIoReady = false;
    CSerialPort m_serial;
    std::unique_ptr<CPortIo> m_ownIo;
    CPortIo* m_injectedIo = nullptr;
    CPortIo* m_io = nullptr;
    CEmulatorChannel* m_channel = nullptr;
    CTraceLog* m_trace = nullptr;
    std::chrono::steady_clock::time_point m_lastSend{};
    std::chrono::steady_clock::time_point m_deadline{};
    uint64_t m_bytesSent = 0;
    uint64_t m_bytesReceived = 0;
};

}  // namespace tavik
