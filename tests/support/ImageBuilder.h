// Builds TI-99/4A disk images in memory for tests, benchmarks and the sample disk: a VIB with
// its bitmap, a sorted file index, and one FDR with a cluster list and data per file. The raw
// sectors stay reachable so that tests can damage any structure afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/PcFile.h"
#include "disk/VirtualDrive.h"

namespace tavik::test {

// The kinds of image file a volume is kept in.
enum class ImageKind { Doad, Pc99Fm, Pc99Mfm, Hfe };
const char* ImageKindName(ImageKind kind);
// Sectors an image of the kind holds at most.
int MaxSectorsOf(ImageKind kind);
// The sectors of a sector dump laid out as an image of the kind: a PC99 image single-sided
// when the sectors fit on one side, else double-sided; an HFE image of the smallest 40-track
// geometry that holds them (80 tracks beyond 1440 sectors). Empty when the kind cannot hold them.
std::vector<uint8_t> LayOutImage(const std::vector<uint8_t>& sectors, ImageKind kind);

// Bytes that differ from sector to sector and from seed to seed.
inline std::vector<uint8_t> Pattern(size_t bytes, uint8_t seed) {
    std::vector<uint8_t> data(bytes);
    for (size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<uint8_t>(seed + i * 7 + i / 256);
    return data;
}

struct BuiltFile {
    std::string name;
    uint8_t status = 0x01;  // program
    uint8_t recordLength = 0;
    uint8_t recordsPerSector = 0;
    std::vector<uint8_t> data;  // padded to whole sectors
    int sectors = -1;           // data sectors; -1: as many as the data needs
    uint8_t eofOffset = 0;
    int records = -1;  // FDR bytes 18-19; -1: the data sector count
    uint16_t creationTime = 0, creationDate = 0, updateTime = 0, updateDate = 0;
    // Sizes of the clusters the data is split into (their sum is the sector count); empty: one
    // cluster. Clusters are placed with a free sector between them.
    std::vector<int> clusterSizes;
    int fdrSector = 0;  // 0: the next free sector from 2 on

    // A program file of these bytes.
    static BuiltFile Program(const std::string& name, const std::vector<uint8_t>& bytes);
    // Variable-length records (DIS/VAR or INT/VAR): each record a length byte and its bytes, a
    // sector ends with 0xFF; the record count field holds the sector count.
    static BuiltFile Variable(const std::string& name, bool internal, uint8_t recordLength,
                              const std::vector<std::string>& records);
    // Fixed-length records (DIS/FIX or INT/FIX), 256 / record length to a sector.
    static BuiltFile Fixed(const std::string& name, bool internal, uint8_t recordLength,
                           const std::vector<std::string>& records);
};

class CImageBuilder {
public:
    // A formatted, empty disk: 360 sectors single-sided single density unless told otherwise.
    explicit CImageBuilder(int totalSectors = 360, bool doubleSided = false,
                           bool doubleDensity = false);

    CImageBuilder& SetName(const std::string& name);
    CImageBuilder& SetProtected(bool isProtected);
    CImageBuilder& SetSectorsPerTrack(int sectorsPerTrack);
    CImageBuilder& SetStamps(uint16_t creationTime, uint16_t creationDate, uint16_t updateTime,
                             uint16_t updateDate);

    // Writes the file's FDR and data; returns the FDR sector, or 0 when the disk is full.
    int AddFile(const BuiltFile& file);
    // Replaces the sorted index with these entries (written as they are, at most 128).
    CImageBuilder& SetIndex(const std::vector<int>& entries);

    // The finished sector dump: VIB, bitmap (used sectors and everything past the total set)
    // and the index sorted by name. Its length is the total sector count x 256.
    std::vector<uint8_t> Image() const;
    // The same sectors laid out as a PC99 track image (FM or MFM as the density says).
    std::vector<uint8_t> Pc99Image() const;
    // The same sectors as an HFE image of 40 tracks per side.
    std::vector<uint8_t> HfeImage() const;
    std::unique_ptr<CMemFile> MemFile() const { return std::make_unique<CMemFile>(Image()); }

    int TotalSectors() const { return m_total; }
    bool Used(int sector) const { return m_used[static_cast<size_t>(sector)]; }

private:
    int NextFree(int from) const;

    int m_total;
    bool m_doubleSided, m_doubleDensity;
    int m_sectorsPerTrack;
    std::string m_name = "TESTDISK";
    bool m_protected = false;
    uint16_t m_stamps[4] = {};
    std::vector<uint8_t> m_sectors;  // 1600 x 256, cut to the total by Image()
    std::vector<bool> m_used;
    struct Entry {
        std::string name;
        int fdr;
    };
    std::vector<Entry> m_files;
    bool m_customIndex = false;
    std::vector<int> m_index;
};

// The data sectors of the named file on the drive, in file order; empty when it is not there.
std::vector<uint8_t> FileBytes(CVirtualDrive& drive, const std::string& name);

}  // namespace tavik::test
