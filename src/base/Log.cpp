#include "Log.h"

namespace tavik {

namespace {
LogSink& Sink() {
    static LogSink sink;
    return sink;
}
}  // namespace

void SetLogSink(LogSink sink) {
    Sink() = std::move(sink);
}

void LogLine(const std::string& line) {
    if (Sink()) Sink()(line);
}

}  // namespace tavik
