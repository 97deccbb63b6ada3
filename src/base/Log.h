// The program's log, reachable from every layer: lower layers (the cable link, the drives)
// write lines here; the application decides where they go (its log file buffer).
#pragma once

#include <functional>
#include <string>

namespace tavik {

using LogSink = std::function<void(const std::string& line)>;

// Replaces the sink; an empty sink drops lines (the default).
void SetLogSink(LogSink sink);
// One line without its line ending.
void LogLine(const std::string& line);

}  // namespace tavik
