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

// Sizes `window`'s client to what its sizer needs, and to `least` where that is larger,
// within the work area: wider than the area, the windows that give way (a picture) and then
// the wrapped texts become narrower; taller, the tallest text gives up height and scrolls.
// The client size is what is set: the frame a window manager adds comes on top of it.
void FitOnScreen(wxTopLevelWindow& window, const std::vector<WrappedText*>& texts,
                 const wxSize& least = wxDefaultSize, const std::vector<wxWindow*>& givingWay = {});

// Centres `window` on `on` while that is shown (else on its parent, else on the screen),
// then moves it wholly into the work area; once the window is on screen and framed, again.
void CentreOn(wxTopLevelWindow& window, wxWindow* on);
