// The basic vocabulary of a TI-99/4A disk volume: sector size, drive kinds, error codes and the
// records through which dialogs, the catalog list and the catalogue database see a disk, a file
// and a drive.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

constexpr int kSectorSize = 256;
// A CF-card volume, a TI-99/4A on the cable and an emulator drive hold 1600 sectors (0x64000
// bytes); so does the bitmap of a disk that gives each sector a bit of its own.
constexpr int kMaxSectors = 1600;
constexpr int kMaxVolumeBytes = kMaxSectors * kSectorSize;
// The most sectors a disk image holds: 80 tracks of 18 sectors on two sides.
constexpr int kMaxDiskSectors = 2880;

using Sector = std::array<uint8_t, kSectorSize>;

enum DriveKind : int {
    None = 0,
    DoadImage = 1,
    Pc99Fm = 2,
    Pc99Mfm = 3,
    RemoteTi = 4,
    EmulatorDrive = 5,
    HfeImage = 6,  // PC file, HFE image (HxC floppy emulator), FM or MFM
};

inline bool IsImageKind(int kind) {
    return kind == DriveKind::DoadImage || kind == DriveKind::Pc99Fm ||
           kind == DriveKind::Pc99Mfm || kind == DriveKind::HfeImage;
}

// The last error of a drive: a negative code, its text from ErrorText.
enum DiskError : int {
    NoError = 0,
    NoDrive = -1,
    PastEnd = -2,
    ReadFailed = -3,
    FileNotFound = -4,
    CantOpenPcFile = -5,
    TooManyClusters = -6,
    MaxFiles = -7,
    NotAnFdrSector = -8,
    BadPc99 = -9,
    RemoteProblem = -10,
    DiskFull = -11,
    RemoteIoError = -12,
    TiIoError7 = -13,  // File error
    TiIoError6 = -14,  // Device error
    TiIoError5 = -15,  // End-of-file reached
    TiIoError4 = -16,  // Memory full
    TiIoError3 = -17,  // Illegal operation
    TiIoError2 = -18,  // Bad attribute
    TiIoError1 = -19,  // Write protected
    TiIoError0 = -20,  // DSR not found
    EmulatorProblem = -21,
    NameExists = -22,
    UserAborted = -23,
    BadFormatSpec = -24,
    // Refusals that keep the user's data: nothing was written.
    SameFile = -25,        // source and target are one file
    FileInUse = -26,       // the PC file is the image of a mounted drive
    DoesNotFit = -27,      // the disk does not fit on the target
    NotRegularFile = -28,  // a FIFO, device or folder given as a file
    DamagedIndex = -29,    // the file list names sectors that hold no file
};

enum CacheLevel : int { CacheNothing = 0, CacheSystemSectors = 1, CacheWholeDisk = 2 };
enum StampPolicy : int { StampNever = 0, StampIfStamped = 1, StampAlways = 2 };

// Status byte of an FDR (byte 12).
constexpr uint8_t kStatusProgram = 0x01;
constexpr uint8_t kStatusInternal = 0x02;
constexpr uint8_t kStatusProtected = 0x08;
constexpr uint8_t kStatusVariable = 0x80;
constexpr uint8_t kTypeMask = 0x83;

// Records per sector of a new file, as TI disk controllers write it: fixed records 256 / length
// (0 for a length of 1: the byte cannot hold 256); variable records count their length byte,
// 256 / (length + 1); programs have none.
constexpr uint8_t NewFileRecordsPerSector(uint8_t status, int recordLength) {
    if ((status & kStatusProgram) || recordLength <= 0) return 0;
    if (status & kStatusVariable) return static_cast<uint8_t>(256 / (recordLength + 1));
    return static_cast<uint8_t>((256 / recordLength) & 0xFF);
}

// What the disk-properties and format dialogs exchange with a drive.
struct DiskProperties {
    std::array<uint8_t, 10> name{};  // VIB bytes 0-9, space padded
    uint16_t totalSectors = 0;       // VIB bytes 10-11
    uint8_t sectorsPerTrack = 0;     // byte 12
    std::array<uint8_t, 3> dsk{};    // bytes 13-15, "DSK"
    uint8_t protection = 0x20;       // byte 16: 0x50 protected, 0x20 not
    uint8_t tracksPerSide = 0;       // byte 17
    uint8_t sides = 0;               // byte 18
    uint8_t density = 0;             // byte 19
    uint16_t creationDate = 0;
    uint16_t creationTime = 0;
    uint16_t updateDate = 0;
    uint16_t updateTime = 0;
    uint16_t freeSectors = 0;
    uint16_t files = 0;
    int driveKind = DriveKind::None;
};

// What the file-properties dialog and the catalog list exchange with a drive.
struct FileProperties {
    std::array<uint8_t, 10> name{};  // FDR bytes 0-9, space padded
    std::array<uint8_t, 2> extra{};  // FDR bytes 10-11, carried as they are
    uint8_t status = 0;              // byte 12
    uint8_t recordsPerSector = 0;    // byte 13
    uint16_t sectors = 0;            // bytes 14-15: data sectors, the FDR not counted
    uint8_t eofOffset = 0;           // byte 16 ("Last byte")
    uint8_t recordLength = 0;        // byte 17
    uint16_t records = 0;            // bytes 18-19 (little-endian on disk)
    uint16_t creationDate = 0;
    uint16_t creationTime = 0;
    uint16_t updateDate = 0;
    uint16_t updateTime = 0;
    uint16_t clusterCount = 0;
    uint16_t fdrSector = 0;
    // Each cluster as (first disk sector << 16) | last disk sector.
    std::vector<uint32_t> clusters;

    static uint32_t Cluster(uint16_t first, uint16_t last) {
        return (uint32_t{first} << 16) | last;
    }
    static uint16_t ClusterFirst(uint32_t c) { return static_cast<uint16_t>(c >> 16); }
    static uint16_t ClusterLast(uint32_t c) { return static_cast<uint16_t>(c & 0xFFFF); }
};

// What the drive-properties dialog exchanges with a drive.
struct DriveProperties {
    int kind = DriveKind::None;
    std::string path;
    int64_t start = 0;
    int64_t size = 0;
    int64_t maxSize = 0;
    uint8_t remoteDrive = 0;
    std::array<uint16_t, 4> remoteWords{};
    uint8_t emulatorDrive = 0;
    uint8_t emulatorDevice = 0;
    std::string emulatorName;
};

}  // namespace tavik
