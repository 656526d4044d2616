// Restore from backup (choice 3 of "Changed file details."): "File restore from backup." asks
// what happens to the changed file; the file's entry is found in the database's backup pair,
// its copy is cut out of "Backup File <n>" (and decrypted, in mode "N") into the file's path +
// ".987654321z", which takes the changed file's permissions and owner and then takes its
// place, once the changed file is moved into the changed-files folder or at once. The
// database and the backup pair are not touched. Every temporary file beside the user's file
// is noted in the prefix before it is made and created afresh (never through a file or link
// of that name); however the restore ends, none is left, and the changed file is never lost:
// it is replaced only by a complete original. The scheduled check restores the same way; only
// its status pane goes straight to "Ready" once the original's copy is made.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "app/WorkFilesView.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRunState.h"
#include "check/ProgressScale.h"
#include "check/RestoreDlg.h"
#include "platform/Drives.h"
#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/PlaintextNote.h"
#include "storage/ProtectedFile.h"
#include "storage/StopPoints.h"
#include "storage/StoredFileNames.h"

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

// Creates a temporary file beside the user's file, afresh: never through a file or a link
// that has its name.
bool CreateAfresh(CFile& file, const std::string& path, int& cause) {
    return file.Open(path, "wb+x", Share::DenyAll, &cause);
}

class Restore {
  public:
    Restore(CMainFrame& frame, DatabaseFiles& files, Settings& settings, const std::string& file,
            bool straightToReady)
        : m_frame(frame),
          m_files(files),
          m_settings(settings),
          m_file(file),
          m_straightToReady(straightToReady) {}
    ~Restore();
    void Run(int restoreMode);

  private:
    bool FindEntry();
    bool DecryptCopy(CFile& backup, CFile& source);
    bool CreateBeside(CFile& file, std::unique_ptr<PlaintextNote>& note, const std::string& path);
    bool DriveCheck();
    bool PutInPlace(int restoreMode);
    bool MoveChangedFileAside(std::string& target);
    void Fail(const std::string& text);

    CMainFrame& m_frame;
    DatabaseFiles& m_files;
    Settings& m_settings;
    std::string m_file;
    bool m_straightToReady;  // no "Processing..." once the original's copy is made
    std::string m_backupFilePath;
    BackupLookup m_lookup;
    bool m_statusUsed = false;
    // Declared before the streams on their files, so the streams close before the wipes.
    std::unique_ptr<PlaintextNote> m_cipherNote, m_plainNote, m_restoredNote;
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
    BackupPair* pair = m_files.Pair();
    if (pair == nullptr) {
        Exclaim(CouldNotRestoreText(m_file));
        return false;
    }
    m_frame.SetFileIv(pair->IndexPath());
    m_backupFilePath = pair->FilePath();
    m_lookup = pair->Find(m_file);
    if (!m_lookup.found) {
        Exclaim(m_file +
                " was not backed up. To enable restoration in future, change your settings "
                "with the 'Configuration' menu.");
        return false;
    }
    return true;
}

// A temporary file could not be made beside the changed file: a removable, optical or
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

// A temporary file beside the changed file, noted first so that a later start wipes it
// whatever happens. When it cannot be made, the drive says why, or the file and the cause are
// named.
bool Restore::CreateBeside(CFile& file, std::unique_ptr<PlaintextNote>& note,
                           const std::string& path) {
    note = std::make_unique<PlaintextNote>(m_frame.m_fileKey, path);
    int cause = 0;
    if (CreateAfresh(file, path, cause)) {
        StorageStop("restore file made");
        return true;
    }
    note->Release();  // nothing was made: nothing of ours to wipe
    note.reset();
    if (m_statusUsed)
        Ui().SetStatusText("Ready");
    if (!DriveCheck())
        Exclaim(FileProblemText(m_file, path, "created", cause));
    return false;
}

// Mode "N": the encrypted copy is cut out into F + ".Ntemp" and decrypted into F + ".Ptemp",
// which becomes the source.
bool Restore::DecryptCopy(CFile& backup, CFile& source) {
    const std::string ptemp = RestorePlainPath(m_file);
    const std::string ntemp = RestoreCipherPath(m_file);
    const unsigned long length = WholeUnits(m_lookup.entry.copyLength);
    unsigned long copied = 0;
    {
        CFile plain, cipher;
        if (!CreateBeside(plain, m_plainNote, ptemp) || !CreateBeside(cipher, m_cipherNote, ntemp))
            return false;
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
    m_cipherNote.reset();  // wiped
    backup.Close();
    int cause = 0;
    if (!source.Open(ptemp, "rbn", Share::DenyAll, &cause)) {
        Fail(FileProblemText(m_file, ptemp, "opened", cause));
        return false;
    }
    return true;
}

void Restore::Run(int restoreMode) {
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

    const std::string restored = RestoredPath(m_file);
    CFile out;
    if (!CreateBeside(out, m_restoredNote, restored))
        return;
    // The original comes back with the changed file's permissions, owner and group.
    platform::TakeModeAndOwner(out.Fd(), m_file);
    const unsigned long length = WholeUnits(m_lookup.entry.copyLength);
    unsigned long copied = 0;
    m_statusUsed = true;
    const bool written =
        CopyWithProgress(m_frame, "Restoring File...", *source, out, length, copied);
    m_frame.EndProgress(m_straightToReady ? "Ready" : "Processing...");
    if (!written || !out.Sync() || !out.Close()) {
        Fail(FileProblemText(m_file, restored, "written", CFileException::diskFull));
        return;
    }
    if (!encrypted && copied < length) {
        Fail(IncompleteText(m_file, m_backupFilePath));
        return;
    }
    source->Close();
    m_plainNote.reset();  // F + ".Ptemp" wiped
    if (!m_straightToReady)
        Ui().SetStatusText("Ready");
    m_statusUsed = false;

    m_restoredNote->FinishTo(m_file);
    if (PutInPlace(restoreMode))
        Inform(m_file + " successfully restored.");
}

// The original takes the changed file's place: at once in mode 0, or once the changed file is
// moved into the changed-files folder.
bool Restore::PutInPlace(int restoreMode) {
    const std::string restored = RestoredPath(m_file);
    if (restoreMode == 0) {
        if (!platform::ReplaceFile(restored, m_file)) {
            Exclaim(CouldNotRestoreText(m_file));
            return false;
        }
        // Unsynced, the note stays until its own end syncs the folder again.
        if (platform::SyncFolderOf(m_file))
            m_restoredNote->Release();
        return true;
    }
    std::string target;
    if (!MoveChangedFileAside(target)) {
        Exclaim(CouldNotRestoreText(m_file));
        return false;
    }
    StorageStop("changed file moved aside");
    if (platform::RenameFile(restored, m_file)) {
        if (platform::SyncFolderOf(m_file))
            m_restoredNote->Release();
        return true;
    }
    // The original cannot take the changed file's name: the changed file goes back, or, when
    // even that fails, both stay where they are and the user is told where.
    if (platform::RenameFile(target, m_file)) {
        Exclaim(CouldNotRestoreText(m_file));
    } else {
        m_restoredNote->Release();
        Exclaim(CouldNotRestoreText(m_file) + "\nThe original is in " + restored +
                " and the changed file is in " + target + ".");
    }
    return false;
}

// The changed file under the first free name of the changed-files folder: its name followed
// by ".CHANGED", then ".CHANGED1", ".CHANGED2" and so on. A missing folder is made.
bool Restore::MoveChangedFileAside(std::string& target) {
    std::string folder;
    m_settings.ChangedFilesDir(folder);
    if (folder.empty())
        return false;
    if (!platform::IsDirectory(folder))
        platform::CreateDirectory(folder);

    const size_t slash = m_file.rfind('\\');
    const std::string name =
        (slash == std::string::npos || slash == 0) ? m_file : m_file.substr(slash + 1);
    for (int number = 0; number <= kMaxChangedNumber; ++number) {
        target = ChangedFilePath(folder, name, number);
        if (platform::FileExists(target))
            continue;
        // A name that is free but cannot be taken means no other name can be either.
        if (!platform::RenameFile(m_file, target))
            return false;
        // The changed file is safe in its new folder only once that folder is on the disk.
        if (platform::SyncFolderOf(target))
            return true;
        platform::RenameFile(target, m_file);
        return false;
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
    Settings ownSettings;
    Restore restore(frame, run.view->WorkFiles(), run.settings ? *run.settings : ownSettings, file,
                    run.restoreStraightToReady);
    restore.Run(dialog.m_restoreMode);
}
