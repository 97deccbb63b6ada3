#include "exchange/basic/BasicTokens.h"

#include <array>

namespace tavik::basic {

namespace {

using enum TokenClass;

struct Entry {
    uint8_t code;
    const char* text;
    TokenClass cls;
};

constexpr Entry kTokens[] = {
    {0x81, "ELSE", Statement},    {0x82, "::", Statement},      {0x83, "!", Statement},
    {0x84, "IF", Statement},      {0x85, "GO", Statement},      {0x86, "GOTO", Statement},
    {0x87, "GOSUB", Statement},   {0x88, "RETURN", Statement},  {0x89, "DEF", Statement},
    {0x8A, "DIM", Statement},     {0x8B, "END", Statement},     {0x8C, "FOR", Statement},
    {0x8D, "LET", Statement},     {0x8E, "BREAK", Statement},   {0x8F, "UNBREAK", Statement},
    {0x90, "TRACE", Statement},   {0x91, "UNTRACE", Statement}, {0x92, "INPUT", Statement},
    {0x93, "DATA", Statement},    {0x94, "RESTORE", Statement}, {0x95, "RANDOMIZE", Statement},
    {0x96, "NEXT", Statement},    {0x97, "READ", Statement},    {0x98, "STOP", Statement},
    {0x99, "DELETE", Statement},  {0x9A, "REM", Statement},     {0x9B, "ON", Statement},
    {0x9C, "PRINT", Statement},   {0x9D, "CALL", Statement},    {0x9E, "OPTION", Statement},
    {0x9F, "OPEN", Statement},    {0xA0, "CLOSE", Statement},   {0xA1, "SUB", Statement},
    {0xA2, "DISPLAY", Statement}, {0xA3, "IMAGE", Statement},   {0xA4, "ACCEPT", Statement},
    {0xA5, "ERROR", Statement},   {0xA6, "WARNING", Statement}, {0xA7, "SUBEXIT", Statement},
    {0xA8, "SUBEND", Statement},  {0xA9, "RUN", Statement},     {0xAA, "LINPUT", Statement},
    {0xB0, "THEN", Statement},    {0xB1, "TO", Statement},      {0xB2, "STEP", Statement},
    {0xB3, ",", Symbol},          {0xB4, ";", Symbol},          {0xB5, ":", Symbol},
    {0xB6, ")", Symbol},          {0xB7, "(", Symbol},          {0xB8, "&", Symbol},
    {0xBA, "OR", Word},           {0xBB, "AND", Word},          {0xBC, "XOR", Word},
    {0xBD, "NOT", Word},          {0xBE, "=", Symbol},          {0xBF, "<", Symbol},
    {0xC0, ">", Symbol},          {0xC1, "+", Symbol},          {0xC2, "-", Symbol},
    {0xC3, "*", Symbol},          {0xC4, "/", Symbol},          {0xC5, "^", Symbol},
    {0xC7, nullptr, Data},        {0xC8, nullptr, Data},        {0xC9, nullptr, Data},
    {0xCA, "EOF", Word},          {0xCB, "ABS", Word},          {0xCC, "ATN", Word},
    {0xCD, "COS", Word},          {0xCE, "EXP", Word},          {0xCF, "INT", Word},
    {0xD0, "LOG", Word},          {0xD1, "SGN", Word},          {0xD2, "SIN", Word},
    {0xD3, "SQR", Word},          {0xD4, "TAN", Word},          {0xD5, "LEN", Word},
    {0xD6, "CHR$", Word},         {0xD7, "RND", Word},          {0xD8, "SEG$", Word},
    {0xD9, "POS", Word},          {0xDA, "VAL", Word},          {0xDB, "STR$", Word},
    {0xDC, "ASC", Word},          {0xDD, "PI", Word},           {0xDE, "REC", Word},
    {0xDF, "MAX", Word},          {0xE0, "MIN", Word},          {0xE1, "RPT$", Word},
    {0xE8, "NUMERIC", Word},      {0xE9, "DIGIT", Word},        {0xEA, "UALPHA", Word},
    {0xEB, "SIZE", Word},         {0xEC, "ALL", Word},          {0xED, "USING", Statement},
    {0xEE, "BEEP", Word},         {0xEF, "ERASE", Word},        {0xF0, "AT", Word},
    {0xF1, "BASE", Word},         {0xF3, "VARIABLE", Word},     {0xF4, "RELATIVE", Word},
    {0xF5, "INTERNAL", Word},     {0xF6, "SEQUENTIAL", Word},   {0xF7, "OUTPUT", Word},
    {0xF8, "UPDATE", Word},       {0xF9, "APPEND", Word},       {0xFA, "FIXED", Word},
    {0xFB, "PERMANENT", Word},    {0xFC, "TAB", Word},          {0xFD, "#", NumberSign},
    {0xFE, "VALIDATE", Word},
};

constexpr std::array<TokenInfo, 256> MakeTable() {
    std::array<TokenInfo, 256> table{};
    for (auto& t : table)
        t = {nullptr, Unused};
    for (const Entry& e : kTokens)
        table[e.code] = {e.text, e.cls};
    return table;
}

constexpr std::array<TokenInfo, 256> kTable = MakeTable();

}  // namespace

TokenInfo Token(uint8_t code) {
    return kTable[code];
}

uint8_t TokenOf(std::string_view text) {
    for (const Entry& e : kTokens)
        if (e.text && text == e.text) return e.code;
    return 0;
}

bool TakesLineNumbers(uint8_t code) {
    switch (code) {
        case kTokenElse:
        case kTokenGo:
        case 0x86:  // GOTO
        case 0x87:  // GOSUB
        case 0x88:  // RETURN
        case 0x8E:  // BREAK
        case 0x8F:  // UNBREAK
        case 0x94:  // RESTORE
        case 0xA5:  // ERROR
        case 0xA9:  // RUN
        case kTokenThen:
        case kTokenUsing:
            return true;
        default:
            return false;
    }
}

}  // namespace tavik::basic
