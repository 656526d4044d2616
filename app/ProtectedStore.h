// The one owner of the prefix's protected files. It holds the only copy of the key (in a
// locked page, kept out of core dumps and wiped when the store closes), the vectors of the
// "Database Index" and of the "Database Checking Schedule", and the one way the folders of
// the stored files are read from the settings. It hands out the storage objects (a
// database's files, the "Database Index", a database alone, a backup pair, a transaction,
// a note of a plaintext file) and runs whatever recovery is pending before it hands one out,
// so no command can use a stored file that an interruption left half-changed. Commands ask
// the store; they never assemble a key, a vector and a folder themselves. The objects it
// hands out refer to its key and must not outlive it.
#pragma once

#include <memory>
#include <set>
#include <string>

#include "storage/Crypto.h"
#include "storage/Recovery.h"

class BackupPair;
class DatabaseFiles;
class DatabaseIndexImage;
class PlaintextNote;
class Settings;
class StoredDatabase;
class Transaction;

class ProtectedStore {
  public:
    // Takes a copy of the key (the caller wipes its own).
    explicit ProtectedStore(const Key& key);
    ~ProtectedStore();
    ProtectedStore(const ProtectedStore&) = delete;
    ProtectedStore& operator=(const ProtectedStore&) = delete;

    // For the storage objects and the protected-file operations only.
    const Key& FileKey() const { return *m_key; }
    const Iv& IndexIv() const { return m_indexIv; }
    const Iv& ScheduleIv() const { return m_scheduleIv; }

    // The folders of the stored files, read through the command's settings (a failed read
    // shows "Registry error." once for the command and leaves `dir` as it was).
    bool BackupDir(Settings& settings, std::string& dir) const;
    bool ScheduleDir(Settings& settings, std::string& dir) const;

    // The start-up's recovery (and the close's): what an interruption left half-done is
    // finished or undone and every plaintext copy left behind is wiped. The backup folder is
    // read without a word: the program is starting or ending, and a command that needs the
    // folder says so itself.
    void RecoverAll();
    // What an interruption left pending, before a stored file is used.
    void RecoverPending();
    // Either recovery names each record or note it cannot read, once while the program runs.

    // The stored files of a database for one command (not opened yet).
    std::unique_ptr<DatabaseFiles> DatabaseFilesOf(const std::string& backupDir,
                                                   const std::string& databasePath);
    // The "Database Index", read; raises the file exception when it cannot be read.
    std::unique_ptr<DatabaseIndexImage> IndexOf(const std::string& backupDir);
    // A database alone (not read yet), for the list.
    std::unique_ptr<StoredDatabase> DatabaseOf(const std::string& databasePath);
    // A database's backup pair (not opened yet).
    std::unique_ptr<BackupPair> PairOf(const std::string& backupDir, const std::string& n);
    // A transaction for a change no group object makes (a new database and its pair).
    std::unique_ptr<Transaction> NewTransaction();
    // The note of a plaintext file about to be made outside the program's folders; raises
    // the file exception when it cannot be written.
    std::unique_ptr<PlaintextNote> NoteOf(const std::string& path);

  private:
    void Tell(const RecoveryReport& report);

    Key* m_key;  // in a locked page of its own
    Iv m_indexIv;
    Iv m_scheduleIv;
    std::set<std::string> m_told;  // the unreadable records and notes already named
};
