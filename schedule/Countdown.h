// The countdown to the next scheduled check: when the check timer will tick next, whether a
// tick came that could not run its check yet (another command was running, the "Scheduled
// Checking" dialog was open), and the text the status bar shows of it.
#pragma once

#include <chrono>
#include <string>

// Whole seconds from `now` to `due`, a part of a second counting as a whole one; 0 once
// `due` has come.
int SecondsUntil(std::chrono::steady_clock::time_point due,
                 std::chrono::steady_clock::time_point now);
// "Next scheduled check in H:MM:SS".
std::string CountdownText(int seconds);
// What the countdown says while a tick waits for the running command to end.
extern const char* const kCheckWaitingText;

class CheckCountdown {
  public:
    using Clock = std::chrono::steady_clock;

    // The timer was set to tick every `intervalMs` from `now`; nothing waits.
    void Arm(Clock::time_point now, unsigned intervalMs);
    // The timer ticked at `now`: it ticks again one interval later, whatever this tick does.
    void Ticked(Clock::time_point now);
    // The tick could not run its check now: the check waits, and the countdown says so.
    void Wait() { m_waiting = true; }
    // The waiting check runs (or scheduled checking stopped): nothing waits any more.
    void Clear() { m_waiting = false; }
    bool Waiting() const { return m_waiting; }

    // Seconds to the next tick (0 while a check waits).
    int SecondsLeft(Clock::time_point now) const;
    // The status bar's text: the time to the next tick, or that a check waits.
    std::string Text(Clock::time_point now) const;

  private:
    Clock::time_point m_due;
    Clock::duration m_interval{};
    bool m_waiting = false;
};

// The status-bar pane the countdown shows in.
constexpr int kCountdownPane = 1;
