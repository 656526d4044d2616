// The window of "File Analysis: " (template 389): "Backup file:" over the backup copy's list,
// "File now:" over the list of the file as it is now, and Hex Display, Text Display, OK,
// Cancel and Help. Each column is as wide as the design has it, or wider where its texts
// need it in the font in use (the last row's offset beside its mark, 32 hex bytes, the ASCII
// text). Both lists are virtual report lists: a row's texts and icons are asked of
// the model when the row is drawn, so a list of any length is shown at once. While a display
// runs, the window lets its events run at most every 15 ms, shows the rows marked so far, and
// keeps OK and the display buttons disabled; Escape or the close box then stop the display as
// Cancel does and close the dialog once it has stopped.
#include <wx/app.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "check/FileAnalysisDlg.h"
#include "gui/DialogView.h"
#include "gui/Resources.h"
#include "gui/ViewRegistry.h"
#include "gui/WxText.h"
#include "gui/WxUi.h"
#include "platform/Ui.h"

namespace {

using D = CFileAnalysisDlg;

// One of the two lists, drawing the rows of its model.
class AnalysisListCtrl : public wxListCtrl {
  public:
    AnalysisListCtrl(wxWindow* parent, int id, const AnalysisList& model, wxImageList* icons,
                     const wxSize& size)
        : wxListCtrl(parent, id, wxDefaultPosition, size,
                     wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxBORDER_SUNKEN),
          m_model(&model) {
        SetImageList(icons, wxIMAGE_LIST_SMALL);
    }

    // Shows nothing of the model any more.
    void Detach() {
        m_model = nullptr;
        SetItemCount(0);
    }

    // The model's columns and rows as they stand.
    void Sync() {
        if (!m_model)
            return;
        std::vector<std::string> titles;
        for (const AnalysisList::Column& column : m_model->Columns())
            titles.push_back(column.title);
        if (titles != m_titles) {
            SetItemCount(0);
            DeleteAllColumns();
            for (const AnalysisList::Column& column : m_model->Columns())
                AppendColumn(column.title, wxLIST_FORMAT_LEFT, column.width);
            m_titles = titles;
            m_measuredRows = 0;
            for (int column = 1; column < GetColumnCount(); ++column)
                Widen(column, TextWidth(m_model->Columns()[size_t(column)]));
        }
        const long rows = long(m_model->RowCount());
        if (rows != GetItemCount()) {
            SetItemCount(rows);
            // The offset of the last row is the longest; the first rows' texts are measured.
            if (rows > 0 && GetColumnCount() > 0)
                Widen(0, GetTextExtent(ToWx(m_model->CellText(uint64_t(rows - 1), 0))).x);
            for (; m_measuredRows < std::min(rows, kMeasuredRows); ++m_measuredRows) {
                for (int column = 1; column < GetColumnCount(); ++column)
                    Widen(column, GetTextExtent(ToWx(m_model->CellText(uint64_t(m_measuredRows),
                                                                       size_t(column))))
                                      .x);
            }
        }
        Refresh();
    }

    // The width a column needs for its texts in the list's font before any row is measured:
    // the hex column 32 bytes of the widest hexadecimal digits, the ASCII column a row of
    // printable characters.
    int TextWidth(const AnalysisList::Column& column) const {
        const bool hexDisplay = m_model->Columns().size() == 3;
        const size_t rowBytes = hexDisplay ? 32 : 128;
        wxString text;
        if (std::string(column.title) == "Bytes [Hex]") {
            wxChar widest = '0';
            for (wxChar digit : wxString("0123456789ABCDEF"))
                if (GetTextExtent(wxString(digit)).x > GetTextExtent(wxString(widest)).x)
                    widest = digit;
            for (size_t i = 0; i < rowBytes; ++i) text << widest << widest << ' ';
        } else {
            for (size_t i = 0; i < rowBytes; ++i) text << wxChar(0x20 + i % 95);
        }
        return GetTextExtent(text).x;
    }

    // Makes a column at least wide enough for a text of `textWidth` beside its mark, and for
    // its title; never narrower than it is.
    void Widen(int column, int textWidth) {
        constexpr int kMark = 16 + 8;  // the row icon and the room around it
        constexpr int kPadding = 16;   // the cell's margins
        wxListItem item;
        item.SetMask(wxLIST_MASK_TEXT);
        GetColumn(column, item);
        const int need =
            std::max(textWidth + kMark + kPadding, GetTextExtent(item.GetText()).x + kPadding);
        if (need > GetColumnWidth(column))
            SetColumnWidth(column, need);
    }

  protected:
    wxString OnGetItemText(long item, long column) const override {
        return m_model ? ToWx(m_model->CellText(uint64_t(item), size_t(column))) : wxString();
    }
    int OnGetItemImage(long item) const override { return OnGetItemColumnImage(item, 0); }
    int OnGetItemColumnImage(long item, long column) const override {
        return m_model ? m_model->CellIcon(uint64_t(item), size_t(column)) : kNoIcon;
    }

  private:
    static constexpr long kMeasuredRows = 100;
    const AnalysisList* m_model;
    std::vector<std::string> m_titles;
    long m_measuredRows = 0;
};

wxString CaptionOf(CDialog& model) {
    auto& dlg = static_cast<D&>(model);
    dlg.OnInitDialog();
    return ToWx(dlg.m_caption);
}

class FileAnalysisView : public DialogView, public AnalysisWindow {
  public:
    FileAnalysisView(wxWindow* parent, CDialog& model)
        : DialogView(parent, model, CaptionOf(model)),
          m_dlg(static_cast<D&>(model)),
          m_icons(16, 16, true, 4) {
        for (int resource : D::kRowIconResources)
            m_icons.Add(IconBitmap(Icon::Resource(resource), 16));

        // Created in the template's tab order: OK first, so it has the focus.
        AddButton(this, IDOK, "OK");
        m_current = AddList(D::IDC_CURRENT_LIST, m_dlg.m_currentList, wxSize(514, 143));
        m_backup = AddList(D::IDC_BACKUP_LIST, m_dlg.m_backupList, wxSize(514, 146));
        AddButton(this, D::IDC_HEX_DISPLAY, "Hex Display");
        AddButton(this, D::IDC_TEXT_DISPLAY, "Text Display");
        AddButton(this, D::IDC_CANCEL_ANALYSIS, "Cancel");
        AddButton(this, D::IDC_HELP_BUTTON, "Help");

        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(AddLabel(this, "Backup file:"), 0, wxLEFT | wxTOP, 8);
        column->Add(m_backup, 146, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, 4);
        column->Add(AddLabel(this, "File now:"), 0, wxLEFT | wxTOP, 8);
        column->Add(m_current, 143, wxLEFT | wxRIGHT | wxTOP | wxEXPAND, 4);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        for (int id : {int(D::IDC_HEX_DISPLAY), int(D::IDC_TEXT_DISPLAY), int(IDOK),
                       int(D::IDC_CANCEL_ANALYSIS), int(D::IDC_HELP_BUTTON)})
            buttons->Add(Control(id), 0, wxLEFT | wxRIGHT, 3);
        column->Add(buttons, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 6);
        SetSizer(column);
        SetTemplateSize(529, 341);

        Bind(wxEVT_CHAR_HOOK, &FileAnalysisView::OnKey, this);
        Bind(wxEVT_CLOSE_WINDOW, &FileAnalysisView::OnCloseBox, this);
        m_dlg.SetWindow(this);
        ListsChanged();
    }

    ~FileAnalysisView() override {
        DestroyChildren();  // the lists go before their image list
    }

    // The seam destroys the view when the dialog has ended, while the model still exists; the
    // window is deleted later, when the model may be gone: from here on it shows nothing of it.
    bool Destroy() override {
        if (!m_detached) {
            m_detached = true;
            m_dlg.SetWindow(nullptr);
            m_backup->Detach();
            m_current->Detach();
        }
        return DialogView::Destroy();
    }

    void DispatchMessages() override {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastDispatch < kDispatchInterval)
            return;
        m_lastDispatch = now;
        m_backup->Sync();
        m_current->Sync();
        if (wxTheApp)
            wxTheApp->Yield(true);
    }

    void ListsChanged() override {
        m_backup->Sync();
        m_current->Sync();
        const bool idle = !m_dlg.DisplayRunning();
        for (int id : {int(IDOK), int(D::IDC_HEX_DISPLAY), int(D::IDC_TEXT_DISPLAY)})
            Control(id)->Enable(idle);
        if (!idle)
            return;
        if (auto* ui = dynamic_cast<WxUi*>(&Ui()))
            ui->EndBusy();
        if (m_closeWhenStopped) {
            m_closeWhenStopped = false;
            CallAfter([this] {
                if (IsModal())
                    EndModal(wxID_CANCEL);
            });
        }
    }

  private:
    AnalysisListCtrl* AddList(int id, const AnalysisList& model, const wxSize& dialogUnits) {
        auto* list =
            new AnalysisListCtrl(this, id, model, &m_icons, ConvertDialogToPixels(dialogUnits));
        Register(id, list);
        return list;
    }

    // While a display runs, closing stops it first.
    bool StopToClose() {
        if (!m_dlg.DisplayRunning())
            return false;
        m_dlg.OnCancelAnalysis();
        m_closeWhenStopped = true;
        return true;
    }
    void OnKey(wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_ESCAPE || !StopToClose())
            event.Skip();
    }
    void OnCloseBox(wxCloseEvent& event) {
        if (!StopToClose())
            event.Skip();
    }

    D& m_dlg;
    wxImageList m_icons;
    AnalysisListCtrl* m_backup = nullptr;
    AnalysisListCtrl* m_current = nullptr;
    std::chrono::steady_clock::time_point m_lastDispatch;
    bool m_closeWhenStopped = false;
    bool m_detached = false;
};

}  // namespace

void RegisterFileAnalysisView() {
    RegisterDialogView("CFileAnalysisDlg", [](wxWindow* parent, CDialog& model) {
        return new FileAnalysisView(parent, model);
    });
}
