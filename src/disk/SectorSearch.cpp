#include "disk/SectorSearch.h"

#include <algorithm>
#include <cctype>

#include "base/CInteger.h"
#include "base/UpperAscii.h"
#include "disk/VirtualDrive.h"

namespace tavik {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    // Lower-case digits are taken too: a pattern typed as "4a" means 0x4A.
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper >= 'A' && upper <= 'F') return upper - 'A' + 10;
    return -1;
}

constexpr int kEndOfRange = -2;
constexpr size_t kSector = kSectorSize;

int Wildcard(const std::string& field) {
    return field.empty() ? -1 : static_cast<uint8_t>(field.front());
}

}  // namespace

bool ParseSectorFormat(std::string_view text, SectorFormat& format) {
    const std::string upper = UpperAscii(text);
    format = SectorFormat{};
    if (upper.empty() || upper == "ANY" || upper == "PROG") return true;
    if (upper == "FDR") {
        format.any = false;
        format.fdr = true;
        return true;
    }
    static constexpr std::pair<const char*, uint8_t> kLayouts[] = {
        {"DF", 0x00},
        {"DV", kStatusVariable},
        {"IF", kStatusInternal},
        {"IV", kStatusVariable | kStatusInternal}};
    for (const auto& [prefix, status] : kLayouts) {
        if (!upper.starts_with(prefix)) continue;
        const std::optional<long> length = ReadCInteger(std::string_view(upper).substr(2));
        // A record length is one byte.
        if (!length || *length < 0 || *length > 255) return false;
        format.any = false;
        format.status = status;
        format.recordLength = static_cast<uint8_t>(*length);
        return true;
    }
    return false;
}

std::string AsciiToHex(std::string_view text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(text.size() * 3);
    for (const char c : text) {
        const auto b = static_cast<uint8_t>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
        hex += ' ';
    }
    return hex;
}

std::string HexToAscii(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = HexValue(text[i]);
        if (high < 0) continue;
        const int low = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
        if (low < 0) {
            bytes += static_cast<char>(high);
        } else {
            bytes += static_cast<char>(high * 16 + low);
            ++i;
        }
    }
    return bytes;
}

std::vector<uint8_t> PatternBytes(std::string_view text, bool hex) {
    const std::string bytes = hex ? HexToAscii(text) : std::string(text);
    return {bytes.begin(), bytes.end()};
}

bool ReadSearchForm(const SearchForm& form, SearchSettings& settings, std::string& message) {
    SearchSettings s;
    s.find = PatternBytes(form.find, form.findHex);
    s.findWildcard = Wildcard(form.findWildcard);
    s.replace = PatternBytes(form.replace, form.replaceHex);
    s.replaceWildcard = Wildcard(form.replaceWildcard);
    auto number = [](const std::string& text, int empty, int& value) {
        if (text.find_first_not_of(" \t") == std::string::npos) {
            value = empty;
            return true;
        }
        const std::optional<long> read = ReadCInteger(text);
        if (!read || *read < 0 || *read > 0x7FFFFFFF) return false;
        value = static_cast<int>(*read);
        return true;
    };
    if (!number(form.first, 0, s.first)) {
        message = "Invalid number: First sector";
        return false;
    }
    if (!number(form.last, kMaxDiskSectors, s.last)) {
        message = "Invalid number: Last sector";
        return false;
    }
    if (!ParseSectorFormat(form.format, s.format)) {
        message = "Invalid format specification";
        return false;
    }
    s.crossBoundaries = form.crossBoundaries;
    s.insideFile = form.insideFile > 0 ? form.insideFile : 0;
    s.markedFree = form.markedFree;
    s.markedUsed = form.markedUsed;
    s.inFdrs = form.inFdrs;
    s.inFiles = form.inFiles;
    s.notUsed = form.notUsed;
    settings = std::move(s);
    return true;
}

void CSectorSearch::Start(const SearchSettings& settings) {
    m_settings = settings;
    m_started = true;
    m_position = settings.first;
    m_offset = 0;
    m_match = Match{};
}

void CSectorSearch::Forget() {
    m_match = Match{};
    m_position = m_settings.first;
    m_offset = 0;
}

int CSectorSearch::SectorAt(CVirtualDrive& drive, int position, std::string& error) const {
    if (!m_settings.insideFile) return position < kMaxDiskSectors ? position : kEndOfRange;
    const int sector = drive.FileToDiskSector(m_settings.insideFile, position);
    if (sector < 0) {
        error = drive.ErrorText();
        return -1;
    }
    return sector == 0 || sector >= kMaxDiskSectors ? kEndOfRange : sector;
}

bool CSectorSearch::Qualifies(int sector, uint16_t state) const {
    const bool used = (state & kUsageBitmapUsed) != 0;
    if (used ? !m_settings.markedUsed : !m_settings.markedFree) return false;
    if ((state & kUsageIndexedFdr) && !m_settings.inFdrs) return false;
    const int count = state & kUsageCountMask;
    if (count > 0 && sector >= 3 && !m_settings.inFiles) return false;
    if (count == 0 && !m_settings.notUsed) return false;
    return true;
}

int CSectorSearch::FindIn(const std::vector<uint8_t>& bytes, size_t from) const {
    const std::vector<uint8_t>& pattern = m_settings.find;
    for (size_t j = from; j + pattern.size() <= bytes.size(); ++j) {
        size_t k = 0;
        while (k < pattern.size() &&
               (pattern[k] == m_settings.findWildcard || pattern[k] == bytes[j + k]))
            ++k;
        if (k == pattern.size()) return static_cast<int>(j);
    }
    return -1;
}

void CSectorSearch::Overwrite(uint8_t* sector, int at, size_t from, size_t count) const {
    const std::vector<uint8_t>& with = m_settings.replace;
    for (size_t k = 0; k < count && from + k < with.size(); ++k) {
        const size_t i = static_cast<size_t>(at) + k;
        if (i >= kSector) break;
        const uint8_t b = with[from + k];
        if (b != m_settings.replaceWildcard) sector[i] = b;
    }
}

SearchOutcome CSectorSearch::Run(CVirtualDrive& drive, CSectorMap& map, SearchMode mode) {
    SearchOutcome out;
    if (!m_started) Start(SearchSettings{});
    if (!map.Fill(drive)) {
        out.message = drive.ErrorText();
        return out;
    }
    const bool replacing = mode == SearchMode::Replace || mode == SearchMode::ReplaceAll;
    int position = m_position;
    int offset = m_offset;
    // A replace starts at the match the user is looking at.
    if (replacing && HasMatch()) {
        position = m_match.position;
        offset = m_match.offset;
    }
    const size_t length = m_settings.find.size();
    const size_t keep = length > 1 ? std::min(length - 1, kSector - 1) : 0;
    std::vector<uint8_t> tail;  // the unmatched end of the previous searched sector
    int tailSector = -1;
    int tailPosition = -1;
    bool any = false;
    Match first;
    auto fail = [&](const std::string& text, int at) {
        out.message = text;
        m_position = at;
        m_offset = 0;
        return out;
    };

    for (; position <= m_settings.last; ++position, offset = 0) {
        std::string error;
        const int sector = SectorAt(drive, position, error);
        if (sector == kEndOfRange) break;
        if (sector < 0) return fail(error, position);
        const uint16_t state = map.State(sector);
        if (!Qualifies(sector, state)) continue;
        // Past the disk's total an image may simply end: that ends the range, it is no fault.
        const bool beyond = (state & kUsageBeyondTotal) != 0;
        if (!m_settings.format.any) {
            const int plausible = drive.CheckSectorContents(
                sector, m_settings.format.fdr ? 0x03 : m_settings.format.status,
                m_settings.format.recordLength);
            if (plausible < 0) {
                if (beyond) break;
                return fail(drive.ErrorText(), position);
            }
            if (plausible != 1) continue;
        }
        Sector data;
        if (!drive.ReadSector(sector, data.data())) {
            if (beyond) break;
            return fail(drive.ErrorText(), position);
        }
        if (static_cast<size_t>(offset) >= kSector) {
            tail.clear();
            continue;
        }

        std::vector<uint8_t> bytes(tail);
        bytes.insert(bytes.end(), data.begin(), data.end());
        size_t from = tail.empty() ? static_cast<size_t>(offset) : 0;
        int floor = tail.empty() ? offset : 0;  // bytes before it belong to a match
        bool sectorDone = false;
        for (;;) {
            const int found = length == 0 ? (from < bytes.size() ? static_cast<int>(from) : -1)
                                          : FindIn(bytes, from);
            if (found < 0) break;
            const size_t j = static_cast<size_t>(found);
            const size_t tailLength = tail.size();
            const int carried = j < tailLength ? static_cast<int>(tailLength - j) : 0;
            const int startSector = carried ? tailSector : sector;
            const int startPosition = carried ? tailPosition : position;
            const int startOffset =
                carried ? static_cast<int>(kSector) - carried : static_cast<int>(j - tailLength);
            const size_t matchLength =
                length == 0 ? kSector - static_cast<size_t>(startOffset) : length;
            const int endOffset = static_cast<int>(j + matchLength - tailLength);

            map.Select(sector, true);
            if (carried) map.Select(tailSector, true);
            if (!any) {
                any = true;
                first = Match{startPosition, startOffset};
                out.showSector = startSector;
                out.markOffset = startOffset;
                out.markLength = static_cast<int>(
                    std::min(matchLength, kSector - static_cast<size_t>(startOffset)));
            }
            m_match = Match{startPosition, startOffset};

            if (replacing) {
                const size_t count = m_settings.replace.size();
                if (carried) {
                    Sector previous;
                    if (!drive.ReadSector(tailSector, previous.data()))
                        return fail(drive.ErrorText(), position);
                    Overwrite(previous.data(), startOffset, 0, static_cast<size_t>(carried));
                    if (!drive.WriteSector(tailSector, previous.data()))
                        return fail(drive.ErrorText(), position);
                    if (count > static_cast<size_t>(carried))
                        Overwrite(data.data(), 0, static_cast<size_t>(carried),
                                  count - static_cast<size_t>(carried));
                } else {
                    Overwrite(data.data(), startOffset, 0, count);
                }
                if (!drive.WriteSector(sector, data.data()))
                    return fail(drive.ErrorText(), position);
                out.rewritten = true;
                bytes.assign(tail.begin(), tail.end());
                bytes.insert(bytes.end(), data.begin(), data.end());
            }

            if (mode == SearchMode::FindNext || mode == SearchMode::Replace) {
                m_position = position;
                m_offset = endOffset;
                out.matched = true;
                out.showSector = startSector;
                out.markOffset = startOffset;
                out.markLength = static_cast<int>(
                    std::min(matchLength, kSector - static_cast<size_t>(startOffset)));
                // A replaced match is no longer the current one: Find next shows the next.
                if (mode == SearchMode::Replace) m_match = Match{};
                return out;
            }
            floor = endOffset;
            if (mode == SearchMode::FindAll || length == 0) {
                sectorDone = true;
                break;
            }
            from = j + matchLength;
        }

        if (m_settings.crossBoundaries && keep > 0 && !sectorDone) {
            const size_t start = std::max(static_cast<size_t>(floor), kSector - keep);
            tail.assign(data.begin() + static_cast<std::ptrdiff_t>(start), data.end());
            tailSector = sector;
            tailPosition = position;
        } else {
            tail.clear();
        }
    }

    // The range is done: the next run starts it again.
    m_position = m_settings.first;
    m_offset = 0;
    if (!any) {
        m_match = Match{};
        out.message = kNotFoundText;
        out.showSector = -1;
        return out;
    }
    out.matched = true;
    m_match = replacing ? Match{} : first;
    return out;
}

}  // namespace tavik
