// The backup database: after every add, when Config2 is 1, the stored (encrypted) database
// is copied to a second file whose name is the database's name with the Config1 text put
// before its last '.', beside the database (Config4 = 1) or in the Config3 folder.
// With the defaults C:\Data\Files.db is copied to C:\Data\Files~.db.
#pragma once

#include <string>

// The text after the last backslash (the whole text when it has none).
std::string NameAfterLastBackslash(const std::string& path);

// The backup database's path. `beside`: Config4 is not 0, the base is the database path;
// else the base is `folder`, a backslash when it does not end with one, and the database's
// file name. The suffix goes before the base's last '.' when that lies past its first
// character, else at its end.
std::string BackupDatabasePath(const std::string& databasePath, const std::string& suffix,
                               bool beside, const std::string& folder);

class ProtectedStore;
class Settings;

// Reads Config2, Config1, Config4 and Config3 and copies the database to its backup
// database, overwriting it. The copy's result is not checked; the copy is written beside
// the backup database under a name noted in the store first, so an interruption leaves
// nothing behind.
void CopyToBackupDatabase(ProtectedStore& store, const std::string& databasePath,
                          Settings& settings);
