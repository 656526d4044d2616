// "File Analysis: ": the caption, the buttons' commands and the help. The displays themselves
// are in FileAnalysisDisplay.cpp.
#include "check/FileAnalysisDlg.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/Ui.h"

CFileAnalysisDlg::CFileAnalysisDlg(CMainFrame& frame) : CDialog(IDD), m_frame(frame) {}

void CFileAnalysisDlg::DoDataExchange(DataExchange&) {}

const std::string& CFileAnalysisDlg::AnalysisPath() const {
    return m_frame.m_analysisPath;
}

bool CFileAnalysisDlg::OnInitDialog() {
    m_caption = "File Analysis: " + m_frame.m_analysisPath;
    return true;
}

void CFileAnalysisDlg::OnCommand(int id) {
    switch (id) {
        case IDC_TEXT_DISPLAY:
            OnTextDisplay();
            break;
        case IDC_HEX_DISPLAY:
            OnHexDisplay();
            break;
        case IDC_CANCEL_ANALYSIS:
            OnCancelAnalysis();
            break;
        case IDC_HELP_BUTTON:
            OnAnalysisHelp();
            break;
        default:
            break;
    }
}

void CFileAnalysisDlg::OnTextDisplay() {
    RunDisplay(false);
}

void CFileAnalysisDlg::OnHexDisplay() {
    ShowHexAnalysis();
}

void CFileAnalysisDlg::ShowHexAnalysis() {
    RunDisplay(true);
}

void CFileAnalysisDlg::OnCancelAnalysis() {
    m_cancelRequested = 1;
}

void CFileAnalysisDlg::OnAnalysisHelp() {
    std::string installDir;
    ReadSetting(settings::kInstallDir, installDir);
    Ui().ShowHelp(installDir + "Quillstead.chm::/filechanges.html>Main");
}
