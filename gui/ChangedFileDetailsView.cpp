// The window of "Changed file details." (template 295): the values when the file was added
// beside its values now, each pair with its mark, the file's name, type and icon, the
// database's last check, the four choices under "Options", the picture strip at the right
// edge, and "Further analysis", OK and Help. There is no Cancel button: the close box and
// Escape end the dialog without bringing the choice back.
#include <wx/gbsizer.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "check/ChangedFileDetailsDlg.h"
#include "gui/DialogView.h"
#include "gui/PictureStrip.h"
#include "gui/ViewRegistry.h"
#include "gui/WrappedText.h"

namespace {

using D = CChangedFileDetailsDlg;

struct Pair {
    int mark, addedId, nowId;
    const char* addedLabel;
    const char* nowLabel;
};

const Pair kPairs[] = {
    {D::IDC_ATTR_MARK, D::IDC_ATTR_ADDED, D::IDC_ATTR_NOW,
     "Attributes when added:", "Attributes  now:"},
    {D::IDC_SIZE_MARK, D::IDC_SIZE_ADDED, D::IDC_SIZE_NOW, "Size when added:", "Size now:"},
    {D::IDC_CREATED_MARK, D::IDC_CREATED_ADDED, D::IDC_CREATED_NOW,
     "Creation time when added:", "Creation time now:"},
    {D::IDC_MODIFIED_MARK, D::IDC_MODIFIED_ADDED, D::IDC_MODIFIED_NOW,
     "Modification time when added:", "Modification time now:"},
    {D::IDC_DIGEST_MARK, D::IDC_DIGEST_ADDED, D::IDC_DIGEST_NOW,
     "Digest value when added:", "Digest value now:"},
};

class ChangedFileDetailsView : public DialogView {
  public:
    ChangedFileDetailsView(wxWindow* parent, CDialog& model)
        : DialogView(parent, model, "Changed file details.") {
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(AddText(this, D::IDC_LAST_CHECKED), 0, wxALL, 4);

        auto* file = new wxBoxSizer(wxHORIZONTAL);
        file->Add(AddIcon(this, D::IDC_FILE_ICON), 0, wxRIGHT, 10);
        auto* name = new wxBoxSizer(wxVERTICAL);
        name->Add(AddLabel(this, "File name:"));
        for (int id : {D::IDC_PATH1, D::IDC_PATH2, D::IDC_PATH3})
            name->Add(AddPathText(this, id, 360));
        file->Add(name, 1);
        column->Add(file, 0, wxLEFT | wxRIGHT | wxEXPAND, 6);

        auto* type = new wxBoxSizer(wxHORIZONTAL);
        type->Add(AddLabel(this, "File type:"), 0, wxRIGHT, 6);
        type->Add(AddText(this, D::IDC_FILE_TYPE));
        column->Add(type, 0, wxALL, 4);

        auto* middle = new wxBoxSizer(wxHORIZONTAL);
        auto* pairs = new wxGridBagSizer(2, 8);
        int row = 0;
        for (const Pair& pair : kPairs) {
            if (row > 0)
                pairs->Add(1, 6, wxGBPosition(row++, 1));
            pairs->Add(AddIcon(this, pair.mark), wxGBPosition(row, 0), wxGBSpan(2, 1),
                       wxALIGN_CENTER_VERTICAL | wxTOP, 4);
            pairs->Add(AddLabel(this, pair.addedLabel), wxGBPosition(row, 1));
            pairs->Add(AddText(this, pair.addedId), wxGBPosition(row, 2));
            pairs->Add(AddLabel(this, pair.nowLabel), wxGBPosition(row + 1, 1));
            pairs->Add(AddText(this, pair.nowId), wxGBPosition(row + 1, 2));
            row += 2;
        }
        middle->Add(pairs, 0, wxALL, 6);

        auto* options = new wxStaticBoxSizer(wxVERTICAL, this, "Options");
        // Each choice's text is its template lines, one under the other.
        for (wxRadioButton* button :
             AddRadioGroup(options->GetStaticBox(),
                           {{D::IDC_CHOICE_IGNORE,
                             "Ignore and continue to \ncheck to rest of the \ndatabase."},
                            {D::IDC_CHOICE_RENEW,
                             "Calculate the new digest \nvalue and add to the\n"
                             "database. Make this file\nthe new backup."},
                            {D::IDC_CHOICE_KEEP,
                             "Calculate the new digest \nvalue and add to the\n"
                             "database. Leave the \nbackup unchanged."},
                            {D::IDC_CHOICE_RESTORE, "Restore the original\nfile from backup."}})) {
            options->Add(button, 0, wxALL, 3);
        }
        middle->Add(options, 1, wxALL | wxEXPAND, 6);
        column->Add(middle, 1, wxEXPAND);

        AddButtonRow(column, {{D::IDC_FURTHER_ANALYSIS, "Further analysis"}},
                     {{IDOK, "OK"}, {D::IDC_HELP_BUTTON, "Help"}});
        FinishWithPicture(column, D::IDC_BITMAP_FRAME, wxSize(60, 263), wxSize(463, 263));
    }
};

}  // namespace

void RegisterChangedFileDetailsView() {
    RegisterDialogView("CChangedFileDetailsDlg", [](wxWindow* parent, CDialog& model) {
        return new ChangedFileDetailsView(parent, model);
    });
}
