// The questions before files are deleted (from a disk or from an archive): with several files
// one question decides for every protected one among them, and Cancel deletes nothing; a single
// protected file is asked about on its own.
#pragma once

#include <cstddef>

#include "base/UserPrompt.h"

namespace tavik {

class CDeleteQuestions {
public:
    // Asks the question for several files; false when the user cancelled.
    bool Begin(CUserPrompt& prompt, size_t files) {
        m_prompt = &prompt;
        m_several = files > 1;
        if (!m_several) return true;
        m_protectedToo =
            prompt.Ask("If some of these files are protected, should they be deleted too?",
                       PromptButtons::YesNoCancel);
        return m_protectedToo != PromptAnswer::Cancel;
    }
    // Whether a file with this protection may go.
    bool MayDelete(bool isProtected) const {
        if (!isProtected) return true;
        const PromptAnswer answer =
            m_several ? m_protectedToo
                      : m_prompt->Ask("Delete protected file?", PromptButtons::YesNo);
        return answer == PromptAnswer::Yes;
    }

private:
    CUserPrompt* m_prompt = nullptr;
    bool m_several = false;
    PromptAnswer m_protectedToo = PromptAnswer::No;
};

}  // namespace tavik
