// The settings: registry values under HKEY_CURRENT_USER "Software\Quillstead", each the
// default value of its own subkey, stored as text and parsed when read. This file owns the
// names and the read that reports a failure with "Registry error." (stop icon).
#pragma once

#include <string>

namespace settings {
// Subkey names.
inline const char* const kSuffix = "Config1";              // backup database name suffix
inline const char* const kKeepBackupDatabase = "Config2";  // "%d", 1 = keep one
inline const char* const kBackupDatabaseDir = "Config3";
inline const char* const kBackupBesideDatabase = "Config4";  // "%d", 1 = beside it
inline const char* const kBackupAddedFiles = "Config5";      // "%d", 1 = back up each added file
inline const char* const kAlert = "Config13";  // "%d": 0 Calm, 1 Warning, 2 Alarm, 3 Silent, 4 WAV
inline const char* const kAlertWav = "Config14";
inline const char* const kBackupMode = "Config17";  // "N" = encrypted copies
inline const char* const kBackupDir = "Backup\\Backup Files Directory";
inline const char* const kChangedFilesDir = "Changed Files Directory";
inline const char* const kScheduleDir = "Checking Schedule Directory";
inline const char* const kInstallDir = "Install Directory";
}  // namespace settings

// Reads a setting into `value`. A failed read shows "Registry error." with the stop icon
// and leaves `value` as it was, and the caller goes on with it. Returns whether it was read.
bool ReadSetting(const char* subkey, std::string& value);

// "%d" of a text, as sscanf reads it: leading blanks, a sign, digits. When no number can be
// read, `value` is left as it was and false is returned.
bool ScanInt(const std::string& text, int& value);
