// The names of every file the program keeps or makes for a while, in one place: the stored
// files of the backup folder and the checking schedule, the staged files a commit puts in
// place, the temporary files beside a user's file that a restore makes, the ".CHANGED"
// names, and the plaintext copies earlier versions of the program left on disk (the start-up
// clean-up still looks for them). A temporary name always fits the file system: when the
// file's own name and the suffix would pass 255 bytes, the name is shortened and a digest of
// the whole name keeps it apart from every other name.
#pragma once

#include <string>

// ---- the suffixes, for the clean-up that recognises the names ----
inline const char* const kStagedSuffix = ".new~";
inline const char* const kBackupTempSuffix = ".Ntemp";
inline const char* const kIndexCopySuffix = "123456789z";  // a plaintext index copy
inline const char* const kRenewalSuffix = ".new";

// ---- stored files (the backup folder ends with a backslash) ----
std::string DatabaseIndexPath(const std::string& backupDir);  // dir + "Database Index"
std::string BackupIndexPath(const std::string& backupDir, const std::string& n);
std::string BackupFilePath(const std::string& backupDir, const std::string& n);
// dir + "Backup Digests " + n: the digests of the pair's copies (BackupDigests.h).
std::string BackupDigestsPath(const std::string& backupDir, const std::string& n);
// The folder of the setting "Checking Schedule Directory" + "Database Checking Schedule".
std::string CheckingSchedulePath(const std::string& scheduleDir);

// ---- names made from another name ----
// `path` + `suffix`, with the last component shortened when the two would not fit.
std::string FitName(const std::string& path, const std::string& suffix);
// Where a commit writes the new form of a stored file before it takes the file's place.
std::string StagedPath(const std::string& storedPath);

// ---- beside a user's file, during a restore ----
std::string RestoreCipherPath(const std::string& file);  // + ".Ntemp"
std::string RestorePlainPath(const std::string& file);   // + ".Ptemp"
std::string RestoredPath(const std::string& file);       // + ".987654321z"
// Where a copy to `target` is written before it takes that name (a move to another file
// system, the backup database): `target` + ".copy~". It is noted for recovery first.
std::string CopyTempPath(const std::string& target);
// The changed file moved aside: folder + name + ".CHANGED", then ".CHANGED1", ".CHANGED2"...
std::string ChangedFilePath(const std::string& folder, const std::string& name, int number);

// ---- plaintext working copies and rewrites of earlier versions (clean-up only) ----
std::string DatabaseWorkCopyPath(const std::string& databasePath);   // + ".123456789z"
std::string DatabaseRewritePath(const std::string& databasePath);    // work copy + "1"
std::string DatabaseIndexWorkPath(const std::string& backupDir);     // + "123456789z"
std::string DatabaseIndexRewritePath(const std::string& backupDir);  // "Database Index1"
