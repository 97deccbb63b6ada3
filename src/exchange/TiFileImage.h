// A TI file held whole in memory, the form in which files go into an archive and come out of
// one: the fields of its FDR and its data sectors. Writing a batch of such files onto a disk
// goes through the drive's own file operations and is all or nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disk/VirtualDrive.h"

namespace tavik {

struct TiFileImage {
    // Name, status, counts and stamps as FDR bytes 0-27 hold them; a stamp whose date is 0 is
    // left to the target drive's stamp policy. The FDR sector and clusters are not used.
    FileProperties file;
    std::vector<uint8_t> data;  // file.sectors x 256 bytes
};

// The file of FDR sector fdr with every data sector its FDR counts. 0 with the drive's last
// error (a cluster list shorter than the sector count reads as a read error).
int ReadFileImage(CTiDisk& disk, int fdr, TiFileImage& image);

// Writes the files onto the disk under their own names. A file of the same name already there
// fails the whole batch ("Name already exists") unless `replace`; then it is replaced only once
// every new file is complete (each is built under a passing name first). On any failure the
// disk is as it was, and `error` says which file failed and why: "NAME: reason". 1 on success.
int WriteFileImages(CTiDisk& disk, const std::vector<const TiFileImage*>& files, bool replace,
                    std::string& error);

// The name as the messages show it: up to a zero byte, without trailing blanks.
std::string ShownName(const FileProperties& file);

}  // namespace tavik
