// Restore from backup (choice 3 of "Changed file details."): "File restore from backup." asks
// what happens to the changed file; the file's entry is found in "Backup Index <n>", its copy
// is cut out of "Backup File <n>" (and decrypted, in mode "N") into the file's path +
// ".987654321z", which then goes over the changed file or takes its place once the changed
// file is moved into the changed-files folder. The database and the backup pair are not
// touched. However the restore ends, no temporary file is left, and the changed file is never
// lost: it is overwritten only by a complete original.
#include <cstdint>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRunState.h"
#include "check/ProgressScale.h"
#include "check/RestoreDlg.h"
#include "database/ListView.h"
#include "platform/Drives.h"
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

const int kMaxChangedNumber = 9999;  // ".CHANGED", ".CHANGED1" ... ".CHANGED9999"

void Exclaim(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation);
}
void Inform(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Information);
}

std::string CouldNotRestoreText(const std::string& file) {
    return "Couldn't restore " + file + " at this time. Close the application and try again.";
}
std::string FileProblemText(const std::string& file, const std::string& other, const char* what,
                            int cause) {
    return "Couldn't restore " + file + ".\n" + other + " could not be " + what +
           ".\nReason: " + FileErrorName(cause);
}
std::string IncompleteText(const std::string& file, const std::string& backupFile) {
    return "Couldn't restore " + file + ".\nIts backup copy in " + backupFile + " is incomplete.";
}

// Copies up to `length` bytes, one at a time, with the status-bar progress; false when a
// write fails.
bool CopyWithProgress(CMainFrame& frame, const std::string& caption, CFile& in, CFile& out,
                      unsigned long length, unsigned long& copied) {
    const ProgressScale scale = ScaleProgress(length);
    frame.BeginProgress(caption, static_cast<int>(scale.total));
    copied = 0;
    unsigned long sinceStep = 0;
    while (copied < length) {
        const int c = in.GetC();
        if (c < 0)
            break;
        if (!out.PutC(c))
            return false;
        ++copied;
        if (++sinceStep == scale.step) {
            sinceStep = 0;
            frame.StepProgress();
        }
    }
    return true;
}

class Restore {
  public:
    Restore(CMainFrame& frame, const std::string& database, const std::string& file)
        : m_frame(frame), m_database(database), m_file(file) {}
    ~Restore();
    void Run(int restoreMode);

  private:
    bool FindEntry();
    bool DecryptCopy(CFile& backup, CFile& source);
    bool DriveCheck();
    bool PutInPlace(int restoreMode);
    bool MoveChangedFileAside(std::string& target);
    void Fail(const std::string& text);

    CMainFrame& m_frame;
    std::string m_database, m_file;
    std::string m_backupDir, m_indexPath, m_backupFilePath;
    BackupLookup m_lookup;
    bool m_statusUsed = false;
    TempFiles m_temps;
};

Restore::~Restore() {
    if (m_frame.m_progressActive)
        m_frame.EndProgress("Ready");
}

void Restore::Fail(const std::string& text) {
    if (m_statusUsed) {
        if (m_frame.m_progressActive)
            m_frame.EndProgress("Ready");
        else
            Ui().SetStatusText("Ready");
    }
    Exclaim(text);
}

// The entry of the file in "Backup Index <n>", by the readers' rule.
bool Restore::FindEntry() {
    std::string indexLine, n;
    if (!FindDatabaseIndexLine(m_frame.m_fileKey, m_frame.m_indexIv, m_backupDir, m_database,
                               indexLine) ||
        !IndexField(indexLine, 2, n)) {
        Exclaim(CouldNotRestoreText(m_file));
        return false;
    }
    m_indexPath = BackupIndexPath(m_backupDir, n);
    m_backupFilePath = BackupFilePath(m_backupDir, n);
    const std::string indexCopy = m_indexPath + "123456789z";

    m_frame.SetFileIv(m_indexPath);
    m_temps.Wipe(indexCopy);
    DecryptLinesWithIv(m_frame.m_fileKey, m_indexPath, indexCopy, m_frame.m_fileIv);
    std::vector<std::string> lines;
    {
        CFile copy;
        int cause = 0;
        if (!copy.Open(indexCopy, "rb", Share::DenyAll, &cause)) {
            Exclaim(FileProblemText(m_file, indexCopy, "opened", cause));
            return false;
        }
        std::string line;
        while (copy.ReadLine(line)) lines.push_back(line);
    }
    SecureDeleteFile(indexCopy);
    m_temps.Keep(indexCopy);
    m_lookup = FindBackupEntry(lines, m_file);
    if (!m_lookup.found) {
        Exclaim(m_file +
                " was not backed up. To enable restoration in future, change your settings "
                "with the 'Configuration' menu.");
        return false;
    }
    return true;
}

// A temporary file beside the changed file could not be created: a removable, optical or
// network drive says why. True when it did; any other drive gives no message.
bool Restore::DriveCheck() {
    const size_t colon = m_file.find(':');
    const std::string drive = colon == std::string::npos ? m_file : m_file.substr(0, colon + 1);
    switch (platform::GetDriveType(drive)) {
        case platform::DRIVE_REMOVABLE:
            Inform("There is no media in " + drive);
            return true;
        case platform::DRIVE_CDROM:
            Inform("Quillstead cannot restore a file to an optical drive.");
            return true;
        case platform::DRIVE_REMOTE:
            Inform(m_file + " is on an unaccessable network drive.");
            return true;
        default:
            return false;
    }
}

// Mode "N": the encrypted copy is cut out into F + ".Ntemp" and decrypted into F + ".Ptemp",
// which becomes the source.
bool Restore::DecryptCopy(CFile& backup, CFile& source) {
    const std::string ptemp = m_file + ".Ptemp";
    const std::string ntemp = m_file + ".Ntemp";
    const unsigned long length = WholeUnits(m_lookup.entry.copyLength);
    unsigned long copied = 0;
    {
        CFile plain, cipher;
        if (!plain.Open(ptemp, "wb+", Share::DenyAll)) {
            DriveCheck();
            return false;
        }
        m_temps.Wipe(ptemp);
        if (!cipher.Open(ntemp, "wb+", Share::DenyAll)) {
            DriveCheck();
            return false;
        }
        m_temps.Wipe(ntemp);
        backup.Seek(static_cast<int64_t>(WholeUnits(m_lookup.offset)), SEEK_SET);
        m_statusUsed = true;
        const bool written = CopyWithProgress(m_frame, "Initiating File Restoration...", backup,
                                              cipher, length, copied);
        m_frame.EndProgress("Processing...");
        if (!written || !cipher.Close()) {
            Fail(FileProblemText(m_file, ntemp, "written", CFileException::diskFull));
            return false;
        }
    }
    if (copied < length) {
        Fail(IncompleteText(m_file, m_backupFilePath));
        return false;
    }
    m_frame.DecryptFileWithIvToLength(ntemp, ptemp, m_frame.m_fileIv, m_lookup.entry.plainSize);
    SecureDeleteFile(ntemp);
    m_temps.Keep(ntemp);
    backup.Close();
    int cause = 0;
    if (!source.Open(ptemp, "rb", Share::DenyAll, &cause)) {
        Fail(FileProblemText(m_file, ptemp, "opened", cause));
        return false;
    }
    return true;
}

void Restore::Run(int restoreMode) {
    ReadSetting(settings::kBackupDir, m_backupDir);
    if (!FindEntry())
        return;
    const bool encrypted = m_lookup.entry.mode == "N";

    // A missing backup file holds no bytes: only an empty copy can be restored from it.
    CFile backup;
    int cause = 0;
    if (!backup.Open(m_backupFilePath, "rb", Share::DenyNone, &cause) &&
        cause != CFileException::fileNotFound) {
        Exclaim(FileProblemText(m_file, m_backupFilePath, "opened", cause));
        return;
    }
    CFile decrypted;
    CFile* source = &backup;
    if (encrypted) {
        if (!DecryptCopy(backup, decrypted))
            return;
        source = &decrypted;
    } else {
        backup.Seek(static_cast<int64_t>(WholeUnits(m_lookup.offset)), SEEK_SET);
    }

    const std::string restored = m_file + ".987654321z";
    CFile out;
    if (!out.Open(restored, "wb", Share::DenyNone, &cause)) {
        if (m_statusUsed)
            Ui().SetStatusText("Ready");
        // The original has nowhere to go: the drive says why, or the cause is named.
        if (!DriveCheck())
            Exclaim(FileProblemText(m_file, restored, "created", cause));
        return;
    }
    m_temps.Wipe(restored);
    const unsigned long length = WholeUnits(m_lookup.entry.copyLength);
    unsigned long copied = 0;
    m_statusUsed = true;
    const bool written =
        CopyWithProgress(m_frame, "Restoring File...", *source, out, length, copied);
    m_frame.EndProgress("Processing...");
    if (!written || !out.Close()) {
        Fail(FileProblemText(m_file, restored, "written", CFileException::diskFull));
        return;
    }
    if (!encrypted && copied < length) {
        Fail(IncompleteText(m_file, m_backupFilePath));
        return;
    }
    source->Close();
    if (encrypted) {
        SecureDeleteFile(m_file + ".Ptemp");
        m_temps.Keep(m_file + ".Ptemp");
    }
    Ui().SetStatusText("Ready");
    m_statusUsed = false;

    if (PutInPlace(restoreMode))
        Inform(m_file + " successfully restored.");
}

// Mode 0 copies the original over the changed file; any other mode moves the changed file
// into the changed-files folder first.
bool Restore::PutInPlace(int restoreMode) {
    const std::string restored = m_file + ".987654321z";
    if (restoreMode == 0) {
        if (!platform::CopyFile(restored, m_file, false)) {
            Exclaim(CouldNotRestoreText(m_file));
            return false;
        }
        platform::RemoveFile(restored);
        m_temps.Keep(restored);
        return true;
    }
    std::string target;
    if (!MoveChangedFileAside(target)) {
        Exclaim(CouldNotRestoreText(m_file));
        return false;
    }
    if (platform::RenameFile(restored, m_file)) {
        m_temps.Keep(restored);
        return true;
    }
    // The original cannot take the changed file's name: the changed file goes back, or, when
    // even that fails, both stay where they are and the user is told where.
    if (platform::RenameFile(target, m_file)) {
        Exclaim(CouldNotRestoreText(m_file));
    } else {
        m_temps.Keep(restored);
        Exclaim(CouldNotRestoreText(m_file) + "\nThe original is in " + restored +
                " and the changed file is in " + target + ".");
    }
    return false;
}

// The changed file under the first free name of the changed-files folder: its name followed
// by ".CHANGED", then ".CHANGED1", ".CHANGED2" and so on. A missing folder is made.
bool Restore::MoveChangedFileAside(std::string& target) {
    std::string folder;
    ReadSetting(settings::kChangedFilesDir, folder);
    if (folder.empty())
        return false;
    if (!platform::IsDirectory(folder))
        platform::CreateDirectory(folder);

    const size_t slash = m_file.rfind('\\');
    const std::string name =
        (slash == std::string::npos || slash == 0) ? m_file : m_file.substr(slash + 1);
    for (int number = 0; number <= kMaxChangedNumber; ++number) {
        target = folder + name + ".CHANGED";
        if (number > 0)
            target += std::to_string(number);
        if (platform::FileExists(target))
            continue;
        // A name that is free but cannot be taken means no other name can be either.
        return platform::RenameFile(m_file, target);
    }
    return false;
}

}  // namespace

void RestoreFileFromBackup(CheckRunState& run, const CChangedFileDetailsDlg& details) {
    CMainFrame& frame = *run.frame;
    CRestoreDlg dialog(&frame);
    dialog.m_pathLine1 = details.m_pathLine1;
    dialog.m_pathLine2 = details.m_pathLine2;
    dialog.m_pathLine3 = details.m_pathLine3;
    dialog.m_restoreMode = 1;
    // Cancel, or the close box, leaves the changed file as it is.
    if (dialog.DoModal() != IDOK)
        return;

    const std::string file = details.m_pathLine1 + details.m_pathLine2 + details.m_pathLine3;
    Restore restore(frame, run.view->m_databasePath, file);
    restore.Run(dialog.m_restoreMode);
}
