// An Archiver file: one TI file that holds other TI files, stored plain (DIS/FIX 128) or
// compressed (INT/FIX 128). Plain, its data sectors are
//   the directory: sectors of up to 14 entries of 18 bytes; bytes 252-255 of a directory sector
//     are zero, and read "END!" in the last one. An entry is FDR bytes 0-9 and 12-19 of a file:
//     name, status, records per sector, sectors (big-endian), end-of-file offset, record length,
//     records (little-endian). A zero first byte ends the entries of a sector.
//   then the data sectors of every file, in directory order.
// Compressed, the same bytes pass through ArkCompress (ArkLzw.h). No time stamps are kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exchange/TiFileImage.h"

namespace tavik {

constexpr int kArkRecordLength = 128;
constexpr int kArkMaxMembers = 127;
constexpr int kArkMaxMemberSectors = 4096;  // the most a cluster list can count

struct ArkMember {
    TiFileImage image;   // stamps 0; data complete unless damaged
    std::string damage;  // why the member's data cannot be trusted, "" when intact
};

class CArkFile {
public:
    bool compressed = true;
    std::vector<ArkMember> members;  // in directory order

    // Reads an archive from the data sectors of its file. 0 with a message when the bytes are
    // no archive or its directory cannot be read. 1 otherwise; members whose data the archive
    // does not hold completely or exactly are marked damaged.
    int Parse(const uint8_t* bytes, size_t size, std::string& error);
    // The data sectors of the archive file, compressed or not as `compressed` says.
    std::vector<uint8_t> Bytes() const;

    // Index of the member of that name (padded to 10 characters), -1 when there is none.
    int Find(const std::string& name) const;
    // Puts the file among the members in name order; a member of the same name is replaced
    // when `replace`, else it is an error ("NAME: Name already exists").
    int Add(const TiFileImage& file, bool replace, std::string& error);
    // "NAME: reason" of the first damaged member, "" when all are intact.
    std::string FirstDamage() const;

private:
    int ParseAs(const uint8_t* bytes, size_t size, bool packed, std::string& error);
};

// Whether the first data sector of a DIS/FIX or INT/FIX 128 file starts like an archive in
// either form (a cheap test for showing the file as a folder; Parse tells for sure).
bool LooksLikeArk(const uint8_t* firstSector);

// The status byte an archive file has: INT/FIX when compressed, DIS/FIX when not.
inline uint8_t ArkStatus(bool compressed) {
    return compressed ? 0x02 : 0x00;
}

}  // namespace tavik
