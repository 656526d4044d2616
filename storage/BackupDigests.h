// "Backup Digests <n>": the digest of each backup copy of a database's pair, kept beside
// "Backup Index <n>" and "Backup File <n>" (whose formats it leaves as they are) and changed
// with them in the same transaction. It is a protected file under the key and the vector
// made from its own path, one line per line of "Backup Index <n>", in the same order: the
// entry's path, 0x7F, then the MD5 digest of the bytes a restore of that copy writes, as 32
// lower-case hexadecimal characters, or nothing for a copy made before digests were kept;
// then a line feed. A restore and the analysis hold a copy to its digest before they use it.
// This file owns the line, its reader and its writer.
#pragma once

#include <string>

#include "storage/StoredFileNames.h"  // BackupDigestsPath

// A line, its line feed included; `digest` may be empty.
std::string BuildBackupDigestLine(const std::string& path, const std::string& digest);
// A line read back: false when it is not one (no line feed, no separator, or a digest that
// is neither empty nor 32 lower-case hexadecimal characters).
bool ParseBackupDigestLine(const std::string& line, std::string& path, std::string& digest);
