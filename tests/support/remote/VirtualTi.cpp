#include "VirtualTi.h"

#include <cstdio>

namespace tavik::test {

namespace {

constexpr uint16_t kDsrListAddress = 0x4010;
constexpr uint16_t kScratchDrive = 0x834C;
constexpr uint16_t kScratchBuffer = 0x834E;
constexpr uint16_t kScratchSector = 0x8350;
constexpr uint16_t kScratchCru = 0x83D0;
constexpr uint16_t kScratchEntry = 0x83D2;
constexpr uint8_t kDeviceError = 0xC0;   // error 6 in bits 7-5
constexpr uint8_t kWriteProtect = 0x20;  // error 1

bool IsGromRead(uint16_t a, uint16_t port) {
    return (a & 0xFC03) == port;
}

// One list entry of a DSR ROM: link, address, name length, name, padded to a word.
uint16_t PutEntry(std::array<uint8_t, 0x2000>& rom, uint16_t at, uint16_t link, uint16_t address,
                  const std::string& name) {
    auto put = [&](uint16_t a, uint8_t v) { rom[a - 0x4000] = v; };
    put(at, static_cast<uint8_t>(link >> 8));
    put(at + 1, static_cast<uint8_t>(link));
    put(at + 2, static_cast<uint8_t>(address >> 8));
    put(at + 3, static_cast<uint8_t>(address));
    put(at + 4, static_cast<uint8_t>(name.size()));
    for (size_t i = 0; i < name.size(); ++i)
        put(static_cast<uint16_t>(at + 5 + i), static_cast<uint8_t>(name[i]));
    uint16_t next = static_cast<uint16_t>(at + 5 + name.size());
    return static_cast<uint16_t>((next + 1) & ~1);
}

}  // namespace

CVirtualTi::CVirtualTi() {
    // XOP 1 vector of the console: workspace >FFD8, entry >FFF8 (RAM, so it can be patched).
    SetCpuWord(0x44, 0xFFD8);
    SetCpuWord(0x46, 0xFFF8);
    for (size_t i = 0; i < m_grom.size(); ++i)
        m_grom[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
    SetCpuWord(0x83FA, 0x9800);
    InstallHook();
}

uint16_t CVirtualTi::CpuWord(uint16_t address) const {
    return static_cast<uint16_t>((m_cpu[address] << 8) | m_cpu[static_cast<uint16_t>(address + 1)]);
}

void CVirtualTi::SetCpuWord(uint16_t address, uint16_t value) {
    m_cpu[address] = static_cast<uint8_t>(value >> 8);
    m_cpu[static_cast<uint16_t>(address + 1)] = static_cast<uint8_t>(value);
}

void CVirtualTi::SetWord(uint16_t address, uint16_t value) {
    Write8(address, static_cast<uint8_t>(value >> 8));
    Write8(static_cast<uint16_t>(address + 1), static_cast<uint8_t>(value));
}

void CVirtualTi::AddCard(const VirtualCard& card) {
    m_cards.push_back(card);
    BuildRom(card, m_roms[card.cru]);
}

VirtualCard* CVirtualTi::Card(uint16_t cru) {
    for (auto& card : m_cards)
        if (card.cru == cru) return &card;
    return nullptr;
}

void CVirtualTi::BuildRom(const VirtualCard& card, std::array<uint8_t, 0x2000>& rom) {
    rom.fill(0);
    rom[0] = card.validHeader ? 0xAA : 0x55;
    rom[1] = 0x01;
    // Subprogram list: >12, >10, >11, >13, so the walk must pass entries it does not want.
    const uint16_t subList = 0x4040;
    rom[0x0A] = static_cast<uint8_t>(subList >> 8);
    rom[0x0B] = static_cast<uint8_t>(subList);
    const struct {
        uint8_t name;
        uint16_t address;
    } subs[] = {{0x12, 0x4240}, {0x10, kSub10}, {0x11, kSub11}, {0x13, 0x4260}};
    uint16_t at = subList;
    for (size_t i = 0; i < 4; ++i) {
        const uint16_t entry = at;
        const uint16_t next = static_cast<uint16_t>(at + 6);  // entries of a 1-byte name: 6 bytes
        if (subs[i].name == 0x10) m_sub10Entry[card.cru] = entry;
        if (subs[i].name == 0x11) m_sub11Entry[card.cru] = entry;
        at = PutEntry(rom, entry, i + 1 < 4 ? next : 0, subs[i].address,
                      std::string(1, static_cast<char>(subs[i].name)));
    }
    // DSR list: "DSK" (which the scan must pass over), then DSK<c> for each drive.
    rom[0x08] = static_cast<uint8_t>(kDsrListAddress >> 8);
    rom[0x09] = static_cast<uint8_t>(kDsrListAddress);
    std::vector<std::string> names = {"DSK"};
    for (char c : card.driveNames)
        names.push_back(std::string("DSK") + c);
    at = kDsrListAddress;
    for (size_t i = 0; i < names.size(); ++i) {
        const uint16_t next = static_cast<uint16_t>(at + ((5 + names[i].size() + 1) & ~size_t{1}));
        at = PutEntry(rom, at, i + 1 < names.size() ? next : 0,
                      static_cast<uint16_t>(0x4300 + 8 * i), names[i]);
    }
}

void CVirtualTi::InstallHook(uint16_t location, uint16_t workspace) {
    m_hookInstalled = true;
    m_resumed = false;
    m_hung = false;
    m_hookLocation = location;
    m_hookWorkspace = workspace;
    for (uint16_t i = 0; i < kHookLength; ++i)
        m_cpu[static_cast<uint16_t>(location + i)] = static_cast<uint8_t>(0x30 + i);
    SetCpuWord(location + 8, location + 10);
    SetCpuWord(location + 10, workspace);
    SetCpuWord(location + 12, 0x0040);
    SetCpuWord(location + 14, workspace);
    SetCpuWord(location + 16, location + 20);
    SetCpuWord(location + 18, kHookLength);
    for (uint16_t i = 0; i < 32; ++i)
        m_cpu[static_cast<uint16_t>(workspace + i)] = 0;
    SetCpuWord(workspace + 26, kProgramWp);
    SetCpuWord(workspace + 28, kProgramPc);
    SetCpuWord(workspace + 30, 0x2000);
    SetCpuWord(kProgramWp + 20, kProgramResume);
}

void CVirtualTi::StartLoader() {
    m_hookInstalled = false;
    m_loading = true;
    m_loaded.clear();
    m_record.clear();
}

void CVirtualTi::FeedLoader(uint8_t byte) {
    m_loaded.push_back(byte);
    m_record.push_back(byte);
    if (m_record.size() < 80) return;
    if (m_record[0] == ':') {
        m_loading = false;
        InstallHook();
    }
    m_record.clear();
}

VirtualCard* CVirtualTi::ActiveCard() {
    for (auto& card : m_cards)
        if (m_cru[(card.cru >> 1) & 0xFFF]) return &card;
    return nullptr;
}

uint8_t CVirtualTi::Read8(uint16_t a) {
    if (a >= 0x4000 && a < 0x6000) {
        VirtualCard* card = ActiveCard();
        return card ? m_roms[card->cru][a - 0x4000] : 0;
    }
    if (a == 0x8800) {
        m_vdpLatch = -1;
        uint8_t v = m_vdp[m_vdpAddress];
        m_vdpAddress = (m_vdpAddress + 1) & 0x3FFF;
        return v;
    }
    if (a == 0x8802) {
        m_vdpLatch = -1;
        return 0;
    }
    if (IsGromRead(a, 0x9800)) {
        m_gromLatch = -1;
        uint8_t v = m_gromPrefetch;
        m_gromPrefetch = m_grom[m_gromAddress];
        ++m_gromAddress;
        return v;
    }
    if (IsGromRead(a, 0x9802)) {
        // The address reads high byte first; the latch tells which half comes next.
        m_gromLatch = m_gromLatch == -2 ? -1 : -2;
        return m_gromLatch == -2 ? static_cast<uint8_t>(m_gromAddress >> 8)
                                 : static_cast<uint8_t>(m_gromAddress);
    }
    return m_cpu[a];
}

void CVirtualTi::Write8(uint16_t a, uint8_t v) {
    if (a < 0x2000 || (a >= 0x4000 && a < 0x6000)) return;  // console ROM, card ROM
    if (a == 0x8C00) {
        m_vdpLatch = -1;
        m_vdp[m_vdpAddress] = v;
        m_vdpAddress = (m_vdpAddress + 1) & 0x3FFF;
        return;
    }
    if (a == 0x8C02) {
        if (m_vdpLatch < 0) {
            m_vdpLatch = v;
        } else {
            m_vdpAddress = static_cast<uint16_t>(((v & 0x3F) << 8) | m_vdpLatch);
            m_vdpLatch = -1;
        }
        return;
    }
    if (IsGromRead(a, 0x9C00)) {
        m_gromLatch = -1;
        m_grom[static_cast<uint16_t>(m_gromAddress - 1)] = v;
        m_gromPrefetch = m_grom[m_gromAddress];
        ++m_gromAddress;
        return;
    }
    if (IsGromRead(a, 0x9C02)) {
        if (m_gromLatch < 0) {
            m_gromLatch = v;
        } else {
            const uint16_t address = static_cast<uint16_t>((m_gromLatch << 8) | v);
            m_gromLatch = -1;
            m_gromPrefetch = m_grom[address];
            m_gromAddress = static_cast<uint16_t>(address + 1);
        }
        return;
    }
    m_cpu[a] = v;
}

void CVirtualTi::Answer(uint8_t byte) {
    if (m_answerLimit == 0) {
        m_silent = true;
        return;
    }
    if (m_answerLimit > 0) --m_answerLimit;
    m_output.push_back(m_garbage ? static_cast<uint8_t>(~byte) : byte);
}

void CVirtualTi::Feed(uint8_t byte) {
    m_received.push_back(byte);
    if (m_silent || m_hung) return;
    if (m_loading) {
        FeedLoader(byte);
        return;
    }
    if (!m_hookInstalled) return;
    if (m_command.empty() && byte != 0x00) return;  // between commands the hook waits for 0x00
    m_command.push_back(byte);
    if (m_command.size() >= ArgumentBytes()) {
        Execute();
        m_command.clear();
    }
}

size_t CVirtualTi::ArgumentBytes() const {
    const auto& c = m_command;
    if (c.size() < 2) return 2;
    auto word = [&](size_t i) { return static_cast<size_t>((c[i] << 8) | c[i + 1]); };
    switch (c[1]) {
        case 0x00:
            return 4;
        case 0x02:
        case 0x04:
            return 6;
        case 0x06:
            return 8;
        case 0x08:
            return c.size() < 4 ? 4 : 4 + ((c[3] & 1) ? 1 : 2);
        case 0x0A:
        case 0x0C:
            return c.size() < 6 ? 6 : 6 + word(2);
        case 0x0E:
            return c.size() < 8 ? 8 : 8 + word(4);
        case 0x10:
        case 0x12:
        case 0x14:
        case 0x16:
            return 4;
        case 0x18:
            return 6;
        default:
            return 2;  // 0x1C, and unknown opcodes (ignored)
    }
}

void CVirtualTi::Execute() {
    const auto& c = m_command;
    auto word = [&](size_t i) { return static_cast<uint16_t>((c[i] << 8) | c[i + 1]); };
    switch (c[1]) {
        case 0x00: {
            const uint16_t a = word(2);
            if (a & 1)
                Answer(Read8(a));
            else
                AnswerWord(Word(a));
            break;
        }
        case 0x02:
            for (uint16_t i = 0; i < word(2); ++i)
                Answer(Read8(static_cast<uint16_t>(word(4) + i)));
            break;
        case 0x04:
            for (uint16_t i = 0; i < word(2); ++i)
                Answer(Read8(word(4)));
            break;
        case 0x06: {
            const size_t bit = (word(2) >> 1) & 0xFFF;
            const bool was = m_cru[bit];
            m_cru[bit] = true;
            for (uint16_t i = 0; i < word(4); ++i)
                Answer(Read8(static_cast<uint16_t>(word(6) + i)));
            m_cru[bit] = was;
            break;
        }
        case 0x08: {
            const uint16_t a = word(2);
            if (a & 1) {
                Write8(a, c[4]);
            } else {
                Write8(a, c[4]);
                Write8(static_cast<uint16_t>(a + 1), c[5]);
            }
            break;
        }
        case 0x0A:
            for (uint16_t i = 0; i < word(2); ++i)
                Write8(static_cast<uint16_t>(word(4) + i), c[6 + i]);
            break;
        case 0x0C:
            for (uint16_t i = 0; i < word(2); ++i)
                Write8(word(4), c[6 + i]);
            break;
        case 0x0E: {
            const size_t bit = (word(2) >> 1) & 0xFFF;
            const bool was = m_cru[bit];
            m_cru[bit] = true;
            for (uint16_t i = 0; i < word(4); ++i)
                Write8(static_cast<uint16_t>(word(6) + i), c[8 + i]);
            m_cru[bit] = was;
            break;
        }
        case 0x10:
            m_cru[(word(2) >> 1) & 0xFFF] = false;
            break;
        case 0x12:
            m_cru[(word(2) >> 1) & 0xFFF] = true;
            break;
        case 0x14:
            Answer(m_cru[(word(2) >> 1) & 0xFFF] ? 1 : 0);
            break;
        case 0x16:
            RunAt(word(2), -1);
            break;
        case 0x18:
            RunAt(word(4), word(2));
            break;
        case 0x1C:
            ReportWhere();
            break;
        default:
            break;
    }
}

void CVirtualTi::ReportWhere() {
    const uint16_t ws = m_hookWorkspace;
    AnswerWord(CpuWord(ws + 24));
    AnswerWord(CpuWord(ws + 18));
    AnswerWord(static_cast<uint16_t>(ws + 0x15));
    AnswerWord(static_cast<uint16_t>(m_hookLocation + 0xB0));
    AnswerWord(CpuWord(ws + 20));
    AnswerWord(CpuWord(ws + 26));
    AnswerWord(CpuWord(ws + 28));
    AnswerWord(CpuWord(ws + 30));
}

void CVirtualTi::RunAt(uint16_t address, int cru) {
    const size_t bit = cru >= 0 ? ((cru >> 1) & 0xFFF) : 0;
    const bool was = cru >= 0 ? static_cast<bool>(m_cru[bit]) : false;
    if (cru >= 0) m_cru[bit] = true;
    const uint16_t location = static_cast<uint16_t>(address - 6);
    VirtualCard* card = ActiveCard();
    if (CpuWord(location + 8) == location + 10 && CpuWord(location + 16) == location + 20) {
        // The hook's entry point: a (possibly moved) hook starts over.
        m_hookLocation = location;
        m_hookWorkspace = CpuWord(location + 14);
    } else if (card && (address == kSub10 || address == kSub11)) {
        RunSubroutine(*card, address);
    } else {
        m_resumed = true;
        m_resumedAt = address;
        m_hookInstalled = false;
    }
    if (cru >= 0) m_cru[bit] = was;
}

void CVirtualTi::RunSubroutine(VirtualCard& card, uint16_t address) {
    ++m_subroutineCalls;
    const uint16_t wp = CpuWord(m_hookWorkspace + 26);
    const uint16_t r11 = CpuWord(wp + 22);
    const uint16_t r12 = CpuWord(wp + 24);
    if (r12 != card.cru) {
        m_cpu[kScratchSector] = kDeviceError;
    } else if (address == kSub10) {
        SectorSubroutine(card);
    } else {
        FormatSubroutine(card);
    }
    // A DSR subroutine that did its work returns to R11 + 2.
    const uint16_t back = static_cast<uint16_t>(r11 + 2);
    if (!BreakpointReached(back)) m_hung = true;
}

bool CVirtualTi::BreakpointReached(uint16_t at) {
    for (int i = 0; i < 8 && CpuWord(at) == 0x1000; ++i)
        at = static_cast<uint16_t>(at + 2);
    const uint16_t xop = CpuWord(at);
    if ((xop & 0xFC00) != 0x2C00) return false;
    const int n = (xop >> 6) & 15;
    const uint16_t entry = CpuWord(static_cast<uint16_t>(0x42 + 4 * n));
    if (CpuWord(entry) != 0x0420 || CpuWord(entry + 2) != m_hookLocation + 14) return false;
    if (CpuWord(m_hookLocation + 14) != m_hookWorkspace ||
        CpuWord(m_hookLocation + 16) != m_hookLocation + 20)
        return false;
    // The hook saves the interrupted context (the subroutine's) and reports.
    const uint16_t wp = CpuWord(m_hookWorkspace + 26);
    SetCpuWord(m_hookWorkspace + 26, wp);
    SetCpuWord(m_hookWorkspace + 28, static_cast<uint16_t>(at + 2));
    SetCpuWord(m_hookWorkspace + 30, 0x2000);
    ReportWhere();
    return true;
}

void CVirtualTi::SectorSubroutine(VirtualCard& card) {
    const uint8_t driveNumber = m_cpu[kScratchDrive];
    const bool reading = m_cpu[kScratchDrive + 1] != 0;
    const uint16_t buffer = CpuWord(kScratchBuffer);
    const uint16_t sector = CpuWord(kScratchSector);
    uint8_t error = 0;
    auto it = card.drives.find(driveNumber);
    if (CpuWord(kScratchCru) != card.cru || CpuWord(kScratchEntry) != m_sub10Entry[card.cru] ||
        it == card.drives.end()) {
        error = kDeviceError;
    } else if (it->second.forcedError) {
        error = it->second.forcedError;
    } else if (!reading && it->second.writeProtected) {
        error = kWriteProtect;
    } else if (FILE* f = std::fopen(it->second.imagePath.c_str(), "r+b")) {
        uint8_t bytes[256];
        std::fseek(f, 0, SEEK_END);
        const long size = std::ftell(f);
        if (256L * (sector + 1) > size) {
            error = kDeviceError;
        } else if (reading) {
            std::fseek(f, 256L * sector, SEEK_SET);
            if (std::fread(bytes, 1, 256, f) != 256) error = kDeviceError;
            for (int i = 0; i < 256 && !error; ++i)
                m_vdp[(buffer + i) & 0x3FFF] = bytes[i];
        } else {
            for (int i = 0; i < 256; ++i)
                bytes[i] = m_vdp[(buffer + i) & 0x3FFF];
            std::fseek(f, 256L * sector, SEEK_SET);
            if (std::fwrite(bytes, 1, 256, f) != 256) error = kDeviceError;
        }
        std::fclose(f);
    } else {
        error = kDeviceError;
    }
    m_cpu[kScratchSector] = error;
}

void CVirtualTi::FormatSubroutine(VirtualCard& card) {
    const uint8_t driveNumber = m_cpu[kScratchDrive] & 0x0F;
    const int tracks = m_cpu[kScratchDrive + 1];
    const uint16_t buffer = CpuWord(kScratchBuffer);
    const int density = m_cpu[kScratchSector];
    const int sides = m_cpu[kScratchSector + 1];
    uint8_t error = 0;
    auto it = card.drives.find(driveNumber);
    const int perTrack = density == 2 ? 18 : 9;
    if (CpuWord(kScratchCru) != card.cru || CpuWord(kScratchEntry) != m_sub11Entry[card.cru] ||
        it == card.drives.end() || tracks < 1 || sides < 1 || sides > 2) {
        error = kDeviceError;
    } else if (it->second.forcedError) {
        error = it->second.forcedError;
    } else if (it->second.writeProtected) {
        error = kWriteProtect;
    } else {
        // The controller uses the VDP area as its track buffer.
        const int area = density == 2 ? 0x1A00 : 0x0D00;
        for (int i = 0; i < area; ++i)
            m_vdp[(buffer + i) & 0x3FFF] = 0xA5;
        if (FILE* f = std::fopen(it->second.imagePath.c_str(), "wb")) {
            std::vector<uint8_t> blank(256, 0xE5);
            for (int s = 0; s < tracks * sides * perTrack; ++s)
                std::fwrite(blank.data(), 1, 256, f);
            std::fclose(f);
            m_cpu[kScratchDrive + 1] = static_cast<uint8_t>(perTrack);
        } else {
            error = kDeviceError;
        }
    }
    m_cpu[kScratchSector] = error;
}

std::vector<uint8_t> LoaderHookFile() {
    std::vector<uint8_t> file(128, 0);
    std::vector<uint8_t> record(80, 'A');
    file.insert(file.end(), record.begin(), record.end());
    record[0] = ':';
    file.insert(file.end(), record.begin(), record.end());
    return file;
}

}  // namespace tavik::test
