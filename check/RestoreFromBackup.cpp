// Restore from backup (choice 3 of "Changed file details."): "File restore from backup." asks
// what happens to the changed file; the file's entry is found in the database's backup pair,
// its copy is read where it lies in "Backup File <n>" (decrypted there in mode "N", so no
// copy of it is made anywhere) into the file's path + ".987654321z", which takes the changed
// file's permissions and owner and then takes its place, once the changed file is moved into
// the changed-files folder or at once. The database and the backup pair are not touched.
//
// Nothing the restore has not vouched for reaches the user's file: the bytes must have the
// digest kept with the copy (or, for a copy made before digests were kept, the digest of the
// file's record). An encrypted copy is held to it before anything is made beside the file,
// and every copy once more as it is written. The temporary file is noted in the prefix before
// it is made, created afresh (never through a file or link of that name) and written only
// through the stream of that creation; however the restore ends, none is left, and the
// changed file is never lost: it is replaced only by a whole, vouched original. The
// scheduled check restores the same way; only its status pane goes straight to "Ready" once
// the original's copy is made.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

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
#include "storage/BackupCopyReader.h"
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

bool AllZero(const uint8_t* data, size_t length) {
    return length > 0 && data[0] == 0 && std::memcmp(data, data + 1, length - 1) == 0;
}

// The status-bar progress of a loop over a copy: its caption and scaled total at once, then
// one step every step size of units, however the units come.
class CopyProgress {
  public:
    CopyProgress(CMainFrame& frame, const std::string& caption, uint64_t units)
        : m_frame(frame), m_scale(ScaleProgress(units)) {
        m_frame.BeginProgress(caption, static_cast<int>(m_scale.total));
    }
    void Count(uint64_t units) {
        for (m_since += units; m_since >= m_scale.step; m_since -= m_scale.step)
            m_frame.StepProgress();
    }

  private:
    CMainFrame& m_frame;
    ProgressScale m_scale;
    uint64_t m_since = 0;
};

class Restore {
  public:
    Restore(CMainFrame& frame, DatabaseFiles& files, Settings& settings, const std::string& file,
            const std::string& recordDigest, bool straightToReady)
        : m_frame(frame),
          m_files(files),
          m_settings(settings),
          m_file(file),
          m_recordDigest(recordDigest),
          m_straightToReady(straightToReady) {}
    ~Restore();
    void Run(int restoreMode);

  private:
    bool FindEntry();
    bool CopyVouchedFor(CFile& backup);
    bool WriteOriginal(CFile& backup, bool& vouched);
    bool CreateBeside(CFile& file, std::unique_ptr<PlaintextNote>& note, const std::string& path);
    bool DriveCheck();
    bool PutInPlace(int restoreMode);
    std::string DamagedPairRestoreText();
    std::string CopyRefusedText();
    bool MoveChangedFileAside(std::string& target);
    bool MoveNoted(const std::string& from, const std::string& to);
    void Fail(const std::string& text);

    CMainFrame& m_frame;
    DatabaseFiles& m_files;
    Settings& m_settings;
    std::string m_file;
    std::string m_recordDigest;  // the digest the check read in the file's record
    bool m_straightToReady;      // no "Processing..." once the original's copy is made
    BackupPair* m_pair = nullptr;
    std::string m_backupFilePath;
    BackupLookup m_lookup;
    uint64_t m_length = 0;     // the bytes the copy gives back
    std::string m_copyDigest;  // what they must digest to
    bool m_statusUsed = false;
    // The original beside the changed file, written only through the stream of its exclusive
    // creation. The stream is declared before its note, so a note that goes wipes the file
    // through the stream still open.
    CFile m_restoredFile;
    std::unique_ptr<PlaintextNote> m_restoredNote;
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

// The entry of the file in "Backup Index <n>", by the readers' rule, and the digest its copy
// must have: the one kept with the pair, or, for a copy made before digests were kept, the
// one of the file's record.
bool Restore::FindEntry() {
    m_pair = m_files.Pair();
    if (m_pair == nullptr) {
        Exclaim(CouldNotRestoreText(m_file));
        return false;
    }
    m_frame.SetFileIv(m_pair->IndexPath());
    m_backupFilePath = m_pair->FilePath();
    m_lookup = m_pair->Find(m_file);
    const bool digestKept = m_pair->CopyDigest(m_lookup, m_copyDigest);
    if (!m_lookup.found && m_pair->Damaged()) {
        Exclaim(DamagedPairRestoreText());
        return false;
    }
    if (!m_lookup.found) {
        Exclaim(m_file +
                " was not backed up. To enable restoration in future, change your settings "
                "with the 'Configuration' menu.");
        return false;
    }
    if (!RestoreLength(m_lookup.entry, m_length)) {
        Exclaim(CopyRefusedText());
        return false;
    }
    if (!digestKept)
        m_copyDigest = m_recordDigest;
    return true;
}

std::string Restore::DamagedPairRestoreText() {
    return "Couldn't restore " + m_file + ".\n" + DamagedPairText(m_files.DatabasePath(), *m_pair);
}

// Why a copy whose bytes are not those that were backed up is not restored.
std::string Restore::CopyRefusedText() {
    return "Couldn't restore " + m_file + ".\n" +
           RefusedCopyText(m_files.DatabasePath(), *m_pair, m_lookup, "restored");
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
// whatever happens, and created afresh: never through a file or a link that has its name.
// When it cannot be made, the drive says why, or the file and the cause are named.
bool Restore::CreateBeside(CFile& file, std::unique_ptr<PlaintextNote>& note,
                           const std::string& path) {
    note = m_frame.Store().NoteOf(path);
    int cause = 0;
    if (file.Open(path, "wb+x", Share::DenyAll, &cause)) {
        note->Attach(file);
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

// Mode "N": the encrypted copy is read and decrypted where it lies and held to its digest
// before anything is made beside the changed file.
bool Restore::CopyVouchedFor(CFile& backup) {
    m_statusUsed = true;
    CopyProgress progress(m_frame, "Initiating File Restoration...",
                          WholeUnits(m_lookup.entry.copyLength));
    BackupCopyReader reader(*m_pair, backup, m_lookup, m_length);
    const uint64_t given = reader.ReadAll([&](const uint8_t*, size_t n) {
        progress.Count(n);
        return true;
    });
    // The padding of the last block counts as the copy's bytes too.
    progress.Count(reader.StoredRead() - given);
    m_frame.EndProgress("Processing...");
    if (reader.Incomplete()) {
        Fail(IncompleteText(m_file, m_backupFilePath));
        return false;
    }
    if (given != m_length || reader.Digest() != m_copyDigest) {
        Fail(CopyRefusedText());
        return false;
    }
    return true;
}

// The original written into F + ".987654321z" from the copy, byte for byte with the status
// bar (one step per plain byte), and held to its digest once more: `vouched` tells. False
// when it could not be written whole (said).
bool Restore::WriteOriginal(CFile& backup, bool& vouched) {
    m_statusUsed = true;
    CopyProgress progress(m_frame, "Restoring File...", WholeUnits(m_lookup.entry.copyLength));
    BackupCopyReader reader(*m_pair, backup, m_lookup, m_length);
    bool written = true;
    const uint64_t given = reader.ReadAll([&](const uint8_t* data, size_t n) {
        // A piece of zero bytes is left a hole: a sparse original comes back sparse.
        written = AllZero(data, n) ? m_restoredFile.Seek(int64_t(n), SEEK_CUR)
                                   : m_restoredFile.Write(data, n);
        progress.Count(n);
        return written;
    });
    written = written && m_restoredFile.SetLength(int64_t(given));
    m_frame.EndProgress(m_straightToReady ? "Ready" : "Processing...");
    if (!written || !m_restoredFile.Sync()) {
        Fail(FileProblemText(m_file, RestoredPath(m_file), "written", CFileException::diskFull));
        return false;
    }
    if (reader.Incomplete()) {
        Fail(IncompleteText(m_file, m_backupFilePath));
        return false;
    }
    vouched = given == m_length && reader.Digest() == m_copyDigest;
    return true;
}

void Restore::Run(int restoreMode) {
    if (!FindEntry())
        return;
    // A missing backup file holds no bytes: only an empty copy can be restored from it.
    CFile backup;
    int cause = 0;
    if (!backup.Open(m_backupFilePath, "rbn", Share::DenyNone, &cause) &&
        !(cause == CFileException::fileNotFound && m_lookup.entry.copyLength == 0)) {
        Exclaim(FileProblemText(m_file, m_backupFilePath, "opened", cause));
        return;
    }
    if (IsEncryptedMode(m_lookup.entry.mode) && !CopyVouchedFor(backup))
        return;

    if (!CreateBeside(m_restoredFile, m_restoredNote, RestoredPath(m_file)))
        return;
    // The original comes back with the changed file's permissions, owner and group.
    platform::TakeModeAndOwner(m_restoredFile.Fd(), m_file);
    bool vouched = false;
    if (!WriteOriginal(backup, vouched))
        return;
    if (!vouched) {
        Fail(CopyRefusedText());
        return;
    }
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
    // Only the file made here takes the changed file's place, never one put at its name.
    if (!platform::NamesOpenFile(restored, m_restoredFile.Fd())) {
        Exclaim(CouldNotRestoreText(m_file));
        return false;
    }
    if (restoreMode == 0) {
        if (!platform::ReplaceFile(restored, m_file)) {
            Exclaim(CouldNotRestoreText(m_file));
            return false;
        }
        // The file is the user's now: the note may only wipe its old name. Unsynced, the note
        // stays until its own end syncs the folder again.
        m_restoredFile.Close();
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
        m_restoredFile.Close();
        if (platform::SyncFolderOf(m_file))
            m_restoredNote->Release();
        return true;
    }
    // The original cannot take the changed file's name: the changed file goes back, or, when
    // even that fails, both stay where they are and the user is told where.
    if (MoveNoted(target, m_file)) {
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
        if (!MoveNoted(m_file, target))
            return false;
        // The changed file is safe in its new folder only once that folder is on the disk.
        if (platform::SyncFolderOf(target))
            return true;
        MoveNoted(target, m_file);
        return false;
    }
    return false;
}

// A move of the user's file that may cross file systems: the copy it then makes is noted
// first, so that an interruption leaves no partial copy behind.
bool Restore::MoveNoted(const std::string& from, const std::string& to) {
    const std::string temp = CopyTempPath(to);
    const std::unique_ptr<PlaintextNote> note = m_frame.Store().NoteOf(temp);
    return platform::RenameFile(from, to, temp);
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
                    run.storedDigest, run.restoreStraightToReady);
    restore.Run(dialog.m_restoreMode);
}
