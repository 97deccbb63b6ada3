// The remote layer against a TI (or an emulator) that answers anything: the first byte chooses
// between a channel frame and a parallel-port TI whose every answer byte comes from the input.
// Drive scans, sector reads and the hook state must stay within bounds whatever comes back.
#include <cstddef>
#include <cstdint>

#include "disk/VirtualDrive.h"
#include "remote/ChannelFrame.h"
#include "remote/RemoteDriveSource.h"
#include "remote/RemoteTi.h"

namespace {

// A parallel port whose handshake line toggles on every status read and whose data register
// yields the input's bytes; when they run out the line stops moving (the TI falls silent).
class CFuzzPort : public tavik::CPortIo {
public:
    CFuzzPort(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Acquire(int, std::string&) override { return true; }
    int In(int address) override {
        switch (address - 0x278) {
            case tavik::kParallelStatus:
                if (m_pos < m_size) m_status ^= 0x80;
                return m_status;
            case tavik::kParallelData:
                return m_pos < m_size ? m_data[m_pos++] : 0;
            default:
                return 0x00;
        }
    }
    void Out(int, int) override {}

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    int m_status = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    if (data[0] & 1) {
        tavik::ChannelFrame frame;
        tavik::DecodeFrame(data + 1, size - 1, frame);
        return 0;
    }
    CFuzzPort port(data + 1, size - 1);
    tavik::CRemoteTi ti;
    tavik::LinkSettings s;
    s.contact = tavik::ContactCable;
    s.serial = false;
    s.portName = "LPT1 single port";
    s.timeout = 4;
    ti.Link().SetSettings(s);
    ti.Link().SetPortIo(&port);
    ti.SetCallWaitLimit(1);
    if (!ti.Link().Open(false)) return 0;
    tavik::CRemoteDriveSource source(ti);
    tavik::CVirtualDrive drive;
    std::vector<uint16_t> found;
    source.ScanForDrives(drive, tavik::kAllDrives, &found);
    if (drive.MountRemote(1, &source)) {
        uint8_t sector[256];
        drive.ReadSector(0, sector);
        drive.WriteSector(1, sector);
    }
    return 0;
}
