// The password's rules: whether the key of a typed password is the password of the files
// protected in the backup folder, and the "Password Check" file that decides it.
//
// "Password Check" holds 32 bytes, the HMAC-SHA256 under the key of the text "Quillstead
// Password Check": a one-way value, never the key. A key it accepts is the password, and a
// key it accepts that does not read the "Database Index" finds the index damaged rather
// than the password wrong. A key it refuses may still be the password when the check value
// itself is damaged (as is a file of another length): the key is then tested as without a
// check value, and when the index (or a backup index) shows it to be the password, the
// check value is damaged, which the user is told, and it is written anew. It is written
// when the first password is accepted (typed twice), and, on a backup folder that has none
// yet, the first time a password opens what is protected there. While a check value is
// there, nothing counts as unprotected: no first password is set over it.
//
// Without a check value a key is the password when it decrypts the "Database Index" into
// well-formed lines; when the index is missing or empty, when it decrypts a non-empty
// "Backup Index <n>" into well-formed backup lines. Only when neither a check value nor
// anything in those files exists is nothing protected yet: then the first password is
// set. None of the protected files' formats changes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "storage/Crypto.h"

using PasswordCheckValue = std::array<uint8_t, 32>;

// The backup folder (ending with a backslash) + "Password Check".
std::string PasswordCheckPath(const std::string& backupDir);

// The check value of a key.
PasswordCheckValue PasswordCheckOf(const Key& key);

enum class PasswordAnswer {
    Opens,              // the key is the password
    OpensCheckDamaged,  // the key is the password, and "Password Check" is damaged
    First,              // nothing is protected yet: the key becomes the password once typed twice
    Refused,            // not the password
    IndexDamaged,       // the "Database Index" cannot be read, whatever the password
};

// What the key is to the files protected in `backupDir` (the index under `indexIv`). Reads
// only; writes nothing.
PasswordAnswer TestPassword(const Key& key, const Iv& indexIv, const std::string& backupDir);

// What the user is told of a damaged index: "The Database Index <indexPath> is damaged and
// cannot be read."
std::string IndexDamagedText(const std::string& indexPath);

// What the user is told of a damaged check value ("The Password Check <path> is damaged: ...").
std::string PasswordCheckDamagedText(const std::string& checkPath);

// Whether the backup folder holds a check value.
bool HasPasswordCheck(const std::string& backupDir);

// Writes the key's check value into "Password Check" through a new file and a rename, so
// a good check value is never replaced by a half-written one. A failure raises
// CFileException naming "Password Check" and leaves nothing behind.
void WritePasswordCheck(const Key& key, const std::string& backupDir);

// After a password is accepted: writes its check value when the folder has none yet, or one
// that is damaged (any other than the key's).
void KeepPasswordCheck(const Key& key, const std::string& backupDir);

// Whether a decrypted "Backup Index <n>" is well-formed: lines that each end with a line
// break and hold a path, the mode, the copy length ("%.2lf" or "%lu") and the plain size
// ("%lu"), none empty. An empty text is not (it proves no key).
bool BackupIndexTextIsWellFormed(const std::string& plain);
