// The dialog picture in its black frame: bitmap resource 519 stretched over the whole
// control, as the change dialogs show it at their right edge.
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

class PictureStrip : public wxWindow {
  public:
    PictureStrip(wxWindow* parent, int id, const wxSize& size);

  private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_picture;  // the resource as loaded
    wxBitmap m_scaled;   // stretched to the last size painted
};
