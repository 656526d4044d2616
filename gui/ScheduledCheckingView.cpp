// The window of "Scheduled Checking": the databases of the "Database Index" beside those of the
// checking schedule with the buttons that move one across, the interval in hours, minutes and
// seconds, the checking mode, whether scheduled checking is on with its Start and Stop
// buttons, and Close. Each command button hands the controls' values to the model, runs the
// model's command and shows the model's members again.
#include <wx/sizer.h>

#include "gui/DialogView.h"
#include "gui/ViewRegistry.h"
#include "schedule/ScheduledCheckingDlg.h"

namespace {

using D = CScheduledCheckingDlg;

class ScheduledCheckingView : public DialogView {
  public:
    ScheduledCheckingView(wxWindow* parent, CDialog& model)
        : DialogView(parent, model, "Scheduled Checking") {
        auto* column = new wxBoxSizer(wxVERTICAL);

        auto* lists = new wxBoxSizer(wxHORIZONTAL);
        wxStaticText* indexedLabel = AddLabel(this, "Databases in the Database Index:");
        wxStaticText* scheduledLabel =
            AddLabel(this, "Databases in the Database Checking Schedule:");
        // On a small screen the lists give way.
        const wxSize listSize = ConvertDialogToPixels(wxSize(170, 90));
        auto* indexed = new wxBoxSizer(wxVERTICAL);
        indexed->Add(indexedLabel, 0, wxBOTTOM, 4);
        indexed->Add(GiveWay(AddList(this, D::IDC_INDEX_LIST, listSize)), 1, wxEXPAND);
        lists->Add(indexed, 1, wxEXPAND);

        auto* moves = new wxBoxSizer(wxVERTICAL);
        moves->AddStretchSpacer();
        moves->Add(AddExchangingButton(this, D::IDC_ADD, "Add >>"), 0, wxEXPAND | wxBOTTOM, 6);
        moves->Add(AddExchangingButton(this, D::IDC_REMOVE, "<< Remove"), 0, wxEXPAND);
        moves->AddStretchSpacer();
        lists->Add(moves, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);

        auto* scheduled = new wxBoxSizer(wxVERTICAL);
        scheduled->Add(scheduledLabel, 0, wxBOTTOM, 4);
        scheduled->Add(GiveWay(AddList(this, D::IDC_SCHEDULE_LIST, listSize)), 1, wxEXPAND);
        lists->Add(scheduled, 1, wxEXPAND);
        column->Add(lists, 1, wxALL | wxEXPAND, 8);

        auto* interval = new wxBoxSizer(wxHORIZONTAL);
        const wxSize editSize = ConvertDialogToPixels(wxSize(30, 12));
        interval->Add(AddLabel(this, "Check every"), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        const std::pair<int, const char*> parts[] = {
            {D::IDC_HOURS, "hours"}, {D::IDC_MINUTES, "minutes"}, {D::IDC_SECONDS, "seconds"}};
        for (const auto& [id, unit] : parts) {
            interval->Add(AddEdit(this, id, editSize), 0, wxRIGHT, 4);
            interval->Add(AddLabel(this, unit), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
        }
        column->Add(interval, 0, wxLEFT | wxRIGHT, 8);

        auto* mode = new wxBoxSizer(wxHORIZONTAL);
        mode->Add(AddLabel(this, "Mode:"), 0, wxRIGHT, 6);
        mode->Add(AddText(this, D::IDC_MODE));
        column->Add(mode, 0, wxALL, 8);

        auto* state = new wxBoxSizer(wxHORIZONTAL);
        state->Add(AddText(this, D::IDC_STATE), 1, wxALIGN_CENTER_VERTICAL);
        state->Add(AddExchangingButton(this, D::IDC_START, "Start"), 0, wxRIGHT, 6);
        state->Add(AddExchangingButton(this, D::IDC_STOP, "Stop"));
        column->Add(state, 0, wxLEFT | wxRIGHT | wxEXPAND, 8);

        AddButtonRow(column, {}, {{IDOK, "Close"}});
        SetSizer(column);
        SetTemplateSize(400, 200);
    }
};

}  // namespace

void RegisterScheduledCheckingView() {
    RegisterDialogView("CScheduledCheckingDlg", [](wxWindow* parent, CDialog& model) {
        return new ScheduledCheckingView(parent, model);
    });
}
