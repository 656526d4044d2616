// The kill tests' harness (see KillHarness.h).
#include "tests/support/KillHarness.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/Durable.h"
#include "platform/File.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/RecoveryRecord.h"
#include "storage/StopPoints.h"
#include "storage/StoredFileNames.h"
#include "storage/WorkCopyStream.h"
#include "tests/support/TempPrefix.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStopped = 7, kFailed = 3;

// The child's count of points, and the file it names each of them in.
int g_stopAt = 0;
int g_passed = 0;
std::FILE* g_log = nullptr;
void StopHere(const char* where) {
    std::fputs(where, g_log);
    std::fputc('\n', g_log);
    std::fflush(g_log);
    if (++g_passed == g_stopAt)
        _exit(kStopped);
}

std::string Md5Of(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes.data(), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

const auto kCopyAll = fs::copy_options::recursive | fs::copy_options::copy_symlinks;

}  // namespace

KillHarness::~KillHarness() {
    std::error_code ec;
    fs::remove_all(m_p.root + ".start", ec);
    fs::remove(m_p.root + ".points", ec);
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
    fs::remove_all(m_p.root + ".start");
    fs::copy(m_p.root, m_p.root + ".start", kCopyAll);
}

void KillHarness::BackToSnapshot() {
    fs::remove_all(m_p.root);
    fs::copy(m_p.root + ".start", m_p.root, kCopyAll);
}

bool KillHarness::Child(const std::function<void()>& command, int stopAt, long killAfterUs,
                        std::vector<std::string>& passed) {
    const std::string log = m_p.root + ".points";
    const pid_t pid = fork();
    if (pid == 0) {
        g_log = std::fopen(log.c_str(), "w");
        g_stopAt = stopAt;
        g_passed = 0;
        SetStorageStopHook(StopHere);
        try {
            command();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            _exit(kFailed);
        }
        _exit(0);
    }
    if (killAfterUs > 0) {
        const struct timespec pause = {killAfterUs / 1000000, (killAfterUs % 1000000) * 1000};
        nanosleep(&pause, nullptr);
        kill(pid, SIGKILL);
    }
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    const bool exited = WIFEXITED(status);
    EXPECT_FALSE(exited && WEXITSTATUS(status) == kFailed) << "the command failed";
    EXPECT_TRUE(killAfterUs > 0 || exited) << status;
    passed.clear();
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);) passed.push_back(line);
    return !(exited && WEXITSTATUS(status) == 0);
}

std::vector<std::string> KillHarness::EveryInterruption(
    const std::function<void()>& command, const std::function<void(const std::string&)>& after,
    int kills) {
    std::vector<std::string> passed;
    int k = 1;
    long us = 0;  // the time of a whole run
    for (;; ++k) {
        BackToSnapshot();
        const auto start = std::chrono::steady_clock::now();
        if (!Child(command, k, 0, passed)) {
            us = long(std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count());
            break;
        }
        const std::string where = passed.empty() ? "?" : passed.back();
        SCOPED_TRACE("stopped at point " + std::to_string(k) + ", " + where);
        RecoverAndInspect();
        after(where);
        if (::testing::Test::HasFatalFailure() || k > 300)
            return passed;
    }
    EXPECT_GT(k, 2) << "the command passed no stop point";
    const std::vector<std::string> whole = passed;
    for (int i = 1; i <= kills; ++i) {
        SCOPED_TRACE("killed at " + std::to_string(i) + "/" + std::to_string(kills + 1));
        BackToSnapshot();
        Child(command, 0, std::max(1L, us * i / (kills + 1)), passed);
        RecoverAndInspect();
        after("");
    }
    return whole;
}

void KillHarness::RecoverAndInspect() {
    m_p.frame.RecoverStoredFiles();
    for (const char* part : {"123456789z", "Index1", ".Ptemp", ".Ntemp", ".987654321z", ".new"})
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
    size_t entries = 0;
    for (WorkCopyStream lines(pair.IndexPlain()); !lines.AtEnd(); ++entries) {
        std::string line;
        lines.ReadLine(line);
        const std::string path = line.substr(0, line.find('\x7f'));
        const BackupLookup lookup = pair.Find(path);
        ASSERT_TRUE(lookup.found) << line;
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
    EXPECT_EQ(entries, recordPaths.size());
    for (const std::string& path : recordPaths) EXPECT_TRUE(pair.Find(path).found) << path;
}
