// One command's hold on the stored files of a database: the database itself, the
// "Database Index", and (when the command asks for it) the database's backup pair, with the
// transaction that commits their changes together. Opening (after the store has run
// whatever recovery is pending) reads the index and the database, and tells whether the database is
// the one the program last wrote (its digest is the one its index line keeps). A commit stages the
// new database with its new digest in the index, and the pair's new index, and puts them in place
// at once. Whatever is left uncommitted when the object goes is undone.
#pragma once

#include <memory>
#include <string>

#include "storage/BackupPair.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/StoredDatabase.h"
#include "storage/Transaction.h"

class DatabaseFiles {
  public:
    DatabaseFiles(const Key& key, const Iv& indexIv, std::string backupDir,
                  std::string databasePath);
    ~DatabaseFiles();
    DatabaseFiles(const DatabaseFiles&) = delete;
    DatabaseFiles& operator=(const DatabaseFiles&) = delete;

    enum class Opened {
        Ok,
        Unreadable,  // the database file cannot be read: `cause` says why
        Changed,     // its digest is not the one its index line keeps
    };
    // Raises the file exception when the index cannot be read, or (`indexMustExist`, as the
    // check asks) is missing.
    Opened Open(int& cause, bool indexMustExist = false);

    const std::string& DatabasePath() const { return m_database.Path(); }
    const std::string& BackupDir() const { return m_backupDir; }
    StoredDatabase& Database() { return m_database; }
    DatabaseIndexImage& Index() { return m_index; }
    Transaction& Tx() { return m_tx; }
    const Key& FileKey() const { return m_key; }

    // The database's backup number; false when it has no index line.
    bool BackupNumber(std::string& n) const;
    // The backup pair, opened on first use; null when the database has no index line.
    BackupPair* Pair();

    // Stages everything that changed and commits it. False (nothing committed, everything
    // staged undone) when the stored database was changed behind the program's back since it
    // was read.
    bool Commit();
    // Drops what is staged and appended since the last commit.
    void Abort() noexcept { m_tx.Abort(); }

  private:
    const Key& m_key;  // the store's; never copied
    std::string m_backupDir;
    DatabaseIndexImage m_index;
    StoredDatabase m_database;
    std::unique_ptr<BackupPair> m_pair;
    Transaction m_tx;
};
