// Status codes of the link and of the remote commands: the operation in progress or the last
// failure. The same names appear in the trace.
#pragma once

#include <string>

namespace tavik {

enum LinkStatus : int {
    StatusIdle = 0,
    StatusExportByte = 1,
    StatusImportByte = 2,
    StatusReadByte = 3,
    StatusWriteByte = 4,
    StatusReadWord = 5,
    StatusWriteWord = 6,
    StatusReadMemory = 7,
    StatusWriteMemory = 8,
    StatusBadAddress = 9,
    StatusSetXop = 10,
    StatusStep = 11,
    StatusRun = 12,
    StatusWhere = 13,
    StatusPokeCru = 14,
    StatusPeekCru = 15,
    StatusBlwp = 16,
    StatusTestBit = 17,
    StatusGetAddress = 18,
    StatusSetBreakpoint = 19,
    StatusSetPage = 20,
    StatusMoveHook = 21,
    StatusBranchLink = 22,
    StatusEmulatorNotAnswering = 23,
    StatusSerialNotFound = 24,
    StatusPortIoNotLoaded = 25,
    StatusParallelNotFound = 26,
};

// The name of a status code; "unknown" outside the table.
std::string LinkStatusName(int code);

}  // namespace tavik
