// Sizing dialogs to the screen and centring them.
#include "gui/ScreenFit.h"

#include <wx/display.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "gui/WrappedText.h"

namespace {

// The narrowest a wrapped text becomes, and the fewest lines it shows before it scrolls.
constexpr int kLeastWidth = 160;
constexpr int kLeastLines = 2;
// The narrowest a window that gives way becomes.
constexpr int kLeastGivingWay = 16;
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

// Takes up to `excess` pixels of width from the windows that may give way (a picture strip,
// lists), shared among them, down to their least width; what is left to take.
int NarrowGivingWay(const std::vector<wxWindow*>& givingWay, int excess) {
    for (size_t i = 0; i < givingWay.size() && excess > 0; ++i) {
        wxWindow* window = givingWay[i];
        const wxSize size = window->GetMinSize();
        const int share = (excess + int(givingWay.size() - i) - 1) / int(givingWay.size() - i);
        const int give = std::min(share, size.x - kLeastGivingWay);
        if (give > 0) {
            window->SetMinSize(wxSize(size.x - give, size.y));
            excess -= give;
        }
    }
    return excess;
}

// Takes `excess` pixels of width from every wrapped text, as far as that makes the window
// narrower (a text beside wider controls only grows taller; lines broken at backslashes are
// often narrower than the most they may be, so more is taken until the window gives way);
// false when none can give any.
bool Narrow(wxSizer& sizer, const std::vector<WrappedText*>& texts, int excess) {
    const int before = sizer.GetMinSize().x;
    std::vector<int> widths;
    for (WrappedText* text : texts) widths.push_back(text->MaxWidth());
    for (int take = excess; take < 8 * excess + 64; take *= 2) {
        bool changed = false;
        for (size_t i = 0; i < texts.size(); ++i) {
            WrappedText* text = texts[i];
            int shown = text->GetMinSize().x;
            if (text->Scrolls())
                shown -= wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, text);
            const int width = std::max(kLeastWidth, std::min(widths[i], shown) - take);
            if (width < text->MaxWidth()) {
                text->SetLimits(width, text->MaxHeight());
                changed = true;
            }
        }
        if (!changed)
            break;
        if (sizer.GetMinSize().x < before)
            return true;
    }
    for (size_t i = 0; i < texts.size(); ++i) texts[i]->SetLimits(widths[i], texts[i]->MaxHeight());
    return false;
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
                 const wxSize& least, const std::vector<wxWindow*>& givingWay) {
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
            const int excess = NarrowGivingWay(givingWay, need.x - room.x);
            changed = excess < need.x - room.x;
            if (excess > 0)
                changed = Narrow(*sizer, texts, excess) || changed;
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
    window.SetClientSize(client);
    window.Layout();
}

namespace {

// Moves `window` to the middle of `on` (or of the work area), wholly on the screen.
void MoveToMiddle(wxTopLevelWindow& window, wxWindow* on) {
    if (!on || !on->IsShown())
        on = window.GetParent();
    const bool onShown = on && on->IsShown();
    const wxRect area = WorkArea(onShown ? *on : window);
    wxRect rect = window.GetRect();
    rect = rect.CentreIn(onShown ? on->GetScreenRect() : area);
    // Wholly on the screen, the top left corner first.
    rect.x = std::max(area.x, std::min(rect.x, area.GetRight() + 1 - rect.width));
    rect.y = std::max(area.y, std::min(rect.y, area.GetBottom() + 1 - rect.height));
    if (rect.GetPosition() != window.GetPosition())
        window.Move(rect.GetPosition());
}

// How long after a window is shown its frame may still change (the window manager frames it
// and says how thick the frame is only once the window is mapped).
constexpr std::chrono::milliseconds kFramingTime{1500};

}  // namespace

void CentreOn(wxTopLevelWindow& window, wxWindow* on) {
    MoveToMiddle(window, on);
    if (window.IsShown())
        return;
    // A window manager frames the window once it is mapped: the window's size then grows by
    // the frame (its client keeps its size), and the manager may have put it elsewhere. Until
    // then the middle is only a guess: once the window is on screen, it is centred again
    // whenever its frame or its place changed, for a moment after it was shown.
    struct Watch {
        wxWeakRef<wxWindow> on;
        std::chrono::steady_clock::time_point until;
        bool shown = false;
    };
    auto watch = std::make_shared<Watch>();
    watch->on = on;
    window.Bind(wxEVT_IDLE, [&window, watch](wxIdleEvent& event) {
        event.Skip();
        const auto now = std::chrono::steady_clock::now();
        if (!watch->shown) {
            if (!window.IsShownOnScreen())
                return;
            watch->shown = true;
            watch->until = now + kFramingTime;
        }
        if (now <= watch->until)
            MoveToMiddle(window, watch->on.get());
    });
}
