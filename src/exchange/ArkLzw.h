// The compression of the TI Archiver's compressed archives: LZW over bytes with codes of 9 to
// 12 bits, written high bit first. Code 256 clears the table (and is the first code of every
// stream), 257 ends the stream, new strings get codes from 258 on. A code grows one bit wider
// once the next free code reaches 2^width; when the table holds 4096 codes the writer sends 256
// and starts again with 9 bits. The writer adds no string after the last data code, so its end
// code may come at the old width just where a reader would widen. The stream is padded with
// zero bytes to whole sectors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavik {

// The stream for `size` bytes of data, padded to a multiple of 256 bytes.
std::vector<uint8_t> ArkCompress(const uint8_t* data, size_t size);

enum class ArkLzwState {
    Running,    // more output may follow
    Ended,      // the end code was read
    Exhausted,  // the input ran out before an end code
    Damaged,    // a code that names no string
};

// Decodes a stream in steps, so that a reader can look at the first bytes (an archive's
// directory) before deciding how much more it needs. Every code is checked against the table;
// nothing is read past the input.
class CArkLzwDecoder {
public:
    CArkLzwDecoder(const uint8_t* data, size_t size);

    // Decodes until the output holds at least `length` bytes or the stream stops. A single code
    // may take the output a little beyond `length` (at most one table string).
    ArkLzwState DecodeUntil(size_t length);
    // Whether one more code of data follows (the state stays Running): after the expected output
    // a stream must end.
    bool MoreDataFollows();

    const std::vector<uint8_t>& Output() const { return m_out; }
    ArkLzwState State() const { return m_state; }

private:
    bool ReadCode(int width, int& code);
    bool OnlyZeroBitsFrom(size_t bit) const;
    bool Step();
    void Reset();

    const uint8_t* m_data;
    size_t m_size;
    size_t m_bit = 0;
    int m_width = 9;
    int m_next = 258;
    int m_previous = -1;
    bool m_widened = false;
    ArkLzwState m_state = ArkLzwState::Running;
    std::vector<uint16_t> m_prefix;
    std::vector<uint8_t> m_suffix;
    std::vector<uint8_t> m_first;
    std::vector<uint16_t> m_length;
    std::vector<uint8_t> m_out;
};

}  // namespace tavik
