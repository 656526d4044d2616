// The cancel poll of the progress dialogs, which the loops call per 64-byte block (or even
// per byte): it must cost a few nanoseconds. It counts calls and reads the clock only every
// kPollsPerClockRead calls; only when kPumpInterval has passed since the events last ran does
// it let them run (the pump). Cancel can only be pressed while events run, so a press is
// never missed, and it is answered once. No wx here, so its cost can be measured alone.
#pragma once

#include <chrono>
#include <functional>

class CancelPoll {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kPollsPerClockRead = 4096;
    static constexpr std::chrono::milliseconds kPumpInterval{15};

    explicit CancelPoll(std::function<void()> pump)
        : m_pump(std::move(pump)), m_lastPump(Clock::now()) {}

    // True once after Cancel was pressed (the press is then forgotten).
    bool Poll() {
        if (--m_pollsLeft > 0 && !m_pressed)
            return false;
        return PollSlow();
    }

    // Cancel was pressed.
    void Press() { m_pressed = true; }
    // Lets the events run now (a bar move does this first).
    void PumpNow() {
        ++m_pumps;
        m_pump();
        m_lastPump = Clock::now();
    }
    // How often the events were let run.
    long Pumps() const { return m_pumps; }

  private:
    bool PollSlow() {
        m_pollsLeft = kPollsPerClockRead;
        if (Clock::now() - m_lastPump >= kPumpInterval)
            PumpNow();
        if (!m_pressed)
            return false;
        m_pressed = false;
        return true;
    }

    std::function<void()> m_pump;
    Clock::time_point m_lastPump;
    int m_pollsLeft = kPollsPerClockRead;
    bool m_pressed = false;
    long m_pumps = 0;
};
