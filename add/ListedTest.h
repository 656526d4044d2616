// The previously-listed test: whether a database's plaintext already holds a record of a
// path. A record's path field is compared whole, without letter case, and followed by its
// separator 0x7F, so a listed path that is only a prefix of the new one does not count.
// Lines are read whole, however long: a path of any length is found.
#pragma once

#include <string>

#include "platform/File.h"

// Whether `line` begins with `path` followed by 0x7F, letter case ignored.
bool RecordLineHasPath(const std::string& line, const std::string& path);

// Reads the open plaintext from where it stands to its end, line by line; true at the first
// record of `path`.
bool IsPathListed(platform::CFile& plain, const std::string& path);
