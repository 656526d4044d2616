// Notes of plaintext files beside users' files, and their recovery.
#include "storage/PlaintextNote.h"

#include <cerrno>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/ProtectedFile.h"
#include "storage/RecoveryRecord.h"
#include "storage/StopPoints.h"

PlaintextNote::PlaintextNote(const Key& key, std::string path)
    : m_key(key), m_path(std::move(path)), m_notePath(NewPlaintextNotePath()) {
    PlaintextNoteRecord note;
    note.path = m_path;
    errno = 0;
    if (!WriteRecoveryFile(m_key, m_notePath, FormatPlaintextNote(note)))
        CFileException::ThrowWriteError(errno, m_path);
    StorageStop("plaintext noted");
}

PlaintextNote::~PlaintextNote() {
    if (!m_released) {
        if (m_file != nullptr && m_file->IsOpen())
            WipeOpenFile(*m_file, m_path);
        else
            WipeIfPresent(m_path);
        // Until its folder is on the disk the file may come back: the note stays for recovery.
        if (!platform::SyncFolderOf(m_path))
            return;
    }
    platform::RemoveHostFile(m_notePath);
}

void PlaintextNote::FinishTo(const std::string& target) {
    PlaintextNoteRecord note;
    note.path = m_path;
    note.finish = target;
    // Without the finishing note the file is only wiped by recovery, which loses nothing
    // the user had: the changed file is still where it was moved.
    WriteRecoveryFile(m_key, m_notePath, FormatPlaintextNote(note));
    StorageStop("plaintext complete");
}

void PlaintextNote::Release() {
    m_released = true;
    platform::RemoveHostFile(m_notePath);
}

int RecoverPlaintextNotes(const Key& key, std::vector<std::string>* unreadable) {
    int handled = 0;
    for (const std::string& notePath : PlaintextNotePaths()) {
        std::string text;
        PlaintextNoteRecord note;
        // A note that does not read names no file to wipe: it stays, and is named.
        if (!ReadRecoveryFile(key, notePath, text) || !ParsePlaintextNote(text, note)) {
            if (unreadable)
                unreadable->push_back(notePath);
            continue;
        }
        const bool finish = !note.finish.empty() && platform::FileExists(note.path) &&
                            !platform::IsSymbolicLink(note.path) &&
                            !platform::FileExists(note.finish);
        const bool finished = finish && platform::RenameFile(note.path, note.finish);
        if (!finished)
            WipeIfPresent(note.path);
        ++handled;
        // The note goes once the folder holds what was done.
        if (platform::SyncFolderOf(note.path))
            platform::RemoveHostFile(notePath);
    }
    return handled;
}
