// "File restore from backup." (template 298), the model: the changed file's path in three
// lines, the choice of what happens to the changed file (m_restoreMode 0 delete it, 1 move
// it into the changed-files folder), the frame's icon of the changed file, and the Help
// button. The wx view in gui/ only moves these members to and from its controls.
#include "check/RestoreDlg.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/Ui.h"

CRestoreDlg::CRestoreDlg(CMainFrame* frame) : CDialog(IDD), m_frame(frame) {}

void CRestoreDlg::DoDataExchange(DataExchange& dx) {
    dx.Int(IDC_MODE_DELETE, "m_restoreMode", m_restoreMode);
    dx.Text(IDC_PATH1, "m_pathLine1", m_pathLine1);
    dx.Text(IDC_PATH2, "m_pathLine2", m_pathLine2);
    dx.Text(IDC_PATH3, "m_pathLine3", m_pathLine3);
}

void CRestoreDlg::OnCommand(int id) {
    if (id == IDC_HELP_BUTTON)
        OnRestoreHelp();
}

Icon CRestoreDlg::ControlIcon(int id) const {
    if (id == IDC_FILE_ICON && m_frame)
        return m_frame->m_changedFileIcon;
    return Icon();
}

void CRestoreDlg::OnRestoreHelp() {
    std::string installDir;
    ReadSetting(settings::kInstallDir, installDir);
    Ui().ShowHelp(installDir + "Quillstead.chm::/filechanges.html>Main");
}
