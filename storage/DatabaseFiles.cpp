// A command's hold on a database's stored files.
#include "storage/DatabaseFiles.h"

DatabaseFiles::DatabaseFiles(const Key& key, const Iv& indexIv, std::string backupDir,
                             std::string databasePath)
    : m_key(key),
      m_backupDir(std::move(backupDir)),
      m_index(key, indexIv, m_backupDir),
      m_database(key, std::move(databasePath)),
      m_tx(key) {}

DatabaseFiles::~DatabaseFiles() {
    // The pair's unfinished copy goes before the transaction cuts the file back.
    m_pair.reset();
    m_tx.Abort();
}

DatabaseFiles::Opened DatabaseFiles::Open(int& cause, bool indexMustExist) {
    if (!m_database.Load(cause))
        return Opened::Unreadable;
    m_index.Load(indexMustExist);
    std::string kept;
    // A database without a line in the index has no digest to be held to.
    if (m_index.Digest(DatabasePath(), kept) && kept != m_database.StoredFileDigest())
        return Opened::Changed;
    return Opened::Ok;
}

bool DatabaseFiles::BackupNumber(std::string& n) const {
    return m_index.BackupNumber(DatabasePath(), n);
}

BackupPair* DatabaseFiles::Pair() {
    if (!m_pair) {
        std::string n;
        if (!BackupNumber(n))
            return nullptr;
        auto pair = std::make_unique<BackupPair>(m_key, m_backupDir, n);
        pair->Open();
        m_pair = std::move(pair);
    }
    return m_pair.get();
}

bool DatabaseFiles::Commit() {
    if (m_database.Changed()) {
        if (!m_database.FileUnchangedSinceRead()) {
            m_tx.Abort();
            return false;
        }
        m_index.SetDigest(DatabasePath(), m_database.Stage(m_tx));
    }
    if (m_pair)
        m_pair->Stage(m_tx);
    m_index.Stage(m_tx);
    m_tx.Commit();
    m_database.MarkSaved();
    m_index.MarkSaved();
    if (m_pair)
        m_pair->MarkSaved();
    return true;
}
