#include "exchange/ArkFile.h"

#include <algorithm>
#include <cstring>

#include "disk/Layout.h"
#include "disk/TiName.h"
#include "exchange/ArkLzw.h"

namespace tavik {

using namespace layout;

namespace {

constexpr int kEntrySize = 18;
constexpr int kEntriesPerSector = 14;
constexpr int kMarkAt = 252;  // "END!" or four zero bytes
constexpr int kMaxDirectorySectors = 10;
constexpr char kEndMark[] = "END!";

constexpr int kEntryStatus = 10;
constexpr int kEntryRecordsPerSector = 11;
constexpr int kEntrySectors = 12;
constexpr int kEntryEofOffset = 14;
constexpr int kEntryRecordLength = 15;
constexpr int kEntryRecords = 16;

bool IsEndMark(const uint8_t* sector) {
    return std::memcmp(sector + kMarkAt, kEndMark, 4) == 0;
}

bool IsZeroMark(const uint8_t* sector) {
    return sector[kMarkAt] == 0 && sector[kMarkAt + 1] == 0 && sector[kMarkAt + 2] == 0 &&
           sector[kMarkAt + 3] == 0;
}

// Number of directory sectors of a plain archive: 0 when the bytes end before the "END!"
// sector, -1 when they are no directory.
int DirectorySectors(const uint8_t* bytes, size_t size) {
    for (int s = 0; s < kMaxDirectorySectors; ++s) {
        const size_t at = static_cast<size_t>(s) * kSectorSize;
        if (at + kSectorSize > size) return 0;
        if (IsEndMark(bytes + at)) return s + 1;
        if (!IsZeroMark(bytes + at)) return -1;
    }
    return -1;
}

bool StartsCompressed(const uint8_t* bytes, size_t size) {
    // The first code, 9 bits, is the clear code 256.
    return size >= 2 && bytes[0] == 0x80 && (bytes[1] & 0x80) == 0;
}

ArkMember ReadEntry(const uint8_t* e) {
    ArkMember m;
    FileProperties& f = m.image.file;
    std::memcpy(f.name.data(), e, kNameLength);
    f.status = e[kEntryStatus];
    f.recordsPerSector = e[kEntryRecordsPerSector];
    f.sectors = Be16(e + kEntrySectors);
    f.eofOffset = e[kEntryEofOffset];
    f.recordLength = e[kEntryRecordLength];
    f.records = Le16(e + kEntryRecords);
    return m;
}

void WriteEntry(const FileProperties& f, uint8_t* e) {
    std::memcpy(e, f.name.data(), kNameLength);
    e[kEntryStatus] = f.status;
    e[kEntryRecordsPerSector] = f.recordsPerSector;
    SetBe16(e + kEntrySectors, f.sectors);
    e[kEntryEofOffset] = f.eofOffset;
    e[kEntryRecordLength] = f.recordLength;
    SetLe16(e + kEntryRecords, f.records);
}

// Counts that no file of that type can have.
bool CountsFit(const FileProperties& f) {
    if (f.status & (kStatusProgram | kStatusVariable)) return true;
    const int length = f.recordLength ? f.recordLength : kSectorSize;
    return f.records <= f.sectors * (kSectorSize / length);
}

}  // namespace

int CArkFile::Parse(const uint8_t* bytes, size_t size, std::string& error) {
    const bool plain = DirectorySectors(bytes, size) > 0;
    const bool packed = StartsCompressed(bytes, size);
    if (!plain && !packed) {
        members.clear();
        error = "This is no Archiver file";
        return 0;
    }
    if (plain && packed) {
        // Both forms start alike only by chance: the one that reads cleanly wins.
        CArkFile other;
        std::string otherError;
        if (other.ParseAs(bytes, size, true, otherError) && other.FirstDamage().empty()) {
            *this = std::move(other);
            error.clear();
            return 1;
        }
    }
    return ParseAs(bytes, size, !plain, error);
}

int CArkFile::ParseAs(const uint8_t* bytes, size_t size, bool packed, std::string& error) {
    members.clear();
    error.clear();
    compressed = packed;
    const uint8_t* plain = bytes;
    size_t plainSize = size;
    int directory = DirectorySectors(bytes, size);
    CArkLzwDecoder decoder(bytes, size);
    if (compressed) {
        decoder.DecodeUntil(size_t{kMaxDirectorySectors} * kSectorSize);
        plain = decoder.Output().data();
        plainSize = decoder.Output().size();
        directory = DirectorySectors(plain, plainSize);
    }
    if (directory <= 0) {
        error = "The archive's directory is damaged";
        return 0;
    }

    size_t total = static_cast<size_t>(directory) * kSectorSize;
    for (int s = 0; s < directory; ++s) {
        for (int k = 0; k < kEntriesPerSector; ++k) {
            const uint8_t* e = plain + static_cast<size_t>(s) * kSectorSize + k * kEntrySize;
            if (e[0] == 0) break;
            members.push_back(ReadEntry(e));
            const FileProperties& f = members.back().image.file;
            if (f.sectors > kArkMaxMemberSectors) {
                error = ShownName(f) + ": The directory gives this file " +
                        std::to_string(f.sectors) + " sectors";
                members.clear();
                return 0;
            }
            total += size_t{f.sectors} * kSectorSize;
        }
    }

    bool overrun = false;
    if (compressed) {
        decoder.DecodeUntil(total);
        overrun = decoder.Output().size() > total || decoder.MoreDataFollows();
        plain = decoder.Output().data();
        plainSize = decoder.Output().size();
    } else {
        overrun = plainSize >= total + kSectorSize;
    }
    const bool damagedStream = compressed && decoder.State() == ArkLzwState::Damaged;

    size_t at = static_cast<size_t>(directory) * kSectorSize;
    for (ArkMember& m : members) {
        const size_t length = size_t{m.image.file.sectors} * kSectorSize;
        if (at + length > plainSize) {
            m.damage = damagedStream ? "The compressed data is damaged in this file"
                                     : "The archive ends inside this file";
        } else {
            m.image.data.assign(plain + at, plain + at + length);
            if (!CountsFit(m.image.file))
                m.damage = "The directory gives this file more records than its sectors hold";
        }
        at += length;
    }
    if (overrun) {
        if (members.empty()) {
            error = "The archive holds data that no file claims";
            return 0;
        }
        if (members.back().damage.empty())
            members.back().damage =
                "The archive holds more data than the directory gives this file";
    }
    return 1;
}

std::vector<uint8_t> CArkFile::Bytes() const {
    const size_t count = members.size();
    const size_t directory =
        std::max<size_t>(1, (count + kEntriesPerSector - 1) / kEntriesPerSector);
    std::vector<uint8_t> plain(directory * kSectorSize, 0);
    for (size_t i = 0; i < count; ++i)
        WriteEntry(members[i].image.file, plain.data() + (i / kEntriesPerSector) * kSectorSize +
                                              (i % kEntriesPerSector) * kEntrySize);
    std::memcpy(plain.data() + (directory - 1) * kSectorSize + kMarkAt, kEndMark, 4);
    for (const ArkMember& m : members)
        plain.insert(plain.end(), m.image.data.begin(), m.image.data.end());
    return compressed ? ArkCompress(plain.data(), plain.size()) : plain;
}

int CArkFile::Find(const std::string& name) const {
    const std::string padded = PadTiName(name);
    for (size_t i = 0; i < members.size(); ++i)
        if (std::memcmp(members[i].image.file.name.data(), padded.data(), kNameLength) == 0)
            return static_cast<int>(i);
    return -1;
}

int CArkFile::Add(const TiFileImage& file, bool replace, std::string& error) {
    const std::string name(reinterpret_cast<const char*>(file.file.name.data()), kNameLength);
    ArkMember member;
    member.image = file;
    FileProperties& f = member.image.file;
    f.creationDate = f.creationTime = f.updateDate = f.updateTime = 0;
    f.fdrSector = 0;
    f.clusters.clear();
    f.clusterCount = 0;
    const int existing = Find(name);
    if (existing >= 0) {
        if (!replace) {
            error = ShownName(f) + ": Name already exists";
            return 0;
        }
        members[static_cast<size_t>(existing)] = std::move(member);
        return 1;
    }
    if (static_cast<int>(members.size()) >= kArkMaxMembers) {
        error = ShownName(f) + ": The archive holds " + std::to_string(kArkMaxMembers) +
                " files, no more";
        return 0;
    }
    auto after = std::find_if(members.begin(), members.end(), [&](const ArkMember& m) {
        return CompareTiNames(f.name.data(), m.image.file.name.data()) < 0;
    });
    members.insert(after, std::move(member));
    return 1;
}

std::string CArkFile::FirstDamage() const {
    for (const ArkMember& m : members)
        if (!m.damage.empty()) return ShownName(m.image.file) + ": " + m.damage;
    return {};
}

bool LooksLikeArk(const uint8_t* s) {
    if (StartsCompressed(s, kSectorSize)) return true;
    const bool last = IsEndMark(s);
    if (!last && !IsZeroMark(s)) return false;
    // Entries of printable names up to the first zero byte; a full sector when more follow.
    int entries = 0;
    for (; entries < kEntriesPerSector && s[entries * kEntrySize] != 0; ++entries) {
        const uint8_t* name = s + entries * kEntrySize;
        if (!std::all_of(name, name + kNameLength, [](uint8_t c) { return c >= 0x20 && c < 0x7F; }))
            return false;
    }
    return last || entries == kEntriesPerSector;
}

}  // namespace tavik
