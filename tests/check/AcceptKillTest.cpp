// A process killed in the middle of an acceptance (choice 1, encrypted backups) leaves every
// stored file whole: the database, its "Database Index" line, "Backup Index 1" and "Backup
// File 1" each decrypt and read as either their old or their new contents. The test stops a
// child process at each step between the writes, and kills others at moments spread over
// the whole acceptance, and records which old and new files each stop leaves together.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <set>

#include "app/MainFrame.h"
#include "check/AcceptChange.h"
#include "check/CheckRunState.h"
#include "storage/DatabaseIndex.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

int g_stopAt = 0;

void StopHere(int step) {
    if (step == g_stopAt)
        _exit(0);
}

class AcceptKillTest : public AcceptRestoreFixture {
  protected:
    void SetUp() override {
        BuildThree("N", {std::string(3000, 'a'), std::string(bigSize, 'b'), "ccc"});
        oldDatabase = DatabasePlain();
        oldIndex = BackupIndexPlain();
        oldBackup = p.ReadFile(BackupFilePath());
        p.WriteFile(files[1], std::string(bigSize + 7, 'B'));
        // What a completed acceptance writes, from a run in a child that is not stopped.
        Child(0, 0);
        newDatabase = DatabasePlain();
        newIndex = BackupIndexPlain();
        newBackup = p.ReadFile(BackupFilePath());
        ASSERT_NE(oldIndex, newIndex);
        ASSERT_NE(oldBackup, newBackup);
    }

    // Puts the stored files back as they were before the acceptance.
    void Reset() {
        p.frame.m_checkWorkFile.reset();
        for (const std::string& f : Leftovers()) unlink(f.c_str());
        StoreDatabase(oldDatabase);
        StoreBackupIndex(oldIndex);
        p.WriteFile(BackupFilePath(), oldBackup);
    }

    // Runs the acceptance in a child stopped at `step` (0: never), or killed after
    // `killAfterUs` microseconds; returns the time it ran.
    std::chrono::microseconds Child(int step, long killAfterUs) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            // The child stands where the check hands b.txt over, its own stream on the
            // working copy.
            CheckRunState run = RunAt(files[1], 2);
            g_stopAt = step;
            SetAcceptStepHook(StopHere);
            AcceptChangedFile(run, 1);
            _exit(step == 0 ? 0 : 3);
        }
        if (killAfterUs > 0) {
            struct timespec pause = {killAfterUs / 1000000, (killAfterUs % 1000000) * 1000};
            nanosleep(&pause, nullptr);
            kill(pid, SIGKILL);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (killAfterUs == 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        p.frame.m_checkWorkFile.reset();
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - start);
    }

    // The state the stored files are in, as "database/digest/index/backup"; each part "old",
    // "new" (the digest "ok" or "stale"), or "broken". Empty for the state of completion.
    std::string State() {
        const std::string db = DatabasePlain();
        std::string line = DatabaseIndexPlain(), digest;
        IndexField(line, 5, digest);
        const std::string index = BackupIndexPlain();
        const std::string backup = p.ReadFile(BackupFilePath());
        auto which = [](const std::string& now, const std::string& before,
                        const std::string& after) {
            return now == before ? "old" : now == after ? "new" : "broken";
        };
        return std::string(which(db, oldDatabase, newDatabase)) + "/" +
               (digest == DigestStoredFile(kDatabase) ? "ok" : "stale") + "/" +
               which(index, oldIndex, newIndex) + "/" + which(backup, oldBackup, newBackup);
    }
    static const size_t bigSize = 2 * 1024 * 1024;
    std::string oldDatabase, oldIndex, oldBackup, newDatabase, newIndex, newBackup;
};

TEST_F(AcceptKillTest, EachStepLeavesWholeFiles) {
    const std::vector<std::pair<int, std::string>> expected = {
        {kStepRecordRewritten, "old/ok/old/old"},    {kStepDatabaseStored, "new/stale/old/old"},
        {kStepDigestRefreshed, "new/ok/old/old"},    {kStepRepositioned, "new/ok/old/old"},
        {kStepNewBackupWritten, "new/ok/old/old"},   {kStepNewIndexEncrypted, "new/ok/old/old"},
        {kStepBackupFileReplaced, "new/ok/old/new"}, {kStepBackupIndexReplaced, "new/ok/new/new"},
    };
    for (const auto& [step, state] : expected) {
        Reset();
        Child(step, 0);
        EXPECT_EQ(state, State()) << "stopped at step " << step;
        std::string left;
        for (const std::string& f : Leftovers()) left += " " + f.substr(f.rfind('/') + 1);
        std::cout << "step " << step << " " << State() << " leaves:" << left << "\n";
    }
}

TEST_F(AcceptKillTest, KillsAtAnyMomentLeaveWholeFiles) {
    Reset();
    const long whole = static_cast<long>(Child(0, 0).count());
    const std::set<std::string> allowed = {"old/ok/old/old", "new/stale/old/old", "new/ok/old/old",
                                           "new/ok/old/new", "new/ok/new/new"};
    std::set<std::string> seen;
    const int kills = 16;
    for (int i = 1; i <= kills; ++i) {
        Reset();
        Child(-1, std::max(1L, whole * i / (kills + 1)));
        const std::string state = State();
        EXPECT_EQ(1u, allowed.count(state)) << state << " after " << i << "/" << kills + 1;
        seen.insert(state);
    }
    // The kills are spread over the acceptance: they meet more than one state.
    EXPECT_GT(seen.size(), 1u);
    for (const std::string& state : seen) std::cout << "killed in state " << state << "\n";
}

// The next renewal removes the temporary files an interrupted one left, plaintext first.
TEST_F(AcceptKillTest, TheNextRenewalClearsWhatAnInterruptedOneLeft) {
    Reset();
    Child(kStepNewBackupWritten, 0);
    ASSERT_FALSE(p.FilesNamed("Backup Index 1.new").empty());
    p.WriteFile(files[0], "changed a");
    CheckRunState run = RunAt(files[0], 1);
    AcceptChangedFile(run, 1);
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

}  // namespace
