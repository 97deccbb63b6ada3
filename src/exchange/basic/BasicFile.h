// BASIC programs as files: the listing of a program on a disk or in a PC file, and a program
// written onto a disk. These are what the CLI's "basic" command and the viewer call.
#pragma once

#include <string>
#include <vector>

#include "disk/VirtualDrive.h"
#include "exchange/basic/BasicLayout.h"
#include "exchange/basic/BasicListing.h"

namespace tavik::basic {

// The listing of the file whose FDR is sector fdr. 0, with the drive's last error, when its
// FDR cannot be read. A file that cannot be read to its end is listed as far as it was read,
// with the read error in the listing's problem.
int ListBasicFile(CTiDisk& disk, int fdr, BasicListing& listing);

// Whether the file holds a program to list (the files the viewer offers "View as BASIC" for):
// a PROGRAM file that begins with a BASIC program's header, an INT/VAR 254 file that begins
// with the long form's header, a DIS/VAR 163 file whose first record is a program line. Only
// the first data sector is read.
bool IsBasicFile(CTiDisk& disk, int fdr);

// The listing of a TI file kept as a PC file: with a TIFILES or FIAD header as the type in it
// says, without one in the form its bytes show. False, with the reason in `error`, when the PC
// file cannot be read or holds a whole disk.
bool ListBasicPcFile(const std::string& pcPath, BasicListing& listing, std::string& error);

// Writes a program (lines in ascending order) as a new file `name` in a form. Nothing is
// changed on the disk unless the whole file was written: a name already on the disk is
// refused, and a file that could not be completed is removed again. 1 on success; 0 with the
// reason in `message` (or, when that is empty, in the drive's last error).
int CreateBasicFile(CTiDisk& disk, const std::string& name, const std::vector<BasicLine>& lines,
                    BasicForm form, bool protect, std::string& message);

}  // namespace tavik::basic
