// Scheduled checking on the view shown while no database is open: started from the settings
// (timer 10 at the interval, timer 107 at 950 ms), stopped, and the two timers' ticks. At a
// tick of timer 10 every database of the "Database Checking Schedule" is checked in turn;
// each check stops the schedule while it runs and starts it again when it ends. Timer 107
// moves the countdown on in the status bar. The countdown is the time really left to the
// next tick of timer 10, so it reaches 0 when the check comes, however late the 950 ms
// ticks are. A tick of timer 10 that comes while another command runs (the "Scheduled
// Checking" dialog among them) cannot check now: the countdown says that a check waits, and
// the check runs as soon as that command has ended (RunWaitingCheck).
#include <algorithm>
#include <chrono>

#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "app/Settings.h"
#include "platform/Ui.h"
#include "schedule/Countdown.h"
#include "schedule/ScheduleEdits.h"

namespace {

constexpr int kCheckTimer = 10;
constexpr int kCountdownTimer = 107;
constexpr unsigned kCountdownMs = 950;
// The longest interval a timer holds (2^31 - 1 ms, about 596 hours).
constexpr double kLongestIntervalMs = 2147483647.0;

// Truncated to whole milliseconds; the float may round the longest interval up past what a
// timer holds.
unsigned CheckTimerMs(float intervalMs) {
    return static_cast<unsigned>(std::min(static_cast<double>(intervalMs), kLongestIntervalMs));
}

}  // namespace

void CCNoflview::OnStartScheduledChecking() {
    // A setting that cannot be read, or holds no number, counts as 0.
    Settings settings;
    int hours = 0, minutes = 0, seconds = 0;
    settings.CountdownSound(m_countdownSound);
    settings.IntervalHours(hours);
    settings.IntervalMinutes(minutes);
    settings.IntervalSeconds(seconds);
    // Worked out without overflow, and never beyond what a timer holds.
    const double ms = seconds * 1000.0 + minutes * 60000.0 + hours * 3600000.0;
    m_intervalMs = static_cast<float>(std::min(ms, kLongestIntervalMs));
    m_intervalSeconds = static_cast<int>(m_intervalMs / 1000);

    std::string mode;
    settings.ScheduleMode(mode);
    // The logging check (mode "N", timer 105) is not part of this program.
    if (mode != "P" || m_intervalSeconds <= 0)
        return;
    ArmCheckTimer();
    Ui().SetTimer(kCountdownTimer, kCountdownMs, [this] { OnTimer(kCountdownTimer); });
    m_scheduleRunning = 1;
    ShowCountdown();
}

void CCNoflview::StopScheduledChecking() {
    StopSchedule();
}

void CCNoflview::StopSchedule() {
    Ui().KillTimer(kCheckTimer);
    Ui().KillTimer(kCountdownTimer);
    m_intervalSeconds = 0;
    m_scheduleRunning = 0;
    m_countdown.Clear();
    ShowCountdown();
}

void CCNoflview::RestartSchedule() {
    // Without an interval there is nothing to start again.
    if (static_cast<int>(m_intervalMs / 1000) <= 0)
        return;
    m_scheduleRunning = 1;
    m_intervalSeconds = static_cast<int>(m_intervalMs / 1000);
    Ui().SetTimer(kCountdownTimer, kCountdownMs, [this] { OnTimer(kCountdownTimer); });
    ArmCheckTimer();
    ShowCountdown();
}

void CCNoflview::ArmCheckTimer() {
    const unsigned ms = CheckTimerMs(m_intervalMs);
    Ui().SetTimer(kCheckTimer, ms, [this] { OnTimer(kCheckTimer); });
    m_countdown.Arm(std::chrono::steady_clock::now(), ms);
}

// The countdown shows while no database is open and scheduled checking is on.
void CCNoflview::ShowCountdown() {
    const bool shown = m_scheduleRunning == 1 && !m_frame.m_databaseOpen;
    Ui().SetPaneText(kCountdownPane,
                     shown ? m_countdown.Text(std::chrono::steady_clock::now()) : std::string());
}

void CCNoflview::CloseMainWindow() {
    m_mainWindowClosed = true;
    Ui().CloseMainWindow();
}

void CCNoflview::OnTimer(int id) {
    if (m_mainWindowClosed)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (id == kCountdownTimer) {
        m_intervalSeconds = m_countdown.SecondsLeft(now);
        ShowCountdown();
        return;
    }
    if (id != kCheckTimer || m_scheduleRunning != 1)
        return;
    // Timer 10 ticks again one interval from now, whatever this tick does.
    m_countdown.Ticked(now);
    if (m_otherCommandRunning) {
        m_countdown.Wait();
        m_intervalSeconds = 0;
        ShowCountdown();
        return;
    }
    m_countdown.Clear();
    CheckTheSchedule();
}

void CCNoflview::SetOtherCommandRunning(bool running) {
    m_otherCommandRunning = running;
}

bool CCNoflview::CheckWaiting() const {
    return m_countdown.Waiting() && m_scheduleRunning == 1 && !m_mainWindowClosed;
}

void CCNoflview::RunWaitingCheck() {
    if (!CheckWaiting() || m_otherCommandRunning)
        return;
    m_countdown.Clear();
    m_intervalSeconds = m_countdown.SecondsLeft(std::chrono::steady_clock::now());
    ShowCountdown();
    CheckTheSchedule();
}

void CCNoflview::CheckTheSchedule() {
    // The schedule's checks run only while no database is open.
    if (m_frame.m_databaseOpen)
        return;
    for (const std::string& path : ScheduledDatabases(m_frame)) {
        m_scheduledDatabasePath = path;
        CheckScheduledDatabase();
        if (m_mainWindowClosed)
            return;
    }
}
