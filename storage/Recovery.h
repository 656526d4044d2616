// What the start-up does, after the password, before anything uses the stored files: it
// finishes or undoes the transaction an interruption left (Transaction.h), puts in place or
// wipes the plaintext files the notes name (PlaintextNote.h), and removes what earlier
// versions of the program and interrupted commands left under the names StoredFileNames.h
// gives: plaintext working copies and rewrites (wiped), staged and ".Ntemp" files (deleted).
// Commands call RecoverPending before they use a database or a backup pair, which repeats
// the first two steps only when something is pending.
//
// What recovery cannot read it cannot decide: a record or a note that does not decrypt into
// its lines is left where it is, and reported for the user to be told; while a record stays
// unread, the staged files beside the stored files stay too (they may be its commit).
#pragma once

#include <string>
#include <vector>

#include "storage/Crypto.h"

struct RecoveryReport {
    std::vector<std::string> unreadableRecords;  // host paths of transaction records
    std::vector<std::string> unreadableNotes;    // host paths of plaintext notes
    bool Empty() const { return unreadableRecords.empty() && unreadableNotes.empty(); }
};

RecoveryReport RecoverStorage(const Key& key, const Iv& indexIv, const std::string& backupDir);
RecoveryReport RecoverPending(const Key& key);

// What the user is told of a record or a note recovery could not read.
std::string UnreadableRecordText(const std::string& hostPath);
std::string UnreadableNoteText(const std::string& hostPath);

// What a name in the backup folder is, for the clean-up.
enum class LeftoverKind { None, Plaintext, Ciphertext };
LeftoverKind ClassifyBackupFolderName(const std::string& name);
