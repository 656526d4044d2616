// Where the program's dialogs stand: each fits the work area of its screen, the texts that
// hold paths first narrowed and then scrolled to make room, so that every button can be
// reached; and each stands in the middle of the main window, moved wholly onto the screen.
#pragma once

#include <wx/gdicmn.h>

#include <vector>

class wxTopLevelWindow;
class wxWindow;
class WrappedText;

// The work area of the display that shows `window` (of its parent's while it is hidden).
wxRect WorkArea(const wxWindow& window);

// Sizes `window` to what its sizer needs, and to `least` (a client size) where that is
// larger, within the work area: wider than the area, the wrapped texts become narrower;
// taller, the tallest of them gives up height and scrolls.
void FitOnScreen(wxTopLevelWindow& window, const std::vector<WrappedText*>& texts,
                 const wxSize& least = wxDefaultSize);

// Centres `window` on `on` while that is shown (else on its parent, else on the screen),
// then moves it wholly into the work area.
void CentreOn(wxTopLevelWindow& window, wxWindow* on);
