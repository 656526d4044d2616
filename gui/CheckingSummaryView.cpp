// The window of "Checking Summary." (template 303): the database with the program's icon,
// the moment of the check, the number of files listed and the checked, unchecked, identical
// and changed counts with their marks, the picture strip at the right edge, and OK.
#include <wx/gbsizer.h>
#include <wx/sizer.h>

#include "check/CheckingSummaryDlg.h"
#include "gui/DialogView.h"
#include "gui/PictureStrip.h"
#include "gui/ViewRegistry.h"
#include "gui/WrappedText.h"

namespace {

using D = CCheckingSummaryDlg;

struct Count {
    int mark, valueId;
    const char* label;
};

const Count kCounts[] = {
    {D::IDC_CHECKED_MARK, D::IDC_FILES_CHECKED, "Files Checked:"},
    {D::IDC_UNCHECKED_MARK, D::IDC_FILES_UNCHECKED, "Files Unchecked:"},
    {D::IDC_IDENTICAL_MARK, D::IDC_FILES_IDENTICAL, "Files Identical:"},
    {D::IDC_CHANGED_MARK, D::IDC_FILES_CHANGED, "Files Changed:"},
};

constexpr int kListedLabel = 1253;

class CheckingSummaryView : public DialogView {
  public:
    CheckingSummaryView(wxWindow* parent, CDialog& model)
        : DialogView(parent, model, "Checking Summary.") {
        auto* column = new wxBoxSizer(wxVERTICAL);

        auto* database = new wxBoxSizer(wxHORIZONTAL);
        database->Add(AddIcon(this, D::IDC_DATABASE_ICON, 128), 0, wxRIGHT, 10);
        auto* name = new wxBoxSizer(wxVERTICAL);
        name->Add(AddLabel(this, "Database:"));
        for (int id : {D::IDC_PATH1, D::IDC_PATH2, D::IDC_PATH3})
            name->Add(AddPathText(this, id, 340));
        database->Add(name, 1);
        column->Add(database, 0, wxALL | wxEXPAND, 8);

        auto* checked = new wxBoxSizer(wxHORIZONTAL);
        checked->Add(AddLabel(this, "Checked:"), 0, wxRIGHT, 6);
        checked->Add(AddText(this, D::IDC_CHECKED_TIME));
        column->Add(checked, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

        auto* counts = new wxGridBagSizer(6, 8);
        counts->Add(AddText(this, kListedLabel, "Total number of files listed:"),
                    wxGBPosition(0, 1));
        counts->Add(AddText(this, D::IDC_FILES_LISTED), wxGBPosition(0, 2));
        int row = 1;
        for (const Count& count : kCounts) {
            counts->Add(AddIcon(this, count.mark), wxGBPosition(row, 0), wxDefaultSpan,
                        wxALIGN_CENTER_VERTICAL);
            counts->Add(AddLabel(this, count.label), wxGBPosition(row, 1), wxDefaultSpan,
                        wxALIGN_CENTER_VERTICAL);
            counts->Add(AddText(this, count.valueId), wxGBPosition(row, 2), wxDefaultSpan,
                        wxALIGN_CENTER_VERTICAL);
            ++row;
        }
        column->Add(counts, 0, wxALL, 8);

        // The listed count's invisible copy, against which the checked count is marked.
        AddText(this, D::IDC_EXPECTED_COUNT)->Hide();

        column->AddStretchSpacer();
        AddButtonRow(column, {}, {{IDOK, "OK"}});
        FinishWithPicture(column, D::IDC_BITMAP_FRAME, wxSize(63, 214), wxSize(449, 215));
    }
};

}  // namespace

void RegisterCheckingSummaryView() {
    RegisterDialogView("CCheckingSummaryDlg", [](wxWindow* parent, CDialog& model) {
        return new CheckingSummaryView(parent, model);
    });
}
