// The "Database Index": one line per database, path, backup number n, creation time
// (high, low, "%ld"), and the MD5 digest of the stored database file, each followed by
// 0x7F; a check adds an empty sixth field and the last-checked time (high, low) in fields
// 7 and 8. The file is a protected file in the backup folder under the key and m_indexIv.
// This file owns the line's writer and readers and the rewrites of one line: the digest and
// the last-checked time. Lines are never cut, however long. A line with fewer than five
// fields is left as it is by both rewrites. The index as a whole (its lookup, its changes
// and their commit) is DatabaseIndexImage's.
#pragma once

#include <string>

#include "platform/WinTypes.h"
#include "storage/FileDigest.h"  // DigestStoredFile: what field 5 keeps
#include "storage/StoredFileNames.h"

// The five-field line a new database gets, without its line break.
std::string BuildDatabaseIndexLine(const std::string& databasePath, unsigned backupNumber,
                                   const FILETIME& created, const std::string& digest);
// A line belongs to a database when it begins with the path (case-sensitive) followed by the
// separator: the line of "C:\\a.qdb2" is not a line of "C:\\a.qdb", so a rewrite for one
// database never touches another's line.
bool IndexLineBelongsTo(const std::string& line, const std::string& databasePath);
// Field k (1-based) of a line: the text before the k-th 0x7F after the (k-1)-th; false
// when the line has fewer than k separators.
bool IndexField(const std::string& line, int k, std::string& field);
// Field 5 replaced by `digest`; everything else, line end included, kept.
std::string WithIndexDigest(const std::string& line, const std::string& digest);
// The first five fields kept, then an empty sixth field and the time's halves, then "\n".
std::string WithLastChecked(const std::string& line, const FILETIME& checked);
// Whether the line has a sixth separator, and its last-checked time (fields 7 and 8).
bool IndexLastChecked(const std::string& line, FILETIME& checked);
// Whether a decrypted index is well-formed: every line holds at least five separators and a
// decimal backup number. An empty index is well-formed.
bool IndexTextIsWellFormed(const std::string& plain);
