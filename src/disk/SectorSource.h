// Where the sectors of a remote drive (a DSKn of a TI-99/4A on a cable) or an emulator drive
// come from. The drive object keeps its own fields (drive number, CRU base, subroutine addresses,
// emulator name and device) and hands itself to the source on every call; the remote layer
// implements this interface.
#pragma once

#include <cstdint>
#include <string>

namespace tavik {

class CVirtualDrive;

class CSectorSource {
public:
    virtual ~CSectorSource() = default;

    // Each returns 0 on success or a negative DiskError (which becomes the drive's last error).
    virtual int ReadSector(CVirtualDrive& drive, int sector, uint8_t* buffer) = 0;
    virtual int WriteSector(CVirtualDrive& drive, int sector, const uint8_t* buffer) = 0;
    // Checks that the drive named by the drive's fields exists (and fills in what it learns).
    virtual int ConfirmDrive(CVirtualDrive& drive) = 0;
    // Formats the medium in the drive (remote drives only; others succeed without doing anything).
    virtual int FormatDisk(CVirtualDrive& /*drive*/, int /*tracks*/, int /*sides*/,
                           int /*density*/) {
        return 0;
    }

    // The remote link's error record, shown by ErrorText: two error numbers and a code.
    virtual bool HasErrorRecord() const { return false; }
    virtual int ErrorNumber1() const { return 0; }
    virtual int ErrorNumber2() const { return 0; }
    virtual int ErrorCode() const { return 0; }
    // The remote link's log (a trace line; no line ending).
    virtual void LogLine(const std::string& /*line*/) {}
    // True for a cable link (ErrorText writes to its log first).
    virtual bool IsRemoteLink() const { return false; }
};

}  // namespace tavik
