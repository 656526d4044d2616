// The "Database Index" as an object: the lookup takes the first line that begins with the
// whole path; the digest refresh and the last-checked time rewrite exactly the database's
// lines (field 5 only, long lines whole, damaged lines kept) and reach the disk through a
// transaction; a missing index has no lines and is not created; a stage that fails leaves the
// index as it was.
#include "storage/DatabaseIndexImage.h"
#include "storage/Transaction.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

const std::string kDir = "E:\\";
const std::string kIndex = kDir + "Database Index";
const std::string kDb = "E:\\Data\\s.qdb";
const std::string kOld(32, '0');
const std::string kNew = "900150983cd24fb0d6963f7d28e17f72";
// Another database's line, a five-field line of kDb, and a line longer than any buffer.
const std::string kOther = Seps("E:\\Data\\other.qdb|1|2|3|" + kOld + "|\n");
const std::string kMine = Seps(kDb + "|4|7|8|" + kOld + "|\n");
const std::string kLongDb = "E:\\Data\\" + std::string(600, 'n') + ".qdb";
const std::string kLong = Seps(kLongDb + "|9|1|2|" + kOld + "|\n");
const std::vector<std::string> kIndexOnly = {"Database Index"};

class IndexImage : public StorageFiles {
  protected:
    void StoreAndLoad(const std::string& plain) {
        Store(kIndex, plain, m_key, m_iv);
        m_image.Load();
    }
    void Commit() {
        Transaction tx(m_key);
        m_image.Stage(tx);
        tx.Commit();
        m_image.MarkSaved();
    }

    const Key m_key = TestKey(20);
    const Iv m_iv = IvFromText("Database Index");
    DatabaseIndexImage m_image{m_key, m_iv, kDir};
};

TEST_F(IndexImage, TheDatabasesLineIsTheFirstThatBeginsWithItsWholePath) {
    const std::string longer = Seps(kDb + "2|7|1|2|" + kOld + "|\n");
    const std::string second = Seps(kDb + "|9|1|2|" + std::string(32, '9') + "|\n");
    StoreAndLoad(longer + kMine + second + kLong);
    const struct {
        std::string path, line;
    } cases[] = {
        {kDb, kMine},  // not the line of a longer path that begins with it, nor its second
        {kDb + "2", longer},
        {kLongDb, kLong},         // whole, however long
        {"E:\\Data\\S.qdb", ""},  // letter case counts
    };
    for (const auto& c : cases) {
        std::string line = "untouched";
        EXPECT_EQ(m_image.FindLine(c.path, line), !c.line.empty()) << c.path;
        EXPECT_EQ(line, c.line.empty() ? "untouched" : c.line);
    }
    std::string n, digest;
    ASSERT_TRUE(m_image.BackupNumber(kDb, n));
    ASSERT_TRUE(m_image.Digest(kDb, digest));
    EXPECT_EQ(n + " " + digest, "4 " + kOld);
    EXPECT_EQ(m_image.Lines(), (std::vector<std::string>{longer, kMine, second, kLong}));
}

TEST_F(IndexImage, RewritesChangeOnlyTheDatabasesLinesAndReachTheDisk) {
    const std::string eight = Seps(kDb + "2|5|1|2|" + kOld + "||31129600|-1242308600|\r\n");
    const std::string damaged = Seps(kDb + "|4|7|\n");
    const struct {
        std::string before, database;
        bool lastChecked;  // else the digest
        std::string after;
    } cases[] = {
        // Field 5 only; the line of a path that begins with the database's stays.
        {kOther + kMine + eight, kDb, false, kOther + Seps(kDb + "|4|7|8|" + kNew + "|\n") + eight},
        {kLong + kMine, kLongDb, false, Seps(kLongDb + "|9|1|2|" + kNew + "|\n") + kMine},
        {Seps(kDb + "|4|7|8|" + kOld + "||1|2|\n") + kOther, kDb, true,
         Seps(kDb + "|4|7|8|" + kOld + "||31129600|-268435456|\n") + kOther},
        {damaged, kDb, false, damaged},
        {damaged, kDb, true, damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        StoreAndLoad(c.before);
        if (c.lastChecked)
            m_image.SetLastChecked(c.database, Time(31129600, 0xF0000000));
        else
            m_image.SetDigest(c.database, kNew);
        EXPECT_EQ(m_image.Changed(), c.before != c.after);
        Commit();
        EXPECT_EQ(Plain(kIndex, m_key, m_iv), c.after);
        EXPECT_EQ(Names(kDir), kIndexOnly);  // nothing staged or plain is left
    }
}

TEST_F(IndexImage, AMissingIndexHasNoLinesAndIsNotCreated) {
    m_image.Load();
    EXPECT_TRUE(m_image.Lines().empty());
    std::string line;
    EXPECT_FALSE(m_image.FindLine(kDb, line));
    m_image.SetDigest(kDb, kNew);
    m_image.SetLastChecked(kDb, Time(1, 2));
    Commit();
    EXPECT_TRUE(Names(kDir).empty());
    // Unless the command needs one.
    EXPECT_TRUE(
        RaisesFileException([&] { m_image.Load(true); }, CFileException::fileNotFound, kIndex));
}

TEST_F(IndexImage, AStageThatFailsLeavesTheIndexAsItWas) {
    StoreAndLoad(kLong + kMine);
    const std::string before = Read(kIndex);
    m_image.SetDigest(kDb, kNew);
    EXPECT_TRUE(RaisesFileException(
        [&] {
            FileSizeLimit full(400);  // the index is larger; the transaction's record is not
            Commit();
        },
        CFileException::diskFull, kIndex));
    EXPECT_EQ(Read(kIndex), before);
    EXPECT_EQ(Names(kDir), kIndexOnly);
}

}  // namespace
