// Supplies the data sectors of one TI file in file order, for the exports and the hex dump.
#pragma once

#include <cstdint>
#include <vector>

namespace tavik {

class CSectorFeed {
public:
    virtual ~CSectorFeed() = default;
    // Number of data sectors the file's cluster chain names.
    virtual int Count() const = 0;
    // File sector k (0 to Count() - 1) into 256 bytes; false on a read error.
    virtual bool Read(int k, uint8_t* out) = 0;
};

class CMemorySectorFeed : public CSectorFeed {
public:
    explicit CMemorySectorFeed(std::vector<std::vector<uint8_t>> sectors)
        : m_sectors(std::move(sectors)) {}
    int Count() const override { return static_cast<int>(m_sectors.size()); }
    bool Read(int k, uint8_t* out) override;

private:
    std::vector<std::vector<uint8_t>> m_sectors;
};

// A variable-record sector holds length-prefixed records until an 0xFF mark or its end. The
// record at offset fits when its last byte lies inside the sector. 0xFF is the end mark, except
// as the first byte of a sector of a file with record length 255: there it is a record of 255
// bytes that fills the sector, which leaves no room for a mark.
bool VariableRecordAt(const uint8_t* sector, int offset, int recordLength, int& length);

}  // namespace tavik
