// The remote settings of the options, in a form the remote link takes without knowing the
// options object: the link (contact, port, lines, speed, time-out), the breakpoint XOP, the
// buffering level and VDP-save flag of remote drives, and whether drives sit under device nodes.
#pragma once

#include <string>

namespace tavik {

class COptions;

struct RemoteOptionValues {
    std::string portName = "LPT1";
    int contact = 1;  // 0 cable, 1 an emulator's emulated port
    bool serial = false;
    int timeout = 4096;
    int baudRate = 9600;
    int outputLine = 0;       // "Handshake in:" / "DTR:"
    int inputLine = 0;        // "Handshake out:" / "DCD:"
    int secondInputLine = 0;  // "CTS:"
    int parity = 0;
    int stopBits = 0;
    bool pause = false;
    int breakpointXop = 0x2C40;
    int cacheLevel = 2;  // "Buffer:"
    bool saveVdp = true;
    bool showDevices = true;
};

RemoteOptionValues RemoteOptionsOf(const COptions& options);

}  // namespace tavik
