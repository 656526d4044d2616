// The settings: registry values under HKEY_CURRENT_USER "Software\Quillstead", each the
// default value of its own subkey, stored as text and parsed when read. This file owns the
// names and the read that reports a failure with "Registry error." (stop icon).
#pragma once

#include <map>
#include <string>

namespace settings {
// Subkey names.
inline const char* const kSuffix = "Config1";              // backup database name suffix
inline const char* const kKeepBackupDatabase = "Config2";  // "%d", 1 = keep one
inline const char* const kBackupDatabaseDir = "Config3";
inline const char* const kBackupBesideDatabase = "Config4";  // "%d", 1 = beside it
inline const char* const kBackupAddedFiles = "Config5";      // "%d", 1 = back up each added file
// The checking schedule: the interval ("%d" each), the mode ("P" prompting check, "N"
// logging check) and the countdown sound.
inline const char* const kIntervalHours = "Config8";
inline const char* const kIntervalMinutes = "Config9";
inline const char* const kIntervalSeconds = "Config10";
inline const char* const kScheduleMode = "Config11";
inline const char* const kCountdownSound = "Config12";
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

// Writes a setting. A failed write shows "Registry error." with the stop icon; returns
// whether it was written.
bool WriteSetting(const char* subkey, const std::string& value);

// "%d" of a text, as sscanf reads it: leading blanks, a sign, digits. When no number can be
// read, `value` is left as it was and false is returned.
bool ScanInt(const std::string& text, int& value);

// The settings one command reads, typed: each value is read from the registry the first time
// the command asks for it (a failed read shows "Registry error." then, once) and kept for
// the rest of the command, so a command reads each setting once. A getter returns whether
// the value could be read; a failed text read leaves `value` as it was, and so does a number
// whose text holds none ("%d").
class Settings {
  public:
    bool BackupDir(std::string& value) { return Text(settings::kBackupDir, value); }
    bool ChangedFilesDir(std::string& value) { return Text(settings::kChangedFilesDir, value); }
    bool ScheduleDir(std::string& value) { return Text(settings::kScheduleDir, value); }
    bool InstallDir(std::string& value) { return Text(settings::kInstallDir, value); }
    bool BackupMode(std::string& value) { return Text(settings::kBackupMode, value); }
    bool BackupDatabaseSuffix(std::string& value) { return Text(settings::kSuffix, value); }
    bool BackupDatabaseDir(std::string& value) { return Text(settings::kBackupDatabaseDir, value); }
    bool AlertWav(std::string& value) { return Text(settings::kAlertWav, value); }
    bool ScheduleMode(std::string& value) { return Text(settings::kScheduleMode, value); }

    bool KeepBackupDatabase(int& value) { return Number(settings::kKeepBackupDatabase, value); }
    bool BackupDatabaseBeside(int& value) { return Number(settings::kBackupBesideDatabase, value); }
    bool BackupAddedFiles(int& value) { return Number(settings::kBackupAddedFiles, value); }
    bool Alert(int& value) { return Number(settings::kAlert, value); }
    bool IntervalHours(int& value) { return Number(settings::kIntervalHours, value); }
    bool IntervalMinutes(int& value) { return Number(settings::kIntervalMinutes, value); }
    bool IntervalSeconds(int& value) { return Number(settings::kIntervalSeconds, value); }
    bool CountdownSound(int& value) { return Number(settings::kCountdownSound, value); }

  private:
    bool Text(const char* subkey, std::string& value);
    bool Number(const char* subkey, int& value);

    struct Read {
        bool ok = false;
        std::string text;
    };
    std::map<std::string, Read> m_read;
};
