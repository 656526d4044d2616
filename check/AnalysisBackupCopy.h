// The backup copy of the file being analysed, as one display finds it: the open database's
// line in the "Database Index" (the first that begins with the database's whole path followed
// by 0x7F) gives the backup number, and the backup pair's first entry of the file (its whole
// path followed by 0x7F) gives the copy, its mode and its place. Without a line, a pair's
// index or an entry there is no copy, and the display shows the not-backed-up rows. Nothing is
// written and no plaintext copy is made: the copy is read in place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "check/AnalysisSource.h"

class CMainFrame;

struct AnalysisBackupCopy {
    bool found = false;
    bool encrypted = false;   // mode "N"
    uint64_t copyLength = 0;  // whole bytes
    // The bytes the copy gives (what "Backup File <n>" holds of it, an encrypted copy cut to
    // its plain size): at most its length.
    uint64_t available = 0;
    std::shared_ptr<AnalysisSource> source;  // null without a copy or for an empty one
};

// A file a display could not read, and why (a file exception's cause).
struct AnalysisProblem {
    std::string file;
    int cause = 0;
};

// Finds the copy of `file` for the frame's open database in the backup folder `backupDir` (no
// copy when the folder is not known). False with the problem when the "Database Index", the
// "Backup Index <n>" or "Backup File <n>" cannot be read.
bool FindAnalysisBackupCopy(CMainFrame& frame, const std::string& backupDir,
                            const std::string& file, AnalysisBackupCopy& copy,
                            AnalysisProblem& problem);
