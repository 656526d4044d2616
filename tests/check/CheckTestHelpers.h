// Small helpers shared by the check's tests: digests and file times, the field separator,
// protected files written from and read back to memory, the database's "Database Index"
// line as a test stores it, and the message box event as the scripted screen records it.
#pragma once

#include <string>

#include "storage/Crypto.h"
#include "tests/support/TempPrefix.h"

// The separator between the fields of a line.
inline const std::string kSep(1, '\x7f');

// MD5 of bytes as 32 lower-case hexadecimal characters.
std::string Md5Hex(const std::string& bytes);
// The record line an add writes for a file as it stands now (CR LF included).
std::string AddedRecordLine(const TempPrefix& prefix, const std::string& winPath);
// Sets a file's last-write time (seconds since 1970, UTC).
void SetModifiedTime(const TempPrefix& prefix, const std::string& winPath, long long unixSeconds);

// Writes `plain` as the protected file `winPath` under the frame's key and `iv`; the
// plaintext passes through a file that is removed at once.
void StoreProtected(const TempPrefix& prefix, const std::string& winPath, const std::string& plain,
                    const Iv& iv);
// Stores `lines` as the "Database Index" of the prefix's backup folder.
void StoreDatabaseIndex(const TempPrefix& prefix, const std::string& lines);
// The decrypted "Database Index" of the prefix's backup folder.
std::string DatabaseIndexText(const TempPrefix& prefix);
// The five-field "Database Index" line of `database`, created at a fixed time, with `digest`
// or, when none is given, the digest of its stored file (no line break).
std::string CreatedIndexLine(const std::string& database, int number,
                             const std::string& digest = "");

// Scripts the answer to "Changed file details." and, when `mode` is given, the restore's.
void AnswerDetails(TempPrefix& prefix, int choice, int mode = -1);
// The event of an OK message box showing `text` with `icon`.
std::string MessageBoxEvent(const std::string& text, const char* icon);
