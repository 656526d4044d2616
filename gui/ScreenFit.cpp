// Sizing dialogs to the screen and centring them.
#include "gui/ScreenFit.h"

#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>

#include <algorithm>

#include "gui/WrappedText.h"

namespace {

// The narrowest a wrapped text becomes, and the fewest lines it shows before it scrolls.
constexpr int kLeastWidth = 160;
constexpr int kLeastLines = 3;
// Room kept free around a dialog, and the least room taken for its frame and title bar
// (the frame's own size is known only once the window is on screen).
const wxSize kMargin(16, 16);
const wxSize kLeastFrame(0, 32);

// The client size the work area leaves a window.
wxSize ClientRoom(const wxTopLevelWindow& window) {
    wxSize frame = window.GetSize() - window.GetClientSize();
    frame.IncTo(kLeastFrame);
    return WorkArea(window).GetSize() - frame - kMargin;
}

// Takes `excess` pixels of width from every wrapped text; false when none can give any.
bool Narrow(const std::vector<WrappedText*>& texts, int excess) {
    bool changed = false;
    for (WrappedText* text : texts) {
        const int width = std::max(kLeastWidth, text->MaxWidth() - excess);
        if (width < text->MaxWidth()) {
            text->SetLimits(width, text->MaxHeight());
            changed = true;
        }
    }
    return changed;
}

// Takes `excess` pixels of height from the texts, the tallest first; false when none can.
bool Shorten(std::vector<WrappedText*> texts, int excess) {
    std::sort(texts.begin(), texts.end(),
              [](WrappedText* a, WrappedText* b) { return a->GetMinSize().y > b->GetMinSize().y; });
    bool changed = false;
    for (WrappedText* text : texts) {
        if (excess <= 0)
            break;
        const int height = text->GetMinSize().y;
        const int give = std::min(excess, height - kLeastLines * text->LineHeight());
        if (give > 0) {
            text->SetLimits(text->MaxWidth(), height - give);
            excess -= give;
            changed = true;
        }
    }
    return changed;
}

}  // namespace

wxRect WorkArea(const wxWindow& window) {
    const wxWindow* shown = &window;
    if (!window.IsShown() && window.GetParent())
        shown = window.GetParent();
    const int index = wxDisplay::GetFromWindow(shown);
    return wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
}

void FitOnScreen(wxTopLevelWindow& window, const std::vector<WrappedText*>& texts,
                 const wxSize& least) {
    wxSizer* sizer = window.GetSizer();
    if (!sizer)
        return;
    const wxSize room = ClientRoom(window);
    // Narrower lines make a text taller, and a scrolling text is wider by its scroll bar:
    // a few rounds settle it.
    for (int round = 0; round < 8; ++round) {
        const wxSize need = sizer->GetMinSize();
        bool changed = false;
        if (need.x > room.x) {
            changed = Narrow(texts, need.x - room.x);
        } else if (need.y > room.y) {
            changed = Shorten(texts, need.y - room.y);
        }
        if (!changed)
            break;
    }
    wxSize client = sizer->GetMinSize();
    if (least.IsFullySpecified())
        client.IncTo(least);
    client.DecTo(room);
    const wxSize size = window.ClientToWindowSize(client);
    wxSize smallest = window.ClientToWindowSize(sizer->GetMinSize());
    smallest.DecTo(size);
    window.SetMinSize(smallest);
    window.SetSize(size);
    window.Layout();
}

void CentreOn(wxTopLevelWindow& window, wxWindow* on) {
    if (!on || !on->IsShown())
        on = window.GetParent();
    const wxRect area = WorkArea(on && on->IsShown() ? *on : window);
    wxRect rect = window.GetRect();
    if (on && on->IsShown()) {
        rect = rect.CentreIn(on->GetScreenRect());
    } else {
        rect = rect.CentreIn(area);
    }
    // Wholly on the screen, the top left corner first.
    rect.x = std::max(area.x, std::min(rect.x, area.GetRight() + 1 - rect.width));
    rect.y = std::max(area.y, std::min(rect.y, area.GetBottom() + 1 - rect.height));
    window.Move(rect.GetPosition());
}
