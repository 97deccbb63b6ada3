// Sequential access to PC files for the conversions: a buffered reader that can step back one
// byte and skip ahead, and the sink that receives the sectors an import builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/PcFile.h"

namespace tavik {

// Reads a PC file from a start offset to its end. Positions are counted from the start offset.
class CByteReader {
public:
    CByteReader(CPcFile& file, int64_t start);

    // The next byte, or -1 at the end of the file (or after a read error, see Failed).
    int Get();
    // Steps back one byte (only after a successful Get).
    void Unget();
    // Up to count bytes into dest; the number read.
    size_t Read(uint8_t* dest, size_t count);
    void SkipTo(int64_t position);
    int64_t Position() const { return m_position; }
    bool Failed() const { return m_failed; }

private:
    bool Fill();

    CPcFile& m_file;
    int64_t m_start;
    int64_t m_position = 0;  // of the next byte
    std::vector<uint8_t> m_buffer;
    int64_t m_bufferStart = 0;  // position of m_buffer[0]
    bool m_failed = false;
};

// Receives the 256-byte sectors of a file being built, in order. False stops the import.
class CSectorSink {
public:
    virtual ~CSectorSink() = default;
    virtual bool Put(const uint8_t* sector) = 0;
};

// Keeps the sectors in memory (scratch images, tests).
class CMemorySectorSink : public CSectorSink {
public:
    bool Put(const uint8_t* sector) override {
        m_sectors.emplace_back(sector, sector + 256);
        return true;
    }
    std::vector<std::vector<uint8_t>> m_sectors;
};

}  // namespace tavik
