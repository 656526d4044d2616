// The backup copy of an added file and its "Backup Index <n>" line.
#include "add/BackupCopy.h"

#include <cerrno>

#include "add/AddCleanup.h"
#include "add/AddMessages.h"
#include "add/BackupDatabase.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "database/ListView.h"
#include "platform/Drives.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

// Appends every byte of `source` (at most the length it had when the copy began) to `out`.
// Returns the number of bytes copied. A failed write closes `out` (so nothing more reaches
// the file) and raises the file exception; the caller's guard then cuts the file back.
double CopyBytes(platform::CFile& source, platform::CFile& out, const std::string& outName) {
    const int64_t limit = source.Length();
    double count = 0;
    for (int64_t copied = 0; copied < limit; ++copied) {
        const int c = source.GetC();
        if (c < 0)
            break;
        if (!out.PutC(c)) {
            const int err = errno;
            out.Close();
            CFileException::ThrowWriteError(err, outName);
        }
        count += 1;
    }
    if (!out.Close())
        CFileException::ThrowWriteError(errno, outName);
    return count;
}

// Appends the entry line to "Backup Index <n>" through its plaintext copy.
void AppendIndexEntry(CMainFrame& frame, const std::string& backupIndex, const std::string& line) {
    const std::string plain = backupIndex + "123456789z";
    TempFiles temps;
    temps.Wipe(plain);
    frame.SetFileIv(backupIndex);
    DecryptLinesWithIv(frame.m_fileKey, backupIndex, plain, frame.m_fileIv);
    {
        platform::CFile index;
        index.OpenOrThrow(plain, "at", platform::Share::DenyAll);
        if (!index.PutS(line + "\n"))
            CFileException::ThrowWriteError(errno, backupIndex);
        if (!index.Close())
            CFileException::ThrowWriteError(errno, backupIndex);
    }
    EncryptFileWithIv(frame.m_fileKey, backupIndex, plain, frame.m_fileIv);
    SecureDeleteFile(plain);
    temps.Keep(plain);
}

}  // namespace

void BackUpAddedFile(CListview& view, const std::string& path, platform::CFile& file,
                     uint32_t plainSize) {
    CMainFrame& frame = view.GetParentFrame();
    ReadSetting(settings::kBackupDir, view.m_backupDirectory);
    const std::string dir = view.m_backupDirectory;

    // The backup number n, looked up before anything is appended.
    std::string indexLine, n;
    if (!FindDatabaseIndexLine(frame.m_fileKey, frame.m_indexIv, dir, view.m_databasePath,
                               indexLine) ||
        !IndexField(indexLine, 2, n)) {
        Ui().MessageBox(NoIndexLineMessage(view.m_databasePath), MbIcon::Exclamation);
        return;
    }
    const std::string backupIndex = BackupIndexPath(dir, n);

    std::string mode;
    ReadSetting(settings::kBackupMode, mode);
    TempFiles temps;  // the ".Ntemp" copy holds only ciphertext: it is deleted, not wiped
    const std::string temp = dir + NameAfterLastBackslash(path) + ".Ntemp";
    platform::CFile encrypted;
    platform::CFile* source = &file;
    if (mode == "N") {
        frame.SetFileIv(backupIndex);
        file.Close();
        temps.Delete(temp);
        {
            platform::CFile create;
            create.OpenOrThrow(temp, "wb");
            if (!create.Close())
                CFileException::ThrowWriteError(errno, temp);
        }
        EncryptFileWithIv(frame.m_fileKey, temp, path, frame.m_fileIv);
        encrypted.OpenOrThrow(temp, "rb+");
        source = &encrypted;
    }

    platform::SetCurrentDirectory(dir);
    const std::string backupFile = BackupFilePath(dir, n);
    platform::CFile out;
    int cause = 0;
    if (!out.Open(backupFile, "ab", platform::Share::DenyNone, &cause)) {
        Ui().MessageBox(BackupFileNotOpenedMessage(path, backupFile, cause), MbIcon::Exclamation);
        return;
    }
    TruncateOnExit takeBack(backupFile, out.Length());
    const double copyLength = CopyBytes(*source, out, backupFile);
    if (source == &encrypted) {
        encrypted.Close();
        temps.DeleteNow(temp);
    }

    AppendIndexEntry(frame, backupIndex, BuildBackupIndexLine(path, mode, copyLength, plainSize));
    takeBack.Commit();
}
