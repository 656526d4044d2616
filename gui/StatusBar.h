// The main window's status bar: three panes, pane 0 carrying the captions and the status
// texts and, while a status-bar progress runs, the progress bar beside its caption.
#pragma once

#include <wx/statusbr.h>

#include <string>

#include "platform/WinTypes.h"

class ColourBar;

class QuillStatusBar : public wxStatusBar {
  public:
    explicit QuillStatusBar(wxWindow* parent);

    // Pane 0 shows the caption and the bar (range 0..total, step 1) in the given colour,
    // or in the theme's colour when defaultColour is true.
    void BeginProgress(const std::string& caption, int total, COLORREF colour, bool defaultColour);
    void StepProgress();
    // Destroys the bar; the caption stays.
    void EndProgress();
    // Pane 0, redrawn at once.
    void SetPaneText(const std::string& text);

    // The bar while it exists (for the tests); null otherwise.
    ColourBar* Bar() const { return m_bar; }

  private:
    void PlaceBar();

    ColourBar* m_bar = nullptr;
    int m_captionWidth = 0;
};
