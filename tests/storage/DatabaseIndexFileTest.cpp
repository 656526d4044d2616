// The "Database Index" file: the digest refresh and the last-checked time rewrite exactly
// the database's lines and leave no plaintext behind, a failed encryption leaves the index
// as it was, and the lookup of a line.
#include <filesystem>
#include <functional>

#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

const std::string kDir = "E:\\Backup Files\\";
const std::string kDb = "E:\\Data\\s.qdb";
const std::string kOldDigest = "00000000000000000000000000000000";
// Another database's line, and a five-field line of kDb.
const std::string kOther = Seps("E:\\Data\\other.qdb|1|2|3|" + kOldDigest + "|\n");
const std::string kMine = Seps(kDb + "|4|7|8|" + kOldDigest + "|\n");

class DatabaseIndexFile : public StorageFiles {
  protected:
    void SetUp() override {
        StorageFiles::SetUp();
        std::filesystem::create_directories(Host("E:\\Backup Files"));
        std::filesystem::create_directories(Host("E:\\Data"));
        m_key = TestKey(20);
        m_iv = IvFromText("Database Index");
    }

    // Stores the index from its plaintext.
    void StoreIndex(const std::string& plain) {
        Write("E:\\plain index", plain);
        EncryptFileWithIv(m_key, DatabaseIndexPath(kDir), "E:\\plain index", m_iv);
        std::filesystem::remove(Host("E:\\plain index"));
    }
    std::string IndexPlain() {
        std::string plain;
        EXPECT_TRUE(DecryptFileToMemory(m_key, DatabaseIndexPath(kDir), m_iv, plain));
        return plain;
    }
    std::vector<std::string> BackupFolder() const { return Names("E:\\Backup Files"); }

    Key m_key{};
    Iv m_iv{};
};

const std::vector<std::string> kIndexOnly = {"Database Index"};

TEST_F(DatabaseIndexFile, DigestRefreshRewritesOnlyTheDatabasesLines) {
    // The stored database: its digest is the MD5 of its bytes as they lie on the disk.
    Write(kDb, "abc");
    const std::string digest = "900150983cd24fb0d6963f7d28e17f72";
    EXPECT_EQ(DigestStoredFile(kDb), digest);

    const std::string five = Seps(kDb + "|4|31129600|-1|" + kOldDigest + "|\n");
    const std::string eight = Seps(kDb + "2|5|1|2|" + kOldDigest + "||31129600|-1242308600|\r\n");
    StoreIndex(kOther + five + eight);

    UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
    // Only the database's own line changes, and only in field 5; the line of "s.qdb2",
    // whose path merely begins with it, stays as it was.
    EXPECT_EQ(IndexPlain(), kOther + Seps(kDb + "|4|31129600|-1|" + digest + "|\n") + eight);
    EXPECT_EQ(BackupFolder(), kIndexOnly);
}

TEST_F(DatabaseIndexFile, LastCheckedTimeRewrite) {
    Write(kDb, "abc");
    StoreIndex(Seps(kDb + "|4|7|8|" + kOldDigest + "||1|2|\n") + kOther);

    RecordLastChecked(m_key, m_iv, kDir, kDb, Time(31129600, 0xF0000000));
    EXPECT_EQ(IndexPlain(),
              Seps(kDb + "|4|7|8|" + kOldDigest + "||31129600|-268435456|\n") + kOther);
    EXPECT_EQ(BackupFolder(), kIndexOnly);

    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb, line));
    FILETIME checked;
    ASSERT_TRUE(IndexLastChecked(line, checked));
    EXPECT_EQ(checked.dwLowDateTime, 0xF0000000u);
}

TEST_F(DatabaseIndexFile, LongLinesStayWhole) {
    const std::string longDb = "E:\\Data\\" + std::string(600, 'n') + ".qdb";
    Write(kDb, "");
    const std::string longLine = Seps(longDb + "|9|1|2|" + kOldDigest + "|\n");
    StoreIndex(longLine + kMine);
    UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
    EXPECT_EQ(IndexPlain(), longLine + Seps(kDb + "|4|7|8|d41d8cd98f00b204e9800998ecf8427e|\n"));

    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, longDb, line));
    EXPECT_EQ(line, longLine);
}

TEST_F(DatabaseIndexFile, LinesWithMissingFieldsStayAsTheyWere) {
    Write(kDb, "abc");
    const std::string damaged = Seps(kDb + "|4|7|\n");
    StoreIndex(damaged);
    UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
    EXPECT_EQ(IndexPlain(), damaged);
    RecordLastChecked(m_key, m_iv, kDir, kDb, Time(1, 2));
    EXPECT_EQ(IndexPlain(), damaged);
}

TEST_F(DatabaseIndexFile, MissingIndexHasNoLineAndIsNotCreated) {
    Write(kDb, "abc");
    UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
    RecordLastChecked(m_key, m_iv, kDir, kDb, Time(1, 2));
    std::string line = "untouched";
    EXPECT_FALSE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb, line));
    EXPECT_EQ(line, "untouched");
    EXPECT_TRUE(BackupFolder().empty());
}

TEST_F(DatabaseIndexFile, MissingDatabaseIsRaisedBeforeTheIndexIsTouched) {
    StoreIndex(kMine);
    const std::string before = Read(DatabaseIndexPath(kDir));
    EXPECT_TRUE(RaisesFileException([&] { UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb); },
                                    CFileException::fileNotFound, kDb));
    EXPECT_EQ(Read(DatabaseIndexPath(kDir)), before);
    EXPECT_EQ(BackupFolder(), kIndexOnly);
}

TEST_F(DatabaseIndexFile, FailedEncryptionLeavesTheIndexAndNoPlaintext) {
    Write(kDb, "abc");
    StoreIndex(kMine);
    const std::string before = Read(DatabaseIndexPath(kDir));
    // A folder stands where the new encrypted index would be written.
    std::filesystem::create_directories(Host(DatabaseIndexPath(kDir) + ".new~"));
    const std::function<void()> rewrites[] = {
        [&] { UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb); },
        [&] { RecordLastChecked(m_key, m_iv, kDir, kDb, Time(1, 2)); }};
    for (const auto& rewrite : rewrites) {
        EXPECT_TRUE(RaisesFileException(rewrite, -1, DatabaseIndexPath(kDir)));
        EXPECT_EQ(Read(DatabaseIndexPath(kDir)), before);
        EXPECT_EQ(BackupFolder(),
                  (std::vector<std::string>{"Database Index", "Database Index.new~"}));
    }
}

TEST_F(DatabaseIndexFile, FindLineTakesTheFirstThatBelongs) {
    const std::string a = Seps(kDb + "2|7|1|2|" + kOldDigest + "|\n");
    const std::string b = Seps(kDb + "|3|1|2|" + kOldDigest + "|\n");
    const std::string second = Seps(kDb + "|9|1|2|" + std::string(32, '9') + "|\n");
    StoreIndex(a + b + second);
    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb, line));
    // Not the line of a longer path that begins with the database's, nor its second line.
    EXPECT_EQ(line, b);
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb + "2", line));
    EXPECT_EQ(line, a);
    EXPECT_FALSE(FindDatabaseIndexLine(m_key, m_iv, kDir, "E:\\Data\\S.qdb", line));
    EXPECT_EQ(BackupFolder(), kIndexOnly);
}

TEST_F(DatabaseIndexFile, ReadLinesKeepsLineBreaks) {
    Write("E:\\lines", "one\r\ntwo\nthree");
    EXPECT_EQ(ReadLines("E:\\lines"), (std::vector<std::string>{"one\r\n", "two\n", "three"}));
    EXPECT_THROW(ReadLines("E:\\none"), CFileException);
}

}  // namespace
