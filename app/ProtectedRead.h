// Reading a whole protected file into memory for a command: the plaintext never reaches the
// disk, and a file that cannot be read ends the command with the file exception and its
// cause, as an open would.
#pragma once

#include <string>

#include "storage/Crypto.h"

// The decrypted text (cut as a decryption into a working copy cuts it). A file that cannot
// be opened raises CFileException with the open's cause; one whose length is not a whole
// number of blocks raises it with the cause invalidFile.
std::string ReadProtectedFile(const Key& key, const std::string& path, const Iv& iv);
