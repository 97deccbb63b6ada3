// What a user has on a disk, to tell whether an operation lost or changed any of it: each
// file's descriptor (bytes 0-27) and data by name, and what the disk check reports.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "disk/VirtualDrive.h"

namespace tavik::test {

struct Holdings {
    std::map<std::string, std::vector<uint8_t>> files;
    std::string report;
};

// Read from the image's bytes where they are, through a drive of its own, so that no fault
// and no cache of the drive under test interferes.
Holdings HoldingsOf(const std::vector<uint8_t>& image);

// "" when nothing the user had is lost or changed, else what is.
std::string Difference(const Holdings& before, const Holdings& after);

// The data of a file, sector by sector in file order, as the drive reads it; empty when a
// sector cannot be reached.
std::vector<uint8_t> FileBytes(CVirtualDrive& drive, int fdr);

}  // namespace tavik::test
