// Paints bitmap 519 stretched into the control, with a smooth (high-quality) scaling, inside
// a one-pixel black frame.
#include "gui/PictureStrip.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>

#include "gui/Resources.h"

PictureStrip::PictureStrip(wxWindow* parent, int id, const wxSize& size)
    : wxWindow(parent, id, wxDefaultPosition, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_picture(ResourceBitmap(519)) {
    SetMinSize(size);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &PictureStrip::OnPaint, this);
}

void PictureStrip::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.DrawRectangle(wxPoint(0, 0), size);
    const wxSize inner(size.x - 2, size.y - 2);
    if (!m_picture.IsOk() || inner.x <= 0 || inner.y <= 0)
        return;
    if (!m_scaled.IsOk() || m_scaled.GetSize() != inner) {
        m_scaled =
            wxBitmap(m_picture.ConvertToImage().Scale(inner.x, inner.y, wxIMAGE_QUALITY_HIGH));
    }
    dc.DrawBitmap(m_scaled, 1, 1);
}
