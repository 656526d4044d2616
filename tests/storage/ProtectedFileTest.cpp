// Protected files on disk: the shared known answers through every encryption and
// decryption, damaged and missing files, the rewrite through a new file (a full disk
// included), the wipe, and the database's working copy.
#include <unistd.h>

#include <filesystem>

#include "platform/FileException.h"
#include "storage/ProtectedFile.h"
#include "tests/storage/JsonVectors.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

using ProtectedFile = StorageFiles;

TEST_F(ProtectedFile, SharedKnownAnswersEveryWay) {
    const std::vector<kat::Value> vectors = kat::LoadProtectedVectors();
    ASSERT_EQ(vectors.size(), 12u);
    for (const kat::Value& v : vectors) {
        SCOPED_TRACE(std::to_string(v["plain_hex"].text.size() / 2) +
                     " bytes: " + v["plain_hex"].text.substr(0, 40));
        const Key key = Bytes<32>(v["key"].text);
        const Iv iv = Bytes<16>(v["iv"].text);
        const std::string plain = kat::FromHex(v["plain_hex"].text);

        Write("E:\\plain", plain);
        EncryptFileWithIv(key, "E:\\stored", "E:\\plain", iv);
        EXPECT_EQ(kat::ToHex(Read("E:\\stored")), v["protected_hex"].text);
        EXPECT_EQ(Read("E:\\plain"), plain);

        // The decryptions read the known protected bytes, not ours.
        Write("E:\\known", kat::FromHex(v["protected_hex"].text));
        DecryptFileWithIv(key, "E:\\known", "E:\\out1", iv);
        EXPECT_EQ(kat::ToHex(Read("E:\\out1")), v["decrypt_with_iv_hex"].text);
        DecryptFileWithIvDropNewline(key, "E:\\known", "E:\\out2", iv);
        EXPECT_EQ(kat::ToHex(Read("E:\\out2")), v["decrypt_drop_newline_hex"].text);
        DecryptFileWithIvToLength(key, "E:\\known", "E:\\out3", iv, double(plain.size()));
        EXPECT_EQ(kat::ToHex(Read("E:\\out3")), v["decrypt_to_length_hex"].text);
        std::string memory = "left over";
        ASSERT_TRUE(DecryptFileToMemory(key, "E:\\known", iv, memory));
        EXPECT_EQ(kat::ToHex(memory), v["decrypt_with_iv_hex"].text);
    }
    EXPECT_EQ(Names("E:\\"),
              (std::vector<std::string>{"known", "out1", "out2", "out3", "plain", "stored"}));
}

TEST_F(ProtectedFile, LastBlockRules) {
    const Key key = TestKey(1);
    const Iv iv = TestIv(1);
    // 40 bytes: two whole blocks with line feeds, then a last block holding two.
    std::string plain(32, 'a');
    plain[8] = '\n';
    plain[20] = '\n';
    plain += "ab\ncd\nef";
    Write("E:\\p", plain);
    EncryptFileWithIv(key, "E:\\s", "E:\\p", iv);
    EXPECT_EQ(Read("E:\\s").size(), 48u);

    DecryptFileWithIv(key, "E:\\s", "E:\\o", iv);
    EXPECT_EQ(Read("E:\\o"), plain.substr(0, 32) + "ab\n");
    DecryptFileWithIvDropNewline(key, "E:\\s", "E:\\o", iv);
    EXPECT_EQ(Read("E:\\o"), plain.substr(0, 32) + "ab");
    DecryptFileWithIvToLength(key, "E:\\s", "E:\\o", iv, 37);
    EXPECT_EQ(Read("E:\\o"), plain.substr(0, 37));
    // A length beyond the last block gives the whole block; one below the earlier blocks
    // still gives them whole.
    DecryptFileWithIvToLength(key, "E:\\s", "E:\\o", iv, 1000);
    EXPECT_EQ(Read("E:\\o"), plain + std::string(8, '\0'));
    DecryptFileWithIvToLength(key, "E:\\s", "E:\\o", iv, 5);
    EXPECT_EQ(Read("E:\\o"), plain.substr(0, 32));
}

// A file of lines whose last block holds the end of one line and a whole short line (a
// 15-byte "Backup Index <n>" line can): the line decryption keeps both, where the first-line-
// feed rule would lose the short line. A last block without a line feed comes back whole.
TEST_F(ProtectedFile, LineDecryptionKeepsEveryLineOfTheLastBlock) {
    const Key key = TestKey(1);
    const Iv iv = TestIv(1);
    const std::string first = std::string(15, 'x') + "\r\n";  // its line feed is byte 16
    const std::string shortLine = Seps("E:\\a|N|0.00|0\r\n");
    ASSERT_EQ(shortLine.size(), 15u);
    Write("E:\\p", first + shortLine);  // 32 bytes: two blocks
    EncryptFileWithIv(key, "E:\\s", "E:\\p", iv);
    DecryptFileWithIv(key, "E:\\s", "E:\\o", iv);
    EXPECT_EQ(Read("E:\\o"), first);
    DecryptLinesWithIv(key, "E:\\s", "E:\\o", iv);
    EXPECT_EQ(Read("E:\\o"), first + shortLine);

    Write("E:\\p", std::string(20, 'y'));
    EncryptFileWithIv(key, "E:\\s", "E:\\p", iv);
    DecryptLinesWithIv(key, "E:\\s", "E:\\o", iv);
    EXPECT_EQ(Read("E:\\o"), std::string(20, 'y') + std::string(12, '\0'));
}

TEST_F(ProtectedFile, LargeFileRoundTrip) {
    const Key key = TestKey(2);
    const Iv iv = TestIv(2);
    std::string plain;
    for (int i = 0; i < 200000; ++i) plain += static_cast<char>((i * 7 + i / 251) & 0xFF);
    plain += '\n';  // 200001 bytes: crosses several pieces, ends inside a block
    Write("E:\\p", plain);
    EncryptFileWithIv(key, "E:\\s", "E:\\p", iv);
    EXPECT_EQ(Read("E:\\s").size(), 200016u);
    DecryptFileWithIvToLength(key, "E:\\s", "E:\\o", iv, double(plain.size()));
    EXPECT_EQ(Read("E:\\o"), plain);
    std::string memory;
    ASSERT_TRUE(DecryptFileToMemory(key, "E:\\s", iv, memory));
    EXPECT_EQ(memory, plain);  // the last block holds the final line feed alone
}

TEST_F(ProtectedFile, DecryptionEmptiesAnExistingPlainFile) {
    Write("E:\\p", "short");
    EncryptFileWithIv(TestKey(3), "E:\\s", "E:\\p", TestIv(3));
    Write("E:\\o", std::string(100, 'x'));
    DecryptFileWithIvToLength(TestKey(3), "E:\\s", "E:\\o", TestIv(3), 5);
    EXPECT_EQ(Read("E:\\o"), "short");
}

TEST_F(ProtectedFile, DamagedLengthIsRefusedBeforeAnythingIsWritten) {
    Write("E:\\s", std::string(17, 'q'));
    EXPECT_TRUE(
        RaisesFileException([&] { DecryptFileWithIv(TestKey(4), "E:\\s", "E:\\o", TestIv(4)); },
                            CFileException::invalidFile, "E:\\s"));
    EXPECT_FALSE(Exists("E:\\o"));
    std::string memory;
    EXPECT_FALSE(DecryptFileToMemory(TestKey(4), "E:\\s", TestIv(4), memory));
    EXPECT_TRUE(memory.empty());
}

TEST_F(ProtectedFile, MissingFilesRaiseTheFileException) {
    EXPECT_TRUE(
        RaisesFileException([&] { DecryptFileWithIv(TestKey(5), "E:\\none", "E:\\o", TestIv(5)); },
                            CFileException::fileNotFound, "E:\\none"));
    EXPECT_TRUE(
        RaisesFileException([&] { EncryptFileWithIv(TestKey(5), "E:\\s", "E:\\none", TestIv(5)); },
                            CFileException::fileNotFound, "E:\\none"));
    std::string memory;
    EXPECT_FALSE(DecryptFileToMemory(TestKey(5), "E:\\none", TestIv(5), memory));
    EXPECT_TRUE(Names("E:\\").empty());
}

TEST_F(ProtectedFile, EncryptionReplacesTheStoredFileWhole) {
    Write("E:\\p", "new contents\n");
    Write("E:\\s", std::string(64, 'o'));
    EncryptFileWithIv(TestKey(6), "E:\\s", "E:\\p", TestIv(6));
    EXPECT_EQ(Read("E:\\s").size(), 16u);
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"p", "s"}));  // no new file left
}

TEST_F(ProtectedFile, FullDiskLeavesTheStoredFileAsItWas) {
    // The new file beside the stored one cannot grow past 50,000 bytes.
    const std::string stored = std::string(32, 's');
    Write("E:\\s", stored);
    Write("E:\\p", std::string(200000, 'p'));
    EXPECT_TRUE(RaisesFileException(
        [&] {
            FileSizeLimit full(50000);
            EncryptFileWithIv(TestKey(7), "E:\\s", "E:\\p", TestIv(7));
        },
        CFileException::diskFull, "E:\\s"));
    EXPECT_EQ(Read("E:\\s"), stored);
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"p", "s"}));
}

TEST_F(ProtectedFile, WorkingCopyThatCannotBeEncryptedLeavesTheDatabase) {
    const std::string db = "E:\\big.qdb";
    Write(DatabaseWorkCopyPath(db), std::string(200000, 'r'));
    Write(db, std::string(48, 'd'));
    EXPECT_TRUE(RaisesFileException(
        [&] {
            FileSizeLimit full(50000);
            EncryptWorkFileToDatabase(TestKey(7), db);
        },
        CFileException::diskFull, db));
    EXPECT_EQ(Read(db), std::string(48, 'd'));
    EXPECT_EQ(Read(DatabaseWorkCopyPath(db)), std::string(200000, 'r'));
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"big.qdb", "big.qdb.123456789z"}));
}

TEST_F(ProtectedFile, PlainCopyThatCannotBeWrittenWholeIsWiped) {
    Write("E:\\p", std::string(200000, 'p'));
    EncryptFileWithIv(TestKey(7), "E:\\s", "E:\\p", TestIv(7));
    EXPECT_TRUE(RaisesFileException(
        [&] {
            FileSizeLimit full(50000);
            DecryptFileWithIv(TestKey(7), "E:\\s", "E:\\o", TestIv(7));
        },
        CFileException::diskFull, "E:\\o"));
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"p", "s"}));
}

TEST_F(ProtectedFile, SecureDeleteOverwritesThenDeletes) {
    const std::string secret = "the plaintext that must not stay on the disk";
    Write("E:\\secret", secret);
    // A second name for the same file shows what the wipe left in it.
    ASSERT_EQ(link(Host("E:\\secret").c_str(), Host("E:\\view").c_str()), 0);
    SecureDeleteFile("E:\\secret");
    EXPECT_FALSE(Exists("E:\\secret"));
    EXPECT_EQ(Read("E:\\view"), std::string(secret.size(), '\xff'));

    Write("E:\\empty", "");
    SecureDeleteFile("E:\\empty");
    EXPECT_FALSE(Exists("E:\\empty"));

    EXPECT_TRUE(RaisesFileException([&] { SecureDeleteFile("E:\\none"); },
                                    CFileException::fileNotFound, "E:\\none"));
}

TEST_F(ProtectedFile, DatabaseWorkingCopyRoundTrip) {
    const std::string db = "E:\\Data\\my.qdb";
    std::filesystem::create_directories(Host("E:\\Data"));
    EXPECT_EQ(DatabaseWorkCopyPath(db), "E:\\Data\\my.qdb.123456789z");
    EXPECT_EQ(DatabaseIv(db), IvFromText(db));

    const std::string records = "first record line\r\nsecond record line\r\n";
    Write("E:\\Data\\my.qdb.123456789z", records);
    EncryptWorkFileToDatabase(TestKey(8), db);
    EXPECT_EQ(Read("E:\\Data\\my.qdb.123456789z"), records);  // the working copy stays
    EXPECT_EQ(Read(db).size(), 48u);

    Write("E:\\Data\\my.qdb.123456789z", "stale bytes, longer than the database's plaintext......");
    int flag = 0;
    DecryptDatabaseToWorkFile(TestKey(8), db, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(Read("E:\\Data\\my.qdb.123456789z"), records);

    // Decrypted with the vector of another path it is not the same text.
    DecryptFileWithIv(TestKey(8), db, "E:\\Data\\other", IvFromText("E:\\Data\\other.qdb"));
    EXPECT_NE(Read("E:\\Data\\other"), records);
}

TEST_F(ProtectedFile, UnreadableDatabaseWipesTheWorkingCopyAndSetsTheFlag) {
    std::filesystem::create_directories(Host("E:\\Data"));
    int flag = 0;
    EXPECT_TRUE(RaisesFileException(
        [&] { DecryptDatabaseToWorkFile(TestKey(9), "E:\\Data\\gone.qdb", flag); },
        CFileException::fileNotFound, "E:\\Data\\gone.qdb"));
    EXPECT_EQ(flag, 1);
    EXPECT_TRUE(Names("E:\\Data").empty());

    // A damaged database counts as unreadable too.
    Write("E:\\Data\\bad.qdb", std::string(20, 'b'));
    flag = 0;
    EXPECT_TRUE(RaisesFileException(
        [&] { DecryptDatabaseToWorkFile(TestKey(9), "E:\\Data\\bad.qdb", flag); },
        CFileException::invalidFile, "E:\\Data\\bad.qdb"));
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(Names("E:\\Data"), (std::vector<std::string>{"bad.qdb"}));
}

TEST_F(ProtectedFile, WorkingCopyThatCannotBeMadeOrRead) {
    // No folder for the working copy: the exception names it, and the flag stays.
    int flag = 0;
    EXPECT_TRUE(RaisesFileException(
        [&] { DecryptDatabaseToWorkFile(TestKey(10), "E:\\NoFolder\\x.qdb", flag); }, -1,
        "E:\\NoFolder\\x.qdb.123456789z"));
    EXPECT_EQ(flag, 0);

    // No working copy to encrypt: the database stays as it was and nothing new appears.
    Write("E:\\x.qdb", std::string(16, 'd'));
    EXPECT_TRUE(RaisesFileException([&] { EncryptWorkFileToDatabase(TestKey(10), "E:\\x.qdb"); },
                                    CFileException::fileNotFound, "E:\\x.qdb.123456789z"));
    EXPECT_EQ(Read("E:\\x.qdb"), std::string(16, 'd'));
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"x.qdb"}));
}

}  // namespace
