// A progress bar drawn by the program itself, so that it can take any colour (the theme's
// bars on GTK ignore a colour). Range and position as a bar has them.
#pragma once

#include <wx/colour.h>
#include <wx/window.h>

class ColourBar : public wxWindow {
  public:
    ColourBar(wxWindow* parent, int id = wxID_ANY);

    void SetRange(int range);
    void SetValue(int value);
    void SetBarColour(const wxColour& colour);

    int GetRange() const { return m_range; }
    int GetValue() const { return m_value; }
    const wxColour& GetBarColour() const { return m_colour; }

  private:
    void OnPaint(wxPaintEvent& event);

    int m_range = 100;
    int m_value = 0;
    wxColour m_colour;
};
