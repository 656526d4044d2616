// A database as an object on the disk: its records through a stage and a commit and back
// (no plain copy of them on the disk, the digest the index then keeps), and its failures.
#include "storage/FileDigest.h"
#include "storage/ProtectedFile.h"
#include "storage/StoredDatabase.h"
#include "storage/Transaction.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

const std::string kDb = "E:\\my.qdb";
const std::string kRecords = Seps("E:\\Docs\\A.txt|first record|\r\nE:\\b|second record|\r\n");

class StoredDb : public StorageFiles {
  protected:
    const Key m_key = TestKey(8);
};

TEST_F(StoredDb, RecordsGoThroughAStageAndACommitAndComeBack) {
    StoredDatabase written(m_key, kDb);
    written.LoadEmpty();
    const size_t cut = kRecords.find('\n') + 1;
    written.AppendRecord(kRecords.substr(0, cut));
    written.AppendRecord(kRecords.substr(cut));
    Transaction tx(m_key);
    const std::string digest = written.Stage(tx);
    tx.Commit();
    written.MarkSaved();
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"my.qdb"}));
    EXPECT_EQ(Read(kDb).size(), 64u);
    // The digest is the MD5 of the stored bytes as they lie on the disk.
    EXPECT_EQ(digest, Md5Hex(Read(kDb)));
    EXPECT_EQ(DigestStoredFile(kDb), digest);
    EXPECT_EQ(written.StoredFileDigest(), digest);
    EXPECT_TRUE(written.FileUnchangedSinceRead());

    StoredDatabase read(m_key, kDb);
    int cause = -1;
    ASSERT_TRUE(read.Load(cause));
    EXPECT_EQ(std::string(read.Plain().begin(), read.Plain().end()), kRecords);
    EXPECT_EQ(read.RecordCount(), 2);
    // Letter case counts, the drive letter's aside.
    EXPECT_TRUE(read.Lists("e:\\Docs\\A.txt"));
    EXPECT_FALSE(read.Lists("E:\\docs\\a.txt"));
    EXPECT_FALSE(read.Lists("E:\\Docs"));
    // The vector is the database's own: under another path's it is another text.
    EXPECT_EQ(DatabaseIv(kDb), IvFromText(kDb));
    EXPECT_NE(Plain(kDb, m_key, IvFromText("E:\\other.qdb")), kRecords);
}

// The paths listed follow every change of the records, asked before it or not.
TEST_F(StoredDb, ListedPathsFollowTheRecords) {
    const std::string c = Seps("E:\\c|third record|\r\n");
    for (bool askedFirst : {false, true}) {
        StoredDatabase db(m_key, kDb);
        db.Replace(SecureText(kRecords.begin(), kRecords.end()));
        if (askedFirst) {
            EXPECT_TRUE(db.Lists("E:\\b"));
        }
        db.AppendRecord(c);
        EXPECT_TRUE(db.Lists("e:\\c"));
        EXPECT_FALSE(db.Lists("E:\\C"));
        EXPECT_EQ(db.RecordCount(), 3);
        db.KeepFirstRecords(1);
        EXPECT_FALSE(db.Lists("E:\\c"));
        EXPECT_FALSE(db.Lists("E:\\b"));
        EXPECT_TRUE(db.Lists("E:\\Docs\\A.txt"));
        EXPECT_EQ(db.RecordCount(), 1);
    }
}

// Thousands of paths, listed before and after the table of them grows; a line without a
// separator lists nothing.
TEST_F(StoredDb, ManyListedPathsAreEachFoundAndNoOther) {
    StoredDatabase db(m_key, kDb);
    db.AppendRecord("no separator\r\n");
    for (int i = 0; i < 3000; ++i) {
        db.AppendRecord(Seps("E:\\f" + std::to_string(i) + "|record|\r\n"));
        if (i == 10) {
            EXPECT_TRUE(db.Lists("E:\\f10"));  // the table is made here and follows from now on
        }
    }
    for (int i = 0; i < 3000; ++i) ASSERT_TRUE(db.Lists("e:\\f" + std::to_string(i))) << i;
    for (const char* other : {"E:\\f3000", "E:\\F1", "E:\\f", "no separator", ""})
        EXPECT_FALSE(db.Lists(other)) << other;
}

// A database that cannot be read gives the cause (a damaged one is not whole blocks), and a
// full disk leaves the stored file as it was.
TEST_F(StoredDb, FailuresGiveTheirCauseAndLeaveTheStoredFile) {
    Write("E:\\bad.qdb", std::string(20, 'b'));
    for (const auto& [path, expected] :
         std::vector<std::pair<std::string, int>>{{"E:\\gone.qdb", CFileException::fileNotFound},
                                                  {"E:\\bad.qdb", CFileException::invalidFile}}) {
        int cause = -1;
        EXPECT_FALSE(StoredDatabase(m_key, path).Load(cause)) << path;
        EXPECT_EQ(cause, expected) << path;
    }
    Store(kDb, kRecords, m_key, DatabaseIv(kDb));
    const std::string before = Read(kDb);
    StoredDatabase db(m_key, kDb);
    int cause = -1;
    ASSERT_TRUE(db.Load(cause));
    db.AppendRecord(std::string(200000, 'r') + "\r\n");
    EXPECT_TRUE(RaisesFileException(
        [&] {
            FileSizeLimit full(50000);
            Transaction tx(m_key);
            db.Stage(tx);
            tx.Commit();
        },
        CFileException::diskFull, kDb));
    EXPECT_EQ(Read(kDb), before);
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"bad.qdb", "my.qdb"}));
}

}  // namespace
