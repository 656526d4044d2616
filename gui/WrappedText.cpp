// The wrapped text's layout: the lines in a static text, inside a window that scrolls.
#include "gui/WrappedText.h"

#include <wx/settings.h>
#include <wx/stattext.h>

#include <algorithm>
#include <climits>

#include "gui/TextWrap.h"

WrappedText::WrappedText(wxWindow* parent, wxWindowID id, int maxWidth)
    : wxScrolledWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxBORDER_NONE),
      m_maxWidth(maxWidth),
      m_maxHeight(INT_MAX) {
    m_shown = new wxStaticText(this, wxID_ANY, wxString());
    ShowScrollbars(wxSHOW_SB_NEVER, wxSHOW_SB_DEFAULT);
    Relayout();
}

void WrappedText::SetLabel(const wxString& text) {
    m_text = text;
    Relayout();
}

bool WrappedText::SetForegroundColour(const wxColour& colour) {
    m_shown->SetForegroundColour(colour);
    m_shown->Refresh();
    return wxScrolledWindow::SetForegroundColour(colour);
}

void WrappedText::SetLimits(int maxWidth, int maxHeight) {
    m_maxWidth = maxWidth;
    m_maxHeight = maxHeight;
    Relayout();
}

int WrappedText::LineHeight() const {
    return m_shown->GetCharHeight();
}

wxString WrappedText::ShownText() const {
    return m_shown->GetLabelText();
}

void WrappedText::Relayout() {
    m_shown->SetLabelText(WrapToWidth(m_text, m_maxWidth, m_shown->GetFont()));
    const wxSize text = m_shown->GetBestSize();
    m_shown->SetSize(text);
    SetVirtualSize(text);
    SetScrollRate(0, std::max(1, LineHeight()));
    m_scrolls = text.y > m_maxHeight;
    m_size = text;
    if (m_scrolls) {
        m_size.y = m_maxHeight;
        m_size.x += wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
    }
    SetMinSize(m_size);
    InvalidateBestSize();
}
