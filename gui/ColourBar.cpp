// Paints the bar: a sunken light trough and the filled share in the bar's colour.
#include "gui/ColourBar.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include <algorithm>

ColourBar::ColourBar(wxWindow* parent, int id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_colour(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ColourBar::OnPaint, this);
}

void ColourBar::SetRange(int range) {
    m_range = std::max(range, 0);
    m_value = std::min(m_value, m_range);
    Refresh();
}

void ColourBar::SetValue(int value) {
    value = std::clamp(value, 0, m_range);
    if (value == m_value)
        return;
    m_value = value;
    Refresh();
}

void ColourBar::SetBarColour(const wxColour& colour) {
    m_colour = colour;
    Refresh();
}

void ColourBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.SetBrush(wxBrush(wxColour(235, 235, 235)));
    dc.DrawRectangle(wxPoint(0, 0), size);
    if (m_range <= 0 || m_value <= 0 || size.x <= 2)
        return;
    const int filled = int((long long)(size.x - 2) * m_value / m_range);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(m_colour));
    dc.DrawRectangle(1, 1, filled, size.y - 2);
}
