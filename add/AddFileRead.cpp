// The add's one read of a file and the start of its backup copy.
#include "add/AddFileRead.h"

#include <algorithm>

#include "add/AddMessages.h"
#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileDigest.h"

namespace {
constexpr uint64_t kPiece = 64;
}  // namespace

namespace {
int g_commitAfterFiles = kAddCommitAfterFiles;
std::chrono::milliseconds g_commitAtMostEvery = kAddCommitAtMostEvery;
std::chrono::milliseconds g_commitAtLeastEvery = kAddCommitAtLeastEvery;
}  // namespace

bool AddCommitDue(int pending, std::chrono::steady_clock::duration since) {
    return (pending >= g_commitAfterFiles && since >= g_commitAtMostEvery) ||
           since >= g_commitAtLeastEvery;
}

void SetAddCommitPace(int files, std::chrono::milliseconds atMost,
                      std::chrono::milliseconds atLeast) {
    g_commitAfterFiles = files;
    g_commitAtMostEvery = atMost;
    g_commitAtLeastEvery = atLeast;
}

AddFileRead ReadFileToAdd(platform::CFile& file, BackupPair*& pair, PieceWatcher* watcher) {
    AddFileRead read;
    const int64_t measured = file.Length();
    const uint64_t length = measured > 0 ? uint64_t(measured) : 0;
    uint64_t offset = 0;
    const bool whole = DigestWhileReadingUpTo(
        file, length, read.digest, read.bytes, [&](const unsigned char* data, size_t n) {
            // Every whole piece of the measured length passes the watcher before it is taken.
            if (watcher) {
                const uint64_t upTo = std::min((offset + n) / kPiece, length / kPiece);
                for (uint64_t piece = offset / kPiece; piece < upTo; ++piece) {
                    if (!watcher->BeforePiece())
                        return false;
                }
            }
            if (pair) {
                try {
                    pair->WriteCopy(data, n);
                } catch (const CFileException& e) {
                    read.copyFailure = e;  // the copy is taken back out; the digest goes on
                    pair = nullptr;
                }
            }
            offset += n;
            return true;
        });
    if (!whole) {
        if (pair)
            pair->AbandonCopy();
        pair = nullptr;
        read.stopped = true;
    }
    return read;
}

BackupPair* StartBackupCopy(DatabaseFiles& files, const std::string& backupDir,
                            const std::string& databasePath, const std::string& path,
                            bool encrypted) {
    BackupPair* pair = files.Pair();
    if (pair == nullptr) {
        Ui().MessageBox(NoIndexLineMessage(databasePath), MbIcon::Exclamation);
        return nullptr;
    }
    if (pair->Damaged()) {
        Ui().MessageBox(DamagedPairAddMessage(DamagedPairText(databasePath, *pair)),
                        MbIcon::Exclamation);
        return nullptr;
    }
    platform::SetCurrentDirectory(backupDir);
    int cause = 0;
    if (!pair->BeginCopy(files.Tx(), encrypted, cause)) {
        Ui().MessageBox(BackupFileNotOpenedMessage(path, pair->FilePath(), cause),
                        MbIcon::Exclamation);
        return nullptr;
    }
    return pair;
}
