// "Changed file details.": the data exchange, the colours and marks of the five pairs (equal
// texts are blue with a tick, different ones red with a cross), and the two push buttons,
// "Further analysis" and "Help". The fill lives in ChangedFileDetailsDlgFill.cpp.
#include "check/ChangedFileDetailsDlg.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "app/WorkFilesView.h"
#include "check/FileAnalysisDlg.h"
#include "platform/Ui.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

enum { kTickIcon = 370, kCrossIcon = 371 };

}  // namespace

CChangedFileDetailsDlg::CChangedFileDetailsDlg(WorkFilesView* parent)
    : CDialog(IDD), m_view(parent) {}

void CChangedFileDetailsDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_PATH1, "m_pathLine1", m_pathLine1);
    dx.Text(IDC_PATH2, "m_pathLine2", m_pathLine2);
    dx.Text(IDC_PATH3, "m_pathLine3", m_pathLine3);
    dx.Text(IDC_ATTR_NOW, "m_attributesNow", m_attributesNow);
    dx.Text(IDC_ATTR_ADDED, "m_attributesWhenAdded", m_attributesWhenAdded);
    dx.Text(IDC_DIGEST_NOW, "m_digestNow", m_digestNow);
    dx.Text(IDC_DIGEST_ADDED, "m_digestWhenAdded", m_digestWhenAdded);
    dx.Text(IDC_FILE_TYPE, "m_fileType", m_fileType);
    dx.Text(IDC_SIZE_NOW, "m_sizeNow", m_sizeNow);
    dx.Text(IDC_SIZE_ADDED, "m_sizeWhenAdded", m_sizeWhenAdded);
    dx.Text(IDC_MODIFIED_NOW, "m_modifiedNow", m_modifiedNow);
    dx.Text(IDC_MODIFIED_ADDED, "m_modifiedWhenAdded", m_modifiedWhenAdded);
    dx.Text(IDC_CREATED_NOW, "m_createdNow", m_createdNow);
    dx.Text(IDC_CREATED_ADDED, "m_createdWhenAdded", m_createdWhenAdded);
    dx.Int(IDC_CHOICE_IGNORE, "m_choice", m_choice);
    dx.Text(IDC_LAST_CHECKED, "m_lastCheckedText", m_lastCheckedText);
}

bool CChangedFileDetailsDlg::TextColour(int id, COLORREF& colour) const {
    const std::string* now = nullptr;
    const std::string* added = nullptr;
    switch (id) {
        case IDC_SIZE_NOW:
            now = &m_sizeNow, added = &m_sizeWhenAdded;
            break;
        case IDC_ATTR_NOW:
            now = &m_attributesNow, added = &m_attributesWhenAdded;
            break;
        case IDC_DIGEST_NOW:
            now = &m_digestNow, added = &m_digestWhenAdded;
            break;
        case IDC_MODIFIED_NOW:
            now = &m_modifiedNow, added = &m_modifiedWhenAdded;
            break;
        case IDC_CREATED_NOW:
            now = &m_createdNow, added = &m_createdWhenAdded;
            break;
        case IDC_SIZE_ADDED:
        case IDC_ATTR_ADDED:
        case IDC_DIGEST_ADDED:
        case IDC_MODIFIED_ADDED:
        case IDC_CREATED_ADDED:
            colour = kBlue;
            return true;
        default:
            return false;
    }
    colour = *now == *added ? kBlue : kRed;
    return true;
}

Icon CChangedFileDetailsDlg::ControlIcon(int id) const {
    auto mark = [](const std::string& now, const std::string& added) {
        return Icon::Resource(now == added ? kTickIcon : kCrossIcon);
    };
    switch (id) {
        case IDC_FILE_ICON:
            return m_fileIcon;
        case IDC_SIZE_MARK:
            return mark(m_sizeNow, m_sizeWhenAdded);
        case IDC_ATTR_MARK:
            return mark(m_attributesNow, m_attributesWhenAdded);
        case IDC_DIGEST_MARK:
            return mark(m_digestNow, m_digestWhenAdded);
        case IDC_MODIFIED_MARK:
            return mark(m_modifiedNow, m_modifiedWhenAdded);
        case IDC_CREATED_MARK:
            return mark(m_createdNow, m_createdWhenAdded);
        default:
            return Icon();
    }
}

void CChangedFileDetailsDlg::OnCommand(int id) {
    if (id == IDC_FURTHER_ANALYSIS)
        OnFurtherAnalysis();
    if (id == IDC_HELP_BUTTON)
        OnChangedFileHelp();
}

// The analysis dialog reads the file to analyse from the frame; this dialog stays open
// beneath it.
void CChangedFileDetailsDlg::OnFurtherAnalysis() {
    if (m_view == nullptr)
        return;
    CMainFrame& frame = m_view->GetParentFrame();
    frame.m_analysisPath = m_pathLine1 + m_pathLine2 + m_pathLine3;
    CFileAnalysisDlg analysis(frame);
    analysis.DoModal();
}

void CChangedFileDetailsDlg::OnChangedFileHelp() {
    std::string installDir;
    ReadSetting(settings::kInstallDir, installDir);
    Ui().ShowHelp(installDir + "Quillstead.chm::/filechanges.html>Main");
}
