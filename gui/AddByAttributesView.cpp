// The window of "Add files to the database according to their attributes." (template 197):
// the attribute boxes in their groups ("FAT32 and NT File Systems" and "NT File System
// only", "Any " between them), the note on leaving every box unticked, the location and box
// 1122, and OK and Cancel.
#include <wx/sizer.h>
#include <wx/statbox.h>

#include "criteria/AddByAttributesDlg.h"
#include "gui/CriteriaView.h"
#include "gui/ViewRegistry.h"

namespace {

using D = CAddByAttributesDlg;

class AddByAttributesView : public CriteriaView {
  public:
    AddByAttributesView(wxWindow* parent, CDialog& model)
        : CriteriaView(parent, model, "Add files to the database according to their attributes.") {
        auto* column = new wxBoxSizer(wxVERTICAL);

        // The boxes are made in the order of m_critAttributes (the tab order); the grids show
        // each exact box beside its "plus any others".
        auto* fat = new wxStaticBoxSizer(wxVERTICAL, this, D::kFat32Group);
        auto* ntfs = new wxStaticBoxSizer(wxVERTICAL, this, D::kNtfsGroup);
        wxCheckBox* boxes[D::kBoxes];
        for (int i = 0; i < D::kBoxes; ++i) {
            wxWindow* parent = this;
            if (i != 8)
                parent = i < 8 ? fat->GetStaticBox() : ntfs->GetStaticBox();
            boxes[i] = AddCheckBox(parent, D::kBoxIds[i], D::kBoxTexts[i]);
        }
        auto* fatGrid = new wxFlexGridSizer(2, wxSize(16, 4));
        for (int i = 0; i < 4; ++i) {
            fatGrid->Add(boxes[i]);
            fatGrid->Add(boxes[i + 4]);
        }
        fat->Add(fatGrid, 0, wxALL, 6);
        auto* ntfsGrid = new wxFlexGridSizer(2, wxSize(16, 4));
        for (int i : {9, 10, 11, 12}) ntfsGrid->Add(boxes[i]);
        ntfs->Add(ntfsGrid, 0, wxALL, 6);

        column->Add(fat, 0, wxALL | wxEXPAND, 8);
        column->Add(boxes[8], 0, wxLEFT | wxRIGHT, 14);
        column->Add(ntfs, 0, wxALL | wxEXPAND, 8);
        auto* note = AddLabel(this, D::kNote);
        note->Wrap(ConvertDialogToPixels(wxSize(230, 0)).GetWidth());
        column->Add(note, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
        FinishColumn(column);
    }
};

}  // namespace

void RegisterAddByAttributesView() {
    RegisterDialogView("CAddByAttributesDlg", [](wxWindow* parent, CDialog& model) {
        return new AddByAttributesView(parent, model);
    });
}
