// The commit rule every change to the stored files follows. A change that touches more than
// one stored file (a database and its digest in the "Database Index"; "Backup File <n>" and
// "Backup Index <n>"; all of them at once) is one transaction:
//   1. each new form of a stored file is written beside it (Stage), never over it, and a
//      stored file that grows in place (a backup file) has its length noted first
//      (WillAppend); the record of what is staged and appended is in the prefix before any
//      of it is written;
//   2. Commit syncs what was written, marks the record committed, and renames each staged
//      file over its target;
//   3. an interruption before the mark is undone by recovery (staged files removed, grown
//      files cut back), one after it is finished (the remaining renames done).
// A transaction that is left without Commit (a failure on its way) is undone at once. Nothing
// here shows anything; failures raise the file exception naming the stored file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/Crypto.h"
#include "storage/RecoveryRecord.h"

class Transaction {
  public:
    explicit Transaction(const Key& key);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Writes the new form of the stored file `target` beside it, complete and synced. A
    // second Stage of the same target replaces the first.
    void Stage(const std::string& target, const std::string& bytes);
    // Registers a staged file the caller writes itself (created exclusively at the returned
    // path, which the caller must sync before Commit).
    std::string StagePath(const std::string& target);
    // The stored file is about to grow in place: its length now is where an undo cuts it.
    void WillAppend(const std::string& path);

    // Puts everything staged in place; what was appended stays. The transaction can then be
    // used again for the next change.
    void Commit();
    // Removes everything staged and cuts appended files back. Never raises.
    void Abort() noexcept;

    bool Pending() const { return !m_record.staged.empty() || !m_record.appended.empty(); }

  private:
    void WriteRecord();

    const Key& m_key;          // the store's; never copied
    std::string m_recordPath;  // this transaction's own record in the prefix
    TransactionRecord m_record;
};

// Finishes or undoes every transaction an interruption left (see Recovery.h for the rest of
// the start-up's work). True when there was one. A record that does not read is left where
// it is and its path added to `unreadable`.
bool RecoverTransaction(const Key& key, std::vector<std::string>* unreadable = nullptr);
