// Builds the progress dialog of a template, keeps its owner disabled while it is up, and
// moves its bar and texts. Events run before each bar redraw and, during long loops, when the
// cancel poll finds that enough time has passed.
#include "gui/ProgressView.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/image.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>
#include <vector>

#include "criteria/CriteriaTexts.h"
#include "criteria/SearchProgressDlg.h"
#include "gui/Resources.h"
#include "gui/ScreenFit.h"
#include "gui/WxText.h"

namespace {

// The open progress dialogs, the latest last.
std::vector<ProgressView*>& OpenViews() {
    static std::vector<ProgressView*> views;
    return views;
}

struct Template {
    const char* title;
    int fileId;
    const char* filesLabel;
    const char* dataLabel;
    bool bar = true;
};

Template TemplateOf(int templateId) {
    if (templateId == 108) {
        return {"Adding files.", 1005,
                "Remaining number of files to add:", "Remaining quantity of data to process:"};
    }
    // The searching dialog: the folder being searched and what was found so far, no bar.
    if (templateId == CSearchProgressDlg::IDD) {
        return {kSearchingCaption, CSearchProgressDlg::IDC_FOLDER,
                "Files found:", "Size of the files found:", false};
    }
    return {"Checking all files in database.", 1051,
            "Remaining number of files to check:", "Remaining quantity of data to check:"};
}

wxStaticText* Text(wxWindow* parent, int id, int width) {
    auto* text = new wxStaticText(parent, id, wxString(), wxDefaultPosition, wxSize(width, -1),
                                  wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    return text;
}

}  // namespace

ProgressView::ProgressView(wxWindow* owner, int templateId)
    : m_owner(owner), m_poll([] {
          if (wxTheApp)
              wxTheApp->Yield(true);
      }) {
    const Template t = TemplateOf(templateId);
    m_dialog = new wxDialog(owner, wxID_ANY, t.title, wxDefaultPosition, wxDefaultSize,
                            wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX);
    wxDialog* d = m_dialog;

    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* file = new wxBoxSizer(wxHORIZONTAL);
    wxImage blank(32, 32, true);
    blank.InitAlpha();
    std::fill_n(blank.GetAlpha(), 32 * 32, 0);
    m_icon = new wxStaticBitmap(d, 1200, wxBitmap(blank), wxDefaultPosition, wxSize(32, 32));
    file->Add(m_icon, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 10);
    file->Add(Text(d, t.fileId, 460), 1, wxALIGN_CENTER_VERTICAL);
    column->Add(file, 0, wxALL | wxEXPAND, 10);

    auto* grid = new wxFlexGridSizer(2, wxSize(10, 6));
    grid->Add(new wxStaticText(d, wxID_ANY, t.filesLabel));
    grid->Add(Text(d, 1114, 220));
    grid->Add(new wxStaticText(d, wxID_ANY, t.dataLabel));
    grid->Add(Text(d, 1115, 220));
    column->Add(grid, 0, wxLEFT | wxRIGHT, 10);

    auto* bar = new wxBoxSizer(wxHORIZONTAL);
    m_gauge = new wxGauge(d, wxID_ANY, kRange, wxDefaultPosition, wxSize(-1, 18));
    bar->Add(m_gauge, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 10);
    m_percent = Text(d, 1004, 48);
    bar->Add(m_percent, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(bar, 0, wxALL | wxEXPAND, 10);
    if (!t.bar) {
        m_gauge->Hide();
        m_percent->Hide();
    }

    auto* cancel = new wxButton(d, wxID_CANCEL, "Cancel");
    column->Add(cancel, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    d->SetSizer(column);

    // Cancel, Escape and the close box only raise the flag.
    cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        m_cancelDown = false;
        m_poll.Press();
    });
    // A prompt that opens between the press and the release of Cancel takes the release.
    cancel->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        m_cancelDown = true;
        event.Skip();
    });
    cancel->Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& event) {
        if (event.LeftIsDown() && m_dialog && m_dialog->IsEnabled())
            m_cancelDown = false;
        event.Skip();
    });
    d->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        m_poll.Press();
        if (event.CanVeto())
            event.Veto();
    });

    m_percent->SetLabel(PercentText(0));
    m_flush.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (m_gate.Take())
            ShowPos();
        else
            m_flush.StartOnce(m_gate.Wait());
    });
    FitOnScreen(*d, {});
    CentreOn(*d, owner);
    if (m_owner) {
        m_ownerWasEnabled = m_owner->IsEnabled();
        m_owner->Disable();
    }
    d->Show();
    OpenViews().push_back(this);
}

ProgressView::~ProgressView() {
    Close();
}

wxDialog* ProgressView::Latest() {
    return OpenViews().empty() ? nullptr : OpenViews().back()->Window();
}

void ProgressView::PromptAnswered() {
    for (ProgressView* view : OpenViews()) {
        if (view->m_cancelDown) {
            view->m_cancelDown = false;
            view->m_poll.Press();
        }
    }
}

std::string ProgressView::PercentText(int pos) {
    pos = std::clamp(pos, 0, kRange);
    return std::to_string(long(pos) * 100 / kRange) + "%";
}

void ProgressView::SetTitle(const std::string& title) {
    if (m_dialog)
        m_dialog->SetTitle(ToWx(title));
}

void ProgressView::SetItemText(int id, const std::string& text) {
    if (!m_dialog)
        return;
    if (auto* control = dynamic_cast<wxStaticText*>(m_dialog->FindWindow(id))) {
        control->SetLabelText(ToWx(text));
    }
}

void ProgressView::SetIcon(int id, const Icon& icon) {
    if (!m_dialog || id != 1200)
        return;
    wxBitmap picture = IconBitmap(icon, 32);
    if (picture.IsOk())
        m_icon->SetBitmap(picture);
}

// A move within 20 ms of the last redraw only takes the position; the flush timer shows it
// should no later move come. A redraw first lets the waiting events run.
void ProgressView::SetPos(int pos) {
    if (!m_dialog)
        return;
    m_pos = std::clamp(pos, 0, kRange);
    if (!m_gate.Take()) {
        if (!m_flush.IsRunning())
            m_flush.StartOnce(m_gate.Wait());
        return;
    }
    m_poll.PumpNow();
    ShowPos();
}

void ProgressView::ShowPos() {
    m_flush.Stop();
    if (!m_dialog)
        return;
    m_gauge->SetValue(m_pos);
    m_percent->SetLabel(PercentText(m_pos));
}

void ProgressView::Close() {
    m_flush.Stop();
    if (!m_dialog)
        return;
    auto& open = OpenViews();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
    if (m_owner && m_ownerWasEnabled)
        m_owner->Enable();
    m_dialog->Destroy();
    m_dialog = nullptr;
    m_gauge = nullptr;
    m_percent = nullptr;
    m_icon = nullptr;
}
