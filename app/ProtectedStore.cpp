// The owner of the prefix's protected files: the key in a locked page, the vectors, the
// folders, recovery, and the storage objects it hands out.
#include "app/ProtectedStore.h"

#include <new>

#include "app/Settings.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "storage/BackupPair.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/PlaintextNote.h"
#include "storage/SecureText.h"
#include "storage/StoredDatabase.h"
#include "storage/Transaction.h"

namespace {
// A whole page: SecureAllocate locks it and keeps it out of core dumps.
constexpr size_t kKeyPage = 4096;
}  // namespace

ProtectedStore::ProtectedStore(const Key& key)
    : m_key(new (SecureAllocate(kKeyPage)) Key(key)),
      m_indexIv(IvFromText("Database Index")),
      m_scheduleIv(IvFromText("Database Checking Schedule")) {}

ProtectedStore::~ProtectedStore() {
    SecureRelease(m_key, kKeyPage);  // wiped before it is given back
}

bool ProtectedStore::BackupDir(Settings& settings, std::string& dir) const {
    return settings.BackupDir(dir);
}

bool ProtectedStore::ScheduleDir(Settings& settings, std::string& dir) const {
    return settings.ScheduleDir(dir);
}

void ProtectedStore::RecoverAll() {
    std::string backupDir;
    platform::RegReadValue(settings::kBackupDir, backupDir);
    Tell(RecoverStorage(FileKey(), m_indexIv, backupDir));
}

void ProtectedStore::RecoverPending() {
    Tell(::RecoverPending(FileKey()));
}

void ProtectedStore::Tell(const RecoveryReport& report) {
    for (const std::string& path : report.unreadableRecords)
        if (m_told.insert(path).second)
            Ui().MessageBox(UnreadableRecordText(path), MbIcon::Exclamation);
    for (const std::string& path : report.unreadableNotes)
        if (m_told.insert(path).second)
            Ui().MessageBox(UnreadableNoteText(path), MbIcon::Exclamation);
}

std::unique_ptr<DatabaseFiles> ProtectedStore::DatabaseFilesOf(const std::string& backupDir,
                                                               const std::string& databasePath) {
    RecoverPending();
    return std::make_unique<DatabaseFiles>(FileKey(), m_indexIv, backupDir, databasePath);
}

std::unique_ptr<DatabaseIndexImage> ProtectedStore::IndexOf(const std::string& backupDir) {
    RecoverPending();
    auto index = std::make_unique<DatabaseIndexImage>(FileKey(), m_indexIv, backupDir);
    index->Load();
    return index;
}

std::unique_ptr<StoredDatabase> ProtectedStore::DatabaseOf(const std::string& databasePath) {
    RecoverPending();
    return std::make_unique<StoredDatabase>(FileKey(), databasePath);
}

std::unique_ptr<BackupPair> ProtectedStore::PairOf(const std::string& backupDir,
                                                   const std::string& n) {
    RecoverPending();
    return std::make_unique<BackupPair>(FileKey(), backupDir, n);
}

std::unique_ptr<Transaction> ProtectedStore::NewTransaction() {
    RecoverPending();
    return std::make_unique<Transaction>(FileKey());
}

std::unique_ptr<PlaintextNote> ProtectedStore::NoteOf(const std::string& path) {
    return std::make_unique<PlaintextNote>(FileKey(), path);
}
