// A long loop's progress, shown for exactly as long as the loop's scope lasts: it ends when the
// scope ends, whether the loop finished, failed midway or was aborted, so no progress outlives
// its work. Scopes nest: a scan of many disks steps once per disk, and each disk's scan steps
// once per file within that step; whoever shows progress sees one bar and one line per level.
#pragma once

#include <string>

#include "base/UserPrompt.h"

namespace tavik {

class CProgress {
public:
    // `total` steps; 0 when not known yet (SetTotal later).
    CProgress(CUserPrompt& prompt, std::string what, int total);
    ~CProgress();
    CProgress(const CProgress&) = delete;
    CProgress& operator=(const CProgress&) = delete;

    void SetTotal(int total);
    // `done` of the total are through.
    void Step(int done);
    void Step(int done, std::string what);
    // The loop's abort poll: F4 held (or the progress's Cancel pressed) asks `question`; true
    // means stop.
    bool AbortRequested(const std::string& question);

private:
    void Show();

    CUserPrompt& m_prompt;
    CProgress* m_outer;
    std::string m_what;
    int m_done = 0;
    int m_total;
};

}  // namespace tavik
