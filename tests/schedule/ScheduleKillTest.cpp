// A scheduled run accepting or restoring a changed file, interrupted at every point where the
// stored files change and killed at moments spread over it, leaves what a killed interactive
// check leaves: after the next start's recovery the stored files hold to the kill harness's
// rules, and the file holds either its changed bytes or its original (the changed bytes then
// moved aside when the restore keeps them).
#include <gtest/gtest.h>

#include "tests/schedule/ScheduleFixture.h"
#include "tests/support/KillHarness.h"

namespace {

class ScheduleKillTest : public ScheduleFixture,
                         public ::testing::WithParamInterface<KillHarness::Mode> {};

TEST_P(ScheduleKillTest, AcceptingAndRestoringAreRecoveredAtEveryPoint) {
    const std::string aside = "C:\\Program Files\\Quillstead\\Changed Files\\b.txt.CHANGED";
    BuildThree("N");
    Schedule({kDatabase});
    KillHarness kill(p, GetParam());
    for (size_t i = 0; i < files.size(); ++i) kill.Write(files[i], originals[i]);
    kill.Write(files[1], "changed");
    kill.Snapshot();
    // The choice and, for a restore, the restore dialog's mode (-1: none).
    const std::pair<int, int> answers[] = {{1, -1}, {3, 1}, {3, 0}};
    for (const auto& [choice, mode] : answers) {
        SCOPED_TRACE("choice " + std::to_string(choice) + "/" + std::to_string(mode));
        const std::vector<std::string> points = kill.EveryInterruption(
            [&, choice = choice, mode = mode] {
                AnswerDetails(p, choice, mode);
                StartAndTick();
            },
            [&, mode = mode](const std::string&) {
                // Where it was, or the original in its place (and, in mode 1, moved aside).
                if (p.ReadFile(files[1]) != "changed") {
                    EXPECT_EQ(p.ReadFile(files[1]), originals[1]);
                    if (mode == 1) {
                        EXPECT_EQ(p.Exists(aside) ? p.ReadFile(aside) : "", "changed");
                    }
                }
            });
        // The answer was taken: an acceptance renews the copy, a restore makes its file.
        EXPECT_EQ(points.front(), choice == 1 ? "renewal written" : "plaintext noted");
    }
}

INSTANTIATE_TEST_SUITE_P(Every, ScheduleKillTest, EveryKillMode(), KillModeName);

}  // namespace
