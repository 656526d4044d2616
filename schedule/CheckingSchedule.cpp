// The "Database Checking Schedule" held in memory.
#include "schedule/CheckingSchedule.h"

#include "app/ProtectedStore.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "schedule/ScheduleLine.h"
#include "storage/StoredFileNames.h"
#include "storage/Transaction.h"
#include "storage/WorkCopyStream.h"

CheckingSchedule::CheckingSchedule(ProtectedStore& store, std::string scheduleDir)
    : m_store(store),
      m_dir(std::move(scheduleDir)),
      m_path(CheckingSchedulePath(m_dir)),
      m_image(store.FileKey(), store.ScheduleIv(), LastBlockRule::ThroughLastNewline) {
    m_image.LoadEmpty();
}

void CheckingSchedule::Load() {
    // A change an interruption left half-done is finished or undone first.
    m_store.RecoverPending();
    if (!platform::FileExists(m_path)) {
        m_image.LoadEmpty();
        return;
    }
    int cause = 0;
    if (!m_image.Load(m_path, cause))
        throw CFileException(cause, m_path);
}

template <class Visit>
void CheckingSchedule::ForEachLine(Visit visit) const {
    for (std::string& line : LinesOf(m_image.Plain())) {
        visit(line);
        WipeText(line);
    }
}

bool CheckingSchedule::Damaged() const {
    bool damaged = false;
    ForEachLine([&](const std::string& line) { damaged = damaged || !ScheduleLineIsWhole(line); });
    return damaged;
}

std::vector<std::string> CheckingSchedule::Databases() const {
    std::vector<std::string> paths;
    ForEachLine([&](const std::string& line) { paths.push_back(ScheduledPathOf(line)); });
    return paths;
}

bool CheckingSchedule::Lists(const std::string& databasePath) const {
    for (const std::string& path : Databases())
        if (path == databasePath)
            return true;
    return false;
}

void CheckingSchedule::Add(const std::string& line) {
    m_image.AppendLine(line);
}

void CheckingSchedule::Remove(const std::string& databasePath) {
    SecureText kept;
    ForEachLine([&](const std::string& line) {
        if (!ScheduleLineBelongsTo(line, databasePath))
            kept.append(line.data(), line.size());
    });
    m_image.Replace(kept);
}

void CheckingSchedule::Commit() {
    if (!m_image.Changed())
        return;
    if (!platform::IsDirectory(m_dir))
        platform::CreateDirectory(m_dir);
    const auto tx = m_store.NewTransaction();
    tx->Stage(m_path, m_image.Stored());
    tx->Commit();
    m_image.MarkSaved();
}
