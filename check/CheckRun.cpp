// Placeholder until the check lands.
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRunState.h"
#include "check/CheckingSummaryDlg.h"
#include "check/RestoreDlg.h"
#include "database/ListView.h"

void CListview::OnCheckAllFiles() {}

CChangedFileDetailsDlg::CChangedFileDetailsDlg(CListview* parent) : CDialog(IDD), m_view(parent) {}
void CChangedFileDetailsDlg::DoDataExchange(DataExchange&) {}
void CChangedFileDetailsDlg::OnCommand(int) {}
bool CChangedFileDetailsDlg::TextColour(int, COLORREF&) const { return false; }
Icon CChangedFileDetailsDlg::ControlIcon(int) const { return Icon(); }
void CChangedFileDetailsDlg::Fill(CListview&, const FileRecord&, const platform::WIN32_FIND_DATA&,
                                  const std::string&) {}
void CChangedFileDetailsDlg::OnFurtherAnalysis() {}
void CChangedFileDetailsDlg::OnChangedFileHelp() {}

void CCheckingSummaryDlg::DoDataExchange(DataExchange&) {}
bool CCheckingSummaryDlg::TextColour(int, COLORREF&) const { return false; }
Icon CCheckingSummaryDlg::ControlIcon(int) const { return Icon(); }
void CCheckingSummaryDlg::Fill(const std::string&, unsigned long, unsigned long, unsigned long,
                               unsigned long, const SYSTEMTIME&) {}
