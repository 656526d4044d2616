// The digest pool, on its own: every kind of file read as the check opens a listed file (the
// cause of each refusal, a read that fails after the open), results in queue order with every
// pool, the head followed piece by piece on the caller's thread, the bytes bound holding a
// worker back until the head moves on, and a cleared queue. Then the check with its files
// digested ahead by several workers: the user sees what a check on one thread shows, line for
// line (reports, dialogs, the bar's moves, the remaining-data texts, the cancel polls), with or
// without a cancel; a file changed, put back or deleted while "Changed file details." is up is
// reported as it is when its record is reached; and a cancel in the middle of a large file
// ends the workers with the command.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "tests/check/CheckRunFixture.h"

namespace {

const auto Mb = MessageBoxEvent;
using Progress = DigestAhead::Progress;

Progress Finish(DigestAhead& pool) {
    Progress p;
    while (p.state != Progress::Done && p.state != Progress::Failed) pool.Follow(p);
    return p;
}

// The pool's workers alive in this process.
size_t Workers() {
    size_t n = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* e = readdir(dir)) {
            std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
            std::string name;
            n += std::getline(comm, name) && name == "digest ahead";
        }
        closedir(dir);
    }
    return n;
}

// Everything the check showed: events, the bar's positions, the texts, the cancel polls.
using Shown = std::tuple<std::vector<std::string>, std::vector<int>,
                         std::map<int, std::vector<std::string>>, long>;

class CheckPoolTest : public CheckRunFixture {
  protected:
    std::string File(const std::string& name) const { return prefix.Host("E:\\" + name); }
    void Write(const std::string& name, const std::string& bytes) const {
        prefix.WriteFile("E:\\" + name, bytes);
    }
    // Each from the database as stored, never checked before, each details dialog answered
    // with "ignore"; the summary's time of the check left out.
    Shown CheckShowing() {
        db.Store();
        for (int i = 0; i < 3; ++i) AnswerDetails(prefix, 0);
        EXPECT_TRUE(Check());
        Shown shown{Events(), prefix.ui.progressPositions, prefix.ui.progressTextsShown,
                    prefix.ui.progressPolls};
        for (std::string& event : std::get<0>(shown)) {
            const size_t time = event.find("\"m_checkedTimeText\":\"");
            if (time != std::string::npos)
                event.erase(time, event.find('"', time + 21) + 1 - time);
        }
        return shown;
    }
};

using DigestAheadTest = CheckPoolTest;

// One thread's reads one after another: a file in a subfolder right after a file of the same
// name in its parent, then the parent's next, each opened in its own folder; and each read
// tells whether the file held still from its open to its end.
TEST_F(DigestAheadTest, ReadsOpenTheirOwnFileAndTellWhetherItHeldStill) {
    ListedFolder folder;
    unsigned char buffer[4];
    int cause = 0;
    auto readToEnd = [&](ListedFileRead& read) {
        while (read.ReadPiece(buffer, sizeof buffer, cause) == ListedFileRead::Piece::More) {
        }
    };
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"d\\x", "parent"}, {"d\\sub\\x", "child"}, {"d\\y", "next"}})
        Write(name, bytes);
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
             {"d\\x", "parent"}, {"d\\sub\\x", "child"}, {"d\\y", "next"}}) {
        ListedFileRead read;
        ASSERT_TRUE(read.Open(File(name), folder, cause)) << name;
        readToEnd(read);
        EXPECT_EQ(read.DigestText(), Md5Hex(bytes)) << name;
        EXPECT_TRUE(read.Steady()) << name;
        FileStamp now;
        ASSERT_TRUE(StampOfPath(File(name), now));
        EXPECT_EQ(now, read.EndStamp()) << name;
    }
    ListedFileRead read;
    ASSERT_TRUE(read.Open(File("d\\y"), folder, cause));
    read.ReadPiece(buffer, sizeof buffer, cause);
    Write("d\\y", "written meanwhile");
    readToEnd(read);
    EXPECT_FALSE(read.Steady());
}

TEST_F(DigestAheadTest, EveryKindOfFileInQueueOrderOnEveryPool) {
    Write("empty", "");
    Write("small", std::string(100, 's'));
    Write("pieces", std::string(300000, 'p'));
    Write("locked", "locked");
    ASSERT_EQ(mkdir(File("folder").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(File("fifo").c_str(), 0600), 0);
    const int holder = open(File("locked").c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);

    const struct {
        std::string host;
        int cause;  // none: read to its end
        bool opened;
        std::string bytes;
    } files[] = {
        {File("empty"), CFileException::none, true, ""},
        {File("small"), CFileException::none, true, std::string(100, 's')},
        {File("missing"), CFileException::fileNotFound, false, ""},
        {File("pieces"), CFileException::none, true, std::string(300000, 'p')},
        {File("folder"), CFileException::accessDenied, false, ""},
        {File("fifo"), CFileException::accessDenied, false, ""},  // never waits for a writer
        {File("locked"), CFileException::sharingViolation, false, ""},
        {"/proc/self/mem", CFileException::genericException, true, ""},  // address 0: no read
        {"", CFileException::fileNotFound, false, ""},                   // a path no drive maps
    };
    for (const DigestAhead::Limits& limits :
         {DigestAhead::Limits{0, 512, 1 << 20, 4096}, DigestAhead::Limits{4, 512, 1 << 20, 1000},
          DigestAhead::Limits{4, 2, 1000, 4096}}) {
        SCOPED_TRACE(::testing::Message() << limits.workers << " workers, " << limits.files
                                          << " files, " << limits.bytes << " bytes");
        DigestAhead pool(limits);
        size_t queued = 0;
        for (const auto& f : files) {
            std::vector<DigestAhead::Entry> batch;
            for (; queued < std::size(files) && batch.size() < pool.Room(); ++queued) {
                batch.push_back({std::to_string(queued), files[queued].host, 1000});
            }
            pool.Push(batch);
            SCOPED_TRACE(f.host);
            ASSERT_TRUE(pool.HeadIs(std::to_string(&f - files)));
            const Progress p = Finish(pool);
            EXPECT_EQ(p.opened, f.opened);
            EXPECT_EQ(p.state, f.cause == CFileException::none ? Progress::Done : Progress::Failed);
            EXPECT_EQ(p.cause, f.cause);
            if (p.state == Progress::Done) {
                EXPECT_EQ(p.length, int64_t(f.bytes.size()));
                EXPECT_EQ(p.bytes, f.bytes.size());
                EXPECT_EQ(p.digest, Md5Hex(f.bytes));
            }
            pool.PopHead();
        }
    }
    close(holder);
}

// With no worker the caller reads the head itself, one piece for each wait.
TEST_F(DigestAheadTest, TheCallerReadsTheHeadPieceByPiece) {
    Write("pieces", std::string(10000, 'p'));
    DigestAhead pool({0, 4, 1 << 20, 4096});
    std::vector<DigestAhead::Entry> batch = {{"pieces", File("pieces"), 10000}};
    pool.Push(batch);
    Progress p;
    std::vector<uint64_t> seen;
    while (p.state != Progress::Done) {
        pool.Follow(p);
        seen.push_back(p.bytes);
    }
    EXPECT_EQ(seen, (std::vector<uint64_t>{4096, 8192, 10000}));
    EXPECT_EQ(p.length, 10000);
}

// A file whose recorded bytes beyond the head exceed the bound is not opened until the head
// moves on: files made only after they were queued are found.
TEST_F(DigestAheadTest, TheBytesBoundHoldsTheWorkersBack) {
    const std::string zero(4 << 20, '0');  // long enough for the workers to look further
    Write("f0", zero);
    Write("f1", "one");
    DigestAhead pool({4, 16, 1000, 4096});
    std::vector<DigestAhead::Entry> batch;
    for (const char* name : {"f0", "f1", "f2", "f3"}) batch.push_back({name, File(name), 600});
    pool.Push(batch);
    EXPECT_EQ(Finish(pool).digest, Md5Hex(zero));
    Write("f2", "two");  // 1200 bytes beyond f0: not started yet
    Write("f3", "three");
    pool.PopHead();
    EXPECT_EQ(Finish(pool).digest, Md5Hex("one"));
    pool.PopHead();
    EXPECT_EQ(Finish(pool).digest, Md5Hex("two"));
    pool.PopHead();
    EXPECT_EQ(Finish(pool).digest, Md5Hex("three"));
}

TEST_F(DigestAheadTest, AClearedQueueIsNotReadAndTheNextFilesAre) {
    Write("big", std::string(1 << 20, 'b'));
    Write("after", "after");
    DigestAhead pool({4, 16, 1 << 30, 4096});
    std::vector<DigestAhead::Entry> batch;
    for (int i = 0; i < 8; ++i) batch.push_back({"big", File("big"), 1 << 20});
    pool.Push(batch);
    Progress p;
    pool.Follow(p);  // reads are under way
    pool.Clear();
    EXPECT_EQ(pool.Room(), 16u);
    EXPECT_FALSE(pool.HeadIs("big"));
    batch = {{"after", File("after"), 5}};
    pool.Push(batch);
    ASSERT_TRUE(pool.HeadIs("after"));
    EXPECT_EQ(Finish(pool).digest, Md5Hex("after"));
    pool.Stop();
}

// Unchanged, changed, deleted and unreadable files, a damaged line and a folder: the events
// in record order, each change reported once, and the same events, bar and texts with every
// pool, cancelled or not.
TEST_F(CheckPoolTest, WhatTheUserSeesIsTheSameOnEveryPool) {
    db.AddFile("E:\\f\\a.txt", "alpha");
    db.AddFile("E:\\f\\big.bin", std::string(200000, 'z'));
    db.AddFile("E:\\f\\b.txt", "b");
    db.AddFile("E:\\f\\gone.txt", "g");
    db.AddLine("damaged line\r\n");
    db.AddFile("E:\\f\\mid.bin", std::string(130000, 'm'));
    // A file that opens but whose read fails: the process's own memory, from address 0.
    db.AddFile("E:\\f\\empty", "");
    db.AddLine("Z:\\proc\\self\\mem" + db.lines.back().substr(db.lines.back().find(kSep)));
    db.AddFile("E:\\f\\folder", "");
    for (int i = 0; i < 6; ++i) db.AddFile("E:\\f\\c" + std::to_string(i), std::string(i, 'c'));
    db.AddFile("E:\\f\\last.txt", "last");
    db.Store();
    prefix.WriteFile("E:\\f\\b.txt", "B");
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\gone.txt").c_str()), 0);
    prefix.WriteFile("E:\\f\\mid.bin", std::string(130000, 'M'));
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\folder").c_str()), 0);
    ASSERT_EQ(mkdir(prefix.Host("E:\\f\\folder").c_str(), 0700), 0);
    prefix.WriteFile("E:\\f\\last.txt", "LAST");

    const std::vector<std::string> expected = {
        ProgressEvent(db.path),
        Mb("E:\\f\\b.txt has been changed! ", "none"),
        "CChangedFileDetailsDlg",
        Mb("Couldn't check E:\\f\\gone.txt\nReason: FileNotFound.", "exclamation"),
        Mb("Couldn't check damaged line\nReason: InvalidFile.", "exclamation"),
        Mb("E:\\f\\mid.bin has been changed! ", "none"),
        "CChangedFileDetailsDlg",
        Mb("Couldn't check Z:\\proc\\self\\mem\nReason: Generic.", "exclamation"),
        Mb("Couldn't check E:\\f\\folder\nReason: AccessDenied.", "exclamation"),
        Mb("E:\\f\\last.txt has been changed! ", "none"),
        "CChangedFileDetailsDlg",
        "CCheckingSummaryDlg",
    };
    Shown first, cancelled;
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        const Shown shown = CheckShowing();
        const std::vector<std::string>& events = std::get<0>(shown);
        ASSERT_EQ(events.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            if (expected[i].front() == '{')
                EXPECT_EQ(events[i], expected[i]);
            else
                EXPECT_TRUE(IsDialogEvent(events[i], expected[i].c_str()));
        }
        ExpectSummary("16", "12", "4", "9", "3");
        EXPECT_EQ(std::get<3>(shown), 200000 / 64 + 130000 / 64);
        // A cancel in the middle of mid.bin: the reports before it, no summary.
        prefix.ui.AddScriptLine("{\"cancel_at_poll\":4000}");
        const Shown stopped = CheckShowing();
        EXPECT_EQ(std::get<0>(stopped),
                  std::vector<std::string>(events.begin(), events.begin() + 5));
        EXPECT_EQ(std::get<3>(stopped), 4000);
        if (&pool == &kPools[0]) {
            first = shown;
            cancelled = stopped;
        }
        EXPECT_TRUE(shown == first);
        EXPECT_TRUE(stopped == cancelled);
        ExpectNoPlaintextLeft();
    }
}

// While the first report's dialog is up, a file already digested ahead is changed, a changed
// one is put back as it was and a third is deleted: each is reported as it is when its record
// is reached.
TEST_F(CheckPoolTest, AFileChangedWhileADialogIsUpIsReportedAsItIsThen) {
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        db.lines.clear();
        db.AddFile("E:\\f\\first.bin", std::string(1 << 20, '1'));  // long enough to digest
        db.AddFile("E:\\f\\same.txt", "same");                      // the rest ahead
        db.AddFile("E:\\f\\later.txt", "later");
        db.AddFile("E:\\f\\back.txt", "back");
        db.AddFile("E:\\f\\gone.txt", "gone");
        db.Store();
        prefix.WriteFile("E:\\f\\first.bin", std::string(1 << 20, '2'));
        prefix.WriteFile("E:\\f\\back.txt", "changed before the check");
        whileDetailsShown = [this](const CChangedFileDetailsDlg& shown) {
            if (shown.m_pathLine1 != "E:\\f\\first.bin")
                return;
            prefix.WriteFile("E:\\f\\later.txt", "changed meanwhile");
            prefix.WriteFile("E:\\f\\back.txt", "back");
            ASSERT_EQ(unlink(prefix.Host("E:\\f\\gone.txt").c_str()), 0);
        };
        ASSERT_TRUE(Check());
        ASSERT_EQ(Events().size(), 7u);
        EXPECT_EQ(Events()[1], Mb("E:\\f\\first.bin has been changed! ", "none"));
        EXPECT_EQ(Events()[3], Mb("E:\\f\\later.txt has been changed! ", "none"));
        EXPECT_EQ(Events()[5],
                  Mb("Couldn't check E:\\f\\gone.txt\nReason: FileNotFound.", "exclamation"));
        ASSERT_EQ(details.size(), 2u);
        EXPECT_EQ(details[1].m_digestNow, Md5Hex("changed meanwhile"));
        EXPECT_EQ(details[1].m_sizeNow, "17 Bytes. ");
        ExpectSummary("5", "4", "1", "2", "2");
    }
}

// A changed file rewritten while it is being read: with every pool, its details show the
// digest and the size of one state of it (read again), never a digest of two states mixed.
TEST_F(CheckPoolTest, AFileRewrittenWhileItIsReadIsShownAsOneStateOfIt) {
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        db.lines.clear();
        db.AddFile("E:\\f\\moving.bin", std::string(64 * 1024, 'a'));
        db.Store();
        Write("f\\moving.bin", std::string(64 * 1024, 'c'));
        const std::string rewritten(80 * 1024, 'b');
        prefix.ui.onPoll = [&](long poll) {
            if (poll == 100)
                Write("f\\moving.bin", rewritten);
        };
        ASSERT_TRUE(Check());
        prefix.ui.onPoll = nullptr;
        ASSERT_EQ(details.size(), 1u);
        EXPECT_EQ(details[0].m_digestNow, Md5Hex(rewritten));
        EXPECT_EQ(details[0].m_sizeNow, "81920 Bytes.  [80.00 KB].");
    }
}

// Cancel in the middle of a large file, with every pool (the workers digesting the files
// after it): the command ends with its workers, shows no summary and no later file, closes
// the progress dialog and still records the time.
TEST_F(CheckPoolTest, CancelWithDigestsInFlightEndsTheWorkers) {
    db.AddFile("E:\\f\\big.bin", std::string(4 << 20, 'x'));
    for (int i = 0; i < 16; ++i)
        db.AddFile("E:\\f\\next" + std::to_string(i), std::string(256 * 1024, char('a' + i)));
    db.AddFile("E:\\f\\gone.txt", "g");
    db.Store();
    ASSERT_EQ(unlink(prefix.Host("E:\\f\\gone.txt").c_str()), 0);
    for (const Pool& pool : kPools) {
        SCOPED_TRACE(pool.name);
        ScopedDigestLimits limits(pool.limits);
        prefix.ui.AddScriptLine("{\"cancel_at_poll\":30000}");
        ASSERT_TRUE(Check());
        EXPECT_EQ(Workers(), 0u);
        ASSERT_EQ(Events().size(), 1u);
        EXPECT_EQ(prefix.ui.progressPolls, 30000);
        EXPECT_FALSE(prefix.ui.progressOpen);
        EXPECT_TRUE(summaries.empty());
        FILETIME checked;
        EXPECT_TRUE(IndexLastChecked(db.OwnIndexLine(), checked));
        ExpectNoPlaintextLeft();
    }
}

}  // namespace
