// The scheduled check's test situation (see ScheduleFixture.h).
#include "tests/schedule/ScheduleFixture.h"

#include "platform/Ui.h"
#include "schedule/ScheduleEdits.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/ProtectedFile.h"
#include "tests/support/Json.h"

ScheduleFixture::ScheduleFixture() {
    p.SetReg("Config13", "3");
    SetInterval("0", "1", "0");
    p.frame.m_openDatabasePath.clear();
    p.ui.onDialog = [this](CDialog& dialog) {
        if (auto* s = dynamic_cast<CCheckingSummaryDlg*>(&dialog))
            summaries.push_back(*s);
    };
}

void ScheduleFixture::StoreSecondDatabase() {
    p.WriteFile("E:\\d.txt", "fourth file\n");
    StoreProtected(p, kSecond, AddedRecord("E:\\d.txt"), DatabaseIv(kSecond));
    StoreDatabaseIndex(p, DatabaseIndexText(p) + CreatedIndexLine(kSecond, 2) + "\n");
}

void ScheduleFixture::Schedule(const std::vector<std::string>& databases) {
    for (const std::string& database : databases) ASSERT_TRUE(AddToSchedule(p.frame, database));
}

void ScheduleFixture::SetInterval(const char* hours, const char* minutes, const char* seconds) {
    p.SetReg("Config8", hours);
    p.SetReg("Config9", minutes);
    p.SetReg("Config10", seconds);
}

bool ScheduleFixture::StartAndTick() {
    p.ui.ClearEvents();
    summaries.clear();
    noDb.OnStartScheduledChecking();
    return Tick(10);
}

bool ScheduleFixture::Tick(int id) {
    return RunCommand([&] { p.ui.Tick(id); });
}

std::string ScheduleFixture::IndexLineOf(const std::string& database) const {
    DatabaseIndexImage index(p.frame.m_fileKey, p.frame.m_indexIv, p.BackupDir());
    index.Load();
    std::string line;
    index.FindLine(database, line);
    return line;
}

std::string ProgressLine(const std::string& caption) {
    return "{\"event\":\"progress\",\"caption\":" + JsonString(caption) + "}";
}

std::string StatusLine(const std::string& text) {
    return "{\"event\":\"status\",\"text\":" + JsonString(text) + "}";
}
