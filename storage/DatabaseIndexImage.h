// The "Database Index" as an object: its lines in memory (locked, wiped after use), the one
// rule by which a database finds its line (the first line that begins with the whole path
// followed by 0x7F), the changes a command makes to it (a database's digest, its
// last-checked time, a new database's line), and its new form staged in a transaction. The
// line format and its field readers are DatabaseIndex.h's.
#pragma once

#include <string>
#include <vector>

#include "platform/WinTypes.h"
#include "storage/ProtectedImage.h"

class Transaction;

class DatabaseIndexImage {
  public:
    DatabaseIndexImage(const Key& key, const Iv& indexIv, std::string backupDir);

    // Reads the index; a missing index has no lines, unless `mustExist`. Raises the file
    // exception (naming the index) when it cannot be read or is not a whole number of blocks.
    void Load(bool mustExist = false);
    const std::string& Path() const { return m_path; }
    const std::string& BackupDir() const { return m_backupDir; }

    // Every line, line breaks included, in the file's order.
    std::vector<std::string> Lines() const;
    // The database's line (see above); false when none belongs to it.
    bool FindLine(const std::string& databasePath, std::string& line) const;
    // Field 2 and field 5 of that line; false when there is no line or it is too short.
    bool BackupNumber(const std::string& databasePath, std::string& n) const;
    bool Digest(const std::string& databasePath, std::string& digest) const;

    // Field 5 of every line of the database becomes `digest` (all else kept).
    void SetDigest(const std::string& databasePath, const std::string& digest);
    // Every line of the database gets the last-checked time.
    void SetLastChecked(const std::string& databasePath, const FILETIME& checked);
    // A new line at the end (the text without its line break).
    void AddLine(const std::string& line);

    bool Changed() const { return m_image.Changed(); }
    // Stages the new form when it changed.
    void Stage(Transaction& tx);
    void MarkSaved() { m_image.MarkSaved(); }

  private:
    template <class Rewrite>
    void RewriteLinesOf(const std::string& databasePath, Rewrite rewrite);

    std::string m_backupDir;
    std::string m_path;
    ProtectedImage m_image;
};
