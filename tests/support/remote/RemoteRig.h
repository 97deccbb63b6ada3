// A CRemoteTi connected to a virtual TI-99/4A through one of the three transports: a serial
// cable on a pseudo-terminal, a parallel cable on the simulated port, or the emulated port of
// the emulator peer. Tests build one per transport and run the same checks on each.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "EmulatorPeer.h"
#include "PtyPeer.h"
#include "SimulatedParallelPort.h"
#include "VirtualTi.h"
#include "remote/LocalSocketChannel.h"
#include "remote/RemoteTi.h"
#include "support/ScriptedPrompt.h"

namespace tavik::test {

enum class Transport { Serial, Parallel, Emulated };

inline const char* TransportName(Transport t) {
    return t == Transport::Serial ? "Serial" : t == Transport::Parallel ? "Parallel" : "Emulated";
}

// A prompt whose Escape key counts as held once a time has passed since the last Arm, so
// waits without a time-out still end in a test.
class CEscapeAfterPrompt : public CScriptedPrompt {
public:
    explicit CEscapeAfterPrompt(int ms = 60000) : m_ms(ms) { Arm(); }
    void Arm() { m_until = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_ms); }
    void SetDelay(int ms) {
        m_ms = ms;
        Arm();
    }
    bool KeyHeld(PolledKey key) override {
        if (key == PolledKey::Escape && std::chrono::steady_clock::now() >= m_until) {
            ++escapes;
            return true;
        }
        return CScriptedPrompt::KeyHeld(key);
    }
    int escapes = 0;

private:
    int m_ms;
    std::chrono::steady_clock::time_point m_until;
};

class CRemoteRig {
public:
    // folder: where the emulator channel's sockets live (a fresh temporary folder).
    CRemoteRig(Transport transport, const std::string& folder, int timeout = 300)
        : transport(transport), ti(prompt), channel(folder), peer(folder) {
        LinkSettings s;
        s.timeout = timeout;
        s.baudRate = 38400;
        switch (transport) {
            case Transport::Serial:
                pty = std::make_unique<CPtyPeer>(vti, vti.Mutex());
                s.contact = ContactCable;
                s.serial = true;
                s.portName = pty->SlavePath();
                break;
            case Transport::Parallel:
                port = std::make_unique<CSimulatedParallelPort>(vti, 0, 0);
                ti.Link().SetPortIo(port.get());
                s.contact = ContactCable;
                s.serial = false;
                s.portName = "LPT1 single port";
                break;
            case Transport::Emulated:
                peer.AttachPort(vti, vti.Mutex());
                peer.Start(false, true);
                s.contact = ContactEmulator;
                s.serial = true;
                s.portName = "RS232/1";
                break;
        }
        ti.Link().SetSettings(s);
        ti.Link().SetEmulatorChannel(&channel);
    }
    ~CRemoteRig() {
        if (pty) pty->Stop();
        peer.Stop();
    }

    // Runs fn with the virtual TI locked (the serial and emulated transports serve it on
    // another thread).
    template <class Fn>
    auto WithTi(Fn fn) {
        std::lock_guard<std::mutex> lock(vti.Mutex());
        return fn(vti);
    }

    Transport transport;
    CEscapeAfterPrompt prompt;
    CVirtualTi vti;
    CRemoteTi ti;
    CLocalSocketChannel channel;
    CEmulatorPeer peer;
    std::unique_ptr<CPtyPeer> pty;
    std::unique_ptr<CSimulatedParallelPort> port;
};

}  // namespace tavik::test
