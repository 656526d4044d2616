// The kill tests' harness (see KillHarness.h).
#include "tests/support/KillHarness.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/RecoveryRecord.h"
#include "storage/StopPoints.h"
#include "storage/StoredFileNames.h"
#include "storage/WorkCopyStream.h"
#include "tests/support/SimulatedDisk.h"
#include "tests/support/TempPrefix.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStopped = 7, kFailed = 3;

// The child's count of points, the file it names each of them in, and its disk when the power
// can go.
int g_stopAt = 0;
int g_passed = 0;
std::FILE* g_log = nullptr;
SimulatedDisk* g_disk = nullptr;
void StopHere(const char* where) {
    std::fputs(where, g_log);
    std::fputc('\n', g_log);
    std::fflush(g_log);
    if (++g_passed == g_stopAt) {
        if (g_disk)
            g_disk->PowerLoss();
        _exit(kStopped);
    }
}

std::string Md5Of(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes.data(), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

const auto kCopyAll = fs::copy_options::recursive | fs::copy_options::copy_symlinks;

// Whether the event is one that tells the user something (a message, the framework's report).
bool Tells(const std::string& event) {
    return event.find("\"event\":\"messagebox\"") != std::string::npos ||
           event.find("\"event\":\"framework-report\"") != std::string::npos;
}

// Whether the event tells a failure and names a file: a full disk by its cause, another
// failure by any cause or as a refusal.
bool NamesFailure(const std::string& event, bool diskFull) {
    const auto has = [&](const char* text) { return event.find(text) != std::string::npos; };
    if (!has(":\\\\"))
        return false;
    if (diskFull)
        return has("Reason: DiskFull.");
    return (has("Reason: ") && !has("Reason: None.")) || has("\"icon\":\"exclamation\"");
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "\n  " + line;
    return text;
}

// The files a backup pair holds copies of, in the order of its entries.
std::vector<std::string> CopiedFiles(const BackupPair& pair) {
    std::vector<std::string> paths;
    for (WorkCopyStream lines(pair.IndexPlain()); !lines.AtEnd();) {
        std::string line;
        lines.ReadLine(line);
        paths.push_back(line.substr(0, line.find('\x7f')));
    }
    return paths;
}

}  // namespace

// How a child runs: stopped at a point (0: none), killed after a time (0: not), on a disk
// whose power goes at the stop or at the end, with a write that fails (0: none).
struct KillHarness::Child {
    int stopAt = 0;
    long killAfterUs = 0;
    bool powerLoss = false;
    SimulatedDisk::Fault fault = SimulatedDisk::Fault::None;
    int failAt = 0;
};

// What a child did: whether it completed, the points it passed, the time it took; on a
// simulated disk the writes it counted and the fault; what it told the user.
struct KillHarness::Outcome {
    bool completed = false;
    std::vector<std::string> passed;
    long us = 0;
    int counted = 0;
    bool faultHappened = false;
    std::string faultPath;
    std::vector<std::string> told;
};

KillHarness::~KillHarness() {
    std::error_code ec;
    fs::remove_all(m_p.root + ".start", ec);
    fs::remove(m_p.root + ".points", ec);
    fs::remove(m_p.root + ".outcome", ec);
}

void KillHarness::Write(const std::string& winPath, const std::string& bytes) {
    m_p.WriteFile(winPath, bytes);
    m_versions[winPath].insert(Md5Of(bytes));
}

bool KillHarness::IsVersion(const std::string& winPath, const std::string& bytes) const {
    const auto versions = m_versions.find(winPath);
    return versions != m_versions.end() && versions->second.count(Md5Of(bytes)) == 1;
}

void KillHarness::Snapshot() {
    m_copies.clear();
    DatabaseIndexImage index(m_p.frame.Store().FileKey(), m_p.frame.Store().IndexIv(),
                             m_p.BackupDir());
    index.Load(false);
    for (const std::string& line : index.Lines()) {
        std::string database, n;
        if (!IndexField(line, 1, database) || !IndexField(line, 2, n))
            continue;
        BackupPair pair(m_p.frame.Store().FileKey(), m_p.BackupDir(), n);
        pair.Open();
        for (const std::string& path : CopiedFiles(pair)) m_copies[database].insert(path);
    }
    fs::remove_all(m_p.root + ".start");
    fs::copy(m_p.root, m_p.root + ".start", kCopyAll);
}

void KillHarness::BackToSnapshot() {
    fs::remove_all(m_p.root);
    fs::copy(m_p.root + ".start", m_p.root, kCopyAll);
}

KillHarness::Outcome KillHarness::RunChild(const std::function<void()>& command, const Child& how) {
    const std::string log = m_p.root + ".points", told = m_p.root + ".outcome";
    fs::remove(told);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        g_log = std::fopen(log.c_str(), "w");
        g_stopAt = how.stopAt;
        g_passed = 0;
        std::unique_ptr<SimulatedDisk> disk;
        if (how.powerLoss) {
            disk = std::make_unique<SimulatedDisk>(m_p.root);
            disk->FailAt(how.fault, how.failAt);
            g_disk = disk.get();
        }
        SetStorageStopHook(StopHere);
        m_p.ui.ClearEvents();
        try {
            // A failed write ends the command as the framework ends it, with its report.
            if (how.fault == SimulatedDisk::Fault::None)
                command();
            else
                RunCommand(command);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            _exit(kFailed);
        }
        {
            std::ofstream out(told);
            out << (disk ? disk->Counted() : 0) << '\n'
                << (disk && disk->FaultHappened()) << '\n'
                << (disk ? disk->FaultPath() : "") << '\n';
            for (const std::string& event : m_p.ui.Events())
                if (Tells(event))
                    out << event << '\n';
        }
        if (disk)
            disk->PowerLoss();
        _exit(0);
    }
    if (how.killAfterUs > 0) {
        const struct timespec pause = {how.killAfterUs / 1000000,
                                       (how.killAfterUs % 1000000) * 1000};
        nanosleep(&pause, nullptr);
        kill(pid, SIGKILL);
    }
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    Outcome outcome;
    outcome.us = long(std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count());
    const bool exited = WIFEXITED(status);
    EXPECT_FALSE(exited && WEXITSTATUS(status) == kFailed) << "the command failed";
    EXPECT_TRUE(how.killAfterUs > 0 || exited) << status;
    outcome.completed = exited && WEXITSTATUS(status) == 0;
    std::ifstream points(log);
    for (std::string line; std::getline(points, line);) outcome.passed.push_back(line);
    std::ifstream in(told);
    std::string line;
    if (std::getline(in, line))
        outcome.counted = std::atoi(line.c_str());
    if (std::getline(in, line))
        outcome.faultHappened = line == "1";
    std::getline(in, outcome.faultPath);
    while (std::getline(in, line)) outcome.told.push_back(line);
    return outcome;
}

void KillHarness::Interrupted(const std::string& trace, bool recoverOnPowerLoss,
                              const std::function<void(const std::string&)>& after,
                              const std::string& where) {
    SCOPED_TRACE(trace);
    if (recoverOnPowerLoss) {
        // The next start's recovery, and the power lost once more at its end: what it did
        // must hold.
        const pid_t pid = fork();
        if (pid == 0) {
            SimulatedDisk disk(m_p.root);
            try {
                m_p.frame.RecoverStoredFiles();
            } catch (const std::exception& e) {
                std::fprintf(stderr, "recovery: %s\n", e.what());
                _exit(kFailed);
            }
            disk.PowerLoss();
            _exit(0);
        }
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the recovery failed";
    }
    RecoverAndInspect();
    after(where);
}

std::vector<std::string> KillHarness::EveryInterruption(
    const std::function<void()>& command, const std::function<void(const std::string&)>& after,
    int kills) {
    if (m_mode == Mode::DiskFull || m_mode == Mode::IoError)
        return FailEveryWrite(command, after);
    return StopOrLosePower(command, after, kills);
}

std::vector<std::string> KillHarness::StopOrLosePower(
    const std::function<void()>& command, const std::function<void(const std::string&)>& after,
    int kills) {
    const bool powerLoss = m_mode == Mode::PowerLoss;
    Outcome whole;
    int k = 1;
    for (;; ++k) {
        BackToSnapshot();
        Child how;
        how.stopAt = k;
        how.powerLoss = powerLoss;
        const Outcome outcome = RunChild(command, how);
        if (outcome.completed) {
            whole = outcome;
            for (const std::string& event : outcome.told)
                EXPECT_EQ(std::string::npos, event.find("framework-report")) << event;
            if (powerLoss)
                Interrupted("the power lost after the end", true, after, "");
            break;
        }
        const std::string where = outcome.passed.empty() ? "?" : outcome.passed.back();
        Interrupted(std::string(powerLoss ? "the power lost" : "stopped") + " at point " +
                        std::to_string(k) + ", " + where,
                    powerLoss, after, where);
        if (::testing::Test::HasFatalFailure() || k > 300)
            return outcome.passed;
    }
    EXPECT_GT(k, 2) << "the command passed no stop point";
    for (int i = 1; !powerLoss && i <= kills; ++i) {
        BackToSnapshot();
        Child how;
        how.killAfterUs = std::max(1L, whole.us * i / (kills + 1));
        RunChild(command, how);
        Interrupted("killed at " + std::to_string(i) + "/" + std::to_string(kills + 1), false,
                    after, "");
    }
    return whole.passed;
}

std::vector<std::string> KillHarness::FailEveryWrite(
    const std::function<void()>& command, const std::function<void(const std::string&)>& after) {
    const bool full = m_mode == Mode::DiskFull;
    Child how;
    how.powerLoss = true;
    how.fault = full ? SimulatedDisk::Fault::DiskFull : SimulatedDisk::Fault::IoError;
    BackToSnapshot();
    const Outcome clean = RunChild(command, how);
    EXPECT_TRUE(clean.completed);
    EXPECT_GT(clean.counted, 0) << "the command wrote nothing";
    Interrupted("the power lost after the end", true, after, "");
    for (int n = 1; n <= clean.counted && !::testing::Test::HasFatalFailure(); ++n) {
        BackToSnapshot();
        how.failAt = n;
        const Outcome failed = RunChild(command, how);
        const std::string trace = std::string(full ? "disk full from write " : "I/O error at ") +
                                  std::to_string(n) + " of " + std::to_string(clean.counted) +
                                  " (" + failed.faultPath + ")";
        SCOPED_TRACE(trace);
        EXPECT_TRUE(failed.completed);
        // Either it ended as it ends without the failure, or it says what failed, and after
        // that nothing says it succeeded.
        if (failed.told != clean.told) {
            EXPECT_TRUE(failed.faultHappened) << Lines(failed.told);
            bool named = false;
            for (const std::string& event : failed.told) {
                EXPECT_FALSE(named && event.find("successfully") != std::string::npos) << event;
                named = named || NamesFailure(event, full);
            }
            EXPECT_TRUE(named) << "no message names the file and the cause:" << Lines(failed.told);
        }
        Interrupted(trace, true, after, "");
    }
    return clean.passed;
}

void KillHarness::RecoverAndInspect() {
    m_p.frame.RecoverStoredFiles();
    for (const char* part :
         {"123456789z", "Index1", ".Ptemp", ".Ntemp", ".987654321z", ".new", ".copy~", ".CHANGED."})
        EXPECT_TRUE(m_p.FilesNamed(part).empty()) << part << " left: " << m_p.FilesNamed(part)[0];
    EXPECT_TRUE(!fs::exists(RecoveryFolder()) || fs::is_empty(RecoveryFolder()));

    DatabaseIndexImage index(m_p.frame.Store().FileKey(), m_p.frame.Store().IndexIv(),
                             m_p.BackupDir());
    index.Load(true);
    for (const std::string& line : index.Lines()) {
        std::string database, n;
        ASSERT_TRUE(IndexField(line, 1, database));
        std::vector<std::string> paths;
        {
            DatabaseFiles files(m_p.frame.Store().FileKey(), m_p.frame.Store().IndexIv(),
                                m_p.BackupDir(), database);
            int cause = 0;
            ASSERT_EQ(DatabaseFiles::Opened::Ok, files.Open(cause)) << database;
            for (WorkCopyStream records(files.Database().Plain()); !records.AtEnd();) {
                std::string record;
                records.ReadLine(record);
                FileRecord parsed;
                EXPECT_TRUE(ParseFileRecordLine(record, parsed)) << record;
                paths.push_back(parsed.path);
            }
            ASSERT_TRUE(files.BackupNumber(n));
        }
        InspectPair(database, n, paths);
    }
}

void KillHarness::InspectPair(const std::string& database, const std::string& n,
                              const std::vector<std::string>& recordPaths) {
    SCOPED_TRACE(database);
    const std::string filePath = BackupFilePath(m_p.BackupDir(), n);
    // Measured apart from the pair, which says what it finds but is held to it here too.
    const int64_t length = std::max<int64_t>(0, platform::FileLength(filePath));
    BackupPair pair(m_p.frame.Store().FileKey(), m_p.BackupDir(), n);
    pair.Open();
    EXPECT_FALSE(pair.Damaged()) << pair.Damage();
    EXPECT_EQ(pair.CopiesLength(), length);
    const std::vector<std::string> copied = CopiedFiles(pair);
    for (const std::string& path : copied) {
        const BackupLookup lookup = pair.Find(path);
        ASSERT_TRUE(lookup.found) << path;
        platform::CFile copy;
        int cause = 0;
        ASSERT_TRUE(pair.OpenCopy(lookup, copy, cause));
        std::string plain(size_t(lookup.entry.plainSize), '\0');
        EXPECT_EQ(plain.size(),
                  pair.ReadPlainAt(copy, int64_t(lookup.offset), 0, &plain[0], plain.size()));
        EXPECT_TRUE(IsVersion(path, plain)) << "a copy of " << path;
        std::string digest;
        EXPECT_TRUE(!pair.CopyDigest(lookup, digest) || digest == Md5Of(plain)) << path;
    }
    EXPECT_EQ(copied.size(), recordPaths.size());
    for (const std::string& path : recordPaths) EXPECT_TRUE(pair.Find(path).found) << path;
    for (const std::string& path : m_copies[database])
        EXPECT_TRUE(pair.Find(path).found) << "the copy of " << path << " is lost";
}

::testing::internal::ParamGenerator<KillHarness::Mode> EveryKillMode() {
    return ::testing::Values(KillHarness::Mode::Stop, KillHarness::Mode::PowerLoss,
                             KillHarness::Mode::DiskFull, KillHarness::Mode::IoError);
}

std::string KillModeName(const ::testing::TestParamInfo<KillHarness::Mode>& info) {
    static const char* const kNames[] = {"Stop", "PowerLoss", "DiskFull", "IoError"};
    return kNames[int(info.param)];
}
