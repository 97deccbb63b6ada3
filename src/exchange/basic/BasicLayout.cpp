#include "exchange/basic/BasicLayout.h"

#include <algorithm>

#include "disk/Layout.h"

namespace tavik::basic {

using layout::Be16;
using layout::SetBe16;

namespace {

constexpr uint16_t kLongMark = 0xABCD;
constexpr size_t kLongHeaderLength = 10;
// Highest addresses as the TI saves them: the end of the video memory a console without
// memory expansion gives a program, and the end of the memory expansion's program space.
constexpr unsigned kProgramTop = 0x37D7;
constexpr unsigned kLongTop = 0xFFE7;
// The most a program may hold in each form: the video memory free for a program on a console
// with a disk controller, and the memory expansion's program space of Extended BASIC.
constexpr size_t kProgramFormBytes = 11840;
constexpr size_t kLongFormBytes = 24488;
constexpr size_t kMaxLineTokens = 254;   // the length byte counts the end mark too
constexpr size_t kMaxMergeTokens = 160;  // line number, tokens and end mark fill a record

uint16_t CheckWord(unsigned tableEnd, unsigned tableStart, bool protect) {
    const unsigned check = (tableEnd ^ tableStart) & 0xFFFF;
    return static_cast<uint16_t>(protect ? (0x10000 - check) & 0xFFFF : check);
}

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutRecord(std::vector<uint8_t>& out, const uint8_t* bytes, size_t count) {
    out.push_back(static_cast<uint8_t>(count));
    out.insert(out.end(), bytes, bytes + count);
}

// The memory from the line table's first byte to the top: the table, then the lines in the
// table's order (highest line number at the lowest address), as the TI keeps them.
std::vector<uint8_t> Memory(const std::vector<BasicLine>& lines, unsigned top, unsigned& start) {
    size_t size = 4 * lines.size();
    for (const BasicLine& l : lines)
        size += l.tokens.size() + 2;
    start = top + 1 - static_cast<unsigned>(size);
    std::vector<uint8_t> table, text;
    unsigned address = start + 4 * static_cast<unsigned>(lines.size());
    for (auto l = lines.rbegin(); l != lines.rend(); ++l) {
        Put16(table, static_cast<unsigned>(l->number));
        Put16(table, address + 1);
        text.push_back(static_cast<uint8_t>(l->tokens.size() + 1));
        text.insert(text.end(), l->tokens.begin(), l->tokens.end());
        text.push_back(0);
        address += static_cast<unsigned>(l->tokens.size() + 2);
    }
    table.insert(table.end(), text.begin(), text.end());
    return table;
}

}  // namespace

bool ReadProgramHeader(const std::vector<uint8_t>& data, ProgramHeader& h) {
    if (data.size() < kProgramHeaderSize) return false;
    h.check = Be16(data.data());
    h.tableEnd = Be16(data.data() + 2);
    h.tableStart = Be16(data.data() + 4);
    h.top = Be16(data.data() + 6);
    const unsigned tableBytes = h.tableEnd + 1u - h.tableStart;
    // A TI saves no program without lines.
    if (h.tableEnd < h.tableStart || tableBytes % 4 != 0 || h.top < h.tableEnd) return false;
    h.isProtected = h.check != CheckWord(h.tableEnd, h.tableStart, false);
    return h.check == CheckWord(h.tableEnd, h.tableStart, h.isProtected);
}

bool LongToImage(const std::vector<uint8_t>& records, std::vector<uint8_t>& image) {
    if (records.size() < 1 + kLongHeaderLength || records[0] != kLongHeaderLength ||
        Be16(records.data() + 1) != kLongMark)
        return false;
    const uint8_t* h = records.data() + 1;
    image.assign(kProgramHeaderSize, 0);
    SetBe16(image.data(), Be16(h + 6));      // check word
    SetBe16(image.data() + 2, Be16(h + 4));  // line table's last byte
    SetBe16(image.data() + 4, Be16(h + 2));  // its first byte
    SetBe16(image.data() + 6, Be16(h + 8));  // highest address
    // A cut-off last record gives what it holds; the listing says where the program ends.
    for (size_t at = 1 + kLongHeaderLength; at < records.size();) {
        const size_t length = records[at];
        const size_t end = std::min(records.size(), at + 1 + length);
        image.insert(image.end(), records.begin() + static_cast<long>(at + 1),
                     records.begin() + static_cast<long>(end));
        at = end;
    }
    return true;
}

bool BuildBasicFile(const std::vector<BasicLine>& lines, BasicForm form, bool protect,
                    std::vector<uint8_t>& data, std::string& error) {
    data.clear();
    if (form == BasicForm::None) {
        error = "No program form chosen";
        return false;
    }
    const size_t maxTokens = form == BasicForm::Merge ? kMaxMergeTokens : kMaxLineTokens;
    for (const BasicLine& l : lines) {
        if (l.tokens.size() > maxTokens) {
            error = "Line " + std::to_string(l.number) + " is too long (" +
                    std::to_string(l.tokens.size()) + " bytes of tokens, at most " +
                    std::to_string(maxTokens) + ")";
            return false;
        }
    }
    if (form == BasicForm::Merge) {
        std::vector<uint8_t> record;
        for (const BasicLine& l : lines) {
            record.clear();
            Put16(record, static_cast<unsigned>(l.number));
            record.insert(record.end(), l.tokens.begin(), l.tokens.end());
            record.push_back(0);
            PutRecord(data, record.data(), record.size());
        }
        const uint8_t end[] = {0xFF, 0xFF};
        PutRecord(data, end, sizeof end);
        return true;
    }
    if (lines.empty()) {
        error = "The listing holds no program line";
        return false;
    }
    const bool isLong = form == BasicForm::Long;
    const unsigned top = isLong ? kLongTop : kProgramTop;
    unsigned start = 0;
    const std::vector<uint8_t> memory = Memory(lines, top, start);
    const size_t limit = isLong ? kLongFormBytes : kProgramFormBytes;
    if (memory.size() > limit) {
        error = "The program (" + std::to_string(memory.size()) + " bytes) is too big for the " +
                (isLong ? "long form (at most " : "PROGRAM form (at most ") +
                std::to_string(limit) + " bytes)";
        return false;
    }
    const unsigned tableEnd = start + 4 * static_cast<unsigned>(lines.size()) - 1;
    const uint16_t check = CheckWord(tableEnd, start, protect);
    if (!isLong) {
        Put16(data, check);
        Put16(data, tableEnd);
        Put16(data, start);
        Put16(data, top);
        data.insert(data.end(), memory.begin(), memory.end());
        return true;
    }
    if (memory.size() < static_cast<size_t>(kLongRecordLength)) {
        error = "The program (" + std::to_string(memory.size()) +
                " bytes) is too small for the long form (at least " +
                std::to_string(kLongRecordLength) + " bytes)";
        return false;
    }
    std::vector<uint8_t> header;
    Put16(header, kLongMark);
    Put16(header, start);
    Put16(header, tableEnd);
    Put16(header, check);
    Put16(header, top);
    PutRecord(data, header.data(), header.size());
    for (size_t at = 0; at < memory.size(); at += kLongRecordLength)
        PutRecord(data, memory.data() + at,
                  std::min(memory.size() - at, static_cast<size_t>(kLongRecordLength)));
    return true;
}

}  // namespace tavik::basic
