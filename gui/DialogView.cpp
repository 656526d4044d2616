// The dialog views' common work: the controls by template id, the exchange in both
// directions, colours and icons from the model, and the buttons.
#include "gui/DialogView.h"

#include <wx/checkbox.h>
#include <wx/image.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "gui/PictureStrip.h"
#include "gui/Resources.h"
#include "gui/ScreenFit.h"
#include "gui/WrappedText.h"
#include "gui/WxText.h"
#include "platform/Ui.h"

// The exchange on the view's controls: static texts, path texts and edits take texts, a
// radio group the index of its chosen button, a check box 0 or 1.
class WxExchange : public DataExchange {
  public:
    WxExchange(DialogView& view, bool save) : DataExchange(save), m_view(view) {}

    // A text comes back byte for byte as it went in unless the user changed it: what is
    // shown of bytes that are not UTF-8 could not bring them back.
    void Text(int id, const char*, std::string& value) override {
        wxWindow* control = m_view.Control(id);
        wxString shown;
        if (auto* edit = dynamic_cast<wxTextCtrl*>(control)) {
            if (!m_bSaveAndValidate)
                edit->ChangeValue(ToWx(value));
            shown = edit->GetValue();
        } else if (auto* text = dynamic_cast<wxStaticText*>(control)) {
            if (!m_bSaveAndValidate)
                text->SetLabelText(ToWx(value));
            shown = text->GetLabelText();
        } else if (auto* path = dynamic_cast<WrappedText*>(control)) {
            if (!m_bSaveAndValidate)
                path->SetLabel(ToWx(value));
            shown = path->GetLabel();
        } else {
            return;
        }
        auto& sent = m_view.m_textsSent[id];
        if (!m_bSaveAndValidate) {
            sent = {value, shown};
        } else {
            value = (shown == sent.second) ? sent.first : FromWx(shown);
        }
    }

    void Int(int id, const char*, int& value) override {
        if (auto* list = dynamic_cast<wxListBox*>(m_view.Control(id))) {
            if (m_bSaveAndValidate) {
                value = list->GetSelection();  // wxNOT_FOUND is -1
            } else if (value >= 0 && unsigned(value) < list->GetCount()) {
                list->SetSelection(value);
            } else {
                list->SetSelection(wxNOT_FOUND);
            }
            return;
        }
        auto group = m_view.m_radioGroups.find(id);
        if (group != m_view.m_radioGroups.end()) {
            const auto& buttons = group->second;
            if (m_bSaveAndValidate) {
                value = -1;
                for (size_t i = 0; i < buttons.size(); ++i) {
                    if (buttons[i]->GetValue())
                        value = int(i);
                }
            } else {
                // No button is chosen for a value outside the group.
                for (size_t i = 0; i < buttons.size(); ++i) buttons[i]->SetValue(int(i) == value);
            }
            return;
        }
        if (auto* box = dynamic_cast<wxCheckBox*>(m_view.Control(id))) {
            if (m_bSaveAndValidate) {
                value = box->GetValue() ? 1 : 0;
            } else {
                box->SetValue(value != 0);
            }
        }
    }

    void Strings(int id, const char*, std::vector<std::string>& rows) override {
        auto* list = dynamic_cast<wxListBox*>(m_view.Control(id));
        if (!list || m_bSaveAndValidate)
            return;
        wxArrayString shown;
        for (const std::string& row : rows) shown.Add(ToWx(row));
        list->Set(shown);
    }

  private:
    DialogView& m_view;
};

DialogView::DialogView(wxWindow* parent, CDialog& model, const wxString& caption)
    : wxDialog(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      m_model(model) {
    Bind(wxEVT_BUTTON, &DialogView::OnButton, this);
    Bind(wxEVT_CHAR_HOOK, &DialogView::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &DialogView::OnCloseBox, this);
}

int DialogView::WindowId(int templateId) {
    if (templateId == IDOK)
        return wxID_OK;
    if (templateId == IDCANCEL)
        return wxID_CANCEL;
    return templateId;
}

wxWindow* DialogView::Control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void DialogView::Register(int id, wxWindow* control) {
    m_controls[id] = control;
}

wxStaticText* DialogView::AddText(wxWindow* parent, int id, const wxString& text) {
    auto* control = new wxStaticText(parent, id, wxString());
    control->SetLabelText(text);
    Register(id, control);
    return control;
}

wxStaticText* DialogView::AddLabel(wxWindow* parent, const wxString& text) {
    auto* label = new wxStaticText(parent, wxID_ANY, wxString());
    label->SetLabelText(text);
    return label;
}

WrappedText* DialogView::AddPathText(wxWindow* parent, int id, int widthDlu) {
    auto* text = new WrappedText(parent, id, ConvertDialogToPixels(wxSize(widthDlu, 0)).x);
    Register(id, text);
    m_pathTexts.push_back(text);
    return text;
}

wxStaticBitmap* DialogView::AddIcon(wxWindow* parent, int id, int templateIcon) {
    wxImage blank(32, 32, true);
    blank.InitAlpha();
    std::fill_n(blank.GetAlpha(), 32 * 32, 0);
    auto* icon = new wxStaticBitmap(parent, id, wxBitmap(blank), wxDefaultPosition, wxSize(32, 32));
    Register(id, icon);
    m_templateIcons[id] = templateIcon;
    return icon;
}

std::vector<wxRadioButton*> DialogView::AddRadioGroup(
    wxWindow* parent, const std::vector<std::pair<int, wxString>>& items) {
    std::vector<wxRadioButton*> buttons;
    for (const auto& [id, text] : items) {
        auto* button = new wxRadioButton(parent, id, wxString(), wxDefaultPosition, wxDefaultSize,
                                         buttons.empty() ? wxRB_GROUP : 0);
        button->SetLabelText(text);
        Register(id, button);
        buttons.push_back(button);
    }
    if (!items.empty())
        m_radioGroups[items.front().first] = buttons;
    return buttons;
}

wxButton* DialogView::AddButton(wxWindow* parent, int id, const wxString& label) {
    auto* button = new wxButton(parent, WindowId(id), label);
    Register(id, button);
    if (id == IDOK)
        button->SetDefault();
    return button;
}

wxButton* DialogView::AddExchangingButton(wxWindow* parent, int id, const wxString& label) {
    m_exchangingButtons.insert(id);
    return AddButton(parent, id, label);
}

wxListBox* DialogView::AddList(wxWindow* parent, int id, const wxSize& size) {
    auto* list = new wxListBox(parent, id, wxDefaultPosition, size, 0, nullptr, wxLB_SINGLE);
    Register(id, list);
    return list;
}

wxTextCtrl* DialogView::AddEdit(wxWindow* parent, int id, const wxSize& size) {
    auto* edit = new wxTextCtrl(parent, id, wxString(), wxDefaultPosition, size);
    Register(id, edit);
    return edit;
}

PictureStrip* DialogView::AddPicture(int id, const wxSize& dialogUnits) {
    wxSize size = ConvertDialogToPixels(dialogUnits);
    auto* strip = new PictureStrip(this, id, size);
    Register(id, strip);
    return GiveWay(strip);
}

void DialogView::SetTemplateSize(int widthDlu, int heightDlu) {
    m_templateSize = ConvertDialogToPixels(wxSize(widthDlu, heightDlu));
}

void DialogView::AddButtonRow(wxSizer* column, const std::vector<ButtonSpec>& left,
                              const std::vector<ButtonSpec>& right) {
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (const ButtonSpec& b : left) buttons->Add(AddButton(this, b.id, b.label), 0, wxRIGHT, 6);
    buttons->AddStretchSpacer();
    for (size_t i = 0; i < right.size(); ++i)
        buttons->Add(AddButton(this, right[i].id, right[i].label), 0,
                     i + 1 < right.size() ? wxRIGHT : 0, 6);
    column->Add(buttons, 0, wxALL | wxEXPAND, 8);
}

void DialogView::FinishWithPicture(wxSizer* column, int pictureId, const wxSize& pictureDlu,
                                   const wxSize& templateDlu) {
    auto* outer = new wxBoxSizer(wxHORIZONTAL);
    outer->Add(column, 1, wxEXPAND);
    outer->Add(AddPicture(pictureId, pictureDlu), 0, wxEXPAND);
    SetSizer(outer);
    SetTemplateSize(templateDlu.GetWidth(), templateDlu.GetHeight());
}

void DialogView::LoadControls() {
    WxExchange exchange(*this, false);
    m_model.DoDataExchange(exchange);
    ApplyColours();
    ApplyIcons();
}

void DialogView::Load() {
    LoadControls();
    FitOnScreen(*this, m_pathTexts, m_templateSize, m_givingWay);
}

void DialogView::Save() {
    WxExchange exchange(*this, true);
    m_model.DoDataExchange(exchange);
}

void DialogView::ApplyColours() {
    for (const auto& [id, control] : m_controls) {
        COLORREF colour = 0;
        if (m_model.TextColour(id, colour)) {
            control->SetForegroundColour(
                wxColour(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
            control->Refresh();
        }
    }
}

void DialogView::ApplyIcons() {
    for (const auto& [id, templateIcon] : m_templateIcons) {
        Icon icon = m_model.ControlIcon(id);
        if (icon.IsNull() && templateIcon != 0)
            icon = Icon::Resource(templateIcon);
        auto* control = static_cast<wxStaticBitmap*>(Control(id));
        if (!icon.IsNull())
            control->SetBitmap(IconBitmap(icon, 32));
    }
}

void DialogView::OnButton(wxCommandEvent& event) {
    const int id = event.GetId();
    if (id == wxID_OK) {
        Save();
        EndModal(wxID_OK);
    } else if (id == wxID_CANCEL) {
        EndModal(wxID_CANCEL);
    } else {
        const bool exchanging = m_exchangingButtons.count(id) != 0;
        if (exchanging)
            Save();
        // A file exception ends the button's command and is reported; the dialog stays.
        RunCommand([&] { m_model.OnCommand(id); });
        if (exchanging)
            LoadControls();
    }
}

void DialogView::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) {
        EndModal(wxID_CANCEL);
        return;
    }
    event.Skip();
}

void DialogView::OnCloseBox(wxCloseEvent&) {
    if (IsModal()) {
        EndModal(wxID_CANCEL);
    } else {
        Hide();
    }
}
