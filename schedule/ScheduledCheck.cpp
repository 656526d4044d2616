// The prompting check of a scheduled database, in its order of steps.
#include "schedule/ScheduledCheck.h"

#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"

namespace {

// The pass is bounded by the files checked; the restore skips its "Processing..." step.
CheckRunRules ScheduledRules() {
    CheckRunRules rules;
    rules.boundByFilesChecked = true;
    rules.restoreStraightToReady = true;
    return rules;
}

}  // namespace

void CCNoflview::CheckScheduledDatabase() {
    ScheduledCheck run(*this);
    run.Run();
}

ScheduledCheck::ScheduledCheck(CCNoflview& view)
    : m_view(view), m_frame(view.GetParentFrame()), m_check(view, ScheduledRules()) {}

void ScheduledCheck::Run() {
    m_check.ReadAlertSettings();
    // Timer 10 cannot start a check again while this one runs, and the countdown stands.
    m_view.StopSchedule();
    TakeDatabase();
    // A database that cannot be read ends the run here, and the pass over the schedule with
    // it; the schedule stays stopped.
    m_check.OpenWorkFiles();
    if (m_view.m_databaseUnopenable == 1) {
        CloseOnInconsistency();
        return;
    }
    // A database changed behind the program's back is refused, an emptied one too.
    if (m_check.DatabaseChanged()) {
        m_check.RefuseChangedDatabase();
        m_view.RestartSchedule();
        m_view.OnStartScheduledChecking();
        return;
    }
    // An empty database is an empty stored file: nothing to check, and the schedule stays
    // stopped.
    if (m_view.WorkFiles().Database().Plain().empty())
        return;
    m_check.CheckRecords();
    m_check.CloseWorkCopy();
    m_view.RestartSchedule();
    m_check.RecordLastChecked();
    m_view.OnStartScheduledChecking();
}

// The frame's open path keeps the scheduled database after the run.
void ScheduledCheck::TakeDatabase() {
    m_view.m_workDatabasePath = m_view.m_scheduledDatabasePath;
    m_frame.m_openDatabasePath = m_view.m_workDatabasePath;
}

void ScheduledCheck::CloseOnInconsistency() {
    m_view.m_databaseUnopenable = 0;
    // The working copy is in memory: letting the stored files go removes it.
    m_view.CloseWorkFiles();
    Ui().MessageBox(
        "Quillstead has detected a file inconsistency. Quillstead can repair this but has to "
        "shut down first. Relaunch Quillstead and the problem will be fixed.",
        MbIcon::Information, MbButtons::Ok);
    m_view.CloseMainWindow();
}
