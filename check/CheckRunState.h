// What the check run hands to the acceptance of a changed file and to the restore: the
// record being reported, the file's present state, and the run's own counters and flags
// that an acceptance moves (the working copy is rewritten and the stream repositioned).
#pragma once

#include <string>

#include "platform/FindData.h"

class WorkFilesView;
class CMainFrame;
class Settings;
class CChangedFileDetailsDlg;
class CCheckProgressDlg;

struct CheckRunState {
    WorkFilesView* view = nullptr;  // the view whose database the check works on
    CMainFrame* frame = nullptr;
    Settings* settings = nullptr;  // the check's, read once

    int recordsCounted = 0;  // N, from the counting pass
    int recordsBegun = 0;
    int recordsMoved = 0;  // records moved to the end by acceptances so far
    bool refill = false;   // the list is refilled at the finish
    bool repositioned = false;
    // The restore's status pane goes straight to "Ready" once the original's copy is made
    // (the scheduled check), rather than through "Processing...".
    bool restoreStraightToReady = false;

    std::string path;                    // the record's path
    std::string storedDigest;            // 32 characters as stored
    std::string newDigest;               // 32 lower-case hex characters
    platform::WIN32_FIND_DATA findData;  // as the check took it when it opened the file
    bool findDataValid = false;
};

// Choices 1 and 2: the record rewritten from the file's present state and moved to the end
// of the database, the running check repositioned on its next record (in the frame's
// m_checkWorkFile), the database's digest refreshed; choice 1 also renews the backup copy,
// showing its progress in the status bar and letting the window repaint through `progress`
// (the check's progress dialog) while it copies.
void AcceptChangedFile(CheckRunState& run, int choice, CCheckProgressDlg* progress = nullptr);

// Choice 3: asks "File restore from backup." what to do with the changed file, then puts
// the backed-up original in its place.
void RestoreFileFromBackup(CheckRunState& run, const CChangedFileDetailsDlg& details);
