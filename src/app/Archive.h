// The archive encoding of the workspace file. All integers are little-endian:
//   int32      4 bytes, two's complement
//   uint16     2 bytes
//   point      two int32, x then y
//   rectangle  four int32: left, top, right, bottom
//   string     8-bit characters (code page 1252), no terminator, after a length prefix:
//              below 255 one byte; 255 to 65533 the byte FF and a uint16; longer FF, the uint16
//              FFFF and an int32. FF followed by FFFE marks a string of 16-bit characters: the
//              length prefix follows once more, then that many 16-bit characters. Such strings
//              are only read (and turned into 8-bit text), never written.
//   counted list  an int32 count, then that many elements.
//
// One archive either stores or loads; the Exchange operations do whichever the direction says,
// so that an object describes its layout once. Loading never trusts a length or a count: one
// that exceeds what is left of the file is damage, so a damaged file never makes the reader
// allocate more than the file could hold. After the first failure every further operation fails
// and leaves its argument untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "base/PcFile.h"

namespace tavik {

struct ArPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const ArPoint&) const = default;
};

struct ArRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const ArRect&) const = default;
};

class CArchive {
public:
    enum class Mode { Store, Load };

    // Works from offset 0 of the file. A storing archive keeps the bytes in memory until Flush
    // (or destruction).
    CArchive(CPcFile& file, Mode mode);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_mode == Mode::Store; }
    bool IsLoading() const { return m_mode == Mode::Load; }
    // False after the first failed read or write.
    bool Ok() const { return !m_failed; }
    // Storing: writes what is buffered; false when the file refused it.
    bool Flush();
    // Loading: bytes not yet read.
    int64_t Remaining() const { return m_length - m_position; }

    // Stores the value or loads into it (untouched on failure). Return Ok().
    bool Int32(int32_t& value);
    bool UInt16(uint16_t& value);
    bool Point(ArPoint& value);
    bool Rect(ArRect& value);
    bool String(std::string& value);
    // Loading empties the list first, then appends every element read. Storing writes at most
    // maxStored elements and a count of the elements written.
    bool Int32List(std::vector<int32_t>& list);
    bool UInt16List(std::vector<uint16_t>& list);
    bool StringList(std::vector<std::string>& list,
                    size_t maxStored = std::numeric_limits<size_t>::max());

    // One-way forms.
    void WriteInt32(int32_t value);
    void WriteUInt16(uint16_t value);
    void WriteString(const std::string& value);
    bool ReadInt32(int32_t& value);
    bool ReadUInt16(uint16_t& value);
    bool ReadString(std::string& value);

    // Marks the archive as failed (for damage a caller detects, such as an impossible count).
    void Fail() { m_failed = true; }

private:
    bool Failed() {
        m_failed = true;
        return false;
    }
    bool ReadBytes(void* buffer, size_t count);
    void WriteBytes(const void* data, size_t count);
    bool ReadLength(int64_t& length, bool& wide, bool allowWide);
    // Loading: reads a count and checks that count elements of at least minSize bytes fit.
    bool ReadCount(int64_t& count, int64_t minSize);

    CPcFile& m_file;
    Mode m_mode;
    bool m_failed = false;
    int64_t m_position = 0;
    int64_t m_length = 0;
    std::vector<uint8_t> m_buffer;  // storing: bytes not yet written
};

}  // namespace tavik
