// The program's message box, built here rather than by GTK so that it always fits the
// screen: the icon of its kind, the text (wrapped, and scrolled when even that is taller
// than the screen, so a path of any length can be read whole), and its buttons, the first
// one the default. The text is kept as it was given (GetMessage); only the lines shown
// have breaks. It answers with the id of the button pressed; Escape and the close box
// press Cancel, or No where there is none, or else OK.
#pragma once

#include <wx/msgdlg.h>

class WrappedText;

class MessageBoxView : public wxMessageDialogBase {
  public:
    // `style` holds the buttons (wxOK, wxCANCEL, wxYES_NO) and one icon flag.
    MessageBoxView(wxWindow* parent, const wxString& text, const wxString& caption, long style);

    WrappedText* Text() const { return m_text; }

  private:
    WrappedText* m_text = nullptr;
};
