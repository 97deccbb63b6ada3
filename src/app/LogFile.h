// The run's log: lines collected in memory and written to "TAVIKlog.txt" once, at the end of the
// run. Logging happens only when that file already existed in the working directory at start,
// so a user switches it on by creating the file.
#pragma once

#include <string>

#include "base/UserPrompt.h"

namespace tavik {

inline constexpr const char* kLogFileName = "TAVIKlog.txt";

class CLogFile {
public:
    // Enables the log when folder (the working directory; empty means the current one) holds a
    // file named "TAVIKlog.txt"; otherwise nothing is ever logged.
    void EnableIfPresent(const std::string& folder = {});
    bool Enabled() const { return m_enabled; }
    const std::string& FileName() const { return m_fileName; }

    // Appends text and CR LF when enabled.
    void WriteLine(const std::string& text);
    const std::string& Buffer() const { return m_buffer; }

    // At the end of the run: when enabled, the file is created anew with the whole buffer. On
    // failure: "Could not open file " and the name. False only on failure.
    bool WriteFile(CUserPrompt& prompt);

private:
    bool m_enabled = false;
    std::string m_fileName;
    std::string m_buffer;
};

}  // namespace tavik
