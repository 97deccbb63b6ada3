// The options by which commands reach a disk image: --start and --size (C integer syntax,
// bytes) select a volume inside a larger file such as a CF card; --json asks for the
// machine-readable form.
#pragma once

#include <string>
#include <vector>

#include "cli/CliCommand.h"
#include "disk/VirtualDrive.h"

namespace tavik::cli {

std::vector<CliOption> ImageOptions();

// Mounts the image named by the command's first argument read-only. On failure prints the
// drive's error text (or what was wrong with the options) and returns the exit code to use;
// kExitOk on success.
int MountImageArgument(const CliArgs& args, CVirtualDrive& drive, CliContext& context);
// The same for the image named by argument `position`, opened in `mode`; with the prefix
// "to-", the volume is given by --to-start and --to-size.
int MountImageAt(const CliArgs& args, size_t position, OpenMode mode, CVirtualDrive& drive,
                 CliContext& context, const std::string& prefix = "");

// Kind as the catalog JSON names it: "DOAD", "PC99 FM", "PC99 MFM", "HFE".
std::string KindName(int kind);

}  // namespace tavik::cli
