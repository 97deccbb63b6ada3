#include "remote/RemoteTi.h"

#include <chrono>

namespace tavik {

namespace {
bool InCardSpace(int address) {
    return address >= 0x4000 && address < 0x6000;
}
bool CruGiven(int cruBase) {
    return cruBase >= 0 && cruBase <= 0x1FFF;
}
}  // namespace

CRemoteTi::CRemoteTi(CUserPrompt& prompt) : m_prompt(&prompt), m_link(prompt) {}

void CRemoteTi::SetPrompt(CUserPrompt& prompt) {
    m_prompt = &prompt;
    m_link.SetPrompt(prompt);
}

void CRemoteTi::SetCardCruBase(int kind, uint16_t cru) {
    if (kind >= 0 && kind < static_cast<int>(m_cruBases.size())) m_cruBases[kind] = cru;
}

bool CRemoteTi::Begin(int status) {
    m_status = status;
    m_link.Trace(TraceCommand, status);
    return true;
}

int CRemoteTi::ReceiveWord() {
    int high = Receive();
    if (high < 0) return -1;
    int low = Receive();
    if (low < 0) return -1;
    return (high << 8) | low;
}

// ---- Single bytes and words ------------------------------------------------------------------

int CRemoteTi::ReadByte(int address, int cruBase) {
    Begin(StatusReadByte);
    if (CruGiven(cruBase)) {
        if (!Command(OpReadCard) || !SendWord(cruBase) || !SendWord(1) || !SendWord(address))
            return -1;
    } else if (!Command(OpRead) || !SendWord(address)) {
        return -1;
    }
    return Receive();
}

int CRemoteTi::ReadWord(int address, int cruBase) {
    Begin(StatusReadWord);
    if (CruGiven(cruBase)) {
        if (!Command(OpReadCard) || !SendWord(cruBase) || !SendWord(2) || !SendWord(address))
            return -1;
    } else if (!Command(OpRead) || !SendWord(address)) {
        return -1;
    }
    return ReceiveWord();
}

bool CRemoteTi::WriteByte(int address, int value, int cruBase) {
    Begin(StatusWriteByte);
    // The byte the 16-bit value holds at the addressed position.
    const int byte = (address & 1) ? (value & 0xFF) : ((value >> 8) & 0xFF);
    if (CruGiven(cruBase))
        return Command(OpWriteCard) && SendWord(cruBase) && SendWord(1) && SendWord(address) &&
               Send(byte);
    return Command(OpWrite) && SendWord(address) && Send(byte);
}

bool CRemoteTi::WriteWord(int address, int value, int cruBase) {
    Begin(StatusWriteWord);
    if (CruGiven(cruBase))
        return Command(OpWriteCard) && SendWord(cruBase) && SendWord(2) && SendWord(address) &&
               SendWord(value);
    return Command(OpWrite) && SendWord(address) && SendWord(value);
}

// ---- Blocks ------------------------------------------------------------------------------------

int CRemoteTi::ReadBlock(int opcode, int cruBase, int count, int address, uint8_t* buffer) {
    if (!Command(opcode)) return -1;
    if (opcode == OpReadCard && !SendWord(cruBase)) return -1;
    if (!SendWord(count) || !SendWord(address)) return -1;
    for (int i = 0; i < count; ++i) {
        int byte = Receive();
        if (byte < 0) return i;
        buffer[i] = static_cast<uint8_t>(byte);
    }
    return count;
}

int CRemoteTi::WriteBlock(int opcode, int cruBase, int count, int address, const uint8_t* buffer) {
    if (!Command(opcode)) return -1;
    if (opcode == OpWriteCard && !SendWord(cruBase)) return -1;
    if (!SendWord(count) || !SendWord(address)) return -1;
    for (int i = 0; i < count; ++i) {
        if (!Send(buffer[i])) return i;
    }
    return count;
}

int CRemoteTi::GromBaseFor(int page) {
    if (page == 0) return kGromBase;
    if (page == -1) {
        int base = ReadWord(kGromBaseWord);
        return base < 0 ? kGromBase : base;
    }
    return page & 0xFFFF;
}

int CRemoteTi::ReadMemory(int space, int address, int count, int cardKind, int page,
                          uint8_t* buffer) {
    if (count <= 0) return 0;
    if (count > 0xFFFF || !buffer) {
        m_status = StatusBadAddress;
        return -1;
    }
    switch (space) {
        case SpaceVdp:
            if (!SetVdpAddress(address & 0x3FFF)) return -1;
            Begin(StatusReadMemory);
            return ReadBlock(OpReadPort, 0, count, kVdpReadData, buffer);
        case SpaceGrom: {
            const int base = GromBaseFor(page);
            const int previous = GetGromAddress(base);
            if (previous < 0 || !SetGromAddress(address, base)) return -1;
            Begin(StatusReadMemory);
            int moved = ReadBlock(OpReadPort, 0, count, base, buffer);
            if (moved < 0 || !SetGromAddress(previous, base)) return moved < 0 ? -1 : moved;
            return moved;
        }
        default:
            Begin(StatusReadMemory);
            if (InCardSpace(address)) {
                const int cru = cardKind >= 0 && cardKind < 16 ? m_cruBases[cardKind] : 0;
                return ReadBlock(OpReadCard, cru, count, address, buffer);
            }
            return ReadBlock(OpReadBlock, 0, count, address, buffer);
    }
}

int CRemoteTi::WriteMemory(int space, int address, int count, int cardKind, int page,
                           const uint8_t* buffer) {
    if (count <= 0) return 0;
    if (count > 0xFFFF || !buffer) {
        m_status = StatusBadAddress;
        return -1;
    }
    switch (space) {
        case SpaceVdp:
            if (!SetVdpAddress((address & 0x3FFF) | 0x4000)) return -1;
            Begin(StatusWriteMemory);
            return WriteBlock(OpWritePort, 0, count, kVdpWriteData, buffer);
        case SpaceGrom: {
            const int base = GromBaseFor(page);
            const int previous = GetGromAddress(base);
            if (previous < 0 || !SetGromAddress(address, base)) return -1;
            Begin(StatusWriteMemory);
            int moved = WriteBlock(OpWritePort, 0, count, base + 0x400, buffer);
            if (moved < 0 || !SetGromAddress(previous, base)) return moved < 0 ? -1 : moved;
            return moved;
        }
        default:
            Begin(StatusWriteMemory);
            if (InCardSpace(address)) {
                const int cru = cardKind >= 0 && cardKind < 16 ? m_cruBases[cardKind] : 0;
                return WriteBlock(OpWriteCard, cru, count, address, buffer);
            }
            return WriteBlock(OpWriteBlock, 0, count, address, buffer);
    }
}

// ---- CRU ---------------------------------------------------------------------------------------

int CRemoteTi::PeekCru(int cruAddress, int count) {
    Begin(StatusPeekCru);
    int result = 0;
    for (int i = 0; i < count; ++i) {
        if (!Command(OpCruTest) || !SendWord(cruAddress + 2 * i)) return -1;
        int byte = Receive();
        if (byte < 0) return -1;
        result = result * 2 + (byte & 1);
    }
    return result;
}

bool CRemoteTi::PokeCru(int cruAddress, int value, int count) {
    Begin(StatusPokeCru);
    for (int i = 0; i < count; ++i) {
        const int opcode = ((value >> i) & 1) ? OpCruOne : OpCruZero;
        if (!Command(opcode) || !SendWord(cruAddress + 2 * i)) return false;
    }
    return true;
}

int CRemoteTi::TestBit(int cruAddress) {
    Begin(StatusTestBit);
    if (!Command(OpCruTest) || !SendWord(cruAddress)) return -1;
    int byte = Receive();
    return byte < 0 ? -1 : (byte & 1);
}

// ---- VDP and GROM addresses --------------------------------------------------------------------

bool CRemoteTi::SetVdpAddress(int address) {
    // The VDP takes its address low byte first.
    return Command(OpWritePort) && SendWord(2) && SendWord(kVdpWriteAddress) &&
           Send(address & 0xFF) && Send((address >> 8) & 0xFF);
}

bool CRemoteTi::SetGromAddress(int address, int gromBase) {
    return Command(OpWritePort) && SendWord(2) && SendWord(gromBase + 0x402) &&
           SendWord(address & 0xFFFF);
}

int CRemoteTi::GetGromAddress(int gromBase) {
    Begin(StatusGetAddress);
    const int port = (((gromBase >> 8) & 0xFB) << 8) | ((gromBase & 0xFF) | 2);
    if (!Command(OpReadPort) || !SendWord(2) || !SendWord(port)) return -1;
    int value = ReceiveWord();
    if (value < 0) return -1;
    // Reading the GROM prefetches: the address register is one past the last byte read.
    m_lastGromAddress = (value - 1) & 0xFFFF;
    return m_lastGromAddress;
}

// ---- Hook state and execution ------------------------------------------------------------------

bool CRemoteTi::Where(bool useTimeout, bool sendCommand) {
    Begin(StatusWhere);
    if (sendCommand && !(Command(OpWhere))) return false;
    std::array<uint16_t, 8> w{};
    for (auto& word : w) {
        int high = Receive(useTimeout);
        if (high < 0) return false;
        int low = Receive(useTimeout);
        if (low < 0) return false;
        word = static_cast<uint16_t>((high << 8) | low);
    }
    m_cardCru = w[0];
    m_relocation = w[1];
    m_hookWorkspace = static_cast<uint16_t>(w[2] - 0x15);
    m_hookReturn = w[3];
    m_hookLocation = static_cast<uint16_t>(w[3] - 0xB0);
    m_further = w[4];
    m_wp = w[5];
    m_pc = w[6];
    m_st = w[7];
    return true;
}

bool CRemoteTi::SetReturn(int wp, int pc, int st) {
    if (wp != -1) m_wp = static_cast<uint16_t>(wp);
    if (pc != -1) m_pc = static_cast<uint16_t>(pc);
    if (st != -1) m_st = static_cast<uint16_t>(st);
    const uint8_t bytes[6] = {
        static_cast<uint8_t>(m_wp >> 8), static_cast<uint8_t>(m_wp),
        static_cast<uint8_t>(m_pc >> 8), static_cast<uint8_t>(m_pc),
        static_cast<uint8_t>(m_st >> 8), static_cast<uint8_t>(m_st),
    };
    return WriteMemory(SpaceCpu, m_hookWorkspace + 26, 6, 0, 0, bytes) == 6;
}

bool CRemoteTi::Run() {
    if (!SetReturn()) return false;
    Begin(StatusRun);
    if (!InCardSpace(m_pc)) return Command(OpRun) && SendWord(m_pc);
    return Command(OpRunCard) && SendWord(m_cardCru) && SendWord(m_pc);
}

bool CRemoteTi::SetXop(int number) {
    Begin(StatusSetXop);
    if (number < 0) number = (m_xopWord >> 6) & 15;
    const int vector = 0x40 + 4 * number;
    if (ReadWord(vector) < 0) return false;
    const int b = ReadWord(vector + 2);
    if (b < 0) return false;
    const int target = (m_hookLocation + 14) & 0xFFFF;
    if (!WriteWord(b, kBlwpInstruction) || !WriteWord(b + 2, target)) return false;
    const int first = ReadWord(b);
    const int second = ReadWord(b + 2);
    m_status = StatusSetXop;
    return first == kBlwpInstruction && second == target;
}

int CRemoteTi::SetBreakpoint(int address) {
    Begin(StatusSetBreakpoint);
    const int original = ReadWord(address);
    if (original < 0) return -1;
    if (!WriteWord(address, m_xopWord)) return -1;
    const int back = ReadWord(address);
    m_status = StatusSetBreakpoint;
    return back == (m_xopWord & 0xFFFF) ? original : -1;
}

bool CRemoteTi::Call(int subroutine, int workspace, int cruBase) {
    Begin(StatusBranchLink);
    if (!SetReturn(workspace, subroutine, -1)) return false;
    if (!WriteWord(workspace + 22, m_hookLocation)) return false;  // R11: back to the hook
    if (CruGiven(cruBase) && !WriteWord(workspace + 24, cruBase)) return false;  // R12
    // The return lands on two jumps to the next word and falls through to the breakpoint.
    if (!WriteWord(m_hookLocation, kJumpNext) || !WriteWord(m_hookLocation + 2, kJumpNext))
        return false;
    if (SetBreakpoint(m_hookLocation + 4) < 0) return false;
    if (!SetXop()) return false;
    if (!Run()) return false;
    m_status = StatusBranchLink;
    const auto limit =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_callWaitLimit);
    if (m_callWaitLimit > 0) m_link.SetDeadline(limit);
    // Without a time-out the wait for the hook's own report ends only when the report is in,
    // Escape is held, the port fails or the optional limit passes.
    const bool interrupted = !Where(false, false);
    m_link.SetDeadline({});
    if (interrupted)
        m_prompt->Message("Remote system not asnwering.\nWhen it does, do Execute->RTWP",
                          PromptIcon::Warning);
    return true;
}

}  // namespace tavik
