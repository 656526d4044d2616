// The countdown's arithmetic and its text.
#include "schedule/Countdown.h"

#include <cstdio>

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
