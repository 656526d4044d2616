// A walk that stores after every third file, interrupted at each point where the stored
// files change and killed at moments spread over it: after the next start's recovery the
// stored files hold to the kill harness's rules, and the database keeps exactly the records
// of the last store recorded (none while the first is only staged), never those after it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "add/AddFileRead.h"
#include "tests/add/WalkAddFixture.h"
#include "tests/support/KillHarness.h"

namespace {

class WalkAddKillTest : public WalkAddFixture,
                        public ::testing::WithParamInterface<KillHarness::Mode> {};

TEST_P(WalkAddKillTest, AKillKeepsWhatTheLastStoreRecordedAndNothingAfter) {
    KillHarness kill(prefix, GetParam());
    for (int i = 0; i < 8; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "E:\\kill\\f%03d", i);
        kill.Write(name, Pattern(20 + i % 7));
    }
    kill.Snapshot();
    size_t stored = 0;
    const std::vector<std::string> points = kill.EveryInterruption(
        [this] {
            SetAddCommitPace(3, std::chrono::milliseconds(0), std::chrono::hours(1));
            Choose("E:\\kill");
            Run();
        },
        [&](const std::string& where) {
            const size_t kept = DatabasePlain().empty() ? 0 : RecordPaths().size();
            if (where == "commit recorded") {
                EXPECT_GT(kept, stored);  // the store is finished
                stored = kept;
            } else if (!where.empty()) {
                EXPECT_EQ(kept, stored);  // a store only staged is undone
            }
        });
    EXPECT_EQ(std::count(points.begin(), points.end(), "commit recorded"), 3);
    if (GetParam() == KillHarness::Mode::Stop || GetParam() == KillHarness::Mode::PowerLoss) {
        EXPECT_EQ(stored, 8u);  // every store was met at its mark
    }
}

INSTANTIATE_TEST_SUITE_P(Every, WalkAddKillTest, EveryKillMode(), KillModeName);

}  // namespace
