// The countdown's arithmetic and its texts.
#include "schedule/Countdown.h"

#include <cstdio>

const char* const kCheckWaitingText = "Scheduled check due, waiting for the current command";

int SecondsUntil(std::chrono::steady_clock::time_point due,
                 std::chrono::steady_clock::time_point now) {
    if (due <= now)
        return 0;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count();
    return static_cast<int>((ms + 999) / 1000);
}

std::string CountdownText(int seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "Next scheduled check in %d:%02d:%02d", seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

void CheckCountdown::Arm(Clock::time_point now, unsigned intervalMs) {
    m_interval = std::chrono::milliseconds(intervalMs);
    m_due = now + m_interval;
    m_waiting = false;
}

void CheckCountdown::Ticked(Clock::time_point now) {
    m_due = now + m_interval;
}

int CheckCountdown::SecondsLeft(Clock::time_point now) const {
    return m_waiting ? 0 : SecondsUntil(m_due, now);
}

std::string CheckCountdown::Text(Clock::time_point now) const {
    return m_waiting ? std::string(kCheckWaitingText) : CountdownText(SecondsLeft(now));
}
