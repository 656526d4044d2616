// The add's one read of a file (through the one digest reader, storage/FileDigest.h): its
// bytes, from its start, go into the MD5 digest and, when
// the file is being backed up, into its copy at the end of "Backup File <n>", so every added
// file is read once. At most the length the file had when it was opened is read, so a file
// that grows meanwhile (the backup file itself, met in a folder walk) is never chased. A
// watcher may take part in every whole 64-byte piece before it is taken (the walk-and-add
// loop polls Cancel and moves its bar there). Shared by the add of one file and the loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileException.h"

namespace platform {
class CFile;
}
class BackupPair;
class DatabaseFiles;

// An add of many files stores what it added after a few hundred files (but not more than
// four times a second, whose rewrites would then cost more than the files) or after a second,
// whichever comes first, so an interruption loses little.
constexpr int kAddCommitAfterFiles = 300;
constexpr std::chrono::milliseconds kAddCommitAtMostEvery(250);
constexpr std::chrono::milliseconds kAddCommitAtLeastEvery(1000);
bool AddCommitDue(int pending, std::chrono::steady_clock::duration since);
// Tests make commits come after every file (files 1, both times 0); the program never calls it.
void SetAddCommitPace(int files, std::chrono::milliseconds atMost,
                      std::chrono::milliseconds atLeast);

class PieceWatcher {
  public:
    // Before each whole 64-byte piece; false stops the read (no digest then).
    virtual bool BeforePiece() = 0;

  protected:
    ~PieceWatcher() = default;
};

struct AddFileRead {
    bool stopped = false;  // the watcher stopped the read; the copy was taken back out
    std::string digest;    // 32 lower-case hexadecimal characters
    uint64_t bytes = 0;    // the bytes read
    // The copy could not be written: it was taken back out and `pair` set to null.
    std::optional<CFileException> copyFailure;
};

// Reads the open `file` from its start. `pair` is the backup pair whose copy has begun
// (null for none); the copy holds every byte read, however large the file.
AddFileRead ReadFileToAdd(platform::CFile& file, BackupPair*& pair,
                          PieceWatcher* watcher = nullptr);

// Begins the backup copy of `path` at the end of "Backup File <n>" (the process's current
// folder becomes the backup folder). Null, with the message shown, when the database has no
// line in the "Database Index", its backup files are damaged (they are then left as they
// are) or the backup file cannot be opened to append.
BackupPair* StartBackupCopy(DatabaseFiles& files, const std::string& backupDir,
                            const std::string& databasePath, const std::string& path,
                            bool encrypted);
