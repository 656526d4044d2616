// The modeless progress dialogs: the bar position kept in 0..65000 and every change
// handed to the seam's window.
#include "app/ProgressDialogs.h"

namespace {
constexpr long long kMaxPos = 65000;

int Clamp(long long pos) {
    if (pos < 0)
        return 0;
    if (pos > kMaxPos)
        return static_cast<int>(kMaxPos);
    return static_cast<int>(pos);
}
}  // namespace

CProgressDlg::~CProgressDlg() {
    Close();
}

void CProgressDlg::Create() {
    Close();
    m_pos = 0;
    m_window = Ui().CreateProgress(m_templateId);
}

void CProgressDlg::SetWindowText(const std::string& title) {
    if (m_window)
        m_window->SetTitle(title);
}

void CProgressDlg::SetItemText(int id, const std::string& text) {
    if (m_window)
        m_window->SetItemText(id, text);
}

void CProgressDlg::SetIcon(int id, const Icon& icon) {
    if (m_window)
        m_window->SetIcon(id, icon);
}

void CProgressDlg::SetPos(int pos) {
    m_pos = Clamp(pos);
    if (m_window)
        m_window->SetPos(m_pos);
}

void CProgressDlg::OffsetPos(int amount) {
    m_pos = Clamp(static_cast<long long>(m_pos) + amount);
    if (m_window)
        m_window->SetPos(m_pos);
}

void CProgressDlg::Close() {
    if (!m_window)
        return;
    m_window->Close();
    m_window.reset();
}
