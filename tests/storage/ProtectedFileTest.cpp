// Protected files on disk: the shared known answers through every encryption and
// decryption, damaged and missing files, the rewrite through a new file (a full disk
// included), and the wipe. A database's stored file is StoredDatabaseTest's.
#include <fcntl.h>
#include <unistd.h>

#include <functional>

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

TEST_F(ProtectedFile, AnExistingFileIsReplacedWhole) {
    Write("E:\\p", "short");
    Write("E:\\s", std::string(64, 's'));
    Write("E:\\o", std::string(100, 'o'));
    EncryptFileWithIv(TestKey(3), "E:\\s", "E:\\p", TestIv(3));
    EXPECT_EQ(Read("E:\\s").size(), 16u);
    DecryptFileWithIvToLength(TestKey(3), "E:\\s", "E:\\o", TestIv(3), 5);
    EXPECT_EQ(Read("E:\\o"), "short");
    EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"o", "p", "s"}));  // no new file left
}

TEST_F(ProtectedFile, FailuresRaiseTheirCauseAndLeaveNothingBehind) {
    const Key key = TestKey(7);
    const Iv iv = TestIv(7);
    Write("E:\\damaged", std::string(17, 'q'));
    Write("E:\\p", std::string(200000, 'p'));
    EncryptFileWithIv(key, "E:\\s", "E:\\p", iv);
    const std::string stored = Read("E:\\s");
    const struct {
        std::function<void()> call;
        int cause;
        std::string file;
    } cases[] = {
        {[&] { DecryptFileWithIv(key, "E:\\damaged", "E:\\o", iv); }, CFileException::invalidFile,
         "E:\\damaged"},
        {[&] { DecryptFileWithIv(key, "E:\\none", "E:\\o", iv); }, CFileException::fileNotFound,
         "E:\\none"},
        {[&] { EncryptFileWithIv(key, "E:\\s", "E:\\none", iv); }, CFileException::fileNotFound,
         "E:\\none"},
        {[&] {
             FileSizeLimit full(50000);
             EncryptFileWithIv(key, "E:\\s", "E:\\p", iv);
         },
         CFileException::diskFull, "E:\\s"},
        {[&] {
             FileSizeLimit full(50000);
             DecryptFileWithIv(key, "E:\\s", "E:\\o", iv);
         },
         CFileException::diskFull, "E:\\o"},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(RaisesFileException(c.call, c.cause, c.file));
        EXPECT_EQ(Names("E:\\"), (std::vector<std::string>{"damaged", "p", "s"}));
        EXPECT_EQ(Read("E:\\s"), stored);
    }
    for (const char* path : {"E:\\damaged", "E:\\none"}) {
        std::string memory = "left over";
        EXPECT_FALSE(DecryptFileToMemory(key, path, iv, memory));
        EXPECT_TRUE(memory.empty());
    }
}

TEST_F(ProtectedFile, SecureDeleteOverwritesThenDeletes) {
    const std::string secret = "the plaintext that must not stay on the disk";
    Write("E:\\secret", secret);
    // A descriptor opened before shows what the wipe left in the file.
    const int view = open(Host("E:\\secret").c_str(), O_RDONLY);
    ASSERT_GE(view, 0);
    SecureDeleteFile("E:\\secret");
    EXPECT_FALSE(Exists("E:\\secret"));
    std::string left(secret.size(), '\0');
    EXPECT_EQ(pread(view, &left[0], left.size(), 0), ssize_t(left.size()));
    close(view);
    EXPECT_EQ(left, std::string(secret.size(), '\xff'));

    Write("E:\\empty", "");
    SecureDeleteFile("E:\\empty");
    EXPECT_FALSE(Exists("E:\\empty"));

    EXPECT_TRUE(RaisesFileException([&] { SecureDeleteFile("E:\\none"); },
                                    CFileException::fileNotFound, "E:\\none"));
}

}  // namespace
