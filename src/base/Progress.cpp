#include "base/Progress.h"

#include <algorithm>
#include <utility>

namespace tavik {

namespace {

// The resolution of the one bar that nested scopes share.
constexpr int kNestedSteps = 1000;

}  // namespace

CProgress::CProgress(CUserPrompt& prompt, std::string what, int total)
    : m_prompt(prompt), m_outer(prompt.m_progress), m_what(std::move(what)), m_total(total) {
    m_prompt.m_progress = this;
    Show();
}

CProgress::~CProgress() {
    m_prompt.m_progress = m_outer;
    if (m_outer)
        m_outer->Show();
    else
        m_prompt.EndProgress();
}

void CProgress::SetTotal(int total) {
    m_total = total;
    Show();
}

void CProgress::Step(int done) {
    m_done = done;
    Show();
}

void CProgress::Step(int done, std::string what) {
    m_what = std::move(what);
    Step(done);
}

bool CProgress::AbortRequested(const std::string& question) {
    return tavik::AbortRequested(m_prompt, question);
}

void CProgress::Show() {
    // Only the innermost scope shows; it speaks for the levels around it.
    if (m_prompt.m_progress != this) return;
    if (!m_outer) {
        m_prompt.ShowProgress(m_what, std::clamp(m_done, 0, std::max(m_total, 0)),
                              std::max(m_total, 0));
        return;
    }
    // Each level's share of the bar is one step of the level around it.
    double fraction = 0;
    std::string text;
    for (const CProgress* level = this; level; level = level->m_outer) {
        if (level->m_total > 0)
            fraction =
                (std::clamp(level->m_done, 0, level->m_total) + (level == this ? 0 : fraction)) /
                level->m_total;
        else
            fraction = 0;
        text = level == this ? level->m_what : level->m_what + "\n" + text;
    }
    m_prompt.ShowProgress(text, static_cast<int>(fraction * kNestedSteps), kNestedSteps);
}

}  // namespace tavik
