// A database as an object: its stored (encrypted) file and its records in memory, the
// plaintext locked and wiped after use, so no working copy reaches the disk. It knows which
// paths it lists (the previously-listed rule, storage/ListedPaths.h), takes new records at its
// end (only the last block is encrypted again), takes a rewritten plaintext (an acceptance),
// goes back to its first records (an undo), and stages its new stored form in a transaction
// together with the digest the "Database Index" must then hold.
#pragma once

#include <string>

#include "storage/ListedPaths.h"
#include "storage/ProtectedImage.h"

class Transaction;

class StoredDatabase {
  public:
    StoredDatabase(const Key& key, std::string path);

    const std::string& Path() const { return m_path; }
    // Reads and decrypts the stored file; false with the cause when it cannot be read.
    bool Load(int& cause);
    // An empty database (a new one).
    void LoadEmpty();

    const SecureText& Plain() const { return m_image.Plain(); }
    // The number of record lines (a last line without its line break counts too).
    int RecordCount() const { return m_recordCount; }
    // Whether a record lists `path`, by the previously-listed rule (storage/ListedPaths.h).
    bool Lists(const std::string& path) const;

    // A record line, its line break included, added at the end.
    void AppendRecord(const std::string& line);
    // A new plaintext in place of the old one.
    void Replace(const SecureText& plain);
    // Keeps only the first `records` record lines.
    void KeepFirstRecords(int records);

    // The digest of the stored file as it was read (or last committed).
    const std::string& StoredFileDigest() const { return m_storedDigest; }
    // Whether the file on disk still holds what this object read or committed last. Raises
    // the file exception when it cannot be read.
    bool FileUnchangedSinceRead() const;

    bool Changed() const { return m_image.Changed(); }
    // Stages the new stored form and returns its digest.
    std::string Stage(Transaction& tx);
    // After the commit: the staged form is what the file holds now.
    void MarkSaved();

  private:
    void IndexRecords();
    void MakeListed() const;

    std::string m_path;
    ProtectedImage m_image;
    int m_recordCount = 0;
    // The records' paths: made at the first Lists (a check never asks).
    mutable ListedPaths m_listed;
    mutable bool m_listedMade = false;
    std::string m_storedDigest;
    std::string m_stagedDigest;
};
