// The "Database Index" file: the digest refresh and the last-checked time rewrite exactly
// the database's lines and leave no plaintext behind, a failed encryption leaves the index
// as it was, the lookup of a line, and the password test against the index.
#include <filesystem>

#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "tests/storage/StorageFixture.h"

namespace {

const std::string kDir = "E:\\Backup Files\\";
const std::string kDb = "E:\\Data\\s.qdb";

FILETIME Time(uint32_t high, uint32_t low) {
    FILETIME t;
    t.dwHighDateTime = high;
    t.dwLowDateTime = low;
    return t;
}

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

    Key m_key{};
    Iv m_iv{};
};

const std::string kOldDigest = "00000000000000000000000000000000";

TEST_F(DatabaseIndexFile, DigestRefreshRewritesOnlyTheDatabasesLines) {
    // The stored database: its digest is the MD5 of its bytes as they lie on the disk.
    Write(kDb, "abc");
    const std::string digest = "900150983cd24fb0d6963f7d28e17f72";
    EXPECT_EQ(DigestStoredFile(kDb), digest);

    const std::string other =
        "E:\\Data\\other.qdb\x7f"
        "1\x7f"
        "2\x7f"
        "3\x7f" +
        kOldDigest + "\x7f\n";
    const std::string five = kDb +
                             "\x7f"
                             "4\x7f"
                             "31129600\x7f-1\x7f" +
                             kOldDigest + "\x7f\n";
    const std::string eight = kDb +
                              "2\x7f"
                              "5\x7f"
                              "1\x7f"
                              "2\x7f" +
                              kOldDigest +
                              "\x7f\x7f"
                              "31129600\x7f-1242308600\x7f\r\n";
    StoreIndex(other + five + eight);

    UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
    // Only the database's own line changes, and only in field 5; the line of "s.qdb2",
    // whose path merely begins with it, stays as it was.
    EXPECT_EQ(IndexPlain(), other + kDb +
                                "\x7f"
                                "4\x7f"
                                "31129600\x7f-1\x7f" +
                                digest + "\x7f\n" + eight);
    EXPECT_EQ(Names("E:\\Backup Files"), (std::vector<std::string>{"Database Index"}));
}

TEST_F(DatabaseIndexFile, LastCheckedTimeRewrite) {
    Write(kDb, "abc");
    const std::string other =
        "E:\\Data\\other.qdb\x7f"
        "1\x7f"
        "2\x7f"
        "3\x7f" +
        kOldDigest + "\x7f\n";
    const std::string mine = kDb +
                             "\x7f"
                             "4\x7f"
                             "7\x7f"
                             "8\x7f" +
                             kOldDigest +
                             "\x7f\x7f"
                             "1\x7f"
                             "2\x7f\n";
    StoreIndex(mine + other);

    RecordLastChecked(m_key, m_iv, kDir, kDb, Time(31129600, 0xF0000000));
    EXPECT_EQ(IndexPlain(), kDb +
                                "\x7f"
                                "4\x7f"
                                "7\x7f"
                                "8\x7f" +
                                kOldDigest +
                                "\x7f\x7f"
                                "31129600\x7f-268435456\x7f\n" +
                                other);
    EXPECT_EQ(Names("E:\\Backup Files"), (std::vector<std::string>{"Database Index"}));

    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb, line));
    FILETIME checked;
    ASSERT_TRUE(IndexLastChecked(line, checked));
    EXPECT_EQ(checked.dwLowDateTime, 0xF0000000u);
}

TEST_F(DatabaseIndexFile, LongLinesStayWhole) {
    const std::string longDb = "E:\\Data\\" + std::string(600, 'n') + ".qdb";
    Write(kDb, "");
    const std::string longLine = longDb +
                                 "\x7f"
                                 "9\x7f"
                                 "1\x7f"
                                 "2\x7f" +
                                 kOldDigest + "\x7f\n";
    const std::string mine = kDb +
                             "\x7f"
                             "4\x7f"
                             "7\x7f"
                             "8\x7f" +
                             kOldDigest + "\x7f\n";
    StoreIndex(longLine + mine);
    UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
    EXPECT_EQ(IndexPlain(), longLine + kDb +
                                "\x7f"
                                "4\x7f"
                                "7\x7f"
                                "8\x7f" +
                                "d41d8cd98f00b204e9800998ecf8427e\x7f\n");

    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, longDb, line));
    EXPECT_EQ(line, longLine);
}

TEST_F(DatabaseIndexFile, LinesWithMissingFieldsStayAsTheyWere) {
    Write(kDb, "abc");
    const std::string damaged = kDb +
                                "\x7f"
                                "4\x7f"
                                "7\x7f\n";
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
    EXPECT_TRUE(Names("E:\\Backup Files").empty());
}

TEST_F(DatabaseIndexFile, MissingDatabaseIsRaisedBeforeTheIndexIsTouched) {
    StoreIndex(kDb +
               "\x7f"
               "4\x7f"
               "7\x7f"
               "8\x7f" +
               kOldDigest + "\x7f\n");
    const std::string before = Read(DatabaseIndexPath(kDir));
    try {
        UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, kDb);
    }
    EXPECT_EQ(Read(DatabaseIndexPath(kDir)), before);
    EXPECT_EQ(Names("E:\\Backup Files"), (std::vector<std::string>{"Database Index"}));
}

TEST_F(DatabaseIndexFile, FailedEncryptionLeavesTheIndexAndNoPlaintext) {
    Write(kDb, "abc");
    StoreIndex(kDb +
               "\x7f"
               "4\x7f"
               "7\x7f"
               "8\x7f" +
               kOldDigest + "\x7f\n");
    const std::string before = Read(DatabaseIndexPath(kDir));
    // A folder stands where the new encrypted index would be written.
    std::filesystem::create_directories(Host(DatabaseIndexPath(kDir) + ".new~"));
    for (int pass = 0; pass < 2; ++pass) {
        try {
            if (pass == 0)
                UpdateDatabaseIndexEntry(m_key, m_iv, kDir, kDb);
            else
                RecordLastChecked(m_key, m_iv, kDir, kDb, Time(1, 2));
            FAIL() << "no exception";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_strFileName, DatabaseIndexPath(kDir));
        }
        EXPECT_EQ(Read(DatabaseIndexPath(kDir)), before);
        EXPECT_EQ(Names("E:\\Backup Files"),
                  (std::vector<std::string>{"Database Index", "Database Index.new~"}));
    }
}

TEST_F(DatabaseIndexFile, FindLineTakesTheFirstThatBelongs) {
    const std::string a = kDb +
                          "2\x7f"
                          "7\x7f"
                          "1\x7f"
                          "2\x7f" +
                          kOldDigest + "\x7f\n";
    const std::string b = kDb +
                          "\x7f"
                          "3\x7f"
                          "1\x7f"
                          "2\x7f" +
                          kOldDigest + "\x7f\n";
    StoreIndex(a + b);
    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb, line));
    EXPECT_EQ(line, b);  // not the line of a longer path that begins with the database's
    ASSERT_TRUE(FindDatabaseIndexLine(m_key, m_iv, kDir, kDb + "2", line));
    EXPECT_EQ(line, a);
    EXPECT_FALSE(FindDatabaseIndexLine(m_key, m_iv, kDir, "E:\\Data\\S.qdb", line));
    EXPECT_EQ(Names("E:\\Backup Files"), (std::vector<std::string>{"Database Index"}));
}

TEST_F(DatabaseIndexFile, PasswordTestAgainstTheIndex) {
    // No index, or an empty one: any key.
    EXPECT_TRUE(KeyOpensIndex(m_key, m_iv, kDir));
    StoreIndex("");
    EXPECT_EQ(Read(DatabaseIndexPath(kDir)), "");
    EXPECT_TRUE(KeyOpensIndex(TestKey(99), m_iv, kDir));

    StoreIndex(kDb +
               "\x7f"
               "4\x7f"
               "7\x7f"
               "8\x7f" +
               kOldDigest + "\x7f\n" +
               "E:\\x\x7f"
               "12\x7f"
               "1\x7f"
               "2\x7f" +
               kOldDigest +
               "\x7f\x7f"
               "3\x7f"
               "4\x7f\n");
    EXPECT_TRUE(KeyOpensIndex(m_key, m_iv, kDir));
    for (uint8_t seed = 21; seed < 40; ++seed)
        EXPECT_FALSE(KeyOpensIndex(TestKey(seed), m_iv, kDir));
    EXPECT_FALSE(KeyOpensIndex(m_key, IvFromText("another text"), kDir));
    EXPECT_EQ(Names("E:\\Backup Files"), (std::vector<std::string>{"Database Index"}));

    Write(DatabaseIndexPath(kDir), std::string(33, 'x'));  // damaged: refused
    EXPECT_FALSE(KeyOpensIndex(m_key, m_iv, kDir));
}

TEST_F(DatabaseIndexFile, ReadLinesKeepsLineBreaks) {
    Write("E:\\lines", "one\r\ntwo\nthree");
    EXPECT_EQ(ReadLines("E:\\lines"), (std::vector<std::string>{"one\r\n", "two\n", "three"}));
    EXPECT_THROW(ReadLines("E:\\none"), CFileException);
}

}  // namespace
