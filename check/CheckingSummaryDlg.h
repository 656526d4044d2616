// "Checking Summary." (template 303), the model: the database, the moment of the check and
// the numbers of files listed, checked, unchecked, identical and changed, each held as text.
// The marks and colours are exact text comparisons between the members.
#pragma once

#include <string>

#include "platform/Dialog.h"
#include "platform/WinTypes.h"

class CCheckingSummaryDlg : public CDialog {
  public:
    enum { IDD = 303 };
    enum {
        IDC_DATABASE_ICON = 1200,
        IDC_PATH1 = 1177,
        IDC_PATH2 = 1178,
        IDC_PATH3 = 1179,
        IDC_CHECKED_TIME = 1215,
        IDC_FILES_LISTED = 1254,
        IDC_CHECKED_MARK = 1219,
        IDC_FILES_CHECKED = 1216,
        IDC_UNCHECKED_MARK = 1224,
        IDC_FILES_UNCHECKED = 1223,
        IDC_IDENTICAL_MARK = 1220,
        IDC_FILES_IDENTICAL = 1217,
        IDC_CHANGED_MARK = 1221,
        IDC_FILES_CHANGED = 1218,
        IDC_EXPECTED_COUNT = 1222,
        IDC_BITMAP_FRAME = 1120,
    };

    CCheckingSummaryDlg() : CDialog(IDD) {}

    const char* ClassName() const override { return "CCheckingSummaryDlg"; }
    void DoDataExchange(DataExchange& dx) override;
    bool TextColour(int id, COLORREF& colour) const override;
    Icon ControlIcon(int id) const override;

    // The fill at the end of the records.
    void Fill(const std::string& databasePath, unsigned long recordCount, unsigned long checked,
              unsigned long changed, unsigned long unchecked, const SYSTEMTIME& now);

    std::string m_pathLine1, m_pathLine2, m_pathLine3;
    std::string m_filesCheckedText, m_filesChangedText, m_filesIdenticalText;
    std::string m_checkedTimeText, m_filesUncheckedText, m_expectedCountText;
    std::string m_filesListedText;
};
