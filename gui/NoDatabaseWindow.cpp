// Paints bitmap 519 stretched to the window's height (its proportions kept, so the name
// stays legible) in the middle of the window, on the picture's own gold.
#include "gui/NoDatabaseWindow.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include <algorithm>

#include "gui/Resources.h"

NoDatabaseWindow::NoDatabaseWindow(wxWindow* parent)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_picture(ResourceBitmap(519)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &NoDatabaseWindow::OnPaint, this);
}

void NoDatabaseWindow::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    const wxColour gold(196, 150, 40);
    dc.SetBackground(wxBrush(gold));
    dc.Clear();
    if (!m_picture.IsOk() || size.x <= 0 || size.y <= 0)
        return;
    const int height = size.y;
    const int width = std::max(1, m_picture.GetWidth() * height / m_picture.GetHeight());
    if (!m_scaled.IsOk() || m_scaled.GetHeight() != height) {
        m_scaled = wxBitmap(m_picture.ConvertToImage().Scale(width, height, wxIMAGE_QUALITY_HIGH));
    }
    dc.DrawBitmap(m_scaled, (size.x - width) / 2, 0);
}
