// The window of the add by contents (template 291): the text to search for (an edit that
// takes at most 1024 characters), "Match case." and "Whole word.", the choice between
// "Search all files." and "Search files which only contain text.", the location and box
// 1122, and OK and Cancel.
#include <wx/sizer.h>

#include "criteria/AddByContentsDlg.h"
#include "gui/CriteriaView.h"
#include "gui/ViewRegistry.h"

namespace {

using D = CAddByContentsDlg;

class AddByContentsView : public CriteriaView {
  public:
    AddByContentsView(wxWindow* parent, CDialog& model) : CriteriaView(parent, model, D::kCaption) {
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(AddLabel(this, D::kSearchTextLabel), 0, wxLEFT | wxRIGHT | wxTOP, 8);
        wxTextCtrl* text = AddEdit(this, D::IDC_SEARCH_TEXT, wxSize(420, -1));
        text->SetMaxLength(D::kMaxSearchText);
        column->Add(text, 0, wxALL | wxEXPAND, 8);

        auto* boxes = new wxBoxSizer(wxHORIZONTAL);
        boxes->Add(AddCheckBox(this, D::IDC_MATCH_CASE, D::kMatchCaseText), 0, wxRIGHT, 16);
        boxes->Add(AddCheckBox(this, D::IDC_WHOLE_WORD, D::kWholeWordText));
        column->Add(boxes, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

        for (wxRadioButton* choice :
             AddRadioGroup(this, {{D::IDC_ALL_FILES, D::kAllFilesText},
                                  {D::IDC_TEXT_FILES_ONLY, D::kTextFilesOnlyText}}))
            column->Add(choice, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

        FinishColumn(column);
    }
};

}  // namespace

void RegisterAddByContentsView() {
    RegisterDialogView("CAddByContentsDlg", [](wxWindow* parent, CDialog& model) {
        return new AddByContentsView(parent, model);
    });
}
