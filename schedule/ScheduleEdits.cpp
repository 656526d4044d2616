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

namespace {

void Refuse(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation, MbButtons::Ok);
}

// The schedule read from the folder of its setting; false when the setting cannot be read or
// the schedule is damaged (said).
bool LoadSchedule(CMainFrame& frame, Settings& settings,
                  std::unique_ptr<CheckingSchedule>& schedule) {
    ProtectedStore& store = frame.Store();
    std::string dir;
    if (!store.ScheduleDir(settings, dir))
        return false;
    schedule = std::make_unique<CheckingSchedule>(store, dir);
    schedule->Load();
    if (schedule->Damaged()) {
        Ui().MessageBox("The Database Checking Schedule " + schedule->Path() +
                            " is damaged and cannot be read.",
                        MbIcon::Exclamation);
        return false;
    }
    return true;
}

// The schedule's own fields of a new line: the settings as they stand.
ScheduleFields CurrentFields(Settings& settings) {
    int hours = 0, minutes = 0, seconds = 0;
    settings.IntervalHours(hours);
    settings.IntervalMinutes(minutes);
    settings.IntervalSeconds(seconds);
    ScheduleFields fields;
    fields.hours = std::to_string(hours);
    fields.minutes = std::to_string(minutes);
    fields.seconds = std::to_string(seconds);
    settings.ScheduleMode(fields.mode);
    return fields;
}

std::vector<std::string> IndexedDatabases(CMainFrame& frame, Settings& settings) {
    std::vector<std::string> databases;
    ProtectedStore& store = frame.Store();
    std::string backupDir;
    if (!store.BackupDir(settings, backupDir))
        return databases;
    for (std::string& line : store.IndexOf(backupDir)->Lines()) {
        std::string path;
        if (IndexField(line, 1, path) && !path.empty())
            databases.push_back(path);
        WipeText(line);
    }
    return databases;
}

}  // namespace

std::vector<std::string> IndexedDatabases(CMainFrame& frame) {
    Settings settings;
    return IndexedDatabases(frame, settings);
}

std::vector<std::string> ScheduledDatabases(CMainFrame& frame) {
    Settings settings;
    std::unique_ptr<CheckingSchedule> schedule;
    if (!LoadSchedule(frame, settings, schedule))
        return {};
    return schedule->Databases();
}

bool AddToSchedule(CMainFrame& frame, const std::string& databasePath) {
    Settings settings;
    std::unique_ptr<CheckingSchedule> schedule;
    if (!LoadSchedule(frame, settings, schedule))
        return false;
    const std::vector<std::string> indexed = IndexedDatabases(frame, settings);
    if (std::find(indexed.begin(), indexed.end(), databasePath) == indexed.end()) {
        Refuse(databasePath + " is not listed in the Database Index and cannot be scheduled.");
        return false;
    }
    if (schedule->Lists(databasePath)) {
        Refuse(databasePath + " is already in the Database Checking Schedule.");
        return false;
    }
    schedule->Add(BuildScheduleLine(databasePath, CurrentFields(settings)));
    schedule->Commit();
    return true;
}

bool RemoveFromSchedule(CMainFrame& frame, const std::string& databasePath) {
    Settings settings;
    std::unique_ptr<CheckingSchedule> schedule;
    if (!LoadSchedule(frame, settings, schedule))
        return false;
    if (!schedule->Lists(databasePath)) {
        Refuse(databasePath + " is not in the Database Checking Schedule.");
        return false;
    }
    schedule->Remove(databasePath);
    schedule->Commit();
    return true;
}
