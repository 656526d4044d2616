// The window of "File restore from backup." (template 298): the changed file's icon and
// name, the two ways of dealing with the changed file, the picture strip at the right edge,
// and OK, Cancel and Help.
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "check/RestoreDlg.h"
#include "gui/DialogView.h"
#include "gui/PictureStrip.h"
#include "gui/ViewRegistry.h"
#include "gui/WrappedText.h"

namespace {

using D = CRestoreDlg;

class RestoreView : public DialogView {
  public:
    RestoreView(wxWindow* parent, CDialog& model)
        : DialogView(parent, model, "File restore from backup.") {
        auto* column = new wxBoxSizer(wxVERTICAL);

        auto* file = new wxBoxSizer(wxHORIZONTAL);
        file->Add(AddIcon(this, D::IDC_FILE_ICON), 0, wxRIGHT, 10);
        auto* name = new wxBoxSizer(wxVERTICAL);
        name->Add(AddLabel(this, "File name:"));
        for (int id : {D::IDC_PATH1, D::IDC_PATH2, D::IDC_PATH3})
            name->Add(AddPathText(this, id, 340));
        file->Add(name, 1);
        column->Add(file, 0, wxALL | wxEXPAND, 8);

        auto* modes = new wxStaticBoxSizer(wxVERTICAL, this, wxString());
        for (wxRadioButton* button : AddRadioGroup(
                 modes->GetStaticBox(),
                 {{D::IDC_MODE_DELETE, "Restore the original file and delete the changed file."},
                  {D::IDC_MODE_MOVE,
                   "Restore the original file and move the changed file to "
                   "the 'Changed Files' folder."}})) {
            modes->Add(button, 0, wxALL, 6);
        }
        column->Add(modes, 0, wxLEFT | wxRIGHT | wxEXPAND, 8);

        column->AddStretchSpacer();
        AddButtonRow(column, {},
                     {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {D::IDC_HELP_BUTTON, "Help"}});
        FinishWithPicture(column, D::IDC_BITMAP_FRAME, wxSize(56, 132), wxSize(443, 133));
    }
};

}  // namespace

void RegisterRestoreView() {
    RegisterDialogView("CRestoreDlg", [](wxWindow* parent, CDialog& model) {
        return new RestoreView(parent, model);
    });
}
