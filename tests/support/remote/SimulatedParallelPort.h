// A PC parallel port with a TI-99/4A on its cable, for tests. The TI side follows the handshake
// of the link: it watches the PC's output line on the control register and answers on one
// status line, latching or presenting the data byte at the right edge. It runs inside the
// register accesses themselves, so no thread is needed.
#pragma once

#include <string>
#include <vector>

#include "VirtualTi.h"
#include "remote/LinkPort.h"
#include "remote/PortIo.h"

namespace tavik::test {

class CSimulatedParallelPort : public tavik::CPortIo {
public:
    CSimulatedParallelPort(CByteDevice& device, int outputLine = 0, int inputLine = 0);

    bool Acquire(int base, std::string& error) override;
    int In(int address) override;
    void Out(int address, int value) override;

    // Faults: no access at all, an extended control or control register that reads 0xFF.
    bool refuseAccess = false;
    int extendedControl = 0x15;
    bool controlMissing = false;

    int acquiredBase = -1;
    int lastExtendedWrite = -1;

private:
    bool OutputHigh(int control) const;
    void Evaluate();

    CByteDevice& m_device;
    tavik::LineBits m_out;
    tavik::LineBits m_in;
    int m_base = 0;
    int m_control = 0;
    int m_data = 0;            // what the PC drives
    int m_deviceData = 0;      // what the TI drives
    bool m_lineLow = false;    // the TI's handshake line
    bool m_receiving = false;  // direction of the exchange under way
};

}  // namespace tavik::test
