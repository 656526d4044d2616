// The user's changes to the checking schedule, and the lists they choose from.
#include "schedule/ScheduleEdits.h"

#include <algorithm>
#include <memory>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/Ui.h"
#include "schedule/CheckingSchedule.h"
#include "schedule/ScheduleLine.h"
#include "storage/DatabaseIndex.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/Recovery.h"

namespace {

void Refuse(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation, MbButtons::Ok);
}

// The schedule read from the folder of its setting; false when the setting cannot be read.
bool LoadSchedule(CMainFrame& frame, std::unique_ptr<CheckingSchedule>& schedule) {
    std::string dir;
    if (!ReadSetting(settings::kScheduleDir, dir))
        return false;
    schedule = std::make_unique<CheckingSchedule>(frame.m_fileKey, frame.m_scheduleIv, dir);
    schedule->Load();
    return true;
}

// The schedule's own fields of a new line: the settings as they stand.
ScheduleFields CurrentFields() {
    ScheduleFields fields;
    ReadSetting(settings::kIntervalHours, fields.hours);
    ReadSetting(settings::kIntervalMinutes, fields.minutes);
    ReadSetting(settings::kIntervalSeconds, fields.seconds);
    ReadSetting(settings::kScheduleMode, fields.mode);
    return fields;
}

}  // namespace

std::vector<std::string> IndexedDatabases(CMainFrame& frame) {
    std::vector<std::string> databases;
    std::string backupDir;
    if (!ReadSetting(settings::kBackupDir, backupDir))
        return databases;
    RecoverPending(frame.m_fileKey);
    DatabaseIndexImage index(frame.m_fileKey, frame.m_indexIv, backupDir);
    index.Load();
    for (std::string& line : index.Lines()) {
        std::string path;
        if (IndexField(line, 1, path) && !path.empty())
            databases.push_back(path);
        WipeText(line);
    }
    return databases;
}

std::vector<std::string> ScheduledDatabases(CMainFrame& frame) {
    std::unique_ptr<CheckingSchedule> schedule;
    if (!LoadSchedule(frame, schedule))
        return {};
    return schedule->Databases();
}

bool AddToSchedule(CMainFrame& frame, const std::string& databasePath) {
    std::unique_ptr<CheckingSchedule> schedule;
    if (!LoadSchedule(frame, schedule))
        return false;
    const std::vector<std::string> indexed = IndexedDatabases(frame);
    if (std::find(indexed.begin(), indexed.end(), databasePath) == indexed.end()) {
        Refuse(databasePath + " is not listed in the Database Index and cannot be scheduled.");
        return false;
    }
    if (schedule->Lists(databasePath)) {
        Refuse(databasePath + " is already in the Database Checking Schedule.");
        return false;
    }
    schedule->Add(BuildScheduleLine(databasePath, CurrentFields()));
    schedule->Commit();
    return true;
}

bool RemoveFromSchedule(CMainFrame& frame, const std::string& databasePath) {
    std::unique_ptr<CheckingSchedule> schedule;
    if (!LoadSchedule(frame, schedule))
        return false;
    if (!schedule->Lists(databasePath)) {
        Refuse(databasePath + " is not in the Database Checking Schedule.");
        return false;
    }
    schedule->Remove(databasePath);
    schedule->Commit();
    return true;
}
