// The sector editor without a window: the 256-byte edit buffer beside the reference copy it is
// compared with, the dump of 16 lines it is shown as, and what a typed character or the Delete
// key does at a caret position of that dump.
//
// A dump line (68 characters; "\r\n" between lines makes 70):
//   columns 0-3    the offset of the line's first byte, "%02X: "
//   columns 4-51   byte j as two hex digits at 4 + 3j and 5 + 3j, each pair followed by a space
//   columns 52-67  byte j as a character at 52 + j (bytes below 0x20 as a space)
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "disk/DiskTypes.h"

namespace tavik {

namespace dump {
constexpr int kLines = 16;
constexpr int kBytesPerLine = 16;
constexpr int kHexStart = 4;
constexpr int kCharStart = 52;  // also the first column after the hex part
constexpr int kLineWidth = 68;
constexpr int HexColumn(int byteInLine) {
    return kHexStart + 3 * byteInLine;
}
constexpr int CharColumn(int byteInLine) {
    return kCharStart + byteInLine;
}
}  // namespace dump

// A caret in the dump: the line and the column the caret stands before.
struct Caret {
    int line = 0;
    int column = 0;
    bool operator==(const Caret&) const = default;
};

class CSectorEditBuffer {
public:
    // A sector just read: buffer and reference copy both become it.
    void Load(const uint8_t* sector);
    // The buffer alone (a sector pasted from elsewhere, to be saved later).
    void SetBuffer(const uint8_t* sector);
    // The reference alone (the partner sector of a comparison).
    void SetReference(const uint8_t* sector);
    // The reference becomes the buffer (after the buffer was saved).
    void AcceptBuffer() { m_reference = m_buffer; }

    const Sector& Bytes() const { return m_buffer; }
    const Sector& Reference() const { return m_reference; }
    bool Differs(int i) const { return m_buffer[i] != m_reference[i]; }

    // One dump line without its line end.
    std::string Line(int line) const;
    // The whole dump, lines separated by "\r\n".
    std::string Text() const;
    // The runs of bytes of a line that differ from the reference: first and last byte in the
    // line (0 to 15), in order.
    std::vector<std::pair<int, int>> DifferingRuns(int line) const;

    // The byte a caret stands on, for the status bar: in the hex part the byte whose digits or
    // following space the caret is before, in the characters the character after the caret (the
    // last one at the line end), before the hex part the line's first byte.
    static int ByteAtCaret(Caret caret);

    // A character typed with the caret before `caret`: true when the buffer changed. `caret`
    // becomes where the caret goes next (unchanged when the character is refused).
    bool Type(Caret& caret, char typed, bool insert);
    // The Delete key: the byte after the caret goes, the following bytes move down by one and
    // byte 255 keeps its value. False when nothing follows the caret.
    bool DeleteAfter(Caret caret);

private:
    // Insert mode: bytes i to 254 move up by one and byte 255 is lost.
    void OpenGap(int i);

    Sector m_buffer{};
    Sector m_reference{};
};

}  // namespace tavik
