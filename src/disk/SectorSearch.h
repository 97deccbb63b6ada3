// Find and replace over the sectors of a drive. Patterns are bytes, typed as hexadecimal or as
// characters; one byte value may stand for "any byte". The run walks positions (sector numbers,
// or indexes of a file's data sectors), filters sectors by the map's states and an optional
// layout test, scans each sector from a remembered offset and, with cross boundaries, lets a
// match run from the end of one searched sector into the start of the next.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "disk/SectorMap.h"

namespace tavik {

class CVirtualDrive;

enum class SearchMode { FindNext, FindAll, Replace, ReplaceAll };

// "Sector format:": no test, the FDR test, or a data layout (status and record length).
struct SectorFormat {
    bool any = true;
    bool fdr = false;
    uint8_t status = 0;
    uint8_t recordLength = 0;
};
// Upper-cases the text: "ANY" or "PROG" (or nothing), "FDR", "DF%i", "DV%i", "IF%i", "IV%i".
bool ParseSectorFormat(std::string_view text, SectorFormat& format);

// The type switch of a pattern field: every character as two upper-case hex digits and a
// space; every pair of hex digits back as one character (other characters are skipped, a lone
// digit is its own value).
std::string AsciiToHex(std::string_view text);
std::string HexToAscii(std::string_view text);
std::vector<uint8_t> PatternBytes(std::string_view text, bool hex);

struct SearchSettings {
    std::vector<uint8_t> find;
    int findWildcard = -1;  // -1: none
    std::vector<uint8_t> replace;
    int replaceWildcard = -1;
    int first = 0;
    int last = kMaxDiskSectors;
    bool crossBoundaries = false;
    int insideFile = 0;  // FDR sector of the file whose data sectors are searched; 0: the disk
    bool markedFree = true;
    bool markedUsed = true;
    bool inFdrs = true;
    bool inFiles = true;
    bool notUsed = true;
    SectorFormat format;
};

// The dialog's fields as typed (8-bit text).
struct SearchForm {
    std::string find;
    bool findHex = false;
    std::string findWildcard;
    std::string replace;
    bool replaceHex = false;
    std::string replaceWildcard;
    std::string first;
    std::string last;
    bool crossBoundaries = false;
    int insideFile = 0;
    bool markedFree = true;
    bool markedUsed = true;
    bool inFdrs = true;
    bool inFiles = true;
    bool notUsed = true;
    std::string format = "Any";
};
// False with the message when a field does not read.
bool ReadSearchForm(const SearchForm& form, SearchSettings& settings, std::string& message);

struct SearchOutcome {
    bool matched = false;  // at least one match in this run
    std::string message;   // "Not found" or a drive's error text; empty otherwise
    int showSector = -1;   // the sector the editor shows afterwards
    int markOffset = 0;    // the matched bytes within it
    int markLength = 0;
    bool rewritten = false;  // sectors were written (the catalog is listed again)
};

inline constexpr const char* kNotFoundText = "Not found";

class CSectorSearch {
public:
    // A new search: the run starts at the first position, offset 0.
    void Start(const SearchSettings& settings);
    bool Started() const { return m_started; }
    const SearchSettings& Settings() const { return m_settings; }
    bool FindPatternSet() const { return m_started && !m_settings.find.empty(); }
    bool ReplacePatternSet() const { return m_started && !m_settings.replace.empty(); }
    bool HasMatch() const { return m_match.position >= 0; }
    void Forget();

    // One run. The map's states are rebuilt from the drive first and matching sectors selected.
    SearchOutcome Run(CVirtualDrive& drive, CSectorMap& map, SearchMode mode);

private:
    struct Match {
        int position = -1;  // where the match starts
        int offset = 0;
    };
    int SectorAt(CVirtualDrive& drive, int position, std::string& error) const;
    bool Qualifies(int sector, uint16_t state) const;
    int FindIn(const std::vector<uint8_t>& bytes, size_t from) const;
    void Overwrite(uint8_t* sector, int at, size_t from, size_t count) const;

    SearchSettings m_settings;
    bool m_started = false;
    int m_position = 0;
    int m_offset = 0;
    Match m_match;
};

}  // namespace tavik
