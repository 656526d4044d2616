// Adding one file: the record, the backup copy and its index line in both modes, the
// backup database, the digest refresh, and the previously-listed test.
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/Drives.h"
#include "platform/File.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "tests/add/AddFixture.h"

namespace {

const std::string kDigest500 = "5663227df4c12e3be6581b3294c87eb1";
const std::string kDigestEmpty = "d41d8cd98f00b204e9800998ecf8427e";

using AddOneFileTest = AddFixture;

TEST_F(AddOneFileTest, FileOf500BytesWithAnEncryptedCopy) {
    const std::string path = "E:\\Docs\\report.bin";
    prefix.WriteFile(path, Pattern(500));
    view.AddOneFileToDatabase(path);

    EXPECT_EQ(view.m_filesAdded, 1);
    EXPECT_EQ(view.m_filesPreviouslyListed, 0);
    EXPECT_EQ(view.m_backupListedFiles, 1);
    EXPECT_EQ(view.m_backupDirectory, prefix.BackupDir());
    EXPECT_TRUE(prefix.ui.Events().empty());
    EXPECT_EQ(Refills(), 0);

    EXPECT_EQ(DatabasePlain(), ExpectedRecord(path, kDigest500, "         500"));
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry(path, "N", "512.00", "500"));
    ASSERT_EQ(BackupFileBytes().size(), 512u);
    EXPECT_NE(BackupFileBytes().substr(0, 500), Pattern(500));
    EXPECT_EQ(DecryptCopy(0, 512, 500), Pattern(500));

    ExpectDigestRefreshed();
    EXPECT_EQ(prefix.ReadFile("C:\\Data\\Files~.db"), prefix.ReadFile(kDatabase));
    EXPECT_EQ(platform::GetCurrentDirectory() + "\\", prefix.BackupDir());
    ExpectNothingLeftBehind();
}

TEST_F(AddOneFileTest, PlainCopiesAreTheFilesBytesBackToBack) {
    prefix.SetReg("Config17", "P");
    const std::string first = "E:\\Docs\\report.bin", second = "E:\\Docs\\abc.txt";
    prefix.WriteFile(first, Pattern(500));
    prefix.WriteFile(second, "abc");
    view.AddOneFileToDatabase(first);
    view.AddOneFileToDatabase(second);

    EXPECT_EQ(view.m_filesAdded, 2);
    EXPECT_TRUE(prefix.ui.Events().empty());
    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord(first, kDigest500, "         500") +
                  ExpectedRecord(second, "900150983cd24fb0d6963f7d28e17f72", "           3"));
    EXPECT_EQ(BackupIndexPlain(),
              ExpectedEntry(first, "P", "500.00", "500") + ExpectedEntry(second, "P", "3.00", "3"));
    EXPECT_EQ(BackupFileBytes(), Pattern(500) + "abc");
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(AddOneFileTest, EncryptedCopiesFollowEachOtherFromTheirOffsets) {
    const std::string first = "E:\\a.bin", second = "E:\\b.bin";
    prefix.WriteFile(first, Pattern(17));
    prefix.WriteFile(second, Pattern(500));
    view.AddOneFileToDatabase(first);
    view.AddOneFileToDatabase(second);

    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry(first, "N", "32.00", "17") +
                                      ExpectedEntry(second, "N", "512.00", "500"));
    ASSERT_EQ(BackupFileBytes().size(), 32u + 512u);
    EXPECT_EQ(DecryptCopy(0, 32, 17), Pattern(17));
    EXPECT_EQ(DecryptCopy(32, 512, 500), Pattern(500));
    ExpectNothingLeftBehind();
}

TEST_F(AddOneFileTest, EmptyFilesInBothModes) {
    const std::string encrypted = "E:\\empty.n", plain = "E:\\empty.p";
    prefix.WriteFile(encrypted, "");
    prefix.WriteFile(plain, "");
    view.AddOneFileToDatabase(encrypted);
    prefix.SetReg("Config17", "P");
    view.AddOneFileToDatabase(plain);

    EXPECT_EQ(view.m_filesAdded, 2);
    EXPECT_EQ(DatabasePlain(), ExpectedRecord(encrypted, kDigestEmpty, "           0") +
                                   ExpectedRecord(plain, kDigestEmpty, "           0"));
    EXPECT_EQ(BackupIndexPlain(),
              ExpectedEntry(encrypted, "N", "0.00", "0") + ExpectedEntry(plain, "P", "0.00", "0"));
    EXPECT_EQ(BackupFileBytes(), "");
    ExpectNothingLeftBehind();
}

TEST_F(AddOneFileTest, DigestPiecesAroundSixtyFourBytes) {
    prefix.SetReg("Config5", "0");
    const struct {
        size_t size;
        const char* digest;
    } cases[] = {{63, "a62f6d59e837867693f042f5b8f5a236"},
                 {64, "7160b8fb5e9e4023d549c3971fbaeead"},
                 {65, "70bd662e7aefbda85a0f7244167b7897"},
                 {128, "10b2da1a82f16d99a81a7203fe9f02cb"}};
    std::string expected;
    for (const auto& c : cases) {
        const std::string path = "E:\\size" + std::to_string(c.size);
        prefix.WriteFile(path, Pattern(c.size));
        view.AddOneFileToDatabase(path);
        std::string field = std::to_string(c.size);
        field.insert(0, 12 - field.size(), ' ');
        expected += ExpectedRecord(path, c.digest, field);
    }
    EXPECT_EQ(DatabasePlain(), expected);
    // Without Config5 = 1 nothing is backed up.
    EXPECT_EQ(BackupIndexPlain(), "");
    EXPECT_EQ(BackupFileBytes(), "");
    EXPECT_EQ(view.m_backupListedFiles, 0);
    ExpectNothingLeftBehind();
}

// A path is listed as the file system names files: its drive letter in either case, or
// another path in other letter case that names the same file; a file whose name differs in
// letter case alone is another file.
TEST_F(AddOneFileTest, ListedPathIsTheSameFileUnderItsOwnName) {
    const std::string path = "E:\\Docs\\Report.txt";
    prefix.WriteFile(path, "alpha\n");
    view.AddOneFileToDatabase(path);
    const std::string database = prefix.ReadFile(kDatabase);
    const std::string backupIndex = prefix.ReadFile(kBackupIndex);
    const std::string backupDatabase = prefix.ReadFile("C:\\Data\\Files~.db");
    const std::string index = IndexLine();
    prefix.WriteFile("C:\\Data\\Files~.db", "stale");
    ASSERT_EQ(link(prefix.Host(path).c_str(), prefix.Host("E:\\Docs\\REPORT.TXT").c_str()), 0);

    for (const char* same : {"e:\\Docs\\Report.txt", "E:\\Docs\\REPORT.TXT"})
        view.AddOneFileToDatabase(same);

    EXPECT_EQ(view.m_filesAdded, 1);
    EXPECT_EQ(view.m_filesPreviouslyListed, 2);
    EXPECT_EQ(prefix.ui.Events(),
              (std::vector<std::string>{BoxEvent("e:\\Docs\\Report.txt previously listed."),
                                        BoxEvent("E:\\Docs\\REPORT.TXT previously listed.")}));
    EXPECT_EQ(prefix.ReadFile(kDatabase), database);
    EXPECT_EQ(prefix.ReadFile(kBackupIndex), backupIndex);
    EXPECT_EQ(BackupFileBytes().size(), 16u);
    EXPECT_EQ(IndexLine(), index);
    // The backup database is not copied again for a listed file.
    EXPECT_EQ(prefix.ReadFile("C:\\Data\\Files~.db"), "stale");
    EXPECT_NE(backupDatabase, "stale");
    ExpectNothingLeftBehind();

    prefix.WriteFile("E:\\Docs\\report.txt", "beta\n");
    view.AddOneFileToDatabase("E:\\Docs\\report.txt");
    EXPECT_EQ(view.m_filesAdded, 2);
    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord(path, "9f9f90dbe3e5ee1218c86b8839db1995", "           6") +
                  ExpectedRecord("E:\\Docs\\report.txt", "f0cf2a92516045024a0c99147b28f05b",
                                 "           5"));
}

TEST_F(AddOneFileTest, ListedPathThatIsAPrefixDoesNotCount) {
    prefix.SetReg("Config5", "0");
    const std::string listed = "E:\\Docs\\a.txt", longer = "E:\\Docs\\a.txt.bak",
                      shorter = "E:\\Docs\\a.tx";
    prefix.WriteFile(listed, "alpha\n");
    prefix.WriteFile(longer, "beta\n");
    prefix.WriteFile(shorter, "gamma\n");
    view.AddOneFileToDatabase(listed);
    view.AddOneFileToDatabase(longer);
    view.AddOneFileToDatabase(shorter);

    EXPECT_EQ(view.m_filesAdded, 3);
    EXPECT_EQ(view.m_filesPreviouslyListed, 0);
    EXPECT_TRUE(prefix.ui.Events().empty());
    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord(listed, "9f9f90dbe3e5ee1218c86b8839db1995", "           6") +
                  ExpectedRecord(longer, "f0cf2a92516045024a0c99147b28f05b", "           5") +
                  ExpectedRecord(shorter, "303febb9068384eca46b5b6516843b35", "           6"));
}

TEST_F(AddOneFileTest, LongPathIsFoundAsListed) {
    std::string path = "E:";
    for (int i = 0; i < 5; ++i) path += "\\" + std::string(55, char('a' + i));
    path += "\\" + std::string(300 - path.size() - 1, 'z');
    ASSERT_EQ(path.size(), 300u);
    prefix.WriteFile(path, "alpha\n");

    view.AddOneFileToDatabase(path);
    const std::string database = prefix.ReadFile(kDatabase);
    view.AddOneFileToDatabase(path);

    EXPECT_EQ(view.m_filesAdded, 1);
    EXPECT_EQ(view.m_filesPreviouslyListed, 1);
    ASSERT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_EQ(prefix.ui.Events()[0], BoxEvent(path + " previously listed."));
    EXPECT_EQ(prefix.ReadFile(kDatabase), database);
    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord(path, "9f9f90dbe3e5ee1218c86b8839db1995", "           6"));
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry(path, "N", "16.00", "6"));
}

TEST_F(AddOneFileTest, BackupDatabaseByTheSettings) {
    const std::string file = "E:\\a.txt";
    prefix.WriteFile(file, "alpha\n");
    prefix.SetReg("Config2", "0");
    view.AddOneFileToDatabase(file);
    EXPECT_FALSE(prefix.Exists("C:\\Data\\Files~.db"));

    prefix.SetReg("Config2", "1");
    prefix.SetReg("Config4", "0");
    prefix.SetReg("Config3", "C:\\Backups");
    ASSERT_TRUE(platform::CreateDirectory("C:\\Backups"));
    prefix.WriteFile("E:\\b.txt", "beta\n");
    view.AddOneFileToDatabase("E:\\b.txt");
    EXPECT_FALSE(prefix.Exists("C:\\Data\\Files~.db"));
    EXPECT_EQ(prefix.ReadFile("C:\\Backups\\Files~.db"), prefix.ReadFile(kDatabase));

    prefix.SetReg("Config3", "C:\\Backups2\\");
    prefix.SetReg("Config1", "-old");
    ASSERT_TRUE(platform::CreateDirectory("C:\\Backups2"));
    prefix.WriteFile("E:\\c.txt", "gamma\n");
    view.AddOneFileToDatabase("E:\\c.txt");
    EXPECT_EQ(prefix.ReadFile("C:\\Backups2\\Files-old.db"), prefix.ReadFile(kDatabase));
    EXPECT_NE(prefix.ReadFile("C:\\Backups\\Files~.db"), prefix.ReadFile(kDatabase));
    EXPECT_TRUE(prefix.ui.Events().empty());
}

TEST_F(AddOneFileTest, UnrecordablePathIsRefusedBeforeAnythingIsWritten) {
    const std::string path = "E:\\odd\x7fname.txt";
    prefix.WriteFile(path, "alpha\n");
    const std::string database = prefix.ReadFile(kDatabase);
    view.AddOneFileToDatabase(path);

    EXPECT_EQ(view.m_filesAdded, 0);
    EXPECT_EQ(view.m_filesPreviouslyListed, 0);
    ASSERT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_EQ(prefix.ui.Events()[0], BoxEvent(UnrecordablePathMessage(path), "exclamation"));
    EXPECT_EQ(prefix.ReadFile(kDatabase), database);
    EXPECT_EQ(BackupFileBytes(), "");
    ExpectNothingLeftBehind();
}

}  // namespace

// A short "Backup Index 1" line can share the index's last 16-byte block with the end of the
// line before it; the next add must keep it, or every later copy's offset would shift.
TEST_F(AddOneFileTest, ShortIndexLineInTheLastBlockIsKeptByTheNextAdd) {
    const std::string first = "E:\\abcdefghijklmno.txt";  // its line is 33 bytes
    const std::string shortPath = "E:\\a";                // its line is 15 bytes
    const std::string third = "E:\\c.txt";
    for (const std::string& path : {first, shortPath, third}) {
        prefix.WriteFile(path, "");
        view.AddOneFileToDatabase(path);
    }
    EXPECT_EQ(view.m_filesAdded, 3);
    EXPECT_EQ(BackupIndexPlain(), ExpectedEntry(first, "N", "0.00", "0") +
                                      ExpectedEntry(shortPath, "N", "0.00", "0") +
                                      ExpectedEntry(third, "N", "0.00", "0"));
    ExpectNothingLeftBehind();
}
