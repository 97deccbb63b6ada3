#include "disk/FileType.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "base/UpperAscii.h"
#include "disk/DiskTypes.h"
#include "disk/TextScan.h"

namespace tavik {

namespace {

std::string WithLength(const char* prefix, int recordLength) {
    char text[48];
    std::snprintf(text, sizeof text, "%s%d", prefix, recordLength);
    return text;
}

struct TypeNames {
    uint8_t type;
    const char* shortName;
    const char* mediumName;
    const char* longName;
};

// INT/VAR in the medium style has no blank before the number.
constexpr TypeNames kTypeNames[] = {
    {0x00, "DF", "Dis/Fix ", "Display, Fixed "},
    {0x02, "IF", "Int/Fix ", "Internal, Fixed "},
    {0x80, "DV", "Dis/Var ", "Display, Variable "},
    {0x82, "IV", "Int/Var", "Internal, Variable "},
};

struct TypePattern {
    const char* pattern;
    uint8_t status;
};

// Tried in this order; the first that matches decides.
constexpr TypePattern kImportPatterns[] = {
    {"DF%d", 0x00},
    {nullptr, 0x00},  // "RDF80" stands here
    {"DV%d", 0x80},
    {"IF%d", 0x02},
    {"IV%d", 0x82},
    {"DIS/FIX %d", 0x00},
    {"DIS/VAR %d", 0x80},
    {"INT/FIX %d", 0x02},
    {"INT/VAR %d", 0x82},
    {"DISPLAY, FIXED %d", 0x00},
    {"DISPLAY, VARIABLE %d", 0x80},
    {"INTERNAL, FIXED %d", 0x02},
    {"INTERNAL, VARIABLE %d", 0x82},
};

constexpr TypePattern kDialogPatterns[] = {
    {"DF%i", 0x00},
    {"DV%i", 0x80},
    {"IF%i", 0x02},
    {"IV%i", 0x82},
};

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::string TypeText(uint8_t status, uint8_t recordLength, int style, bool* isProtected) {
    if (isProtected) *isProtected = (status & kStatusProtected) != 0;
    if (style < 0 || style > 3) return {};
    const uint8_t type = status & kTypeMask;
    if (type == kStatusProgram) {
        static const char* const kProgram[] = {"Prog", "Prog", "Program", "PROGRAM"};
        return kProgram[style];
    }
    for (const TypeNames& names : kTypeNames) {
        if (names.type != type) continue;
        switch (style) {
            case 0:
                return WithLength(names.shortName, recordLength);
            case 1:
                return WithLength(names.mediumName, recordLength);
            case 2:
                return WithLength(names.longName, recordLength);
            default:
                return UpperAscii(WithLength(names.longName, recordLength));
        }
    }
    return style == 3 ? "INVALID FORMAT" : "Invalid format";
}

bool ParseType(const std::string& text, bool isProtected, ParsedType& out) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    const std::string t = UpperAscii(text.substr(first, last - first));

    const uint8_t protection = isProtected ? kStatusProtected : 0;
    if (t == "PROG" || t == "PROGRAM" || t == "EA5") {
        out = {static_cast<uint8_t>(kStatusProgram | protection), 0};
        return true;
    }
    for (const TypePattern& p : kImportPatterns) {
        std::vector<int> numbers;
        if (p.pattern == nullptr) {
            if (t != "RDF80") continue;
            numbers.push_back(80);
        } else if (ScanPattern(t, p.pattern, numbers) != 1) {
            continue;
        }
        out = {static_cast<uint8_t>(p.status | protection), static_cast<uint8_t>(numbers[0])};
        return true;
    }
    return false;
}

bool ParseDialogType(const std::string& text, ParsedType& out) {
    if (text == "Prog") {
        out = {kStatusProgram, 0};
        return true;
    }
    for (const TypePattern& p : kDialogPatterns) {
        std::vector<int> numbers;
        if (ScanPattern(text, p.pattern, numbers) != 1) continue;
        out = {p.status, static_cast<uint8_t>(numbers[0])};
        return true;
    }
    return false;
}

}  // namespace tavik
