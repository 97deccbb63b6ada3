// The three forms in which a TI-99/4A saves a BASIC program.
//
// PROGRAM, the memory image. An 8-byte header: the check word (the two addresses that follow
// XORed; its negative, in two's complement, marks a protected program), the address of the
// line table's last byte, the address of its first byte, and the program's highest address.
// Then the memory from the line table's first byte up to that highest address: the line table,
// 4 bytes an entry (line number, address of the line's first token), the highest line number
// first; then the lines, each a length byte (tokens plus end mark) before its tokens and a 0
// end mark. All words high byte first.
//
// INT/VAR 254, the long form, for programs too big for the PROGRAM form: a first record of 10
// bytes (>ABCD, the line table's first address, its last address, the check word, the highest
// address), then the same memory image cut into records of 254 bytes.
//
// DIS/VAR 163, the merge form: a record a line (line number, tokens, end mark 0), lowest line
// first, and a last record >FFFF.
//
// Record files are handled here as their exports without a header give them: each record as
// its length byte and its data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/basic/BasicListing.h"

namespace tavik::basic {

constexpr size_t kProgramHeaderSize = 8;
constexpr int kLongRecordLength = 254;
constexpr int kMergeRecordLength = 163;
constexpr uint16_t kMergeEnd = 0xFFFF;

struct ProgramHeader {
    uint16_t check = 0;
    uint16_t tableEnd = 0;  // address of the line table's last byte
    uint16_t tableStart = 0;
    uint16_t top = 0;  // the program's highest address
    bool isProtected = false;
};

// Reads and checks a PROGRAM image's header: the check word, a line table of one or more
// whole entries, a highest address at or above the table's end.
bool ReadProgramHeader(const std::vector<uint8_t>& data, ProgramHeader& header);

// The PROGRAM image that the records of a long-form file hold; false when the first record is
// not the long form's.
bool LongToImage(const std::vector<uint8_t>& records, std::vector<uint8_t>& image);

// One program line: its number and its tokens (without length byte and end mark).
struct BasicLine {
    int number = 0;
    std::vector<uint8_t> tokens;
};

// The file data of a program, lines in ascending order, in a form (not None), with the check
// word of a protected program when `protect` (PROGRAM and long form only). False, with a
// message in `error`, when the program does not fit the form.
bool BuildBasicFile(const std::vector<BasicLine>& lines, BasicForm form, bool protect,
                    std::vector<uint8_t>& data, std::string& error);

}  // namespace tavik::basic
