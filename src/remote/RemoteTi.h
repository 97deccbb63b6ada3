// The command layer to a TI-99/4A running the hook routine. Every command is the byte 0x00, an
// opcode and its arguments (16-bit values high byte first); replies are raw bytes, 16-bit
// replies high byte first. There is no checksum, acknowledgement or retry: the first byte that
// fails ends the command with failure, and the status code tells which command was running.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/UserPrompt.h"
#include "remote/LinkPort.h"

namespace tavik {

enum MemorySpace : int { SpaceCpu = 0, SpaceVdp = 1, SpaceGrom = 2 };

// Hook opcodes.
enum HookOpcode : uint8_t {
    OpRead = 0x00,
    OpReadBlock = 0x02,
    OpReadPort = 0x04,
    OpReadCard = 0x06,
    OpWrite = 0x08,
    OpWriteBlock = 0x0A,
    OpWritePort = 0x0C,
    OpWriteCard = 0x0E,
    OpCruZero = 0x10,
    OpCruOne = 0x12,
    OpCruTest = 0x14,
    OpRun = 0x16,
    OpRunCard = 0x18,
    OpWhere = 0x1C,
};

// Memory-mapped ports and hook layout.
constexpr uint16_t kVdpReadData = 0x8800;
constexpr uint16_t kVdpWriteData = 0x8C00;
constexpr uint16_t kVdpWriteAddress = 0x8C02;
constexpr uint16_t kGromBase = 0x9800;
constexpr uint16_t kGromBaseWord = 0x83FA;
constexpr uint16_t kJumpNext = 0x1000;  // JMP $+2
constexpr uint16_t kBlwpInstruction = 0x0420;
constexpr int kDefaultXopWord = 0x2C40;  // XOP 1

// What a hook upload came to.
enum class HookUploadResult { Failed, Uploaded, ScanRequested };

class CRemoteTi {
public:
    explicit CRemoteTi(CUserPrompt& prompt = SilentPrompt());

    CLinkPort& Link() { return m_link; }
    const CLinkPort& Link() const { return m_link; }
    void SetPrompt(CUserPrompt& prompt);
    CUserPrompt& Prompt() const { return *m_prompt; }

    int Status() const { return m_status; }
    void SetStatus(int status) { m_status = status; }

    // Card space (>4000->5FFF) is reached with the card at cruBase switched on when cruBase lies
    // in 0..0x1FFF; otherwise (e.g. -1) the plain opcodes are used.
    int ReadByte(int address, int cruBase = -1);
    int ReadWord(int address, int cruBase = -1);
    bool WriteByte(int address, int value, int cruBase = -1);
    bool WriteWord(int address, int value, int cruBase = -1);

    // Bytes moved, or -1 when the command could not be sent. A read that breaks off returns the
    // bytes received so far.
    int ReadMemory(int space, int address, int count, int cardKind, int page, uint8_t* buffer);
    int WriteMemory(int space, int address, int count, int cardKind, int page,
                    const uint8_t* buffer);

    int PeekCru(int cruAddress, int count);  // -1 on failure
    bool PokeCru(int cruAddress, int value, int count);
    int TestBit(int cruAddress);  // 0 or 1, -1 on failure

    bool SetVdpAddress(int address);
    bool SetGromAddress(int address, int gromBase = kGromBase);
    int GetGromAddress(int gromBase = kGromBase);  // -1 on failure

    bool Where(bool useTimeout = true, bool sendCommand = true);
    bool SetReturn(int wp = -1, int pc = -1, int st = -1);
    bool Run();
    bool SetXop(int number = -1);
    int SetBreakpoint(int address);  // the original word, -1 on failure
    bool Call(int subroutine, int workspace, int cruBase = -1);
    bool MoveHook(int newLocation, int newWorkspace);
    // Takes the breakpoint out and resumes the interrupted program ("Unhook TI-99/4A").
    bool Unhook();

    // Hook file upload and the options page's "Query hook".
    HookUploadResult UploadHook(const std::string& path);
    bool QueryHook(const LinkSettings& pageSettings, uint16_t& location, uint16_t& workspace);

    // Hook state, valid after a successful Where.
    uint16_t HookLocation() const { return m_hookLocation; }
    uint16_t HookWorkspace() const { return m_hookWorkspace; }
    uint16_t CardCru() const { return m_cardCru; }
    void SetCardCru(uint16_t cru) { m_cardCru = cru; }
    uint16_t Relocation() const { return m_relocation; }
    uint16_t HookReturn() const { return m_hookReturn; }
    uint16_t FurtherRegister() const { return m_further; }
    uint16_t ProgramWp() const { return m_wp; }
    uint16_t ProgramPc() const { return m_pc; }
    uint16_t ProgramSt() const { return m_st; }
    void SetProgramPc(uint16_t pc) { m_pc = pc; }
    int LastGromAddress() const { return m_lastGromAddress; }

    // The DSR error byte of the last remote sector access ("code" of the error record).
    int HookStatus() const { return m_hookStatus; }
    void SetHookStatus(int status) { m_hookStatus = status; }

    int XopWord() const { return m_xopWord; }
    void SetXopWord(int word) { m_xopWord = word; }
    void SetCardCruBase(int kind, uint16_t cru);

    // A bound (ms) on Call's wait for the hook's report; 0 waits until Escape is held.
    void SetCallWaitLimit(int ms) { m_callWaitLimit = ms; }

private:
    bool Begin(int status);
    bool Send(int byte) { return m_link.SendByte(byte, true); }
    bool SendWord(int word) { return Send((word >> 8) & 0xFF) && Send(word & 0xFF); }
    bool Command(int opcode) { return Send(0x00) && Send(opcode); }
    int Receive(bool useTimeout = true) { return m_link.ReceiveByte(useTimeout); }
    int ReceiveWord();
    int ReadBlock(int opcode, int cruBase, int count, int address, uint8_t* buffer);
    int WriteBlock(int opcode, int cruBase, int count, int address, const uint8_t* buffer);
    int GromBaseFor(int page);

    CUserPrompt* m_prompt;
    int m_status = 0;
    CLinkPort m_link;
    std::array<uint16_t, 16> m_cruBases{};
    int m_lastGromAddress = 0;
    int m_xopWord = kDefaultXopWord;
    uint16_t m_hookLocation = 0;
    uint16_t m_cardCru = 0;
    uint16_t m_relocation = 0;
    uint16_t m_hookWorkspace = 0;
    uint16_t m_hookReturn = 0;
    uint16_t m_further = 0;
    uint16_t m_wp = 0;
    uint16_t m_pc = 0;
    uint16_t m_st = 0;
    int m_hookStatus = 0;
    int m_callWaitLimit = 0;
};

}  // namespace tavik
