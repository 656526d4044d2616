// The create-database command: the new empty database, its "Database Index" line, the
// backup number, the empty backup pair, and the refusals.
#include <gtest/gtest.h>

#include <optional>

#include "app/NoDatabaseView.h"
#include "platform/Clock.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "tests/support/TempPrefix.h"

namespace {

const char kEmptyDigest[] = "d41d8cd98f00b204e9800998ecf8427e";

class CreateDatabase : public ::testing::Test {
  protected:
    // The decrypted index as it stands.
    std::string Index() {
        std::string plain;
        EXPECT_TRUE(DecryptFileToMemory(t.frame.Store().FileKey(), DatabaseIndexPath(t.BackupDir()),
                                        t.frame.Store().IndexIv(), plain));
        return plain;
    }
    // The index as it stands, read as the commands read it.
    const DatabaseIndexImage& Image() {
        m_image.emplace(t.frame.Store().FileKey(), t.frame.Store().IndexIv(), t.BackupDir());
        m_image->Load();
        return *m_image;
    }
    std::string Refusal(const std::string& text) {
        return R"({"event":"messagebox","text":)" + JsonString(text) +
               R"(,"icon":"exclamation","buttons":"ok","answer":"ok"})";
    }
    std::string B(const std::string& name) const { return t.BackupDir() + name; }

    TempPrefix t;
    CCNoflview view{t.frame};
    std::optional<DatabaseIndexImage> m_image;
};

TEST_F(CreateDatabase, FirstDatabaseGetsNumberOneAndItsIndexLine) {
    const uint64_t before = FileTimeToU64(platform::GetSystemTimeAsFileTime());
    ASSERT_TRUE(view.CreateDatabase("E:\\files.qdb"));
    const uint64_t after = FileTimeToU64(platform::GetSystemTimeAsFileTime());
    EXPECT_TRUE(t.ui.Events().empty());

    EXPECT_EQ(t.ReadFile("E:\\files.qdb"), "");
    EXPECT_EQ(t.ReadFile(B("Backup File 1")), "");
    EXPECT_EQ(t.ReadFile(B("Backup Index 1")), "");

    const std::string index = Index();
    std::vector<std::string> fields;
    SplitFields(index, fields);
    ASSERT_EQ(fields.size(), 6u) << index;
    EXPECT_EQ(fields[0], "E:\\files.qdb");
    EXPECT_EQ(fields[1], "1");
    EXPECT_EQ(fields[4], kEmptyDigest);
    EXPECT_EQ(fields[5], "");
    const uint64_t created =
        (uint64_t(uint32_t(std::stol(fields[2]))) << 32) | uint32_t(std::stol(fields[3]));
    EXPECT_GE(created, before);
    EXPECT_LE(created, after);
    // The whole line, byte for byte.
    EXPECT_EQ(index,
              "E:\\files.qdb\x7f"
              "1\x7f" +
                  fields[2] + "\x7f" + fields[3] + "\x7f" + kEmptyDigest + "\x7f\n");
    EXPECT_TRUE(t.FilesNamed("123456789z").empty());
    EXPECT_TRUE(t.FilesNamed("Database Index1").empty());
}

TEST_F(CreateDatabase, NumbersFollowTheHighestAndSkipExistingBackupFiles) {
    ASSERT_TRUE(view.CreateDatabase("E:\\a.qdb"));
    ASSERT_TRUE(view.CreateDatabase("E:\\b.qdb"));
    // Left by a database no longer in the index.
    t.WriteFile(B("Backup File 3"), "old copies");
    t.WriteFile(B("Backup Index 4"), "old index");
    ASSERT_TRUE(view.CreateDatabase("E:\\c.qdb"));
    EXPECT_EQ(t.ReadFile(B("Backup File 3")), "old copies");
    EXPECT_EQ(t.ReadFile(B("Backup Index 4")), "old index");
    EXPECT_EQ(t.ReadFile(B("Backup File 5")), "");
    EXPECT_EQ(t.ReadFile(B("Backup Index 5")), "");

    std::vector<std::string> numbers;
    for (const std::string& line : Image().Lines()) {
        std::string n;
        ASSERT_TRUE(IndexField(line, 2, n));
        numbers.push_back(n);
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "5"}));
}

TEST_F(CreateDatabase, HighestNumberCountsNotTheLineCount) {
    // An index whose only database has number 7 (the others were removed).
    t.WriteFile("E:\\plain",
                BuildDatabaseIndexLine("E:\\old.qdb", 7, FILETIME(), kEmptyDigest) + "\n");
    EncryptFileWithIv(t.frame.Store().FileKey(), DatabaseIndexPath(t.BackupDir()), "E:\\plain",
                      t.frame.Store().IndexIv());
    ASSERT_TRUE(view.CreateDatabase("E:\\new.qdb"));
    std::string n;
    ASSERT_TRUE(Image().BackupNumber("E:\\new.qdb", n));
    EXPECT_EQ(n, "8");
    EXPECT_TRUE(t.Exists(B("Backup File 8")));
}

TEST_F(CreateDatabase, RefusesAndTouchesNothing) {
    ASSERT_TRUE(view.CreateDatabase("E:\\a.qdb"));
    const std::string indexBefore = t.ReadFile(B("Database Index"));
    t.WriteFile("E:\\taken.txt", "mine");

    const std::string unrecordable = std::string(
        "E:\\a\x7f"
        "b.qdb");
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {"E:\\a.qdb", "E:\\a.qdb is already a database."},
        {"E:\\taken.txt", "E:\\taken.txt already exists."},
        {"a.qdb", "a.qdb is not a full path of a file (such as C:\\Data\\files.qdb)."},
        {"E:a.qdb", "E:a.qdb is not a full path of a file (such as C:\\Data\\files.qdb)."},
        {"E:\\", "E:\\ is not a full path of a file (such as C:\\Data\\files.qdb)."},
        {"E:\\data\\", "E:\\data\\ is not a full path of a file (such as C:\\Data\\files.qdb)."},
        {"", " is not a full path of a file (such as C:\\Data\\files.qdb)."},
        {unrecordable, UnrecordablePathMessage(unrecordable)},
    };
    for (const auto& c : cases) {
        t.ui.ClearEvents();
        EXPECT_FALSE(view.CreateDatabase(c.path)) << c.path;
        ASSERT_EQ(t.ui.Events().size(), 1u) << c.path;
        EXPECT_EQ(t.ui.Events()[0], Refusal(c.message));
    }
    EXPECT_EQ(t.ReadFile("E:\\taken.txt"), "mine");
    EXPECT_EQ(t.ReadFile(B("Database Index")), indexBefore);
    EXPECT_FALSE(t.Exists(B("Backup File 2")));
    EXPECT_TRUE(t.FilesNamed("123456789z").empty());
}

TEST_F(CreateDatabase, MissingFolderEndsTheCommandWithAFileException) {
    bool created = true;
    EXPECT_FALSE(RunCommand([&] { created = view.CreateDatabase("E:\\no such\\a.qdb"); }));
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_EQ(t.ui.Events()[0].rfind(R"({"event":"framework-report","cause":)", 0), 0u)
        << t.ui.Events()[0];
    EXPECT_NE(t.ui.Events()[0].find(R"("file":"E:\\no such\\a.qdb")"), std::string::npos);
    // Nothing was written to the index.
    EXPECT_FALSE(t.Exists(B("Database Index")));
}

TEST_F(CreateDatabase, MissingBackupSettingShowsRegistryError) {
    t.RemoveReg("Backup\\Backup Files Directory");
    EXPECT_FALSE(view.CreateDatabase("E:\\a.qdb"));
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_EQ(
        t.ui.Events()[0],
        R"({"event":"messagebox","text":"Registry error.","icon":"stop","buttons":"ok","answer":"ok"})");
    EXPECT_FALSE(t.Exists("E:\\a.qdb"));
}

TEST_F(CreateDatabase, UnreachableBackupFolderLeavesNoDatabaseBehind) {
    t.SetReg("Backup\\Backup Files Directory", "Q:\\Backup\\");
    EXPECT_FALSE(RunCommand([&] { view.CreateDatabase("E:\\a.qdb"); }));
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_NE(t.ui.Events()[0].find(R"("file":"Q:\\Backup\\Backup File 1")"), std::string::npos)
        << t.ui.Events()[0];
    EXPECT_FALSE(t.Exists("E:\\a.qdb"));
}

// Two databases whose paths begin alike keep their own index lines: refreshing the digest of
// the shorter one leaves the longer one's line as it was.
TEST_F(CreateDatabase, APathThatBeginsAnotherKeepsItsOwnLine) {
    ASSERT_TRUE(view.CreateDatabase("E:\\a.qdb2"));
    ASSERT_TRUE(view.CreateDatabase("E:\\a.qdb"));
    std::string longerBefore, line, field;
    ASSERT_TRUE(Image().FindLine("E:\\a.qdb2", longerBefore));
    {
        DatabaseFiles files(t.frame.Store().FileKey(), t.frame.Store().IndexIv(), t.BackupDir(),
                            "E:\\a.qdb");
        int cause = 0;
        ASSERT_EQ(files.Open(cause), DatabaseFiles::Opened::Ok);
        files.Database().AppendRecord("E:\\x\x7frecord\x7f\r\n");
        ASSERT_TRUE(files.Commit());
    }
    const DatabaseIndexImage& index = Image();
    ASSERT_TRUE(index.FindLine("E:\\a.qdb2", line));
    EXPECT_EQ(line, longerBefore);
    ASSERT_TRUE(index.Digest("E:\\a.qdb", field));
    EXPECT_EQ(field, DigestStoredFile("E:\\a.qdb"));
    EXPECT_NE(field, kEmptyDigest);
    ASSERT_TRUE(index.BackupNumber("E:\\a.qdb", field));
    EXPECT_EQ(field, "2");
}

}  // namespace
