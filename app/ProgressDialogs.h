// The modeless progress dialogs' models: `CCheckProgressDlg` (template 102 "Checking all
// files in database.") and `CAddProgressDlg` (template 108 "Adding files."). Each holds its
// bar position (0..65000) and drives a ProgressWindow of the seam. CheckCancelButton is
// called per 64-byte block, so it is a single virtual call.
#pragma once

#include <memory>
#include <string>

#include "platform/Ui.h"

class CProgressDlg {
  public:
    explicit CProgressDlg(int templateId) : m_templateId(templateId) {}
    virtual ~CProgressDlg();  // closes the window if it still exists

    // Shows the dialog (disabling the main window), its bar at 0.
    void Create();
    void SetWindowText(const std::string& title);
    void SetItemText(int id, const std::string& text);
    void SetIcon(int id, const Icon& icon);
    // Each first dispatches the waiting messages, then moves the bar and the percent text.
    void SetPos(int pos);
    void OffsetPos(int amount);
    // 1 once after Cancel was pressed (the flag is cleared), else 0.
    int CheckCancelButton() { return (m_window && m_window->PollCancel()) ? 1 : 0; }
    void Close();

    int GetPos() const { return m_pos; }
    bool IsOpen() const { return m_window != nullptr; }

  private:
    int m_templateId;
    int m_pos = 0;
    std::unique_ptr<ProgressWindow> m_window;
};

class CCheckProgressDlg : public CProgressDlg {
  public:
    explicit CCheckProgressDlg(int /*captionId*/ = 0) : CProgressDlg(102) {}
};

class CAddProgressDlg : public CProgressDlg {
  public:
    CAddProgressDlg() : CProgressDlg(108) {}
};
