// The text the check-disk command shows: one line per problem found by CheckDisk, each ending
// in a carriage return and line feed; "" when there is nothing to report.
#pragma once

#include <string>

#include "disk/VirtualDrive.h"

namespace tavik {

std::string CheckReport(int flags, const DiskUsage& usage);

}  // namespace tavik
