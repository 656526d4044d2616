// "Checking Summary.": the fill at the end of a check, the data exchange, and the marks and
// colours, each an exact comparison of the texts the dialog holds.
#include "check/CheckingSummaryDlg.h"

#include <cstdio>

#include "check/CheckTexts.h"

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);

enum { kDatabaseIcon = 128, kTickIcon = 370, kCrossIcon = 371, kWarningIcon = 395 };

std::string Unsigned(unsigned long value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lu", value);
    return buf;
}

}  // namespace

void CCheckingSummaryDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_PATH1, "m_pathLine1", m_pathLine1);
    dx.Text(IDC_PATH2, "m_pathLine2", m_pathLine2);
    dx.Text(IDC_PATH3, "m_pathLine3", m_pathLine3);
    dx.Text(IDC_FILES_CHECKED, "m_filesCheckedText", m_filesCheckedText);
    dx.Text(IDC_FILES_CHANGED, "m_filesChangedText", m_filesChangedText);
    dx.Text(IDC_FILES_IDENTICAL, "m_filesIdenticalText", m_filesIdenticalText);
    dx.Text(IDC_CHECKED_TIME, "m_checkedTimeText", m_checkedTimeText);
    dx.Text(IDC_FILES_UNCHECKED, "m_filesUncheckedText", m_filesUncheckedText);
    dx.Text(IDC_EXPECTED_COUNT, "m_expectedCountText", m_expectedCountText);
    dx.Text(IDC_FILES_LISTED, "m_filesListedText", m_filesListedText);
}

void CCheckingSummaryDlg::Fill(const std::string& databasePath, unsigned long recordCount,
                               unsigned long checked, unsigned long changed,
                               unsigned long unchecked, const SYSTEMTIME& now) {
    m_expectedCountText = Unsigned(recordCount);
    m_filesListedText = Unsigned(recordCount);
    SplitPathLines(databasePath, m_pathLine1, m_pathLine2, m_pathLine3);
    m_filesUncheckedText = Unsigned(unchecked);
    m_filesCheckedText = Unsigned(checked);
    m_filesChangedText = Unsigned(changed);
    m_filesIdenticalText = Unsigned(checked - changed);
    m_checkedTimeText = FormatTimeText(now);
}

bool CCheckingSummaryDlg::TextColour(int id, COLORREF& colour) const {
    switch (id) {
        case IDC_FILES_CHECKED:
            colour = m_filesCheckedText == m_expectedCountText ? kBlue : kRed;
            return true;
        case IDC_FILES_IDENTICAL:
            colour = m_filesIdenticalText == m_filesCheckedText ? kBlue : kRed;
            return true;
        case IDC_FILES_CHANGED:
            colour = m_filesChangedText == "0" ? kBlue : kRed;
            return true;
        case IDC_FILES_UNCHECKED:
            colour = m_filesUncheckedText == "0" ? kBlue : kYellow;
            return true;
        default:
            return false;
    }
}

Icon CCheckingSummaryDlg::ControlIcon(int id) const {
    switch (id) {
        case IDC_DATABASE_ICON:
            return Icon::Resource(kDatabaseIcon);
        case IDC_CHECKED_MARK:
            return Icon::Resource(m_filesCheckedText == m_expectedCountText ? kTickIcon
                                                                            : kCrossIcon);
        case IDC_IDENTICAL_MARK:
            return Icon::Resource(m_filesIdenticalText == m_filesCheckedText ? kTickIcon
                                                                             : kCrossIcon);
        case IDC_CHANGED_MARK:
            return Icon::Resource(m_filesChangedText == "0" ? kTickIcon : kCrossIcon);
        case IDC_UNCHECKED_MARK:
            return Icon::Resource(m_filesUncheckedText == "0" ? kTickIcon : kWarningIcon);
        default:
            return Icon();
    }
}
