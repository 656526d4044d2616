// The status bar's panes and the progress bar placed in pane 0, to the right of the caption,
// redrawn at most 50 times a second however often it is stepped.
#include "gui/StatusBar.h"

#include <wx/dcclient.h>

#include <algorithm>

#include "gui/ColourBar.h"
#include "gui/WxText.h"

QuillStatusBar::QuillStatusBar(wxWindow* parent) : wxStatusBar(parent, wxID_ANY) {
    // Pane 1 shows the countdown to the next scheduled check.
    const int widths[3] = {-1, 260, 160};
    SetFieldsCount(3, widths);
    SetStatusText("Ready", 0);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        PlaceBar();
        event.Skip();
    });
    m_flush.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { ShowWhenDue(); });
}

void QuillStatusBar::BeginProgress(const std::string& caption, int total, COLORREF colour,
                                   bool defaultColour) {
    EndProgress();
    const wxString text = ToWx(caption);
    SetStatusText(text, 0);
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    m_captionWidth = dc.GetTextExtent(text).x + 12;
    m_bar = new ColourBar(this);
    m_bar->SetRange(total);
    m_value = 0;
    m_gate = RedrawGate();
    if (!defaultColour) {
        m_bar->SetBarColour(wxColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    }
    PlaceBar();
    Update();
}

void QuillStatusBar::StepProgress() {
    if (!m_bar)
        return;
    // A bar that is full starts again from its beginning, as a stepping bar does.
    m_value = m_value < m_bar->GetRange() ? m_value + 1 : 0;
    ShowWhenDue();
}

void QuillStatusBar::ShowWhenDue() {
    if (!m_bar)
        return;
    if (!m_gate.Take()) {
        if (!m_flush.IsRunning())
            m_flush.StartOnce(m_gate.Wait());
        return;
    }
    m_flush.Stop();
    m_bar->SetValue(m_value);
    m_bar->Update();
}

void QuillStatusBar::EndProgress() {
    m_flush.Stop();
    if (!m_bar)
        return;
    m_bar->Destroy();
    m_bar = nullptr;
}

void QuillStatusBar::SetPaneText(const std::string& text) {
    SetStatusText(ToWx(text), 0);
    Refresh(true);
    Update();
}

void QuillStatusBar::PlaceBar() {
    if (!m_bar)
        return;
    wxRect field;
    if (!GetFieldRect(0, field))
        return;
    field.Deflate(2);
    const int start = std::min(m_captionWidth, field.width / 2);
    m_bar->SetSize(field.x + start, field.y, std::max(field.width - start, 10), field.height);
}
