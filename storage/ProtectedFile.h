// Protected files: a plain file of size s (the low 32 bits of its size) is stored as
// 16 x ceil(s / 16) bytes of AES-256 CBC under a key and a 16-byte initialisation vector,
// the last partial block padded with zero bytes; an empty file gives an empty protected
// file. This file owns the encryptions and decryptions between protected files and plain
// files (the known-answer operations, and the restore's), the decryption into memory, and
// the wipe of a plain file. Every rewrite of a protected file is written to a new file first
// and renamed over the old one, so an interruption never leaves it half-written: the new
// file is the protected file's name followed by ".new~", and a write that fails (a full
// disk) removes it and raises CFileException with the cause diskFull, leaving the old file
// as it was. A file that cannot be opened raises CFileException; so does a protected file
// whose length is not a multiple of 16 (cause invalidFile, raised before anything is
// written). A plain copy that cannot be written whole is wiped before the exception is
// raised. The stored files of a database are read and changed through their objects
// (storage/DatabaseFiles.h), never through plain copies.
#pragma once

#include <cstdint>
#include <string>

#include "storage/Crypto.h"
#include "storage/StoredFileNames.h"

namespace platform {
class CFile;
}

// Encrypts the plain file into the protected file (created or replaced). The plain file is
// left unchanged.
void EncryptFileWithIv(const Key& key, const std::string& protectedPath,
                       const std::string& plainPath, const Iv& iv);
// Decrypts into the plain file (created or emptied, shared with nobody while written).
// Every block but the last is written whole; in the last block it writes up to and
// including the first byte 0x0A and stops.
void DecryptFileWithIv(const Key& key, const std::string& protectedPath,
                       const std::string& plainPath, const Iv& iv);
// As DecryptFileWithIv, but in the last block it writes up to and including the LAST 0x0A
// (the whole block when it holds none). A file of lines ending in "\n" comes back whole even
// when its last block holds more than one line end, as a short last line of
// "Backup Index <n>" can.
void DecryptLinesWithIv(const Key& key, const std::string& protectedPath,
                        const std::string& plainPath, const Iv& iv);
// As DecryptFileWithIv, but in the last block it stops before the first 0x0A.
void DecryptFileWithIvDropNewline(const Key& key, const std::string& protectedPath,
                                  const std::string& plainPath, const Iv& iv);
// As DecryptFileWithIv, but in the last block it stops once plainLength bytes are written
// (the blocks before it are written whole whatever the length).
void DecryptFileWithIvToLength(const Key& key, const std::string& protectedPath,
                               const std::string& plainPath, const Iv& iv, double plainLength);
// As DecryptFileWithIvToLength, from the open protected file `in` (standing at its start)
// into the open stream `out`: no file is opened by name. False when `out`
// could not take every byte; raises the file exception when `in` is not whole blocks.
bool DecryptStreamToLength(const Key& key, platform::CFile& in, platform::CFile& out, const Iv& iv,
                           uint64_t plainLength);
// The whole-block plaintext of a protected file in memory, cut as DecryptFileWithIv cuts it
// (no plaintext copy on disk). False when the file cannot be read.
bool DecryptFileToMemory(const Key& key, const std::string& protectedPath, const Iv& iv,
                         std::string& plain);

// Overwrites the file four times, each a pass of 0x00 bytes then a pass of 0xFF bytes over
// its length, then deletes it. Only a regular file with one name, owned by this user and
// reached without a link, is overwritten; anything else under the name only loses the name.
// Raises CFileException when a regular file cannot be opened or the name cannot be removed.
void SecureDeleteFile(const std::string& path);
// Wipes a plaintext file when it exists; deletes it when it cannot be opened to wipe it.
// Never raises: it runs while failures are on their way and while the program ends.
void WipeIfPresent(const std::string& path) noexcept;
// Wipes a plaintext file the program made through the stream it was made with (never
// opened again by name), closes the stream and removes the name. Never raises.
void WipeOpenFile(platform::CFile& file, const std::string& path) noexcept;

// The database's initialisation vector, made from its path.
Iv DatabaseIv(const std::string& databasePath);
