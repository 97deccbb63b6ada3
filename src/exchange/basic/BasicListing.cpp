#include "exchange/basic/BasicListing.h"

#include "disk/DiskTypes.h"
#include "disk/Layout.h"
#include "exchange/basic/BasicLayout.h"
#include "exchange/basic/BasicTokens.h"

namespace tavik::basic {

using layout::Be16;

namespace {

constexpr char kNotAProgram[] = "Not a BASIC program";

std::string LineText(int number) {
    return "line " + std::to_string(number);
}

std::string Capital(std::string text) {
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

// Appends LIST's text of one line: its number, a blank, its tokens [p, end). LIST leaves a
// blank between two words (names, numbers, keywords, strings before a word), always after a
// statement keyword, and between two colons; nowhere else. False, with the line's text up to
// the damage appended, when the line runs past end or holds a token of neither dialect.
bool AppendLine(int number, const uint8_t* p, const uint8_t* end, std::string& out,
                std::string& problem) {
    out += std::to_string(number);
    out += ' ';
    bool word = false;     // the text so far ends in a word
    bool pending = false;  // a statement keyword wants a blank before whatever follows
    auto lead = [&](bool isWord) {
        if (pending || (isWord && word)) out += ' ';
        pending = false;
        word = false;
    };
    auto colonAfterColon = [&]() {
        if (!pending && out.back() == ':') out += ' ';
    };
    auto damaged = [&](const std::string& what) {
        problem = Capital(LineText(number)) + what;
        return false;
    };
    while (p < end) {
        const uint8_t code = *p;
        if (code == 0) return true;
        if (code < 0x80) {
            lead(true);
            while (p < end && *p != 0 && *p < 0x80)
                out += static_cast<char>(*p++);
            word = true;
            continue;
        }
        ++p;
        if (code == kTokenQuoted || code == kTokenUnquoted) {
            if (p >= end || end - p - 1 < *p) return damaged(" runs past its end");
            const int length = *p++;
            if (code == kTokenQuoted) {
                lead(false);
                out += '"';
                for (int i = 0; i < length; ++i) {
                    out += static_cast<char>(p[i]);
                    if (p[i] == '"') out += '"';
                }
                out += '"';
            } else {
                lead(true);
                out.append(reinterpret_cast<const char*>(p), static_cast<size_t>(length));
            }
            p += length;
            word = true;
            continue;
        }
        if (code == kTokenLineNumber) {
            if (end - p < 2) return damaged(" runs past its end");
            lead(true);
            out += std::to_string(Be16(p));
            p += 2;
            word = true;
            continue;
        }
        const TokenInfo token = Token(code);
        switch (token.cls) {
            case TokenClass::Statement:
                if (code == kTokenSeparator) colonAfterColon();
                lead(true);
                out += token.text;
                if (code == kTokenRem || code == kTokenTail) {
                    // The remark's characters follow as they were typed.
                    while (p < end && *p != 0)
                        out += static_cast<char>(*p++);
                    if (p == end) return damaged(" runs past its end");
                    return true;
                }
                pending = true;
                break;
            case TokenClass::Word:
                lead(true);
                out += token.text;
                word = true;
                break;
            case TokenClass::NumberSign:
                lead(true);
                out += token.text;
                break;
            case TokenClass::Symbol:
                if (code == kTokenColon) colonAfterColon();
                lead(false);
                out += token.text;
                break;
            default: {
                static const char kHex[] = "0123456789ABCDEF";
                return damaged(std::string(" holds an unknown token >") + kHex[code >> 4] +
                               kHex[code & 15]);
            }
        }
    }
    return damaged(" runs past its end");
}

// Ends the listing's current line and counts it, whether it was listed whole or not.
void EndLine(BasicListing& listing) {
    listing.text += '\n';
    ++listing.lines;
}

BasicListing ListImage(const std::vector<uint8_t>& data, BasicForm form) {
    BasicListing listing;
    ProgramHeader h;
    if (!ReadProgramHeader(data, h)) {
        listing.problem = kNotAProgram;
        return listing;
    }
    listing.form = form;
    listing.isProtected = h.isProtected;
    const size_t size = data.size();
    // Where a memory address stands in the data.
    auto at = [&](unsigned address) { return kProgramHeaderSize + (address - h.tableStart); };
    const unsigned entries = (h.tableEnd + 1u - h.tableStart) / 4;
    if (at(h.tableEnd) >= size && entries) {
        listing.problem = "The file ends inside the line table";
        return listing;
    }
    // LIST walks the table from its end, the lowest line number first.
    for (unsigned i = entries; i-- > 0;) {
        const uint8_t* entry = data.data() + kProgramHeaderSize + 4 * i;
        const int number = Be16(entry);
        const unsigned first = Be16(entry + 2);
        // The length byte stands just before the first token, beyond the line table.
        if (first < h.tableEnd + 2u || first > h.top) {
            listing.problem =
                "The line table points outside the program at line " + std::to_string(number);
            return listing;
        }
        if (at(first) >= size) {
            listing.problem = "The file ends before " + LineText(number);
            return listing;
        }
        const unsigned length = data[at(first - 1)];
        if (first + length > h.top + 1u) {
            listing.problem = Capital(LineText(number)) + " runs past the end of the program";
            return listing;
        }
        if (at(first) + length > size) {
            listing.problem = "The file ends inside " + LineText(number);
            return listing;
        }
        const uint8_t* p = data.data() + at(first);
        const bool whole = AppendLine(number, p, p + length, listing.text, listing.problem);
        EndLine(listing);
        if (!whole) return listing;
    }
    return listing;
}

BasicListing ListLong(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> image;
    if (!LongToImage(data, image)) {
        BasicListing listing;
        listing.problem = kNotAProgram;
        return listing;
    }
    return ListImage(image, BasicForm::Long);
}

BasicListing ListMerge(const std::vector<uint8_t>& data) {
    BasicListing listing;
    listing.form = BasicForm::Merge;
    std::string record = "first record";
    for (size_t offset = 0; offset < data.size();) {
        const size_t length = data[offset];
        const uint8_t* bytes = data.data() + offset + 1;
        if (offset + 1 + length > data.size()) {
            listing.problem = "The file ends inside its " + record;
            return listing;
        }
        offset += 1 + length;
        if (length == 2 && Be16(bytes) == kMergeEnd) return listing;
        if (length < 3) {
            listing.problem = "Its " + record + " is no program line";
            return listing;
        }
        const int number = Be16(bytes);
        const bool whole =
            AppendLine(number, bytes + 2, bytes + length, listing.text, listing.problem);
        EndLine(listing);
        if (!whole) return listing;
        record = "record after line " + std::to_string(number);
    }
    return listing;
}

}  // namespace

BasicForm FormOfType(uint8_t status, int recordLength) {
    const int type = status & (kStatusProgram | kStatusInternal | kStatusVariable);
    if (type == kStatusProgram) return BasicForm::Program;
    if (type == (kStatusInternal | kStatusVariable) && recordLength == kLongRecordLength)
        return BasicForm::Long;
    if (type == kStatusVariable && recordLength == kMergeRecordLength) return BasicForm::Merge;
    return BasicForm::None;
}

BasicListing ListBasic(const std::vector<uint8_t>& data, BasicForm form) {
    switch (form) {
        case BasicForm::Program:
            return ListImage(data, BasicForm::Program);
        case BasicForm::Long:
            return ListLong(data);
        case BasicForm::Merge:
            return ListMerge(data);
        case BasicForm::None:
            break;
    }
    BasicListing listing;
    listing.problem = kNotAProgram;
    return listing;
}

BasicListing ListBasic(const std::vector<uint8_t>& data, uint8_t status, int recordLength) {
    return ListBasic(data, FormOfType(status, recordLength));
}

BasicForm GuessForm(const std::vector<uint8_t>& data) {
    if (IsBasicProgram(data)) return BasicForm::Program;
    std::vector<uint8_t> image;
    if (LongToImage(data, image)) return BasicForm::Long;
    const BasicListing merge = ListMerge(data);
    return merge.Complete() && merge.lines > 0 ? BasicForm::Merge : BasicForm::None;
}

bool IsBasicProgram(const std::vector<uint8_t>& data) {
    ProgramHeader h;
    return ReadProgramHeader(data, h);
}

}  // namespace tavik::basic
