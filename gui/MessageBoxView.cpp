// The message box's layout: the icon beside the text, the buttons under them.
#include "gui/MessageBoxView.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>

#include "gui/ScreenFit.h"
#include "gui/WrappedText.h"

namespace {

// The widest the text's lines are, in dialog units (about 80 characters).
constexpr int kTextWidthDlu = 320;

wxArtID IconArt(long icon) {
    switch (icon) {
        case wxICON_ERROR:
            return wxART_ERROR;
        case wxICON_WARNING:
            return wxART_WARNING;
        case wxICON_QUESTION:
            return wxART_QUESTION;
        case wxICON_INFORMATION:
            return wxART_INFORMATION;
        default:
            return wxArtID();
    }
}

}  // namespace

MessageBoxView::MessageBoxView(wxWindow* parent, const wxString& text, const wxString& caption,
                               long style)
    : wxMessageDialogBase(parent, text, caption, style) {
    Create(GetParent(), wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
           wxDEFAULT_DIALOG_STYLE);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    const wxArtID art = IconArt(GetEffectiveIcon());
    if (!art.empty()) {
        const wxBitmap icon = wxArtProvider::GetBitmap(art, wxART_MESSAGE_BOX);
        if (icon.IsOk())
            row->Add(new wxStaticBitmap(this, wxID_ANY, icon), 0, wxRIGHT, 12);
    }
    m_text = new WrappedText(this, wxID_ANY, ConvertDialogToPixels(wxSize(kTextWidthDlu, 0)).x);
    m_text->SetLabel(text);
    row->Add(m_text, 1, wxALIGN_CENTER_VERTICAL);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(row, 1, wxALL | wxEXPAND, 12);
    column->Add(CreateStdDialogButtonSizer(style & (wxOK | wxCANCEL | wxYES_NO)), 0,
                wxLEFT | wxRIGHT | wxBOTTOM | wxEXPAND, 12);
    SetSizer(column);
    // OK, Yes and Cancel end the box by themselves; No is told to. Escape and the close box
    // press Cancel, or No where there is none (never Yes), or else OK.
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_NO); }, wxID_NO);
    if ((style & wxYES_NO) && !(style & wxCANCEL))
        SetEscapeId(wxID_NO);
    FitOnScreen(*this, {m_text});
}
