// An interruption at any moment of any change to the stored files leaves, after the next
// start's recovery, files that decrypt and parse, agree with each other (a database's digest
// is its index line's; a backup file is exactly its entries' copies) and no plaintext copy.
// Each command runs in a child process that ends itself at the k-th stop point (k = 1, 2,
// ... until the command completes), or is killed at a moment spread over the command; the
// parent then recovers, checks every stored file, runs a check, and restores a file whose
// bytes must be a version the file really had.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>

#include "add/AddFileRead.h"
#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/Recovery.h"
#include "storage/RecoveryRecord.h"
#include "storage/StopPoints.h"
#include "storage/WorkCopyStream.h"
#include "tests/support/TempPrefix.h"

namespace {

namespace fs = std::filesystem;

const std::string kDatabase = "E:\\db.qdb";
const std::vector<std::string> kFiles = {"E:\\a.txt", "E:\\b.bin", "E:\\c.txt"};

int g_stopAt = 0;
int g_stops = 0;
void StopHere(const char*) {
    if (++g_stops == g_stopAt)
        _exit(7);
}

std::string Md5Of(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes.data(), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

class KillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        p.SetReg("Config5", "1");
        p.SetReg("Config17", "N");
        p.SetReg("Config2", "0");
        const std::vector<std::string> contents = {"alpha\n", std::string(70000, 'b'), "gamma"};
        for (size_t i = 0; i < kFiles.size(); ++i) Write(kFiles[i], contents[i]);
        CCNoflview noDatabase(p.frame);
        ASSERT_TRUE(noDatabase.CreateDatabase(kDatabase));
        CListview view(p.frame);
        ASSERT_TRUE(view.OpenDatabase(kDatabase));
        view.OnDropFiles(kFiles);
        p.ui.ClearEvents();
        fs::copy(p.root, p.root + ".start",
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    void TearDown() override { fs::remove_all(p.root + ".start"); }

    void Write(const std::string& path, const std::string& bytes) {
        p.WriteFile(path, bytes);
        m_versions.insert(Md5Of(bytes));
    }
    void BackToStart() {
        fs::remove_all(p.root);
        fs::copy(p.root + ".start", p.root,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }

    // Runs the command in a child stopped at the k-th point (0: never) or killed after
    // `killAfterUs`; true when it was stopped or killed before its end.
    bool Child(const std::function<void(CListview&)>& command, int k, long killAfterUs = 0) {
        const pid_t pid = fork();
        if (pid == 0) {
            g_stopAt = k;
            g_stops = 0;
            SetStorageStopHook(StopHere);
            CListview view(p.frame);
            view.m_databasePath = kDatabase;
            p.frame.m_openDatabasePath = kDatabase;
            try {
                command(view);
            } catch (const std::exception& e) {
                fprintf(stderr, "child: %s\n", e.what());
                _exit(3);
            }
            _exit(0);
        }
        if (killAfterUs > 0) {
            const struct timespec pause = {killAfterUs / 1000000, (killAfterUs % 1000000) * 1000};
            nanosleep(&pause, nullptr);
            kill(pid, SIGKILL);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 3)
            ADD_FAILURE() << "the command failed";
        return !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // The next start's recovery, then every stored file read and held to the rules.
    void RecoverAndInspect(const std::string& where) {
        SCOPED_TRACE(where);
        p.frame.RecoverStoredFiles();
        for (const char* part : {"123456789z", ".Ptemp", ".Ntemp", ".new"})
            EXPECT_TRUE(p.FilesNamed(part).empty()) << part << " left: " << p.FilesNamed(part)[0];
        EXPECT_TRUE(!fs::exists(RecoveryFolder()) || fs::is_empty(RecoveryFolder()));

        DatabaseIndexImage index(p.frame.m_fileKey, p.frame.m_indexIv, p.BackupDir());
        index.Load(true);
        for (const std::string& line : index.Lines()) {
            std::string database;
            ASSERT_TRUE(IndexField(line, 1, database));
            DatabaseFiles files(p.frame.m_fileKey, p.frame.m_indexIv, p.BackupDir(), database);
            int cause = 0;
            ASSERT_EQ(DatabaseFiles::Opened::Ok, files.Open(cause)) << database;
            for (WorkCopyStream records(files.Database().Plain()); !records.AtEnd();) {
                std::string record;
                records.ReadLine(record);
                FileRecord parsed;
                EXPECT_TRUE(ParseFileRecordLine(record, parsed)) << record;
            }
            InspectPair(files);
        }
    }

    // The backup file is exactly its entries' copies, and each copy is a version the file had.
    void InspectPair(DatabaseFiles& files) {
        std::string n;
        ASSERT_TRUE(files.BackupNumber(n));
        const std::string filePath = BackupFilePath(p.BackupDir(), n);
        // Measured before the pair is opened: opening it would cut an orphan tail itself.
        const int64_t length = int64_t(p.ReadFile(filePath).size());
        BackupPair pair(p.frame.m_fileKey, p.BackupDir(), n);
        pair.Open();
        EXPECT_EQ(pair.CopiesLength(), length);
        for (WorkCopyStream lines(pair.IndexPlain()); !lines.AtEnd();) {
            std::string line;
            lines.ReadLine(line);
            const std::string path = line.substr(0, line.find('\x7f'));
            const BackupLookup lookup = pair.Find(path);
            ASSERT_TRUE(lookup.found) << line;
            platform::CFile copy;
            int cause = 0;
            ASSERT_TRUE(pair.OpenCopy(lookup, copy, cause));
            std::string plain(size_t(lookup.entry.plainSize), '\0');
            const size_t got =
                pair.ReadPlainAt(copy, int64_t(lookup.offset), 0, &plain[0], plain.size());
            EXPECT_EQ(plain.size(), got);
            EXPECT_EQ(1u, m_versions.count(Md5Of(plain))) << "a copy of " << path;
        }
    }

    // A check, then b.bin spoilt and restored: its bytes come back as a version it had.
    void CheckAndRestore() {
        p.ui.ClearEvents();
        CListview view(p.frame);
        ASSERT_TRUE(view.OpenDatabase(kDatabase));
        view.OnCheckAllFiles();
        for (const std::string& event : p.ui.Events())
            EXPECT_EQ(std::string::npos, event.find("has been changed and cannot")) << event;
        p.WriteFile(kFiles[1], "spoilt");
        p.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})");
        p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})");
        view.OnCheckAllFiles();
        EXPECT_EQ(1u, m_versions.count(Md5Of(p.ReadFile(kFiles[1]))));
    }

    // Every stop point of the command, then a few kills at moments spread over it.
    void EveryInterruption(const std::function<void()>& prepare,
                           const std::function<void(CListview&)>& command, int kills = 6) {
        int k = 1;
        for (;; ++k) {
            BackToStart();
            prepare();
            if (!Child(command, k))
                break;
            RecoverAndInspect("stopped at point " + std::to_string(k));
            CheckAndRestore();
            if (HasFatalFailure() || k > 200)
                break;
        }
        EXPECT_GT(k, 2) << "the command passed no stop point";
        BackToStart();
        prepare();
        const auto start = std::chrono::steady_clock::now();
        Child(command, 0);
        const long whole = long(std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
        for (int i = 1; i <= kills; ++i) {
            BackToStart();
            prepare();
            Child(command, -1, std::max(1L, whole * i / (kills + 1)));
            RecoverAndInspect("killed at " + std::to_string(i) + "/" + std::to_string(kills + 1));
            CheckAndRestore();
        }
    }

    std::set<std::string> m_versions;
    TempPrefix p;
};

TEST_F(KillTest, AddDropAndCreate) {
    auto newFiles = [this] {
        Write("E:\\d.txt", std::string(40000, 'd'));
        Write("E:\\e.txt", "epsilon");
    };
    EveryInterruption(newFiles, [](CListview& v) { v.AddOneFileToDatabase("E:\\d.txt"); });
    EveryInterruption(newFiles, [](CListview& v) { v.OnDropFiles({"E:\\d.txt", "E:\\e.txt"}); });
    // A drop that stores after every file: its later copies are each a new transaction's.
    EveryInterruption(newFiles, [](CListview& v) {
        SetAddCommitPace(1, std::chrono::milliseconds(0), std::chrono::milliseconds(0));
        v.OnDropFiles({"E:\\d.txt", "E:\\e.txt"});
    });
    EveryInterruption(newFiles, [this](CListview&) {
        CCNoflview noDatabase(p.frame);
        noDatabase.CreateDatabase("E:\\db2.qdb");
    });
}

TEST_F(KillTest, AcceptWithAndWithoutANewBackup) {
    auto change = [this] { Write(kFiles[1], std::string(90000, 'B')); };
    for (const char* choice : {"1", "2"}) {
        SCOPED_TRACE(choice);
        EveryInterruption(change, [this, choice](CListview& v) {
            p.ui.AddScriptLine(
                std::string(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":)") + choice +
                "}}");
            v.OpenDatabase(kDatabase);
            v.OnCheckAllFiles();
        });
    }
}

TEST_F(KillTest, RestoreInBothModes) {
    auto change = [this] { Write(kFiles[1], "changed b"); };
    for (const char* mode : {"0", "1"}) {
        SCOPED_TRACE(mode);
        EveryInterruption(change, [this, mode](CListview& v) {
            p.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})");
            p.ui.AddScriptLine(std::string(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":)") +
                               mode + "}}");
            v.OpenDatabase(kDatabase);
            v.OnCheckAllFiles();
        });
    }
}

}  // namespace
