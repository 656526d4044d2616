// A database as an object: its stored (encrypted) file and its records in memory, the
// plaintext locked and wiped after use, so no working copy reaches the disk. It knows which
// paths it lists (the previously-listed rule below), takes new records at its end (only the last
// block is encrypted again), takes a rewritten plaintext (an acceptance), goes back to its first
// records (an undo), and stages its new stored form in a transaction together with the digest the
// "Database Index" must then hold.
#pragma once

#include <string>
#include <unordered_set>

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
    // The previously-listed rule: whether a record lists `path` as the file system names
    // files. The whole path counts, letter case included, the drive letter's aside; a record
    // whose path differs from it in letter case alone lists it too when both are one entry of
    // the file system (one that ignores letter case, or two hard links of one file), so the
    // same file is never added twice under such names.
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
    // Hashes a path with its letter case folded, so paths that differ in letter case alone
    // share a bucket.
    struct FoldedHash {
        size_t operator()(const std::string& path) const;
    };
    // Record paths (the drive letter upper-cased): made at the first Lists (a check never
    // asks).
    mutable std::unordered_set<std::string, FoldedHash> m_listed;
    mutable bool m_listedMade = false;
    std::string m_storedDigest;
    std::string m_stagedDigest;
};

// A path as the previously-listed rule keeps it: the drive letter upper-cased.
std::string ListedPathKey(std::string path);
