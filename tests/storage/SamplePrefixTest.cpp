// Reading a prefix written entirely by an implementation made apart from this one: the
// password opens its index, the database decrypts to the expected records, the index holds
// the database's digest, and every backup copy decrypts to the file it was made from.
#include <filesystem>

#include "platform/Prefix.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/PasswordCheck.h"
#include "storage/ProtectedFile.h"
#include "tests/storage/JsonVectors.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

namespace fs = std::filesystem;

const std::string kBackupDir = "C:\\Program Files\\Quillstead\\Backup Files\\";

class SamplePrefix : public StorageFiles {
  protected:
    void SetUp() override {
        StorageFiles::SetUp();
        const fs::path copy = m_root + "/sample";
        fs::copy(std::string(QUILL_VECTORS_DIR) + "/sample-prefix", copy,
                 fs::copy_options::recursive);
        // The shared folder is read-only; the copy is the test's to change and remove.
        fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add);
        for (const auto& entry : fs::recursive_directory_iterator(copy))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        ASSERT_TRUE(platform::SetDriveLink('c', copy.string() + "/drive_c"));
        m_expected = kat::Load("sample-prefix/expected.json");
    }

    kat::Value m_expected;
};

TEST_F(SamplePrefix, EverythingDecodesByteForByte) {
    const Key key = DeriveKey(m_expected["password"].text);
    const Iv indexIv = IvFromText("Database Index");
    const std::string db = m_expected["database"].text;
    EXPECT_EQ(TestPassword(key, indexIv, kBackupDir), PasswordAnswer::Opens);

    // The database's records.
    int flag = 0;
    DecryptDatabaseToWorkFile(key, db, flag);
    std::vector<std::string> lines = ReadLines(DatabaseWorkCopyPath(db));
    SecureDeleteFile(DatabaseWorkCopyPath(db));
    const kat::Value& records = m_expected["records"];
    ASSERT_EQ(lines.size(), records.items.size());
    std::vector<FileRecord> parsed;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(lines[i].size() - 3), "\x7f\r\n");
        FileRecord r;
        ASSERT_TRUE(ParseFileRecordLine(lines[i], r));
        const kat::Value& e = records[i];
        std::vector<std::string> fields = {r.path,         r.digest,        r.size,
                                           r.attributes,   r.lastWriteHigh, r.lastWriteLow,
                                           r.creationHigh, r.creationLow};
        for (size_t k = 0; k < 8; ++k) EXPECT_EQ(fields[k], e[k].text) << i << "," << k;
        parsed.push_back(r);
    }

    // Its index line: the backup number and the digest of the stored file.
    std::string line;
    ASSERT_TRUE(FindDatabaseIndexLine(key, indexIv, kBackupDir, db, line));
    std::string n, digest;
    ASSERT_TRUE(IndexField(line, 2, n));
    ASSERT_TRUE(IndexField(line, 5, digest));
    EXPECT_EQ(digest, DigestStoredFile(db));

    // The backup copies.
    const std::string indexPath = BackupIndexPath(kBackupDir, n);
    const std::string plainIndex = indexPath + "123456789z";
    DecryptFileWithIv(key, indexPath, plainIndex, IvFromText(indexPath));
    std::vector<std::string> entries = ReadLines(plainIndex);
    SecureDeleteFile(plainIndex);
    ASSERT_EQ(entries.size(), parsed.size());
    const std::string backup = Read(BackupFilePath(kBackupDir, n));
    for (const FileRecord& r : parsed) {
        SCOPED_TRACE(r.path);
        BackupLookup found = FindBackupEntry(entries, r.path);
        ASSERT_TRUE(found.found);
        EXPECT_EQ(found.entry.mode, "N");
        EXPECT_EQ(found.entry.plainSize, r.SizeValue());
        EXPECT_EQ(found.entry.copyLength, CopyLengthFor("N", uint32_t(r.SizeValue())));
        Write("C:\\copy.Ntemp",
              backup.substr(size_t(found.offset), size_t(found.entry.copyLength)));
        DecryptFileWithIvToLength(key, "C:\\copy.Ntemp", "C:\\copy.Ptemp", IvFromText(indexPath),
                                  found.entry.plainSize);
        const std::string original = Read(r.path);
        EXPECT_EQ(Read("C:\\copy.Ptemp"), original);
        EXPECT_EQ(Md5Hex(original), r.digest);
    }

    // The other database's line is in the form a check leaves.
    int checkedLines = 0;
    std::string plain;
    ASSERT_TRUE(DecryptFileToMemory(key, DatabaseIndexPath(kBackupDir), indexIv, plain));
    EXPECT_TRUE(IndexTextIsWellFormed(plain));
    for (size_t start = 0; start < plain.size();) {
        size_t end = plain.find('\n', start);
        FILETIME checked;
        if (IndexLastChecked(plain.substr(start, end - start + 1), checked))
            ++checkedLines;
        start = end + 1;
    }
    EXPECT_EQ(checkedLines, 1);

    EXPECT_EQ(TestPassword(DeriveKey("not the password"), indexIv, kBackupDir),
              PasswordAnswer::Refused);
}

}  // namespace
