// The main window's status bar: three panes, pane 0 carrying the captions and the status
// texts and, while a status-bar progress runs, the progress bar beside its caption. The bar
// counts every step and redraws at most 50 times a second (gui/RedrawGate.h).
#pragma once

#include <wx/statusbr.h>
#include <wx/timer.h>

#include <string>

#include "gui/RedrawGate.h"
#include "platform/WinTypes.h"

class ColourBar;

class QuillStatusBar : public wxStatusBar {
  public:
    explicit QuillStatusBar(wxWindow* parent);

    // Pane 0 shows the caption and the bar (range 0..total, step 1) in the given colour,
    // or in the theme's colour when defaultColour is true.
    void BeginProgress(const std::string& caption, int total, COLORREF colour, bool defaultColour);
    // One step; the bar shows it now or, when it redrew less than 20 ms ago, a little later.
    void StepProgress();
    // Destroys the bar; the caption stays.
    void EndProgress();
    // Pane 0, redrawn at once.
    void SetPaneText(const std::string& text);

    // The bar while it exists (for the tests); null otherwise.
    ColourBar* Bar() const { return m_bar; }
    // The steps counted on the bar, shown or not yet; how often the bar was redrawn.
    int ProgressValue() const { return m_value; }
    long Redraws() const { return m_gate.Redraws(); }

  private:
    void PlaceBar();
    // Shows the counted steps when the gate lets the bar redraw, else arms the flush timer.
    void ShowWhenDue();

    ColourBar* m_bar = nullptr;
    int m_captionWidth = 0;
    int m_value = 0;
    RedrawGate m_gate;
    wxTimer m_flush;
};
