// Reading a prefix written entirely by an implementation made apart from this one, through
// the storage objects: the password opens its index, the database decrypts to the expected
// records, the index holds the database's digest, and every backup copy decrypts in place to
// the file it was made from.
#include <filesystem>

#include "platform/File.h"
#include "platform/Prefix.h"
#include "storage/BackupPair.h"
#include "storage/DatabaseIndex.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/FileRecord.h"
#include "storage/PasswordCheck.h"
#include "storage/StoredDatabase.h"
#include "storage/WorkCopyStream.h"
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
    StoredDatabase database(key, db);
    int cause = -1;
    ASSERT_TRUE(database.Load(cause)) << cause;
    const std::vector<std::string> lines = LinesOf(database.Plain());
    EXPECT_EQ(database.RecordCount(), int(lines.size()));
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
        EXPECT_TRUE(database.Lists(r.path));
        parsed.push_back(r);
    }

    // Its index line: the backup number and the digest of the stored file.
    DatabaseIndexImage index(key, indexIv, kBackupDir);
    index.Load(true);
    std::string n, digest;
    ASSERT_TRUE(index.BackupNumber(db, n));
    ASSERT_TRUE(index.Digest(db, digest));
    EXPECT_EQ(digest, DigestStoredFile(db));
    EXPECT_EQ(digest, database.StoredFileDigest());

    // The backup copies, each decrypted where it lies.
    BackupPair pair(key, kBackupDir, n);
    pair.Open();
    ASSERT_EQ(LinesOf(pair.IndexPlain()).size(), parsed.size());
    EXPECT_EQ(int64_t(Read(pair.FilePath()).size()), pair.CopiesLength());
    for (const FileRecord& r : parsed) {
        SCOPED_TRACE(r.path);
        const BackupLookup found = pair.Find(r.path);
        ASSERT_TRUE(found.found);
        EXPECT_EQ(found.entry.mode, "N");
        EXPECT_EQ(found.entry.plainSize, r.SizeValue());
        EXPECT_EQ(found.entry.copyLength, CopyLengthFor("N", uint32_t(r.SizeValue())));
        platform::CFile copy;
        ASSERT_TRUE(pair.OpenCopy(found, copy, cause));
        std::string plain(size_t(found.entry.plainSize), '\0');
        EXPECT_EQ(pair.ReadPlainAt(copy, int64_t(found.offset), 0, &plain[0], plain.size()),
                  plain.size());
        const std::string original = Read(r.path);
        EXPECT_EQ(plain, original);
        EXPECT_EQ(Md5Hex(original), r.digest);
    }

    // The other database's line is in the form a check leaves.
    int checkedLines = 0;
    std::string plain;
    for (const std::string& line : index.Lines()) {
        plain += line;
        FILETIME checked;
        if (IndexLastChecked(line, checked))
            ++checkedLines;
    }
    EXPECT_TRUE(IndexTextIsWellFormed(plain));
    EXPECT_EQ(checkedLines, 1);

    EXPECT_EQ(TestPassword(DeriveKey("not the password"), indexIv, kBackupDir),
              PasswordAnswer::Refused);
}

}  // namespace
