#include "SimulatedParallelPort.h"

namespace tavik::test {

CSimulatedParallelPort::CSimulatedParallelPort(CByteDevice& device, int outputLine, int inputLine)
    : m_device(device),
      m_out(tavik::ParallelOutputBits(outputLine)),
      m_in(tavik::ParallelInputBits(inputLine)) {}

bool CSimulatedParallelPort::Acquire(int base, std::string& error) {
    if (refuseAccess) {
        error = "No access to I/O ports at simulated port Error code: 0001";
        return false;
    }
    m_base = base;
    acquiredBase = base;
    return true;
}

bool CSimulatedParallelPort::OutputHigh(int control) const {
    return (control & m_out.bit) != m_out.lowValue;
}

// The TI reacts to levels: with the PC's line high it gets ready (to take a byte, or with a byte
// to give) and pulls its own line low; when the PC's line then goes low the byte is latched or
// taken, and the TI's line goes high again.
void CSimulatedParallelPort::Evaluate() {
    const bool high = OutputHigh(m_control);
    if (!m_lineLow && high && m_device.Listening()) {
        m_receiving = (m_control & 0x20) != 0;
        if (!m_receiving) {
            m_lineLow = true;
        } else if (m_device.HasOutput()) {
            m_deviceData = m_device.PeekOutput();
            m_lineLow = true;
        }
    } else if (m_lineLow && !high) {
        if (m_receiving)
            m_device.PopOutput();
        else
            m_device.Feed(static_cast<uint8_t>(m_data));
        m_lineLow = false;
    }
}

int CSimulatedParallelPort::In(int address) {
    const int offset = address - m_base;
    if (offset == tavik::kParallelExtendedControl) return extendedControl;
    if (offset == tavik::kParallelControl) return controlMissing ? 0xFF : (m_control & 0x3F);
    if (offset == tavik::kParallelData) return (m_control & 0x20) ? m_deviceData : m_data;
    if (offset == tavik::kParallelStatus) {
        Evaluate();
        // Bits other than the handshake line read as their "high" level.
        int status = 0x78 & ~m_in.bit;
        status |= m_lineLow ? m_in.lowValue : (m_in.bit ^ m_in.lowValue);
        return status;
    }
    return 0xFF;
}

void CSimulatedParallelPort::Out(int address, int value) {
    const int offset = address - m_base;
    if (offset == tavik::kParallelExtendedControl) {
        lastExtendedWrite = value;
        return;
    }
    if (offset == tavik::kParallelData) {
        m_data = value & 0xFF;
        return;
    }
    if (offset != tavik::kParallelControl) return;
    m_control = value & 0xFF;
    Evaluate();
}

}  // namespace tavik::test
