// The backup copy of the file being analysed, as one display finds it: the open database's
// line in the "Database Index" (the first that begins with the database's whole path followed
// by 0x7F) gives the backup number, and the backup pair's first entry of the file (its whole
// path followed by 0x7F) gives the copy, its mode and its place. Without a line, a pair's
// index or an entry there is no copy, and the display shows the not-backed-up rows. A copy is
// shown only once it has been read whole and found to be the file that was backed up. Nothing
// is written and no plaintext copy is made: the copy is read in place.
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

// A file a display could not read, and why (a file exception's cause), or, when `text` is
// set, a backup copy the display cannot vouch for and what is wrong with it.
struct AnalysisProblem {
    std::string file;
    int cause = 0;
    std::string text;
};

// Finds the copy of `file` for the frame's open database in the backup folder `backupDir` (no
// copy when the folder is not known) and holds it to its digest (the one kept with the pair,
// or, for a copy made before digests were kept, the one of the file's record). False with
// the problem when the "Database Index", the "Backup Index <n>" or "Backup File <n>" cannot
// be read, or the copy is not the file that was backed up.
bool FindAnalysisBackupCopy(CMainFrame& frame, const std::string& backupDir,
                            const std::string& file, AnalysisBackupCopy& copy,
                            AnalysisProblem& problem);
