// The window of the password screen: the product's icon, the prompt, the password edit (its
// text hidden), OK and the quit button.
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "app/PasswordDlg.h"
#include "gui/DialogView.h"
#include "gui/ViewRegistry.h"

namespace {

class PasswordView : public DialogView {
  public:
    PasswordView(wxWindow* parent, CDialog& model) : DialogView(parent, model, "Quillstead") {
        auto* column = new wxBoxSizer(wxVERTICAL);
        auto* row = new wxBoxSizer(wxHORIZONTAL);
        row->Add(AddIcon(this, 1200, 128), 0, wxRIGHT, 12);
        auto* entry = new wxBoxSizer(wxVERTICAL);
        entry->Add(AddText(this, CPasswordDlg::IDC_PROMPT), 0, wxBOTTOM, 6);
        auto* edit = new wxTextCtrl(this, CPasswordDlg::IDC_PASSWORD, wxString(), wxDefaultPosition,
                                    wxSize(280, -1), wxTE_PASSWORD);
        Register(CPasswordDlg::IDC_PASSWORD, edit);
        entry->Add(edit, 0, wxEXPAND);
        row->Add(entry, 1);
        column->Add(row, 0, wxALL | wxEXPAND, 12);

        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        buttons->AddStretchSpacer();
        buttons->Add(AddButton(this, IDOK, "OK"), 0, wxRIGHT, 6);
        buttons->Add(AddButton(this, IDCANCEL, "Quit"));
        column->Add(buttons, 0, wxLEFT | wxRIGHT | wxBOTTOM | wxEXPAND, 12);
        SetSizer(column);
        edit->SetFocus();
    }
};

}  // namespace

void RegisterPasswordView() {
    RegisterDialogView("CPasswordDlg", [](wxWindow* parent, CDialog& model) {
        return new PasswordView(parent, model);
    });
}
