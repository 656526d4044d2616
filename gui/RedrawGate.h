// How often a progress bar may redraw: at most once every kInterval (50 times a second),
// however often it is stepped. The bar keeps counting every step; a step that comes too soon
// is shown by a later one or by the bar's flush timer, which waits for Wait(). No wx here,
// so the rule can be tested with chosen times.
#pragma once

#include <chrono>

class RedrawGate {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{20};

    // True when a redraw may happen at `now`, which then counts as the last redraw. The
    // first redraw may always happen.
    bool Take(Clock::time_point now = Clock::now()) {
        if (m_drawn && now - m_last < kInterval)
            return false;
        m_drawn = true;
        m_last = now;
        ++m_redraws;
        return true;
    }
    // The time from `now` until the next redraw may happen (at least 1 ms, for a timer).
    int Wait(Clock::time_point now = Clock::now()) const {
        if (!m_drawn)
            return 1;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_last + kInterval - now);
        return left.count() < 1 ? 1 : int(left.count());
    }
    // Redraws so far (for the tests).
    long Redraws() const { return m_redraws; }

  private:
    Clock::time_point m_last;
    bool m_drawn = false;
    long m_redraws = 0;
};
