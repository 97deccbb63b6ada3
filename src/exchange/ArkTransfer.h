// Archiver files on a mounted disk: opening one, taking its files out (onto any disk or to the
// PC), making one from files of a disk, and adding or removing files. Every change to a disk is
// all or nothing (WriteFileImages); an archive whose data is damaged is read as far as it goes
// and its damaged members are refused by name.
//
// Results: 1 on success; 0 with `error` holding the message to show ("NAME: reason" when one
// file is to blame) and, after a disk failure, the drive's last error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "disk/VirtualDrive.h"
#include "exchange/ArkFile.h"
#include "exchange/TextExport.h"

namespace tavik {

// Whether the file of FDR sector fdr looks like an archive: DIS/FIX or INT/FIX 128 and a first
// sector that starts either form. Reads the FDR and one sector.
bool IsArkFile(CTiDisk& disk, int fdr);

// Reads and decodes the archive file of FDR sector fdr.
int OpenArk(CTiDisk& disk, int fdr, CArkFile& ark, std::string& error);

// Writes the named members (every member when `names` is empty) onto the target disk under
// their own names, all or none. A damaged or missing member fails the whole call by name.
int ExtractArkMembers(const CArkFile& ark, const std::vector<std::string>& names, CTiDisk& target,
                      bool replace, std::string& error);

// Writes one member to a PC file in one of the ExportFormat forms (ExportFormat in
// PcFileKind.h: a header or none, whole sectors, or text, its lines ended in CR LF when crLf is
// set). The PC file is replaced only once the new one is complete.
int ExportArkMember(const ArkMember& member, const std::string& pcPath, int format,
                    const std::vector<uint16_t>& tabStops, std::string& error,
                    bool crLf = kPlatformCrLf);

// Makes archive file `name` on `disk` from the files of `source` (which may be `disk`) with
// FDR sectors `fdrs`. A file of that name on the disk fails the call unless `replace`; a name
// no file may take ("Illegal file name") fails it always.
int CreateArk(CTiDisk& disk, const std::string& name, CTiDisk& source, const std::vector<int>& fdrs,
              bool compressed, bool replace, std::string& error);

// Puts files of `source` into the archive of FDR sector arkFdr on `disk`; members of the same
// name are replaced when `replace`. The archive keeps its name, form and creation stamp.
int AddToArk(CTiDisk& disk, int arkFdr, CTiDisk& source, const std::vector<int>& fdrs, bool replace,
             std::string& error);

// Takes the named members out of the archive (without writing them anywhere).
int RemoveFromArk(CTiDisk& disk, int arkFdr, const std::vector<std::string>& names,
                  std::string& error);

}  // namespace tavik
