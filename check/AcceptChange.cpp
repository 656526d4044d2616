// Placeholder until acceptance and restore land.
#include "check/CheckRunState.h"
#include "check/RestoreDlg.h"

void AcceptChangedFile(CheckRunState&, int) {}
void RestoreFileFromBackup(CheckRunState&, const CChangedFileDetailsDlg&) {}

CRestoreDlg::CRestoreDlg(CMainFrame* frame) : CDialog(IDD), m_frame(frame) {}
void CRestoreDlg::DoDataExchange(DataExchange&) {}
void CRestoreDlg::OnCommand(int) {}
Icon CRestoreDlg::ControlIcon(int) const { return Icon(); }
void CRestoreDlg::OnRestoreHelp() {}
