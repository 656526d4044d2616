// The transaction of a change to the stored files, and its recovery.
#include "storage/Transaction.h"

#include <algorithm>
#include <cerrno>
#include <set>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/StopPoints.h"
#include "storage/StoredFileNames.h"

namespace {

// The records of this process's transactions that are still alive: recovery before a command
// leaves them to their owners.
std::set<std::string>& LiveRecords() {
    static std::set<std::string> live;
    return live;
}

// The record goes before any stored file is touched; a record that cannot be written (a full
// disk) ends the change before it began.
void RecordOrThrow(const Key& key, const std::string& recordPath, const TransactionRecord& record,
                   const std::string& about) {
    errno = 0;
    if (!WriteRecoveryFile(key, recordPath, FormatTransactionRecord(record)))
        CFileException::ThrowWriteError(errno, about);
}

// Forces the folder's entries to the disk, or ends the change naming `about`.
void SyncFolderOrThrow(const std::string& path, const std::string& about) {
    errno = 0;
    if (!platform::SyncFolderOf(path))
        CFileException::ThrowWriteError(errno, about);
}

// The rename is on the disk only once its folder is synced. One done before an interruption
// is synced again as far as the folder can be (its drive may be gone).
void PutInPlace(const TransactionRecord::Staged& s) {
    if (!platform::FileExists(s.staged)) {
        platform::SyncFolderOf(s.target);
        return;
    }
    if (!platform::ReplaceFile(s.staged, s.target))
        throw CFileException(platform::LastFileErrorCause(), s.target);
    SyncFolderOrThrow(s.target, s.target);
}

void Undo(const TransactionRecord& record) noexcept {
    // Gone for good before the record goes.
    for (const auto& s : record.staged)
        if (platform::FileExists(s.staged) && platform::RemoveFile(s.staged))
            platform::SyncFolderOf(s.staged);
    for (const auto& a : record.appended) {
        const int64_t now = platform::FileLength(a.path);
        if (now > a.length)
            platform::TruncateFile(a.path, a.length);
    }
}

}  // namespace

Transaction::Transaction(const Key& key) : m_key(key), m_recordPath(NewTransactionRecordPath()) {
    LiveRecords().insert(m_recordPath);
}

Transaction::~Transaction() {
    Abort();
    LiveRecords().erase(m_recordPath);
}

void Transaction::WriteRecord() {
    RecordOrThrow(
        m_key, m_recordPath, m_record,
        m_record.staged.empty() ? m_record.appended.front().path : m_record.staged.back().target);
}

std::string Transaction::StagePath(const std::string& target) {
    const std::string staged = StagedPath(target);
    auto same = [&](const TransactionRecord::Staged& s) { return s.target == target; };
    auto it = std::find_if(m_record.staged.begin(), m_record.staged.end(), same);
    if (it == m_record.staged.end()) {
        m_record.staged.push_back({target, staged});
        WriteRecord();
    }
    // A staged file of this transaction that is written again starts afresh.
    if (platform::FileExists(staged) && it != m_record.staged.end())
        platform::RemoveFile(staged);
    return staged;
}

void Transaction::Stage(const std::string& target, const std::string& bytes) {
    const std::string staged = StagePath(target);
    platform::CFile out;
    int cause = 0;
    if (!out.Open(staged, "wbx", platform::Share::DenyAll, &cause))
        throw CFileException(cause, target);
    const bool ok = out.Write(bytes.data(), bytes.size()) && out.Sync() && out.Close();
    if (!ok) {
        out.Close();
        platform::RemoveFile(staged);
        throw CFileException(CFileException::diskFull, target);
    }
    StorageStop("staged");
}

void Transaction::WillAppend(const std::string& path) {
    for (const auto& a : m_record.appended)
        if (a.path == path)
            return;
    const int64_t length = platform::FileLength(path);
    m_record.appended.push_back({path, length < 0 ? 0 : length});
    WriteRecord();
    StorageStop("append noted");
}

void Transaction::Commit() {
    if (!Pending())
        return;
    for (const auto& a : m_record.appended) {
        errno = 0;
        if (!platform::SyncFile(a.path))
            CFileException::ThrowWriteError(errno, a.path);
    }
    // The staged files' names, not only their bytes, must be on the disk before the mark.
    std::set<std::string> folders;
    for (const auto& s : m_record.staged)
        if (folders.insert(platform::FolderOf(s.target)).second)
            SyncFolderOrThrow(s.staged, s.target);
    if (!m_record.staged.empty()) {
        // Committed in memory only once the mark is on disk: until then an undo is right.
        TransactionRecord marked = m_record;
        marked.committed = true;
        RecordOrThrow(m_key, m_recordPath, marked, m_record.staged.back().target);
        m_record.committed = true;
        StorageStop("commit recorded");
        for (const auto& s : m_record.staged) {
            PutInPlace(s);
            StorageStop("staged file in place");
        }
    }
    platform::RemoveHostFile(m_recordPath);
    m_record = TransactionRecord();
    StorageStop("committed");
}

void Transaction::Abort() noexcept {
    if (!Pending())
        return;
    if (m_record.committed) {
        // Past its mark a commit can only be finished: what could not be put in place now
        // stays recorded for recovery.
        try {
            for (const auto& s : m_record.staged) PutInPlace(s);
        } catch (...) {
            m_record = TransactionRecord();
            return;
        }
    } else {
        Undo(m_record);
    }
    platform::RemoveHostFile(m_recordPath);
    m_record = TransactionRecord();
}

bool RecoverTransaction(const Key& key, std::vector<std::string>* unreadable) {
    bool any = false;
    for (const std::string& path : TransactionRecordPaths()) {
        if (LiveRecords().count(path) != 0)
            continue;
        std::string text;
        TransactionRecord record;
        // A record that does not read cannot be finished or undone: it stays, and is named.
        if (!ReadRecoveryFile(key, path, text) || !ParseTransactionRecord(text, record)) {
            if (unreadable)
                unreadable->push_back(path);
            continue;
        }
        if (record.committed) {
            for (const auto& s : record.staged) PutInPlace(s);
        } else {
            Undo(record);
        }
        platform::RemoveHostFile(path);
        any = true;
    }
    return any;
}
