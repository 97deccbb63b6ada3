// Progress scopes: one bar for nested loops, and an end however a scope is left.
#include <gtest/gtest.h>

#include "base/Progress.h"
#include "support/ScriptedPrompt.h"

namespace tavik {
namespace {

int CopyThatFailsAtStep(CUserPrompt& prompt, int failing) {
    CProgress progress(prompt, "Copying", 4);
    for (int k = 0; k < 4; ++k) {
        if (k == failing) return 0;
        progress.Step(k + 1);
    }
    return 1;
}

TEST(ProgressTest, NestedScopesShareOneBarAndTheOutermostEndsIt) {
    test::CScriptedPrompt prompt;
    {
        CProgress disks(prompt, "Adding 4 disks", 4);
        disks.Step(2);
        EXPECT_EQ(prompt.progressText, "Adding 4 disks");
        EXPECT_EQ(prompt.progressDone * 2, prompt.progressTotal);
        {
            CProgress files(prompt, "Reading files", 10);
            files.Step(5);
            EXPECT_EQ(prompt.progressText, "Adding 4 disks\nReading files");
            EXPECT_EQ(prompt.progressDone * 8, prompt.progressTotal * 5);  // 2.5 of 4
            EXPECT_EQ(CopyThatFailsAtStep(prompt, 2), 0);
            EXPECT_TRUE(prompt.progressUp) << "an inner scope does not end the outer one";
        }
        EXPECT_EQ(prompt.progressText, "Adding 4 disks");
        disks.Step(7);  // past the end: shown full
        EXPECT_EQ(prompt.progressDone, prompt.progressTotal);
    }
    EXPECT_FALSE(prompt.progressUp);

    EXPECT_EQ(CopyThatFailsAtStep(prompt, 1), 0);
    EXPECT_FALSE(prompt.progressUp) << "a loop that fails midway takes its progress with it";
}

}  // namespace
}  // namespace tavik
