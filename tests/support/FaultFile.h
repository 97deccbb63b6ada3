// A PC file in memory that fails on purpose: armed with a fault and an index, its N-th write
// (or read) from that moment fails as a failing device, a cut-off write or a full disk would.
// Unarmed it only counts, which tells how many writes and reads an operation makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/PcFile.h"

namespace tavik::test {

enum class Fault {
    None,
    WriteError,  // the N-th write fails and writes nothing
    ShortWrite,  // the N-th write stops half-way and says so
    DiskFull,    // from the N-th write on, nothing that would grow a file can be written
    Stop,        // from the N-th write on, every write fails, as if the machine stopped there
    ReadError,   // the N-th read fails
};

const char* FaultName(Fault fault);

class CFaultFile : public CPcFile {
public:
    explicit CFaultFile(std::vector<uint8_t> bytes = {}) : m_bytes(std::move(bytes)) {}

    // Counts afresh from now; `at` is the 1-based number of the write (or read) that fails.
    void Arm(Fault fault, int at);
    int Writes() const { return m_counters.writes; }
    int Reads() const { return m_counters.reads; }
    bool Fired() const { return m_counters.fired; }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

    int64_t ReadAt(int64_t offset, void* buffer, size_t count) override;
    int64_t WriteAt(int64_t offset, const void* buffer, size_t count) override;
    int64_t Length() override { return static_cast<int64_t>(m_bytes.size()); }
    bool SetLength(int64_t length) override;
    // The new content is written through the same faults into a fresh buffer, which takes the
    // old one's place only when the writer succeeds, as a file renamed over another does.
    bool ReplaceContents(const std::function<bool(CPcFile&)>& write) override;

    struct Counters {
        Fault fault = Fault::None;
        int at = 0;
        int writes = 0;
        int reads = 0;
        bool fired = false;
    };

private:
    CFaultFile(std::vector<uint8_t> bytes, Counters* shared)
        : m_bytes(std::move(bytes)), m_shared(shared) {}
    Counters& Count() { return m_shared ? *m_shared : m_counters; }
    // False when this write fails; `half` when it is cut short.
    bool WriteAllowed(int64_t end, bool& half);

    std::vector<uint8_t> m_bytes;
    Counters m_counters;
    Counters* m_shared = nullptr;  // the file whose content this one will replace
};

}  // namespace tavik::test
