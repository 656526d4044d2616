// A walk killed half-way (the process ends at a stop point between two stores), then the
// start-up's recovery and the next command's opening of the backup pair: the database holds the
// records of the last store, its digest is the one its "Database Index" line keeps, "Backup File 1"
// is as long as "Backup Index 1" says, every record has its copy, and nothing staged or plain is
// left.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "storage/BackupIndex.h"
#include "storage/DatabaseFiles.h"
#include "storage/Recovery.h"
#include "storage/StopPoints.h"
#include "storage/StoredFileNames.h"
#include "tests/add/WalkAddFixture.h"

namespace {

int g_stopAt = 0;
int g_seen = 0;
const char* g_point = "";
// Each copy takes a millisecond at least, so a store comes on the way however fast the
// machine is (it waits for 300 files and a quarter of a second).
void KillAt(const char* where) {
    if (std::string(where) == "copy appended")
        usleep(1000);
    if (std::string(where) == g_point && ++g_seen == g_stopAt)
        _exit(0);
}

class WalkAddKillTest : public WalkAddFixture {
  protected:
    void SetUp() override {
        WalkAddFixture::SetUp();
        for (int i = 0; i < 700; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "E:\\kill\\f%03d", i);
            prefix.WriteFile(name, Pattern(20 + i % 7));
        }
    }

    // Runs the walk in a child process that ends at the `at`-th passage of the stop point,
    // then recovers as the start-up does and checks that every stored file agrees. Returns
    // the number of records kept.
    size_t KillAndRecover(const char* point, int at) {
        const pid_t child = fork();
        if (child == 0) {
            g_point = point;
            g_stopAt = at;
            SetStorageStopHook(KillAt);
            Choose("E:\\kill");
            Run();
            _exit(3);  // the run ended without passing its stop
        }
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

        RecoverStorage(prefix.frame.m_fileKey, prefix.frame.m_indexIv, prefix.BackupDir());
        // Copies appended after the last store are cut off when the pair is next opened, as
        // the next command opens it.
        view.DecryptDatabaseToWorkFile();
        view.WorkFiles().Pair();
        view.CloseWorkFiles();
        ExpectDigestRefreshed();
        const std::string plain = DatabasePlain();
        const size_t records = plain.empty() ? 0 : RecordPaths().size();
        size_t entries = 0;
        double copies = 0;
        const std::string index = BackupIndexPlain();
        for (size_t start = 0, end; start < index.size(); start = end + 1) {
            end = index.find('\n', start);
            BackupIndexEntry entry;
            EXPECT_TRUE(ParseBackupIndexLine(index.substr(start, end - start), entry));
            copies += entry.copyLength;
            ++entries;
        }
        EXPECT_EQ(entries, records);
        EXPECT_EQ(double(BackupFileBytes().size()), copies);
        ExpectNothingLeftBehind();
        EXPECT_TRUE(prefix.FilesNamed(StagedPath("")).empty());
        return records;
    }
};

}  // namespace

// A kill after a store keeps what it stored and loses what came after.
TEST_F(WalkAddKillTest, AKillAfterAStoreKeepsWhatItStored) {
    const size_t kept = KillAndRecover("copy appended", 650);
    EXPECT_GE(kept, 1u);
    EXPECT_LT(kept, 650u);
}

// A kill while the first store is staged undoes it: nothing, copies included, is kept.
TEST_F(WalkAddKillTest, AKillWhileAStoreIsStagedUndoesIt) {
    EXPECT_EQ(KillAndRecover("staged", 1), 0u);
    EXPECT_EQ(BackupFileBytes(), "");
}

// A kill once the store is recorded finishes it.
TEST_F(WalkAddKillTest, AKillOnceAStoreIsRecordedFinishesIt) {
    const size_t kept = KillAndRecover("commit recorded", 1);
    EXPECT_GE(kept, 1u);
    EXPECT_LT(kept, 650u);
}
