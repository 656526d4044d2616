// The status bar's panes and the progress bar placed in pane 0, to the right of the caption.
#include "gui/StatusBar.h"

#include <wx/dcclient.h>

#include <algorithm>

#include "gui/ColourBar.h"
#include "gui/WxText.h"

QuillStatusBar::QuillStatusBar(wxWindow* parent) : wxStatusBar(parent, wxID_ANY) {
    const int widths[3] = {-1, 160, 160};
    SetFieldsCount(3, widths);
    SetStatusText("Ready", 0);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        PlaceBar();
        event.Skip();
    });
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
    int value = m_bar->GetValue() + 1;
    if (value > m_bar->GetRange())
        value = 0;
    m_bar->SetValue(value);
    m_bar->Update();
}

void QuillStatusBar::EndProgress() {
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
