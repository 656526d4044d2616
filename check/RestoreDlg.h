// "File restore from backup." (template 298), the model: the changed file's path in three
// lines and what to do with the changed file (m_restoreMode 0 delete it, 1 move it into the
// changed-files folder). The icon is the frame's m_changedFileIcon.
#pragma once

#include <string>

#include "platform/Dialog.h"

class CMainFrame;

class CRestoreDlg : public CDialog {
  public:
    enum { IDD = 298 };
    enum {
        IDC_FILE_ICON = 1200,
        IDC_PATH1 = 1177,
        IDC_PATH2 = 1178,
        IDC_PATH3 = 1179,
        IDC_MODE_DELETE = 1201,
        IDC_MODE_MOVE = 1202,
        IDC_BITMAP_FRAME = 1120,
        IDC_HELP_BUTTON = 1193,
    };

    explicit CRestoreDlg(CMainFrame* frame = nullptr);

    const char* ClassName() const override { return "CRestoreDlg"; }
    void DoDataExchange(DataExchange& dx) override;
    void OnCommand(int id) override;  // 1193 OnRestoreHelp
    Icon ControlIcon(int id) const override;

    void OnRestoreHelp();

    int m_restoreMode = 1;
    std::string m_pathLine1, m_pathLine2, m_pathLine3;

  private:
    CMainFrame* m_frame;
};
