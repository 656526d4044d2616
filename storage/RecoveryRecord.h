// The notes the storage keeps in the prefix's "recovery" folder so that an interruption at
// any moment can be finished or undone at the next start: the record of the transaction in
// progress (which stored files are staged beside their targets, which ones grow in place
// and from what length, and whether the commit has begun), and one note for each plaintext
// file a restore makes beside a user's file. Both are encrypted under the key (they name the
// user's files), one field per 0x7F-separated line. This file owns their format, their
// names and their reading and writing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/Crypto.h"

struct TransactionRecord {
    bool committed = false;
    struct Staged {
        std::string target, staged;
    };
    struct Appended {
        std::string path;
        int64_t length = 0;
    };
    std::vector<Staged> staged;
    std::vector<Appended> appended;
};

struct PlaintextNoteRecord {
    std::string path;    // the plaintext file
    std::string finish;  // when not empty: the file is complete and belongs at this name
};

// Host paths in the prefix.
std::string RecoveryFolder();
// A new transaction's record name, unique in this process (two transactions never share one).
std::string NewTransactionRecordPath();
// The transaction records that exist now (host paths).
std::vector<std::string> TransactionRecordPaths();
// A new note's name, unique in this process.
std::string NewPlaintextNotePath();
// The notes that exist now (host paths).
std::vector<std::string> PlaintextNotePaths();

std::string FormatTransactionRecord(const TransactionRecord& record);
bool ParseTransactionRecord(const std::string& text, TransactionRecord& record);
std::string FormatPlaintextNote(const PlaintextNoteRecord& note);
bool ParsePlaintextNote(const std::string& text, PlaintextNoteRecord& note);

// Encrypted writing and reading of a note file (host path). Write: false when it cannot be
// written; Read: false when it is missing or does not decrypt into a note.
bool WriteRecoveryFile(const Key& key, const std::string& hostPath, const std::string& text);
bool ReadRecoveryFile(const Key& key, const std::string& hostPath, std::string& text);
