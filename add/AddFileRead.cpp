// The add's one read of a file and the start of its backup copy.
#include "add/AddFileRead.h"

#include <algorithm>
#include <vector>

#include "add/AddMessages.h"
#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/Md5.h"
#include "storage/SecureText.h"

namespace {
constexpr size_t kPiece = 64;
constexpr size_t kBuffer = size_t(1) << 16;  // a whole number of pieces
}  // namespace

AddFileRead ReadFileToAdd(platform::CFile& file, BackupPair*& pair, bool encrypted,
                          PieceWatcher* watcher) {
    AddFileRead read;
    const int64_t measured = file.Length();
    const uint64_t length = measured > 0 ? uint64_t(measured) : 0;
    const uint64_t copyLimit =
        (encrypted && length >= (uint64_t(1) << 32)) ? uint64_t(uint32_t(length)) : length;

    Md5Context md5;
    MD5Init(&md5);
    std::vector<unsigned char> buffer(kBuffer);
    uint64_t total = 0;
    while (total < length) {
        const size_t want = size_t(std::min<uint64_t>(kBuffer, length - total));
        const size_t n = file.Read(buffer.data(), want);
        if (n == 0)
            break;  // the file shrank
        // Every whole piece of the measured length passes the watcher before it is taken
        // (`total` is a whole number of pieces: only the last read can be short).
        if (watcher) {
            const uint64_t upTo = std::min((total + n) / kPiece, length / kPiece);
            for (uint64_t piece = total / kPiece; piece < upTo; ++piece) {
                if (!watcher->BeforePiece()) {
                    if (pair)
                        pair->AbandonCopy();
                    pair = nullptr;
                    WipeMemory(buffer.data(), buffer.size());
                    read.stopped = true;
                    return read;
                }
            }
        }
        MD5Update(&md5, buffer.data(), n);
        if (pair && total < copyLimit) {
            try {
                pair->WriteCopy(buffer.data(), size_t(std::min<uint64_t>(n, copyLimit - total)));
            } catch (const CFileException& e) {
                read.copyFailure = e;  // the copy is taken back out; the digest goes on
                pair = nullptr;
            }
        }
        total += n;
        if (n < want)
            break;
    }
    WipeMemory(buffer.data(), buffer.size());
    read.bytes = total;
    read.digest = DigestHex(MD5Final(&md5));
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
    platform::SetCurrentDirectory(backupDir);
    int cause = 0;
    if (!pair->BeginCopy(files.Tx(), encrypted, cause)) {
        Ui().MessageBox(BackupFileNotOpenedMessage(path, pair->FilePath(), cause),
                        MbIcon::Exclamation);
        return nullptr;
    }
    return pair;
}
