// The base of the wx views of dialog models. A view builds the controls of its template and
// only moves data: on opening the model's members go into the controls (the exchange with
// m_bSaveAndValidate false), the model's text colours and icons are applied; OK brings the
// controls' values back into the members (the exchange with true) and ends with IDOK;
// Cancel, Escape and the close box end with IDCANCEL and bring nothing back. Every other
// push button is the model's command (OnCommand). The dialog fits the screen: its path
// texts wrap, and scroll when even that would be taller than the screen.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Dialog.h"

class PictureStrip;
class WrappedText;

class DialogView : public wxDialog {
  public:
    DialogView(wxWindow* parent, CDialog& model, const wxString& caption);

    // The exchange into the controls, the colours and the icons; then fits the window to
    // its controls, its template and the screen (the seam then centres it).
    void Load();
    // The exchange back into the model (what OK does before it closes the dialog).
    void Save();

    // The control of a template id (a radio group answers with its first button).
    wxWindow* Control(int id) const;
    CDialog& Model() { return m_model; }

    // The window id of a template id: 1 and 2 are OK and Cancel.
    static int WindowId(int templateId);

  protected:
    // Builders for the views.
    wxStaticText* AddText(wxWindow* parent, int id, const wxString& text = wxString());
    wxStaticText* AddLabel(wxWindow* parent, const wxString& text);
    // A text that may hold a path of any length: its lines are no wider than `widthDlu`
    // dialog units (or what the screen leaves), and they scroll beyond the screen's height.
    WrappedText* AddPathText(wxWindow* parent, int id, int widthDlu);
    // An icon control; `templateIcon` is shown when the model gives none.
    wxStaticBitmap* AddIcon(wxWindow* parent, int id, int templateIcon = 0);
    // A radio group: the buttons in their order, the first starting the group.
    std::vector<wxRadioButton*> AddRadioGroup(wxWindow* parent,
                                              const std::vector<std::pair<int, wxString>>& items);
    wxButton* AddButton(wxWindow* parent, int id, const wxString& label);
    // A push button whose command works on the members as the controls show them: their
    // values go into the model before the command and the model's members come back after
    // it.
    wxButton* AddExchangingButton(wxWindow* parent, int id, const wxString& label);
    // A list of rows whose chosen row (-1 for none) is an int member.
    wxListBox* AddList(wxWindow* parent, int id, const wxSize& size);
    wxTextCtrl* AddEdit(wxWindow* parent, int id, const wxSize& size);
    PictureStrip* AddPicture(int id, const wxSize& dialogUnits);
    void Register(int id, wxWindow* control);
    // A window that becomes narrower than its size on a screen too small for the dialog.
    template <class Window>
    Window* GiveWay(Window* window) {
        m_givingWay.push_back(window);
        return window;
    }

    // The template's size in dialog units as the dialog's least size.
    void SetTemplateSize(int widthDlu, int heightDlu);

    // A button, as a template lists it: its id and label.
    struct ButtonSpec {
        int id;
        const char* label;
    };
    // The row of push buttons under the controls: `left` at the left edge, `right` at the
    // right edge, added to `column`.
    void AddButtonRow(wxSizer* column, const std::vector<ButtonSpec>& left,
                      const std::vector<ButtonSpec>& right);
    // Lays out the change dialogs: the controls' column, then the picture strip `pictureId` at
    // the right edge (its size in dialog units), with the template's size as the least size.
    void FinishWithPicture(wxSizer* column, int pictureId, const wxSize& pictureDlu,
                           const wxSize& templateDlu);

  private:
    friend class WxExchange;
    // The exchange into the controls, the colours and the icons.
    void LoadControls();
    void OnButton(wxCommandEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseBox(wxCloseEvent& event);
    void ApplyColours();
    void ApplyIcons();

    CDialog& m_model;
    std::map<int, wxWindow*> m_controls;
    std::map<int, std::vector<wxRadioButton*>> m_radioGroups;
    std::map<int, int> m_templateIcons;  // icon control id -> template icon (0: none)
    std::set<int> m_exchangingButtons;
    std::vector<WrappedText*> m_pathTexts;
    std::vector<wxWindow*> m_givingWay;  // narrower on a small screen: the picture
    wxSize m_templateSize;
    // Each text control's bytes as the model gave them, with what they showed as.
    std::map<int, std::pair<std::string, wxString>> m_textsSent;
};
