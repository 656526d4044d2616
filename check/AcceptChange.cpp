// Placeholder until acceptance and restore land.
#include "check/CheckRunState.h"

void AcceptChangedFile(CheckRunState&, int) {}
void RestoreFileFromBackup(CheckRunState&, const CChangedFileDetailsDlg&) {}
