// The criteria views' shared part: check boxes, the location with its folder chooser, and
// box 1122.
#include "gui/CriteriaView.h"

#include <wx/dirdlg.h>
#include <wx/filefn.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include "criteria/CriteriaDlg.h"
#include "gui/FileLists.h"
#include "gui/WxText.h"
#include "platform/Drives.h"
#include "platform/Prefix.h"
#include "platform/Ui.h"

wxCheckBox* CriteriaView::AddCheckBox(wxWindow* parent, int id, const wxString& text) {
    auto* box = new wxCheckBox(parent, id, wxString());
    box->SetLabelText(text);
    Register(id, box);
    return box;
}

void CriteriaView::FinishColumn(wxSizer* column) {
    column->Add(AddLabel(this, "Folder to add files from (* for all drives):"), 0,
                wxLEFT | wxRIGHT | wxTOP, 8);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_location = new wxTextCtrl(this, CCriteriaDlg::IDC_LOCATION, wxString(), wxDefaultPosition,
                                wxSize(360, -1));
    Register(CCriteriaDlg::IDC_LOCATION, m_location);
    row->Add(m_location, 1, wxRIGHT | wxALIGN_CENTER_VERTICAL, 6);
    auto* browse = new wxButton(this, CCriteriaDlg::IDC_BROWSE, "Browse...");
    Register(CCriteriaDlg::IDC_BROWSE, browse);
    // The chooser is the view's own: the model never hears of the button.
    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBrowse(); });
    row->Add(browse, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(row, 0, wxALL | wxEXPAND, 8);
    column->Add(AddCheckBox(this, CCriteriaDlg::IDC_NOTIFY_IF_LISTED,
                            "Notify if files have been listed previously."),
                0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
    AddButtonRow(column, {}, {{IDOK, "OK"}, {IDCANCEL, "Cancel"}});
    SetSizer(column);
}

wxString CriteriaView::BrowseStartFolder(const std::string& typed) {
    if (typed.size() >= 2 && typed[1] == ':') {
        const wxString folder = wxString::FromUTF8(platform::HostPath(typed));
        if (wxDirExists(folder))
            return folder;
    }
    return wxGetHomeDir();
}

void CriteriaView::OnBrowse() {
    const wxString start = BrowseStartFolder(FromWx(m_location->GetValue()));
    wxDirDialog choose(this, "Choose the folder to add files from.", start,
                       wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (choose.ShowModal() != wxID_OK)
        return;
    std::string windows;
    if (WindowsPathOfChoice(HostBytes(choose.GetPath()), windows))
        m_location->ChangeValue(ToWx(windows));
}
