// Listings of TI BASIC and TI Extended BASIC programs, as the TI's own LIST prints them, from
// any of the three forms in which a TI saves a program (see BasicLayout.h). The file data are
// taken as an export without a header gives them: a program file's bytes, or for a record file
// each record as its length byte and its data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavik::basic {

enum class BasicForm { None, Program, Long, Merge };

struct BasicListing {
    BasicForm form = BasicForm::None;
    // One line of LIST output per program line, each ended by '\n'; code page 1252 like every
    // text of a TI disk.
    std::string text;
    int lines = 0;  // program lines in text
    bool isProtected = false;
    // Empty when the whole program was listed. Otherwise why and where the listing stopped
    // ("Line 120 runs past its end"); the lines before that place are in text.
    std::string problem;

    bool Complete() const { return form != BasicForm::None && problem.empty(); }
};

// The form a TI file of this type holds: PROGRAM, INT/VAR 254 or DIS/VAR 163; None for others.
BasicForm FormOfType(uint8_t status, int recordLength);

// Lists a program of the given form (None: not a program, with that as the problem).
BasicListing ListBasic(const std::vector<uint8_t>& data, BasicForm form);

// Lists a TI file given its data and its type (status byte and record length).
BasicListing ListBasic(const std::vector<uint8_t>& data, uint8_t status, int recordLength);

// The form of data that come without a TI type (a PC file without a header): a PROGRAM image
// when its header holds, the long form when the first record is the long form's, the merge
// form when the records read as lines; None otherwise.
BasicForm GuessForm(const std::vector<uint8_t>& data);

// Whether a PROGRAM file's data begin with the header of a BASIC program (rather than, say, a
// machine-code memory image).
bool IsBasicProgram(const std::vector<uint8_t>& data);

}  // namespace tavik::basic
