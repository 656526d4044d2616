// Choice 1 of an acceptance: the accepted file becomes its own new backup. "Backup File <n>"
// and "Backup Index <n>" are rebuilt beside the old ones ("Backup File <n>1", "Backup Index
// <n>1") with the file's new copy and entry in the place of its old ones, or at the end when
// it had none; copies and entries of other files keep their order and bytes. Each new file
// replaces its old one by a rename only when both are complete. A changed file that cannot
// be read leaves the old pair as it was.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/AcceptChange.h"
#include "check/CheckRunState.h"
#include "check/ProgressScale.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

using platform::CFile;
using platform::Share;

void Exclaim(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation);
}

std::string CouldNotCheckText(const std::string& path, int cause) {
    return "Couldn't check " + path + "\nReason: " + FileErrorName(cause);
}

void ReportRenameFailure(const std::string& from, const std::string& to) {
    const int cause = platform::LastFileErrorCause();
    Exclaim("Couldn't rename " + from + " to " + to + "\nReason: " + FileErrorName(cause));
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void Write(CFile& out, const void* data, size_t length) {
    if (!out.Write(data, length))
        CFileException::ThrowWriteError(errno, out.GetFilePath());
}

// Copies up to `length` bytes (all that remain when `length` is -1); returns the count.
uint64_t CopyBytes(CFile* in, CFile& out, uint64_t length = ~uint64_t(0)) {
    uint64_t copied = 0;
    char buffer[65536];
    while (in && copied < length) {
        const uint64_t want = std::min<uint64_t>(sizeof buffer, length - copied);
        const size_t got = in->Read(buffer, static_cast<size_t>(want));
        if (got == 0)
            break;
        Write(out, buffer, got);
        copied += got;
    }
    return copied;
}

// The copies before the file's own: the first `offset` bytes of the old backup file. When the
// old file is missing or shorter, zero bytes stand in for what it lacks, so the new copy
// still starts where its entry says.
void CopyEarlierCopies(CFile* old, CFile& out, uint64_t offset) {
    uint64_t copied = CopyBytes(old, out, offset);
    const char zeros[4096] = {};
    while (copied < offset) {
        const uint64_t n = std::min<uint64_t>(sizeof zeros, offset - copied);
        Write(out, zeros, static_cast<size_t>(n));
        copied += n;
    }
}

void SkipBytes(CFile* in, uint64_t length) {
    char buffer[65536];
    uint64_t skipped = 0;
    while (in && skipped < length) {
        const size_t got = in->Read(
            buffer, static_cast<size_t>(std::min<uint64_t>(sizeof buffer, length - skipped)));
        if (got == 0)
            break;
        skipped += got;
    }
}

std::string UnsignedText(unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu", value);
    return text;
}

// Writes the file's new copy into the new backup file and returns its entry line (without
// its line break). False, with the message shown, when the file or its ".Ntemp" copy cannot
// be read.
bool WriteNewCopy(CheckRunState& run, const std::string& mode, const std::string& indexPath,
                  const std::string& ntemp, CFile& out, TempFiles& temps, std::string& entry) {
    CMainFrame& frame = *run.frame;
    const std::string& path = run.path;
    int cause = 0;
    if (mode != "N") {
        CFile in;
        if (!in.Open(path, "rb", Share::DenyNone, &cause)) {
            Exclaim(CouldNotCheckText(path, cause));
            return false;
        }
        const uint64_t copied = CopyBytes(&in, out);
        in.Close();
        entry = BuildBackupIndexLine(path, mode, UnsignedText(copied), uint32_t(copied));
        return true;
    }

    frame.SetFileIv(indexPath);
    {
        CFile created;
        if (!created.Open(ntemp, "wb+", Share::DenyNone, &cause)) {
            Exclaim(CouldNotCheckText(path, cause));
            return false;
        }
        temps.Delete(ntemp);  // ciphertext only
    }
    uint32_t plainSize = 0;
    {
        CFile plain;
        if (!plain.Open(path, "rb", Share::DenyNone, &cause)) {
            Exclaim(CouldNotCheckText(path, cause));
            return false;
        }
        plainSize = uint32_t(plain.Length());
    }
    EncryptFileWithIv(frame.m_fileKey, ntemp, path, frame.m_fileIv);
    CFile in;
    if (!in.Open(ntemp, "rb", Share::DenyNone, &cause)) {
        Exclaim(CouldNotCheckText(path, cause));
        return false;
    }
    const uint64_t copied = CopyBytes(&in, out);
    in.Close();
    platform::RemoveFile(ntemp);
    temps.Keep(ntemp);
    entry = BuildBackupIndexLine(path, mode, double(copied), plainSize);
    return true;
}

// The lines of the decrypted backup index, read whole.
std::vector<std::string> ReadIndexCopy(const std::string& indexCopy) {
    CFile copy;
    copy.OpenOrThrow(indexCopy, "rb", Share::DenyAll);
    std::vector<std::string> lines;
    std::string line;
    while (copy.ReadLine(line)) lines.push_back(line);
    return lines;
}

}  // namespace

void RenewBackupCopy(CheckRunState& run) {
    CMainFrame& frame = *run.frame;
    const std::string& path = run.path;
    const std::string& database = run.view->m_databasePath;

    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    std::string indexLine, n;
    if (!FindDatabaseIndexLine(frame.m_fileKey, frame.m_indexIv, backupDir, database, indexLine) ||
        !IndexField(indexLine, 2, n)) {
        Exclaim("The backup copy of " + path + " was not renewed: " + database +
                " has no line in the Database Index.");
        return;
    }
    const std::string indexPath = BackupIndexPath(backupDir, n);
    const std::string filePath = BackupFilePath(backupDir, n);
    const std::string indexCopy = indexPath + "123456789z";
    // ".new" rather than a bare "1": "Backup Index 1" + "1" would be database 11's own index.
    const std::string newIndexPath = indexPath + ".new";
    const std::string newFilePath = filePath + ".new";
    const std::string ntemp = backupDir + FileNameOf(path) + ".Ntemp";

    // Temporary files an interrupted renewal left behind go first.
    for (const std::string& stale : {indexCopy, newIndexPath}) TempFiles::WipeIfPresent(stale);
    for (const std::string& stale : {newFilePath, ntemp})
        if (platform::FileExists(stale))
            platform::RemoveFile(stale);

    TempFiles temps;
    // A missing backup file holds no copies yet.
    CFile oldFile;
    int cause = 0;
    if (!oldFile.Open(filePath, "rb", Share::DenyNone, &cause) &&
        cause != CFileException::fileNotFound)
        throw CFileException(cause, filePath);
    CFile* old = oldFile.IsOpen() ? &oldFile : nullptr;

    frame.SetFileIv(indexPath);
    temps.Wipe(indexCopy);
    DecryptLinesWithIv(frame.m_fileKey, indexPath, indexCopy, frame.m_fileIv);
    const std::vector<std::string> lines = ReadIndexCopy(indexCopy);
    const BackupLookup lookup = FindBackupEntry(lines, path);
    const size_t before = lookup.found ? lookup.line : lines.size();
    double offset = 0;
    for (size_t i = 0; i < before; ++i) {
        BackupIndexEntry entry;
        if (ParseBackupIndexLine(lines[i], entry))
            offset += entry.copyLength;
    }

    CFile newIndex;
    newIndex.OpenOrThrow(newIndexPath, "wb+", Share::DenyAll);
    temps.Wipe(newIndexPath);
    for (size_t i = 0; i < before; ++i)
        if (!newIndex.PutS(lines[i]))
            CFileException::ThrowWriteError(errno, newIndexPath);

    CFile newFile;
    newFile.OpenOrThrow(newFilePath, "wb+");
    temps.Delete(newFilePath);
    CopyEarlierCopies(old, newFile, WholeUnits(offset));

    std::string mode;
    ReadSetting(settings::kBackupMode, mode);
    std::string entry;
    if (!WriteNewCopy(run, mode, indexPath, ntemp, newFile, temps, entry))
        return;

    if (lookup.found)
        SkipBytes(old, WholeUnits(lookup.entry.copyLength));
    CopyBytes(old, newFile);
    if (!newIndex.PutS(entry + "\n"))
        CFileException::ThrowWriteError(errno, newIndexPath);
    for (size_t i = before + (lookup.found ? 1 : 0); i < lines.size(); ++i)
        if (!newIndex.PutS(lines[i]))
            CFileException::ThrowWriteError(errno, newIndexPath);

    oldFile.Close();
    if (!newFile.Close())
        CFileException::ThrowWriteError(errno, newFilePath);
    if (!newIndex.Close())
        CFileException::ThrowWriteError(errno, newIndexPath);
    ReachAcceptStep(kStepNewBackupWritten);

    // The new index is encrypted beside the old one ("Backup Index <n>1" then holds
    // ciphertext), so the two stored files are replaced by two renames back to back.
    SecureDeleteFile(indexCopy);
    if (!platform::RenameFile(newIndexPath, indexCopy)) {
        ReportRenameFailure(newIndexPath, indexCopy);
        return;
    }
    EncryptFileWithIv(frame.m_fileKey, newIndexPath, indexCopy, frame.m_fileIv);
    temps.Keep(newIndexPath);
    temps.Delete(newIndexPath);
    SecureDeleteFile(indexCopy);
    ReachAcceptStep(kStepNewIndexEncrypted);

    if (!platform::ReplaceFile(newFilePath, filePath)) {
        ReportRenameFailure(newFilePath, filePath);
        return;
    }
    temps.Keep(newFilePath);
    ReachAcceptStep(kStepBackupFileReplaced);
    if (!platform::ReplaceFile(newIndexPath, indexPath)) {
        ReportRenameFailure(newIndexPath, indexPath);
        return;
    }
    temps.Keep(newIndexPath);
    ReachAcceptStep(kStepBackupIndexReplaced);
}
