// The window of the view shown while no database is open (`CCNoflview`): the dialog
// picture with the product name over the whole window. It accepts no dropped files.
#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

class NoDatabaseWindow : public wxWindow {
  public:
    explicit NoDatabaseWindow(wxWindow* parent);

  private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_picture;
    wxBitmap m_scaled;
};
