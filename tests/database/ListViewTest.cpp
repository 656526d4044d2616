// Opening a database and loading it into the list, and the file-type lookup.
#include <gtest/gtest.h>

#include "app/NoDatabaseView.h"
#include "database/FileTypes.h"
#include "database/ListView.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "tests/support/TempPrefix.h"

namespace {

class OpenDatabase : public ::testing::Test {
  protected:
    // Replaces the database's contents with these plaintext lines, encrypted.
    void StoreDatabase(const std::string& path, const std::string& plain) {
        t.WriteFile("E:\\plain.tmp", plain);
        EncryptFileWithIv(t.frame.Store().FileKey(), path, "E:\\plain.tmp", DatabaseIv(path));
        t.WriteFile("E:\\plain.tmp", "");
    }
    TempPrefix t;
    CCNoflview noDatabase{t.frame};
    CListview list{t.frame};
};

TEST_F(OpenDatabase, RefusesADatabaseWithoutAnIndexLine) {
    t.WriteFile("E:\\stray.qdb", "");
    EXPECT_FALSE(list.OpenDatabase("E:\\stray.qdb"));
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_EQ(
        t.ui.Events()[0],
        R"({"event":"messagebox","text":"E:\\stray.qdb is not listed in the Database Index and cannot be opened.","icon":"exclamation","buttons":"ok","answer":"ok"})");
    EXPECT_EQ(list.m_databasePath, "");
    EXPECT_EQ(t.frame.m_openDatabasePath, "");
    EXPECT_FALSE(t.frame.m_databaseOpen);

    // With other databases in the index, still refused.
    ASSERT_TRUE(noDatabase.CreateDatabase("E:\\real.qdb"));
    EXPECT_FALSE(list.OpenDatabase("E:\\stray.qdb"));
}

TEST_F(OpenDatabase, OpensAnEmptyNewDatabase) {
    ASSERT_TRUE(noDatabase.CreateDatabase("E:\\new.qdb"));
    int refills = 0;
    list.m_onRefilled = [&] { ++refills; };
    ASSERT_TRUE(list.OpenDatabase("E:\\new.qdb"));
    EXPECT_EQ(list.m_databasePath, "E:\\new.qdb");
    EXPECT_EQ(t.frame.m_openDatabasePath, "E:\\new.qdb");
    EXPECT_TRUE(t.frame.m_databaseOpen);
    EXPECT_EQ(list.m_recordCount, 0);
    EXPECT_EQ(list.m_totalSize, 0);
    EXPECT_TRUE(list.m_records.empty());
    EXPECT_EQ(refills, 1);
    EXPECT_TRUE(t.ui.Events().empty());
}

TEST_F(OpenDatabase, LoadCountsTheRecordsAndSumsTheirSizes) {
    ASSERT_TRUE(noDatabase.CreateDatabase("E:\\db.qdb"));
    const std::string a =
        "E:\\a.txt\x7f"
        "0123456789abcdef0123456789abcdef\x7f         500\x7f \x7f"
        "31129600\x7f-1242308600\x7f"
        "31064064\x7f-552974343\x7f\r\n";
    const std::string b =
        "E:\\b.bin\x7f"
        "fedcba9876543210fedcba9876543210\x7f          13\x7f!\x7f"
        "1\x7f"
        "2\x7f"
        "3\x7f"
        "4\x7f\r\n";
    // A line rewritten by an acceptance: no leading blanks, "\n" alone.
    const std::string c =
        "E:\\c.log\x7f"
        "00000000000000000000000000000000\x7f"
        "1000\x7fh\x7f"
        "5\x7f"
        "6\x7f"
        "7\x7f"
        "8\x7f\n";
    StoreDatabase("E:\\db.qdb", a + b + c);
    ASSERT_TRUE(list.OpenDatabase("E:\\db.qdb"));
    EXPECT_EQ(list.m_recordCount, 3);
    EXPECT_EQ(list.m_totalSize, 1513);
    ASSERT_EQ(list.m_records.size(), 3u);
    const FileRecord& r = list.m_records[0];
    EXPECT_EQ(r.path, "E:\\a.txt");
    EXPECT_EQ(r.digest, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(r.size, "         500");
    EXPECT_EQ(r.attributes, " ");
    EXPECT_EQ(r.lastWriteHigh, "31129600");
    EXPECT_EQ(r.lastWriteLow, "-1242308600");
    EXPECT_EQ(r.creationHigh, "31064064");
    EXPECT_EQ(r.creationLow, "-552974343");
    EXPECT_EQ(list.m_records[2].size, "1000");
    EXPECT_EQ(list.m_records[2].creationLow, "8");
    // Loaded in memory: no plaintext copy was made.
    EXPECT_TRUE(t.FilesNamed("123456789z").empty());

    // Loading again after a change refills the same fields.
    StoreDatabase("E:\\db.qdb", a);
    int refills = 0;
    list.m_onRefilled = [&] { ++refills; };
    list.OnInitialUpdate();
    EXPECT_EQ(list.m_recordCount, 1);
    EXPECT_EQ(list.m_totalSize, 500);
    EXPECT_EQ(refills, 1);
}

TEST_F(OpenDatabase, MissingDatabaseFileEndsTheOpenWithAFileException) {
    ASSERT_TRUE(noDatabase.CreateDatabase("E:\\db.qdb"));
    ASSERT_EQ(std::remove(t.Host("E:\\db.qdb").c_str()), 0);
    EXPECT_FALSE(RunCommand([&] { list.OpenDatabase("E:\\db.qdb"); }));
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_EQ(
        t.ui.Events()[0].rfind(R"({"event":"framework-report","cause":2,"file":"E:\\db.qdb")", 0),
        0u)
        << t.ui.Events()[0];
}

TEST_F(OpenDatabase, ADatabaseCutShortOfAWholeBlockIsAnInvalidFile) {
    ASSERT_TRUE(noDatabase.CreateDatabase("E:\\db.qdb"));
    t.WriteFile("E:\\db.qdb", "12345");
    EXPECT_FALSE(RunCommand([&] { list.OpenDatabase("E:\\db.qdb"); }));
    ASSERT_EQ(t.ui.Events().size(), 1u);
    EXPECT_EQ(
        t.ui.Events()[0].rfind(R"({"event":"framework-report","cause":6,"file":"E:\\db.qdb")", 0),
        0u)
        << t.ui.Events()[0];
    EXPECT_TRUE(t.FilesNamed("123456789z").empty());
}

TEST_F(OpenDatabase, StorageOperationsWorkOnTheOpenDatabase) {
    ASSERT_TRUE(noDatabase.CreateDatabase("E:\\db.qdb"));
    ASSERT_TRUE(list.OpenDatabase("E:\\db.qdb"));
    list.DecryptDatabaseToWorkFile();
    EXPECT_EQ(list.WorkFiles().Database().Plain(), "");
    const std::string line =
        "E:\\x\x7f"
        "00000000000000000000000000000000\x7f           0\x7f"
        " \x7f"
        "1\x7f"
        "2\x7f"
        "3\x7f"
        "4\x7f\r\n";
    list.WorkFiles().Database().AppendRecord(line);
    EXPECT_TRUE(list.EncryptWorkFileToDatabase());
    list.CloseWorkFiles();
    // The working copy never reached the disk.
    EXPECT_TRUE(t.FilesNamed("123456789z").empty());
    DatabaseIndexImage index(t.frame.Store().FileKey(), t.frame.Store().IndexIv(), t.BackupDir());
    index.Load();
    std::string digest;
    ASSERT_TRUE(index.Digest("E:\\db.qdb", digest));
    EXPECT_EQ(digest, DigestStoredFile("E:\\db.qdb"));
    EXPECT_NE(digest, "d41d8cd98f00b204e9800998ecf8427e");
    list.OnInitialUpdate();
    EXPECT_EQ(list.m_recordCount, 1);
    EXPECT_EQ(list.m_databaseUnreadable, 0);
}

class FileTypes : public ::testing::Test {
  protected:
    TempPrefix t;
    CListview list{t.frame};
};

TEST_F(FileTypes, NoKnownTypeGivesIcon373) {
    EXPECT_EQ(FileTypeIcon("E:\\data\\a.qqqzzz"), Icon::Resource(373));
    EXPECT_EQ(FileTypeIcon("E:\\data\\README"), Icon::Resource(373));
    EXPECT_EQ(FileTypeIcon("E:\\data.d\\README"), Icon::Resource(373));
    EXPECT_EQ(FileTypeName("E:\\data\\a.qqqzzz"), "QQQZZZ File");
    EXPECT_EQ(FileTypeName("E:\\data.d\\README"), "File");
    EXPECT_EQ(FileExtension("E:\\data.d\\README"), "");
    EXPECT_EQ(FileExtension("E:\\a.tar.gz"), "gz");
}

TEST_F(FileTypes, ProgramsShowTheirOwnFirstIcon) {
    for (const char* path : {"E:\\tools\\setup.exe", "E:\\TOOLS\\SETUP.EXE"}) {
        EXPECT_EQ(list.GetFileTypeDescription(path), "DOS/Windows executable") << path;
        Icon own;
        own.file = path;
        own.index = 0;
        EXPECT_EQ(list.m_fileTypeIcon, own) << path;
    }
    // Only those two spellings.
    list.GetFileTypeDescription("E:\\tools\\setup.Exe");
    EXPECT_TRUE(list.m_fileTypeIcon.file.empty());
}

TEST_F(FileTypes, AKnownTypeGivesItsThemedIconAndName) {
    Icon text;
    text.themeName = "text-x-generic";
    EXPECT_EQ(list.GetFileTypeDescription("E:\\notes.txt"), "plain text document");
    EXPECT_EQ(list.m_fileTypeIcon, text);
    EXPECT_EQ(list.GetFileTypeDescription("E:\\NOTES.TXT"), "plain text document");
    EXPECT_EQ(list.m_fileTypeIcon, text);
    // The lookup replaces the icon each time.
    EXPECT_EQ(list.GetFileTypeDescription("E:\\archive.qdb"), "QDB File");
    EXPECT_EQ(list.m_fileTypeIcon, Icon::Resource(373));
}

// A command's cache answers as the rule does, an .exe with its own icon every time.
TEST_F(FileTypes, TheCacheGivesTheRulesIcons) {
    FileTypeIconCache cache;
    for (const char* path : {"E:\\a.txt", "E:\\b.TXT", "E:\\c.txt", "E:\\x.exe", "E:\\y.exe",
                             "E:\\README", "E:\\d.qqqzzz", "E:\\e.txt"})
        EXPECT_EQ(cache.For(path), FileTypeIcon(path)) << path;
}

}  // namespace
