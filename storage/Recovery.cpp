// The start-up's recovery of the stored files.
#include "storage/Recovery.h"

#include <cstring>

#include "platform/Drives.h"
#include "platform/Durable.h"
#include "platform/File.h"
#include "storage/DatabaseIndex.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/PlaintextNote.h"
#include "storage/ProtectedFile.h"
#include "storage/RecoveryRecord.h"
#include "storage/StoredFileNames.h"
#include "storage/Transaction.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

void Remove(const std::string& path, LeftoverKind kind) {
    if (kind == LeftoverKind::Plaintext)
        WipeIfPresent(path);
    else if (platform::FileExists(path))
        platform::RemoveFile(path);
}

}  // namespace

LeftoverKind ClassifyBackupFolderName(const std::string& name) {
    if (name == DatabaseIndexWorkPath("") || name == DatabaseIndexRewritePath(""))
        return LeftoverKind::Plaintext;
    // The plain index copies and the rewrites of a renewal (a plain backup file's rewrite
    // holds the user's bytes as they are), of numbered pairs only.
    for (const std::string& stem : {BackupIndexPath("", ""), BackupFilePath("", "")}) {
        for (const char* tail : {kIndexCopySuffix, kRenewalSuffix}) {
            if (!StartsWith(name, stem) || !EndsWith(name, tail) ||
                name.size() <= stem.size() + std::strlen(tail))
                continue;
            const std::string n =
                name.substr(stem.size(), name.size() - stem.size() - std::strlen(tail));
            if (n.find_first_not_of("0123456789") == std::string::npos)
                return LeftoverKind::Plaintext;
        }
    }
    if (EndsWith(name, kBackupTempSuffix) || EndsWith(name, kStagedSuffix))
        return LeftoverKind::Ciphertext;
    return LeftoverKind::None;
}

std::string UnreadableRecordText(const std::string& hostPath) {
    return "The recovery record " + hostPath +
           " cannot be read, so the change it describes can be neither finished nor undone. "
           "It is left where it is, and so are the files staged beside the stored files.";
}

std::string UnreadableNoteText(const std::string& hostPath) {
    return "The recovery note " + hostPath +
           " cannot be read: the plaintext file it names may still be on the disk. It is left "
           "where it is.";
}

RecoveryReport RecoverPending(const Key& key) {
    RecoveryReport report;
    RecoverTransaction(key, &report.unreadableRecords);
    RecoverPlaintextNotes(key, &report.unreadableNotes);
    // A note interrupted while it was being written never took its name.
    for (const std::string& name : platform::ListHostFolder(RecoveryFolder(), ""))
        if (EndsWith(name, ".tmp"))
            platform::RemoveHostFile(RecoveryFolder() + "/" + name);
    return report;
}

RecoveryReport RecoverStorage(const Key& key, const Iv& indexIv, const std::string& backupDir) {
    const RecoveryReport report = RecoverPending(key);
    if (backupDir.empty())
        return report;
    // A staged file may be the commit of a record that cannot be read.
    const bool keepStaged = !report.unreadableRecords.empty();

    const std::string hostDir = platform::HostPath(backupDir);
    for (const std::string& name : platform::ListHostFolder(hostDir, "")) {
        const LeftoverKind kind = ClassifyBackupFolderName(name);
        if (kind != LeftoverKind::None && !(keepStaged && EndsWith(name, kStagedSuffix)))
            Remove(backupDir + name, kind);
    }

    // Beside each database: its plaintext working copy, its rewrite, and a staged form that
    // no transaction claims.
    DatabaseIndexImage index(key, indexIv, backupDir);
    try {
        index.Load();
    } catch (...) {
        return report;  // an unreadable index names no databases; the commands report it
    }
    for (const std::string& line : index.Lines()) {
        std::string database;
        if (!IndexField(line, 1, database) || database.empty())
            continue;
        Remove(DatabaseWorkCopyPath(database), LeftoverKind::Plaintext);
        Remove(DatabaseRewritePath(database), LeftoverKind::Plaintext);
        if (!keepStaged)
            Remove(StagedPath(database), LeftoverKind::Ciphertext);
    }
    return report;
}
