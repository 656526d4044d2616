// The countdown to the next scheduled check: the seconds left to a moment, and the text the
// status bar shows of them.
#pragma once

#include <chrono>
#include <string>

// Whole seconds from `now` to `due`, a part of a second counting as a whole one; 0 once
// `due` has come.
int SecondsUntil(std::chrono::steady_clock::time_point due,
                 std::chrono::steady_clock::time_point now);
// "Next scheduled check in H:MM:SS".
std::string CountdownText(int seconds);

// The status-bar pane the countdown shows in.
constexpr int kCountdownPane = 1;
