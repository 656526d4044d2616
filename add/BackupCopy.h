// The backup copy of an added file: its bytes (mode "N": encrypted as a protected file
// under the key and the vector of "Backup Index <n>") appended to "Backup File <n>", and
// its line appended to "Backup Index <n>", so the k-th line always describes the k-th copy.
// A copy whose line cannot be written is taken back out of "Backup File <n>".
#pragma once

#include <cstdint>
#include <string>

#include "platform/File.h"

class CListview;

// Backs up the file at `path`, open in `file` at its start (mode "N" closes it), whose
// low size word is `plainSize`. Reads the backup folder into the view's m_backupDirectory
// and Config17. A database without a "Database Index" line, or a "Backup File <n>" that
// cannot be opened, is reported with a message and nothing is written; a failure after the
// copy was appended raises the file exception with the copy taken back out.
void BackUpAddedFile(CListview& view, const std::string& path, platform::CFile& file,
                     uint32_t plainSize);
