// The digest pool on its own: every kind of file read as the check opens a listed file (the
// cause of each refusal, a read that fails after the open), results in queue order with every
// pool, the head followed piece by piece on the caller's thread, the bytes bound holding a
// worker back until the head moves on, and a cleared queue.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "check/DigestAhead.h"
#include "platform/FileException.h"
#include "tests/check/CheckTestHelpers.h"

namespace {

using Progress = DigestAhead::Progress;

class DigestAheadTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name) const { return prefix.root + "/e/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        prefix.WriteFile("E:\\" + name, bytes);
    }
    static Progress Finish(DigestAhead& pool) {
        Progress p;
        while (p.state != Progress::Done && p.state != Progress::Failed) pool.Follow(p);
        return p;
    }

    TempPrefix prefix;
};

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
            if (f.cause == CFileException::none) {
                EXPECT_EQ(p.state, Progress::Done);
                EXPECT_EQ(p.length, int64_t(f.bytes.size()));
                EXPECT_EQ(p.bytes, f.bytes.size());
                EXPECT_EQ(p.digest, Md5Hex(f.bytes));
            } else {
                EXPECT_EQ(p.state, Progress::Failed);
                EXPECT_EQ(p.cause, f.cause);
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

}  // namespace
