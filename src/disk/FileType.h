// File-type texts: a status byte (masked with 0x83) plus a record length, in four styles.
#pragma once

#include <cstdint>
#include <string>

namespace tavik {

// Style 0 short ("DF80", "Prog"), 1 ("Dis/Fix 80"), 2 long ("Display, Fixed 80"), 3 long in
// capitals. Sets isProtected from status bit 3 when given.
std::string TypeText(uint8_t status, uint8_t recordLength, int style, bool* isProtected = nullptr);

struct ParsedType {
    uint8_t status = 0;
    uint8_t recordLength = 0;
};

// The import reader of type texts ("PROG", "DF80", "dis/var 80", ...). False when no pattern
// matches.
bool ParseType(const std::string& text, bool isProtected, ParsedType& out);

// The dialogs' shorter reader: "Prog", "DF%i", "DV%i", "IF%i", "IV%i", case-sensitive.
bool ParseDialogType(const std::string& text, ParsedType& out);

}  // namespace tavik
