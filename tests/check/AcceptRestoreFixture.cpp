// The shared situation of the acceptance and restore tests.
#include "tests/check/AcceptRestoreFixture.h"

#include <algorithm>

#include "check/ChangedFileDetailsDlg.h"
#include "platform/File.h"
#include "platform/FindData.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"

AcceptRestoreFixture::AcceptRestoreFixture() {
    view = std::make_unique<CListview>(p.frame);
    view->m_databasePath = kDatabase;
    p.frame.m_openDatabasePath = kDatabase;
    p.SetReg("Config17", "N");
}

AcceptRestoreFixture::~AcceptRestoreFixture() {
    p.frame.m_checkWorkFile.reset();
    view->CloseWorkFiles();
}

void AcceptRestoreFixture::StoreDatabase(const std::string& plain) {
    StoreProtected(p, kDatabase, plain, DatabaseIv(kDatabase));
    StoreDatabaseIndex(p, CreatedIndexLine(kDatabase, 1) + "\r\n");
}

std::string AcceptRestoreFixture::DatabasePlain() const {
    std::string plain;
    EXPECT_TRUE(
        DecryptFileToMemory(p.frame.Store().FileKey(), kDatabase, DatabaseIv(kDatabase), plain));
    return plain;
}

std::string AcceptRestoreFixture::BackupIndexPath() const {
    return ::BackupIndexPath(p.BackupDir(), "1");
}

std::string AcceptRestoreFixture::BackupFilePath() const {
    return ::BackupFilePath(p.BackupDir(), "1");
}

void AcceptRestoreFixture::StoreBackupIndex(const std::string& plain) {
    StoreProtected(p, BackupIndexPath(), plain, IvFromText(BackupIndexPath()));
}

std::string AcceptRestoreFixture::BackupIndexPlain() const {
    DecryptLinesWithIv(p.frame.Store().FileKey(), BackupIndexPath(), "E:\\plain.tmp",
                       IvFromText(BackupIndexPath()));
    std::string plain = p.ReadFile("E:\\plain.tmp");
    platform::RemoveFile("E:\\plain.tmp");
    return plain;
}

std::string AcceptRestoreFixture::EncryptedCopy(const std::string& bytes) const {
    StoreProtected(p, "E:\\cipher.tmp", bytes, IvFromText(BackupIndexPath()));
    std::string copy = p.ReadFile("E:\\cipher.tmp");
    platform::RemoveFile("E:\\cipher.tmp");
    return copy;
}

std::string AcceptRestoreFixture::DecryptedCopy(const std::string& copy, size_t plainSize) const {
    p.WriteFile("E:\\cipher.tmp", copy);
    DecryptFileWithIvToLength(p.frame.Store().FileKey(), "E:\\cipher.tmp", "E:\\plain.tmp",
                              IvFromText(BackupIndexPath()), double(plainSize));
    std::string plain = p.ReadFile("E:\\plain.tmp");
    platform::RemoveFile("E:\\plain.tmp");
    platform::RemoveFile("E:\\cipher.tmp");
    return plain;
}

std::string AcceptRestoreFixture::ExpectedRecord(const CheckRunState& run,
                                                 const std::string& sizeText) {
    const auto half = [](uint32_t v) { return std::to_string(static_cast<int32_t>(v)); };
    return run.path + kSep + run.newDigest + kSep + sizeText + kSep +
           std::string(1, static_cast<char>(AttributeCode(run.findData.dwFileAttributes))) + kSep +
           half(run.findData.ftLastWriteTime.dwHighDateTime) + kSep +
           half(run.findData.ftLastWriteTime.dwLowDateTime) + kSep +
           half(run.findData.ftCreationTime.dwHighDateTime) + kSep +
           half(run.findData.ftCreationTime.dwLowDateTime) + kSep + "\r\n";
}

CheckRunState AcceptRestoreFixture::RunAt(const std::string& path, int begun, int moved) {
    CheckRunState run;
    run.view = view.get();
    run.frame = &p.frame;
    const std::string plain = DatabasePlain();
    run.recordsCounted = static_cast<int>(std::count(plain.begin(), plain.end(), '\n'));
    run.recordsBegun = begun;
    run.recordsMoved = moved;
    run.path = path;
    run.newDigest = Digest(p.ReadFile(path));
    run.findDataValid = platform::GetFindData(path, run.findData);

    p.frame.m_checkWorkFile.reset();
    view->DecryptDatabaseToWorkFile();
    p.frame.m_checkWorkFile =
        std::make_unique<WorkCopyStream>(view->WorkFiles().Database().Plain());
    // The pass has read the record's whole line.
    std::string line;
    for (int i = 1; i <= begun; ++i) p.frame.m_checkWorkFile->ReadLine(line);
    const size_t sep = line.find('\x7f');
    EXPECT_EQ(path, line.substr(0, sep));
    run.storedDigest = line.substr(sep + 1, 32);
    return run;
}

void AcceptRestoreFixture::BuildThree(const std::string& mode,
                                      const std::vector<std::string>& contents) {
    files = {"E:\\a.txt", "E:\\b.txt", "E:\\c.txt"};
    originals = {std::string(37, 'a'), std::string(100, 'b') + "\n", std::string(16, 'c')};
    if (!contents.empty())
        originals = contents;
    records.clear();
    entries.clear();
    copies.clear();
    std::string database, index, backup;
    for (size_t i = 0; i < files.size(); ++i) {
        p.WriteFile(files[i], originals[i]);
        records.push_back(AddedRecord(files[i]));
        const uint32_t size = static_cast<uint32_t>(originals[i].size());
        entries.push_back(BuildBackupIndexLine(files[i], mode, CopyLengthFor(mode, size), size) +
                          "\r\n");
        copies.push_back(mode == "N" ? EncryptedCopy(originals[i]) : originals[i]);
        database += records[i];
        index += entries[i];
        backup += copies[i];
    }
    StoreDatabase(database);
    StoreBackupIndex(index);
    p.WriteFile(BackupFilePath(), backup);
    p.SetReg("Config17", mode);
}

void AcceptRestoreFixture::BuildShortLastLine() {
    longPath = "E:\\long.txt";
    longEntry = longPath + kSep + "P" + kSep + "4.00" + kSep + "4\r\n";
    while (longEntry.size() % 16 != 1) {
        longPath.insert(3, "l");
        longEntry = longPath + kSep + "P" + kSep + "4.00" + kSep + "4\r\n";
    }
    shortEntry = "E:\\s" + kSep + "P" + kSep + "1.00" + kSep + "1\r\n";
    EXPECT_EQ(15u, shortEntry.size());
    p.WriteFile(longPath, "long");
    p.WriteFile("E:\\s", "s");
    StoreDatabase(AddedRecord(longPath) + AddedRecord("E:\\s"));
    StoreBackupIndex(longEntry + shortEntry);
    p.WriteFile(BackupFilePath(), "longs");
    p.SetReg("Config17", "P");
}

void AcceptRestoreFixture::Restore(const std::string& path, int mode) {
    if (mode < 0)
        p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","result":"cancel"})");
    else
        p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":)" +
                           std::to_string(mode) + "}}");
    CChangedFileDetailsDlg details(view.get());
    details.m_pathLine1 = path.substr(0, 92);
    if (path.size() > 92)
        details.m_pathLine2 = path.substr(92, 92);
    if (path.size() > 184)
        details.m_pathLine3 = path.substr(184);
    CheckRunState run;
    run.view = view.get();
    run.frame = &p.frame;
    run.path = path;
    const std::string plain = DatabasePlain();
    const size_t at = plain.find(path + kSep);
    if (at != std::string::npos && (at == 0 || plain[at - 1] == '\n'))
        run.storedDigest = plain.substr(at + path.size() + 1, 32);
    view->DecryptDatabaseToWorkFile();  // the check holds the stored files
    p.ui.ClearEvents();
    RestoreFileFromBackup(run, details);
    view->CloseWorkFiles();
}

std::vector<std::string> AcceptRestoreFixture::Leftovers() const {
    std::vector<std::string> found;
    for (const char* part : {"123456789z", ".Ntemp", ".Ptemp", ".987654321z", ".new", "db.qdb1"})
        for (const std::string& f : p.FilesNamed(part)) found.push_back(f);
    return found;
}
