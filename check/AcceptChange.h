// Inside the acceptance of a changed file: the new record line and the renewal of the file's
// backup copy (choice 1).
#pragma once

#include <string>

struct CheckRunState;
class CCheckProgressDlg;

// The status-bar caption while a new backup copy is made.
extern const char* const kRenewingBackupText;

// The record line of the file's present state, CR LF included: the size without leading
// blanks ("%.2lf" for choice 1, "%lf" for choice 2, cut at the last '.').
std::string AcceptedRecordLine(const CheckRunState& run, int choice);

// Choice 1: the file's copy and entry are staged to take the place of the old ones in
// "Backup File <n>" and "Backup Index <n>" (or to go at the end when it had none); the file
// is read once, and its bytes must have the digest the details dialog showed. When the file
// cannot be read, has changed since it was shown, or the pair is damaged, that is said and
// the pair stays as it was. While the copy is made it shows that it works (busy cursor, a
// moving status-bar bar, the window let repaint through the check's progress dialog, when
// there is one).
void RenewBackupCopy(CheckRunState& run, CCheckProgressDlg* progress = nullptr);
