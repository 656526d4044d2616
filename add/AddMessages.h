// The texts the add of one file and the drop and paste commands show, in one place, so the
// commands and their tests use the same bytes.
#pragma once

#include <string>

// The box of a file that is in the database already.
std::string PreviouslyListedMessage(const std::string& path);

// A file the stream could not open although a second open of it succeeded, so no reason
// is known. It is not read and not added.
std::string NotOpenedForReadingMessage(const std::string& path);

// "Backup File <n>" could not be opened for appending: no copy was made.
std::string BackupFileNotOpenedMessage(const std::string& path, const std::string& backupFile,
                                       int cause);

// The database's backup files do not agree with one another (`damaged` is DamagedPairText):
// they are left as they are, and the command adds its files without backup copies.
std::string DamagedPairAddMessage(const std::string& damaged);

// The open database has no line in the "Database Index": no backup copy was made.
std::string NoIndexLineMessage(const std::string& databasePath);

// The drop and paste summary: "<a> File(s) successfully <how> into the database." when files
// were added, then "\n<l> File(s) listed previously." when some were listed; empty when
// neither. `how` is "dropped" or "pasted".
std::string AddSummaryText(int added, int listed, const std::string& how);

// The paste's answer when the clipboard holds no file list.
extern const char* const kNoFilesOnClipboard;
