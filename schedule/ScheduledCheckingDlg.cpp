// "Scheduled Checking": the lists, the interval and the commands of the dialog's model.
#include "schedule/ScheduledCheckingDlg.h"

#include <algorithm>

#include "app/NoDatabaseView.h"
#include "app/Settings.h"
#include "platform/Ui.h"
#include "schedule/ScheduleEdits.h"

namespace {

constexpr long kLongestIntervalSeconds = 596L * 3600;

// A whole number from 0, blanks around it allowed; at most seven digits.
bool WholeNumber(const std::string& text, long& value) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    const size_t last = text.find_last_not_of(' ');
    const std::string digits = text.substr(first, last - first + 1);
    if (digits.empty() || digits.size() > 7 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stol(digits);
    return true;
}

}  // namespace

CScheduledCheckingDlg::CScheduledCheckingDlg(CCNoflview& view)
    : CDialog(IDD),
      m_modeText("Standard checking [ prompt on file change and completion ]."),
      m_view(view) {}

void CScheduledCheckingDlg::DoDataExchange(DataExchange& dx) {
    dx.Strings(IDC_INDEX_LIST, "m_indexDatabases", m_indexDatabases);
    dx.Int(IDC_INDEX_LIST, "m_indexSelection", m_indexSelection);
    dx.Strings(IDC_SCHEDULE_LIST, "m_scheduledDatabases", m_scheduledDatabases);
    dx.Int(IDC_SCHEDULE_LIST, "m_scheduleSelection", m_scheduleSelection);
    dx.Text(IDC_HOURS, "m_hours", m_hours);
    dx.Text(IDC_MINUTES, "m_minutes", m_minutes);
    dx.Text(IDC_SECONDS, "m_seconds", m_seconds);
    dx.Text(IDC_MODE, "m_modeText", m_modeText);
    dx.Text(IDC_STATE, "m_stateText", m_stateText);
}

void CScheduledCheckingDlg::OnCommand(int id) {
    switch (id) {
        case IDC_ADD:
            OnAddToSchedule();
            break;
        case IDC_REMOVE:
            OnRemoveFromSchedule();
            break;
        case IDC_START:
            OnStartChecking();
            break;
        case IDC_STOP:
            OnStopChecking();
            break;
        default:
            break;
    }
}

void CScheduledCheckingDlg::Fill() {
    FillLists();
    Settings settings;
    int hours = 0, minutes = 0, seconds = 0;
    settings.IntervalHours(hours);
    settings.IntervalMinutes(minutes);
    settings.IntervalSeconds(seconds);
    m_hours = std::to_string(hours);
    m_minutes = std::to_string(minutes);
    m_seconds = std::to_string(seconds);
    FillState();
}

void CScheduledCheckingDlg::FillLists() {
    CMainFrame& frame = m_view.GetParentFrame();
    m_scheduledDatabases = ScheduledDatabases(frame);
    m_indexDatabases.clear();
    for (const std::string& path : IndexedDatabases(frame)) {
        if (std::find(m_scheduledDatabases.begin(), m_scheduledDatabases.end(), path) ==
            m_scheduledDatabases.end())
            m_indexDatabases.push_back(path);
    }
    m_indexSelection = -1;
    m_scheduleSelection = -1;
}

void CScheduledCheckingDlg::FillState() {
    m_stateText =
        m_view.m_scheduleRunning == 1 ? "Scheduled checking is on." : "Scheduled checking is off.";
}

// Nothing chosen, nothing moved.
void CScheduledCheckingDlg::OnAddToSchedule() {
    if (m_indexSelection < 0 || size_t(m_indexSelection) >= m_indexDatabases.size())
        return;
    AddToSchedule(m_view.GetParentFrame(), m_indexDatabases[size_t(m_indexSelection)]);
    FillLists();
}

void CScheduledCheckingDlg::OnRemoveFromSchedule() {
    if (m_scheduleSelection < 0 || size_t(m_scheduleSelection) >= m_scheduledDatabases.size())
        return;
    RemoveFromSchedule(m_view.GetParentFrame(), m_scheduledDatabases[size_t(m_scheduleSelection)]);
    FillLists();
}

bool CScheduledCheckingDlg::IntervalSeconds(const std::string& hours, const std::string& minutes,
                                            const std::string& seconds, long& total) {
    long h = 0, m = 0, s = 0;
    if (!WholeNumber(hours, h) || !WholeNumber(minutes, m) || !WholeNumber(seconds, s))
        return false;
    total = h * 3600 + m * 60 + s;
    return total >= 1 && total <= kLongestIntervalSeconds;
}

void CScheduledCheckingDlg::OnStartChecking() {
    long total = 0;
    if (!IntervalSeconds(m_hours, m_minutes, m_seconds, total)) {
        Ui().MessageBox(
            "Give the interval in whole hours, minutes and seconds, from 1 second to 596 hours.",
            MbIcon::Exclamation, MbButtons::Ok);
        return;
    }
    long h = 0, m = 0, s = 0;
    WholeNumber(m_hours, h);
    WholeNumber(m_minutes, m);
    WholeNumber(m_seconds, s);
    if (!WriteSetting(settings::kIntervalHours, std::to_string(h)) ||
        !WriteSetting(settings::kIntervalMinutes, std::to_string(m)) ||
        !WriteSetting(settings::kIntervalSeconds, std::to_string(s)) ||
        !WriteSetting(settings::kScheduleMode, "P"))
        return;
    m_hours = std::to_string(h);
    m_minutes = std::to_string(m);
    m_seconds = std::to_string(s);
    m_view.OnStartScheduledChecking();
    FillState();
}

void CScheduledCheckingDlg::OnStopChecking() {
    m_view.StopScheduledChecking();
    FillState();
}

void CCNoflview::OnScheduledChecking() {
    CScheduledCheckingDlg dialog(*this);
    dialog.Fill();
    dialog.DoModal();
}
