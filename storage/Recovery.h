// What the start-up does, after the password, before anything uses the stored files: it
// finishes or undoes the transaction an interruption left (Transaction.h), puts in place or
// wipes the plaintext files the notes name (PlaintextNote.h), and removes what earlier
// versions of the program and interrupted commands left under the names StoredFileNames.h
// gives: plaintext working copies and rewrites (wiped), staged and ".Ntemp" files (deleted).
// Commands call RecoverPending before they use a database or a backup pair, which repeats
// the first two steps only when something is pending.
#pragma once

#include <string>

#include "storage/Crypto.h"

void RecoverStorage(const Key& key, const Iv& indexIv, const std::string& backupDir);
void RecoverPending(const Key& key);

// What a name in the backup folder is, for the clean-up.
enum class LeftoverKind { None, Plaintext, Ciphertext };
LeftoverKind ClassifyBackupFolderName(const std::string& name);
