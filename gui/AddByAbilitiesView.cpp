// The window of "Add files according to their abilities / functionality." (template 293):
// the three abilities, the location and box 1122, and OK and Cancel.
#include <wx/sizer.h>

#include "criteria/AddByAbilitiesDlg.h"
#include "gui/CriteriaView.h"
#include "gui/ViewRegistry.h"

namespace {

using D = CAddByAbilitiesDlg;

class AddByAbilitiesView : public CriteriaView {
  public:
    AddByAbilitiesView(wxWindow* parent, CDialog& model)
        : CriteriaView(parent, model, D::kCaption) {
        auto* column = new wxBoxSizer(wxVERTICAL);
        const std::pair<int, const char*> abilities[] = {
            {D::IDC_NETWORK, D::kNetworkText},
            {D::IDC_CORE_OS, D::kCoreOsText},
            {D::IDC_COOKIES, D::kCookiesText},
        };
        for (const auto& [id, label] : abilities)
            column->Add(AddCheckBox(this, id, label), 0, wxLEFT | wxRIGHT | wxTOP, 8);
        column->AddSpacer(4);
        FinishColumn(column);
    }
};

}  // namespace

void RegisterAddByAbilitiesView() {
    RegisterDialogView("CAddByAbilitiesDlg", [](wxWindow* parent, CDialog& model) {
        return new AddByAbilitiesView(parent, model);
    });
}
