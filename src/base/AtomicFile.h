// Rewriting a whole PC file so that the old content survives a failure or a crash at any
// moment: the new content goes into a temporary file beside the old one, is flushed to disk and
// then renamed over it.
#pragma once

#include <functional>
#include <string>

#include "PcFile.h"

namespace tavik {

// Calls write() with a fresh file in the same folder as `path`; when it returns true and the
// data reached the disk, the temporary file replaces `path` (the file a symbolic link points
// at, when `path` is one; a new file when there was none). Otherwise `path` is untouched and
// the temporary file is removed. A `path` that is no regular file (a FIFO, a device, a folder)
// is refused.
bool ReplaceFileAtomically(const std::string& path, const std::function<bool(CPcFile&)>& write);

// For tests: the next replacement fails just before the rename, as a crash there would.
void FailNextReplacementForTesting();

}  // namespace tavik
