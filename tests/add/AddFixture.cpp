// The add tests' common ground.
#include "tests/add/AddFixture.h"

#include <cstdint>
#include <vector>

#include "platform/File.h"
#include "platform/FindData.h"
#include "storage/Crypto.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"

const std::string AddFixture::kSep(1, '\x7f');

AddFixture::AddFixture()
    : kBackupIndex(prefix.BackupDir() + "Backup Index 1"),
      kBackupFile(prefix.BackupDir() + "Backup File 1"),
      noDatabase(prefix.frame),
      view(prefix.frame) {}

void AddFixture::SetUp() {
    prefix.SetReg("Backup\\Backup Files Directory", prefix.BackupDir());
    prefix.SetReg("Config1", "~");
    prefix.SetReg("Config2", "1");
    prefix.SetReg("Config3", "C:\\Program Files\\Quillstead\\");
    prefix.SetReg("Config4", "1");
    prefix.SetReg("Config5", "1");
    prefix.SetReg("Config17", "N");
    ASSERT_TRUE(platform::CreateDirectory("C:\\Data"));
    ASSERT_TRUE(noDatabase.CreateDatabase(kDatabase));
    ASSERT_TRUE(view.OpenDatabase(kDatabase));
    ASSERT_EQ(prefix.ReadFile(kBackupIndex), "");
    view.m_onRefilled = [this] { ++m_refills; };
    prefix.ui.ClearEvents();
}

std::string AddFixture::Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return bytes;
}

std::string AddFixture::ExpectedRecord(const std::string& path, const std::string& digest,
                                       const std::string& sizeField) const {
    platform::WIN32_FIND_DATA find;
    EXPECT_TRUE(platform::GetFindData(path, find)) << path;
    auto half = [](uint32_t v) { return std::to_string(static_cast<int32_t>(v)); };
    return path + kSep + digest + kSep + sizeField + kSep + "\x80" + kSep +
           half(find.ftLastWriteTime.dwHighDateTime) + kSep +
           half(find.ftLastWriteTime.dwLowDateTime) + kSep +
           half(find.ftCreationTime.dwHighDateTime) + kSep +
           half(find.ftCreationTime.dwLowDateTime) + kSep + "\r\n";
}

std::string AddFixture::ExpectedEntry(const std::string& path, const std::string& mode,
                                      const std::string& copyLength, const std::string& size) {
    return path + kSep + mode + kSep + copyLength + kSep + size + "\r\n";
}

std::string AddFixture::DatabasePlain() const {
    std::string plain;
    EXPECT_TRUE(DecryptFileToMemory(prefix.frame.Store().FileKey(), kDatabase,
                                    DatabaseIv(kDatabase), plain));
    return plain;
}

namespace {
std::vector<std::string> Lines(const std::string& plain) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; start < plain.size(); start = end) {
        end = plain.find('\n', start);
        end = end == std::string::npos ? plain.size() : end + 1;
        lines.push_back(plain.substr(start, end - start));
    }
    return lines;
}
}  // namespace

std::string AddFixture::IndexLine() const {
    std::string plain;
    EXPECT_TRUE(DecryptFileToMemory(prefix.frame.Store().FileKey(),
                                    DatabaseIndexPath(prefix.BackupDir()),
                                    prefix.frame.Store().IndexIv(), plain));
    for (const std::string& line : Lines(plain))
        if (IndexLineBelongsTo(line, kDatabase))
            return line;
    return "";
}

std::string AddFixture::BackupIndexPlain() const {
    std::string plain;
    EXPECT_TRUE(DecryptFileToMemory(prefix.frame.Store().FileKey(), kBackupIndex,
                                    IvFromText(kBackupIndex), plain));
    return plain;
}

std::string AddFixture::BackupFileBytes() const {
    return prefix.ReadFile(kBackupFile);
}

std::string AddFixture::DecryptCopy(size_t offset, size_t copyLength, double size) {
    const std::string copy = "E:\\copy.bin", plain = "E:\\copy.plain";
    prefix.WriteFile(copy, BackupFileBytes().substr(offset, copyLength));
    prefix.frame.DecryptFileWithIvToLength(copy, plain, IvFromText(kBackupIndex), size);
    const std::string bytes = prefix.ReadFile(plain);
    platform::RemoveFile(copy);
    platform::RemoveFile(plain);
    return bytes;
}

void AddFixture::DropIndexLine() {
    const std::string indexPath = DatabaseIndexPath(prefix.BackupDir());
    std::string plain;
    ASSERT_TRUE(DecryptFileToMemory(prefix.frame.Store().FileKey(), indexPath,
                                    prefix.frame.Store().IndexIv(), plain));
    std::string kept;
    for (const std::string& line : Lines(plain))
        if (!IndexLineBelongsTo(line, kDatabase))
            kept += line;
    const std::string plainPath = "E:\\index.plain";
    prefix.WriteFile(plainPath, kept);
    EncryptFileWithIv(prefix.frame.Store().FileKey(), indexPath, plainPath,
                      prefix.frame.Store().IndexIv());
    platform::RemoveFile(plainPath);
}

void AddFixture::ExpectDigestRefreshed() const {
    std::string digest;
    EXPECT_TRUE(IndexField(IndexLine(), 5, digest));
    EXPECT_EQ(digest, DigestStoredFile(kDatabase));
}

void AddFixture::ExpectNothingLeftBehind() const {
    EXPECT_TRUE(prefix.FilesNamed("123456789z").empty());
    EXPECT_TRUE(prefix.FilesNamed(".Ntemp").empty());
}
