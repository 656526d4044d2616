// The base of the add-by-criteria dialogs' views: check boxes, and the part every criteria
// dialog shares, the location (an edit, and "Browse..." with the folder chooser, which puts
// the chosen folder's Windows path into the edit; it opens at the typed folder, else at home)
// and box 1122 "Notify if files have been
// listed previously.".
#pragma once

#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <string>

#include "gui/DialogView.h"

class CriteriaView : public DialogView {
  public:
    CriteriaView(wxWindow* parent, CDialog& model, const wxString& caption)
        : DialogView(parent, model, caption) {}

    // Where "Browse..." opens the folder chooser: the folder typed in the box when it
    // exists, else the home folder.
    static wxString BrowseStartFolder(const std::string& typed);

  protected:
    wxCheckBox* AddCheckBox(wxWindow* parent, int id, const wxString& text);
    // Ends `column` with the location's row, box 1122, OK and Cancel, and makes it the
    // window's sizer.
    void FinishColumn(wxSizer* column);

  private:
    void OnBrowse();
    wxTextCtrl* m_location = nullptr;
};
