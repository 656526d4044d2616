// A text shown whole, in lines no wider than a width, and scrolled when those lines are
// taller than a height: how the message boxes and the dialogs show texts holding paths of
// any length. Its label is the text as it was given; only what is shown has line breaks
// (gui/TextWrap.h). It takes no keyboard focus, so a dialog's keys stay on its buttons.
#pragma once

#include <wx/scrolwin.h>

class wxStaticText;

class WrappedText : public wxScrolledWindow {
  public:
    WrappedText(wxWindow* parent, wxWindowID id, int maxWidth);

    // The whole text; it is laid out again at once.
    void SetLabel(const wxString& text) override;
    wxString GetLabel() const override { return m_text; }
    bool SetForegroundColour(const wxColour& colour) override;
    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }

    // The widest the lines may be, and the tallest the window may be before it scrolls.
    void SetLimits(int maxWidth, int maxHeight);
    int MaxWidth() const { return m_maxWidth; }
    int MaxHeight() const { return m_maxHeight; }
    // The height of one line of the text.
    int LineHeight() const;
    // Whether the lines are taller than the window.
    bool Scrolls() const { return m_scrolls; }
    // The lines as shown.
    wxString ShownText() const;

  protected:
    wxSize DoGetBestSize() const override { return m_size; }

  private:
    void Relayout();

    wxStaticText* m_shown;
    wxString m_text;
    int m_maxWidth;
    int m_maxHeight;
    wxSize m_size;
    bool m_scrolls = false;
};
