// Where the link writes its trace: one line per entry. The application's log implements it; the
// link writes nothing when no log is attached.
#pragma once

#include <string>

namespace tavik {

class CTraceLog {
public:
    virtual ~CTraceLog() = default;
    virtual void Line(const std::string& line) = 0;
};

// The kinds of trace entries (an entry of a kind above 4 is written as kind and byte in hex).
enum TraceKind : int {
    TraceNeutral = 0,
    TraceSent = 1,
    TraceReceived = 2,
    TraceCommand = 3,
    TraceError = 4,
};

// The text of one trace entry.
std::string TraceEntryText(int kind, int value);

}  // namespace tavik
