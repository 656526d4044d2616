// Inside the acceptance of a changed file: the new record line, the renewal of the file's
// backup copy (choice 1), and the numbered points between the writes of stored files where a
// test can stop the process to see what an interruption leaves behind.
#pragma once

#include <string>

struct CheckRunState;

// The record line of the file's present state, CR LF included: the size without leading
// blanks ("%.2lf" for choice 1, "%lf" for choice 2, cut at the last '.').
std::string AcceptedRecordLine(const CheckRunState& run, int choice);

// Choice 1: the file's copy and entry take the place of the old ones in "Backup File <n>" and
// "Backup Index <n>" (or go at the end when it had none). On any failure both stay as they
// were, the failure is reported, and no temporary file is left.
void RenewBackupCopy(CheckRunState& run);

// The points, in the order an acceptance reaches them.
enum AcceptStep {
    kStepRecordRewritten = 1,  // the new database plaintext is complete, nothing stored yet
    kStepDatabaseStored,       // the database is encrypted with the new record
    kStepDigestRefreshed,      // its digest in the "Database Index" is renewed
    kStepRepositioned,         // the check's working copy is open again and positioned
    kStepNewBackupWritten,     // the new backup index (plain) and backup file are complete
    kStepNewIndexEncrypted,    // the new index is encrypted beside the old one
    kStepBackupFileReplaced,   // "Backup File <n>" is the new one
    kStepBackupIndexReplaced,  // "Backup Index <n>" is the new one
};
using AcceptStepHook = void (*)(int step);
// Null in the program; a test sets it.
void SetAcceptStepHook(AcceptStepHook hook);
void ReachAcceptStep(int step);
