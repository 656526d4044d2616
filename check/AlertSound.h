// The alert sound of a file change, chosen by the Config13 setting: 0 Calm, 1 Warning and
// 2 Alarm play the program's WAVE resources "clm", "zaaz" and "rml"; 4 plays the WAV file
// named by Config14; 3 (Silent) and every other value play nothing. Sounds are never
// waited for.
#pragma once

#include <string>

// The Config13 value that plays nothing; used when the setting cannot be read.
constexpr int kSilentAlert = 3;

void PlayAlertSound(int alert, const std::string& wavPath);
