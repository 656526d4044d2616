// The modeless progress dialogs of the seam on wx: template 102 "Checking all files in
// database." and template 108 "Adding files.", each with the current file, the remaining
// files and data, an icon, a bar of 0..65000 with its percent text, and Cancel, which only
// raises a flag; and the add pre-scans' searching dialog (template 110), which shows the
// folder being searched and what was found, without a bar. The owner (the main window) is disabled
// while the dialog is up. The cancel poll is gui/CancelPoll.h: a counter, and the events let run
// every few milliseconds. The bar and its percent text redraw at most 50 times a second
// (gui/RedrawGate.h), however often they are moved; a move that comes too soon is shown by the next
// one or by a flush timer. A prompt of the command stands over the dialog, and a Cancel being
// pressed as the prompt opened counts once the prompt is answered.
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

#include "gui/CancelPoll.h"
#include "gui/RedrawGate.h"
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
    // How often the bar was redrawn (for the tests).
    long Redraws() const { return m_gate.Redraws(); }

    // The percent text of a bar position.
    static std::string PercentText(int pos);

    // The progress dialog open last (null when none): a prompt of its command belongs to it,
    // so that the window manager keeps the prompt above it.
    static wxDialog* Latest();
    // A prompt has been answered: a Cancel that was being pressed as the prompt opened (the
    // prompt disabled the dialog before the press was over) counts now.
    static void PromptAnswered();

  private:
    // Shows m_pos on the bar and in the percent text.
    void ShowPos();

    wxDialog* m_dialog = nullptr;
    wxWindow* m_owner = nullptr;
    bool m_ownerWasEnabled = false;
    wxStaticText* m_percent = nullptr;
    wxGauge* m_gauge = nullptr;
    wxStaticBitmap* m_icon = nullptr;
    CancelPoll m_poll;
    int m_pos = 0;
    RedrawGate m_gate;
    wxTimer m_flush;
    bool m_cancelDown = false;  // the mouse went down on Cancel and has not come up there
};
