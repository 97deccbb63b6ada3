// A virtual TI-99/4A with the hook routine installed, for tests. It obeys the hook's byte
// contract: CPU memory (console ROM read-only below >2000), VDP memory with its address latch,
// GROM with its auto-incrementing, prefetching address, CRU bits, the hook state reported by
// "Where", and a disk controller card at a CRU base whose DSR subroutines >10 (sector read and
// write) and >11 (format) serve sectors from image files.
//
// Byte or word: the hook's read (0x00) and write (0x08) opcodes have a byte and a word form but
// carry no size. This TI takes an odd address as a byte access and an even address as a word
// access, which matches every use the system makes of them (words at even addresses, bytes
// where a single byte lives at an odd address); card space always goes through the counted
// opcodes 0x06 / 0x0E.
//
// Running code: there is no processor. A run command whose address is a card subroutine with
// the card switched on executes that subroutine natively, then returns through R11 as a DSR
// does (R11 + 2 on success) and follows what the TI would execute there: jumps to the next
// word, then an XOP whose vector must be a BLWP to the hook's entry vector. Only when that chain
// is right does the hook report its registers on its own; otherwise the TI stays silent, as a
// crashed machine would. A run at the hook location + 6 restarts a moved hook; any other run
// resumes the interrupted program, after which the hook is gone.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tavik::test {

// The TI's side of a link: bytes in from the PC, bytes out to it.
class CByteDevice {
public:
    virtual ~CByteDevice() = default;
    virtual void Feed(uint8_t byte) = 0;
    virtual bool HasOutput() const = 0;
    virtual uint8_t PeekOutput() const = 0;
    virtual void PopOutput() = 0;
    // False while nothing on the TI side takes part in a handshake.
    virtual bool Listening() const { return true; }
};

struct VirtualDrive {
    std::string imagePath;
    bool writeProtected = false;
    uint8_t forcedError = 0;  // non-zero: every access returns this error byte
};

struct VirtualCard {
    uint16_t cru = 0x1100;
    bool validHeader = true;             // first ROM byte 0xAA
    std::string driveNames = "123";      // DSK1, DSK2, DSK3
    std::map<int, VirtualDrive> drives;  // by drive number
};

class CVirtualTi : public CByteDevice {
public:
    static constexpr uint16_t kHookLocation = 0xA000;
    static constexpr uint16_t kHookWorkspace = 0xA180;
    static constexpr uint16_t kHookLength = 0x0160;
    static constexpr uint16_t kProgramWp = 0x83C0;
    static constexpr uint16_t kProgramPc = 0x0070;
    static constexpr uint16_t kProgramResume = 0x006A;  // R10 of the program's workspace
    static constexpr uint16_t kSub10 = 0x4200;
    static constexpr uint16_t kSub11 = 0x4220;

    CVirtualTi();

    // ---- Set-up --------------------------------------------------------------------------
    void AddCard(const VirtualCard& card);
    VirtualCard* Card(uint16_t cru);
    void InstallHook(uint16_t location = kHookLocation, uint16_t workspace = kHookWorkspace);
    void RemoveHook() { m_hookInstalled = false; }
    // Waits for 80-byte records; a record starting with ':' ends the load and installs the hook.
    void StartLoader();

    // Faults of the link: silent (answers nothing), garbage (every answer byte inverted),
    // answer limit (goes silent after this many more answer bytes; -1 none).
    void SetSilent(bool silent) { m_silent = silent; }
    void SetGarbage(bool garbage) { m_garbage = garbage; }
    void SetAnswerLimit(int bytes) { m_answerLimit = bytes; }

    // ---- CByteDevice ---------------------------------------------------------------------
    void Feed(uint8_t byte) override;
    bool HasOutput() const override { return !m_output.empty(); }
    uint8_t PeekOutput() const override { return m_output.front(); }
    void PopOutput() override { m_output.pop_front(); }
    bool Listening() const override {
        return !m_output.empty() || (!m_silent && !m_hung && (m_loading || m_hookInstalled));
    }

    // ---- Inspection ----------------------------------------------------------------------
    std::mutex& Mutex() { return m_mutex; }
    uint8_t Cpu(uint16_t address) const { return m_cpu[address]; }
    uint16_t CpuWord(uint16_t address) const;
    void SetCpuWord(uint16_t address, uint16_t value);
    uint8_t& Vdp(uint16_t address) { return m_vdp[address & 0x3FFF]; }
    uint8_t& Grom(uint16_t address) { return m_grom[address]; }
    uint16_t GromAddress() const { return m_gromAddress; }
    bool CruBit(uint16_t cruAddress) const { return m_cru[(cruAddress >> 1) & 0xFFF]; }
    bool HookInstalled() const { return m_hookInstalled; }
    uint16_t HookLocation() const { return m_hookLocation; }
    uint16_t HookWorkspace() const { return m_hookWorkspace; }
    bool Resumed() const { return m_resumed; }
    uint16_t ResumedAt() const { return m_resumedAt; }
    bool Hung() const { return m_hung; }
    int SubroutineCalls() const { return m_subroutineCalls; }
    const std::vector<uint8_t>& Loaded() const { return m_loaded; }
    // Bytes seen from the PC since the last ClearTraffic (for byte-exact checks).
    const std::vector<uint8_t>& Received() const { return m_received; }
    void ClearTraffic() { m_received.clear(); }

private:
    uint8_t Read8(uint16_t address);
    void Write8(uint16_t address, uint8_t value);
    uint16_t Word(uint16_t address) {
        return static_cast<uint16_t>((Read8(address) << 8) | Read8(address + 1));
    }
    void SetWord(uint16_t address, uint16_t value);
    VirtualCard* ActiveCard();
    void Answer(uint8_t byte);
    void AnswerWord(uint16_t word) {
        Answer(static_cast<uint8_t>(word >> 8));
        Answer(static_cast<uint8_t>(word));
    }
    size_t ArgumentBytes() const;  // bytes the pending command needs after the 0x00
    void Execute();
    void ReportWhere();
    void RunAt(uint16_t address, int cru);
    void RunSubroutine(VirtualCard& card, uint16_t address);
    void SectorSubroutine(VirtualCard& card);
    void FormatSubroutine(VirtualCard& card);
    bool BreakpointReached(uint16_t returnAddress);
    void BuildRom(const VirtualCard& card, std::array<uint8_t, 0x2000>& rom);
    void FeedLoader(uint8_t byte);

    std::mutex m_mutex;
    std::array<uint8_t, 0x10000> m_cpu{};
    std::array<uint8_t, 0x4000> m_vdp{};
    std::array<uint8_t, 0x10000> m_grom{};
    std::bitset<4096> m_cru;
    uint16_t m_vdpAddress = 0;
    int m_vdpLatch = -1;
    uint16_t m_gromAddress = 0;
    int m_gromLatch = -1;
    uint8_t m_gromPrefetch = 0;

    std::vector<VirtualCard> m_cards;
    std::map<uint16_t, std::array<uint8_t, 0x2000>> m_roms;
    std::map<uint16_t, uint16_t> m_sub10Entry;
    std::map<uint16_t, uint16_t> m_sub11Entry;

    bool m_hookInstalled = false;
    uint16_t m_hookLocation = kHookLocation;
    uint16_t m_hookWorkspace = kHookWorkspace;
    bool m_resumed = false;
    uint16_t m_resumedAt = 0;
    bool m_hung = false;
    int m_subroutineCalls = 0;

    bool m_loading = false;
    std::vector<uint8_t> m_loaded;
    std::vector<uint8_t> m_record;

    std::vector<uint8_t> m_command;
    std::deque<uint8_t> m_output;
    std::vector<uint8_t> m_received;
    bool m_silent = false;
    bool m_garbage = false;
    int m_answerLimit = -1;
};

// A hook file as the TI's loader takes it: a 128-byte header, then 80-byte records, the last of
// them the end record that starts with ':'.
std::vector<uint8_t> LoaderHookFile();

}  // namespace tavik::test
