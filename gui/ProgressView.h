// The modeless progress dialogs of the seam on wx: template 102 "Checking all files in
// database." and template 108 "Adding files.", each with the current file, the remaining
// files and data, an icon, a bar of 0..65000 with its percent text, and Cancel, which only
// raises a flag. The owner (the main window) is disabled while the dialog is up. The cancel
// poll is gui/CancelPoll.h: a counter, and the events let run every few milliseconds.
#pragma once

#include <wx/dialog.h>

#include "gui/CancelPoll.h"
#include "platform/Ui.h"

class wxGauge;
class wxStaticText;
class wxStaticBitmap;

class ProgressView : public ProgressWindow {
  public:
    static constexpr int kRange = 65000;

    ProgressView(wxWindow* owner, int templateId);
    ~ProgressView() override;

    void SetTitle(const std::string& title) override;
    void SetItemText(int id, const std::string& text) override;
    void SetIcon(int id, const Icon& icon) override;
    void SetPos(int pos) override;
    bool PollCancel() override { return m_poll.Poll(); }
    void Close() override;

    // The window, while it exists (for the tests); null after Close.
    wxDialog* Window() const { return m_dialog; }
    // How often the events were let run (for the tests and the benchmark).
    long Pumps() const { return m_poll.Pumps(); }

    // The percent text of a bar position.
    static std::string PercentText(int pos);

  private:
    wxDialog* m_dialog = nullptr;
    wxWindow* m_owner = nullptr;
    bool m_ownerWasEnabled = false;
    wxStaticText* m_percent = nullptr;
    wxGauge* m_gauge = nullptr;
    wxStaticBitmap* m_icon = nullptr;
    CancelPoll m_poll;
};
