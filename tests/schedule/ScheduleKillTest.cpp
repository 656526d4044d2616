// A scheduled run killed at every point where the stored files change leaves what a killed
// interactive check leaves: after the next start's recovery the database's digest is the one
// its "Database Index" line keeps, "Backup File 1" holds exactly the copies its index lists,
// the changed file is never lost, and no plaintext copy is left anywhere.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/MainFrame.h"
#include "platform/File.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "storage/Recovery.h"
#include "storage/StopPoints.h"
#include "tests/schedule/ScheduleFixture.h"

namespace {

int g_stopAt = 0;
int g_stops = 0;

void StopHere(const char*) {
    if (++g_stops == g_stopAt)
        _exit(42);
}

using ScheduleKillTest = ScheduleFixture;

}  // namespace

TEST_F(ScheduleKillTest, AcceptingAndRestoringAreRecoveredAtEveryPoint) {
    const std::string aside = "C:\\Program Files\\Quillstead\\Changed Files\\b.txt.CHANGED";
    BuildThree("N");
    Schedule({kDatabase});
    // The choice and, for a restore, the restore dialog's mode (-1: none).
    const std::pair<int, int> answers[] = {{1, -1}, {3, 1}, {3, 0}};
    for (const auto& [choice, mode] : answers) {
        int stopAt = 1;
        for (;; ++stopAt) {
            SCOPED_TRACE("choice " + std::to_string(choice) + "/" + std::to_string(mode) +
                         " killed at point " + std::to_string(stopAt));
            BuildThree("N");
            platform::RemoveFile(aside);
            p.WriteFile(files[1], "changed");
            p.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":)" +
                               std::to_string(choice) + "}}");
            if (mode >= 0)
                p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":)" +
                                   std::to_string(mode) + "}}");
            const pid_t pid = fork();
            if (pid == 0) {
                g_stopAt = stopAt;
                SetStorageStopHook(&StopHere);
                StartAndTick();
                _exit(0);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            if (WEXITSTATUS(status) == 0)
                break;

            RecoverStorage(p.frame.m_fileKey, p.frame.m_indexIv, p.BackupDir());
            std::string kept;
            ASSERT_TRUE(IndexField(IndexLineOf(kDatabase), 5, kept));
            EXPECT_EQ(kept, DigestStoredFile(kDatabase));
            const std::string index = BackupIndexPlain();
            double copies = 0;
            size_t start = 0;
            for (size_t end; (end = index.find('\n', start)) != std::string::npos;
                 start = end + 1) {
                BackupIndexEntry entry;
                ASSERT_TRUE(ParseBackupIndexLine(index.substr(start, end - start), entry));
                copies += entry.copyLength;
            }
            EXPECT_EQ(double(p.ReadFile(BackupFilePath()).size()), copies);
            // Where it was, or moved aside with the original in its place.
            if (p.ReadFile(files[1]) != "changed") {
                EXPECT_EQ(p.ReadFile(files[1]), originals[1]);
                EXPECT_EQ(p.ReadFile(aside), "changed");
            }
            EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
            if (HasFatalFailure())
                return;
        }
        EXPECT_GT(stopAt, 3) << choice;
    }
}
