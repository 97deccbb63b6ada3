#include "app/RemoteOptions.h"

#include "app/Options.h"

namespace tavik {

RemoteOptionValues RemoteOptionsOf(const COptions& o) {
    RemoteOptionValues v;
    v.portName = o.linkPortName;
    v.contact = o.contact;
    v.serial = o.linkMode == LinkSerial;
    v.timeout = o.linkTimeout;
    v.baudRate = o.baudRate;
    v.outputLine = o.handshakeIn;
    v.inputLine = o.handshakeOut;
    v.secondInputLine = o.ctsLine;
    v.parity = o.parity;
    v.stopBits = o.stopBits;
    v.pause = o.pauseBeforeEachByte != 0;
    v.breakpointXop = o.breakpointXop;
    v.cacheLevel = o.remoteBuffer;
    v.saveVdp = o.saveVdpMemory != 0;
    v.showDevices = o.showRemoteDevices != 0;
    return v;
}

}  // namespace tavik
