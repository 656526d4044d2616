// A scheduled run killed at every point where the stored files change leaves what a killed
// interactive check leaves: once the next start's recovery has run, the database decrypts
// and its digest is the one its "Database Index" line keeps, "Backup File 1" holds exactly
// the copies "Backup Index 1" lists, the schedule decrypts, the changed file is never lost,
// and no plaintext copy is left anywhere.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "app/MainFrame.h"
#include "platform/File.h"
#include "schedule/ScheduleEdits.h"
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

// Runs `work` in a child killed at its `stopAt`-th stop point; false when the work ended
// before it.
bool KilledAt(int stopAt, const std::function<void()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        g_stopAt = stopAt;
        SetStorageStopHook(&StopHere);
        RunCommand(work);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WEXITSTATUS(status) == 42;
}

double CopyLengths(const std::string& index) {
    double total = 0;
    size_t start = 0;
    while (start < index.size()) {
        const size_t end = index.find('\n', start);
        const std::string line = index.substr(start, end - start);
        const size_t last = line.rfind('\x7f');
        const size_t before = line.rfind('\x7f', last - 1);
        total += std::stod(line.substr(before + 1, last - before - 1));
        start = end == std::string::npos ? index.size() : end + 1;
    }
    return total;
}

class ScheduleKillTest : public ScheduleFixture {
  protected:
    void ExpectRecovered(const std::string& changedBytes) {
        RecoverStorage(p.frame.m_fileKey, p.frame.m_indexIv, p.BackupDir());
        std::string kept;
        ASSERT_TRUE(IndexField(IndexLineOf(kDatabase), 5, kept));
        EXPECT_EQ(kept, DigestStoredFile(kDatabase));
        DatabasePlain();
        EXPECT_EQ(double(p.ReadFile(BackupFilePath()).size()), CopyLengths(BackupIndexPlain()));
        EXPECT_EQ(ScheduledDatabases(p.frame), std::vector<std::string>{kDatabase});
        // The changed file is where it was, or moved aside with the original in its place.
        const std::string now = p.ReadFile(files[1]);
        if (now != changedBytes) {
            EXPECT_EQ(now, originals[1]);
            EXPECT_EQ(p.ReadFile("C:\\Program Files\\Quillstead\\Changed Files\\b.txt.CHANGED"),
                      changedBytes);
        }
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
    }
};

}  // namespace

TEST_F(ScheduleKillTest, AcceptingAndRestoringAreRecoveredAtEveryPoint) {
    struct Case {
        const char* choice;
        const char* restoreMode;
    };
    const Case cases[] = {{"1", nullptr}, {"2", nullptr}, {"3", "1"}, {"3", "0"}};
    BuildThree("N");
    Schedule({kDatabase});
    for (const Case& c : cases) {
        int points = 0;
        for (int stopAt = 1;; ++stopAt) {
            SCOPED_TRACE(std::string("choice ") + c.choice + ", killed at point " +
                         std::to_string(stopAt));
            BuildThree("N");
            platform::RemoveFile("C:\\Program Files\\Quillstead\\Changed Files\\b.txt.CHANGED");
            p.WriteFile(files[1], "changed content");
            p.ui.AddScriptLine(
                std::string(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":)") + c.choice +
                "}}");
            if (c.restoreMode)
                p.ui.AddScriptLine(
                    std::string(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":)") +
                    c.restoreMode + "}}");
            if (!KilledAt(stopAt, [this] { StartAndTick(); }))
                break;
            ++points;
            ExpectRecovered("changed content");
            if (HasFatalFailure())
                return;
        }
        EXPECT_GT(points, 1) << c.choice;
    }
}
