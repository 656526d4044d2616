// `CSearchProgressDlg`, the pre-scans' modeless searching dialog (template 110) with Cancel:
// the folder being searched (1005), and the count (1114) and size (1115) of the files found
// so far that would be added.
#pragma once

#include "app/ProgressDialogs.h"

class CSearchProgressDlg : public CProgressDlg {
  public:
    enum { IDD = 110 };
    enum { IDC_FOLDER = 1005, IDC_FOUND_COUNT = 1114, IDC_FOUND_SIZE = 1115 };
    CSearchProgressDlg() : CProgressDlg(IDD) {}
};
