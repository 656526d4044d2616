// The password screen's model and the window's prompt: each typing is the dialog's, a
// refusal and two typings that differ are said and the screen comes back, a damaged
// "Database Index" is said with the stop icon. Typed texts are wiped after use.
#include "app/PasswordDlg.h"

#include "platform/Ui.h"
#include "storage/PasswordCheck.h"
#include "storage/SecureText.h"

const char* const kPasswordPromptText = "Type your password:";
const char* const kPasswordAgainPromptText = "Type the new password again:";
const char* const kPasswordRefusedText =
    "This password does not open the Quillstead databases. Type the password again.";
const char* const kPasswordsDifferText = "The two passwords differ. Type the password again.";

CPasswordDlg::CPasswordDlg() : CDialog(IDD), m_prompt(kPasswordPromptText) {}

CPasswordDlg::~CPasswordDlg() {
    WipeText(m_password);
}

void CPasswordDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_PROMPT, "m_prompt", m_prompt);
    dx.Text(IDC_PASSWORD, "m_password", m_password);
}

bool PasswordScreen::Type(std::string& password, bool again) {
    CPasswordDlg screen;
    if (again)
        screen.m_prompt = kPasswordAgainPromptText;
    if (screen.DoModal() != IDOK)
        return false;
    password = screen.m_password;
    return true;
}

bool PasswordScreen::Refused() {
    Ui().MessageBox(kPasswordRefusedText, MbIcon::Exclamation);
    return true;
}

bool PasswordScreen::TypingsDiffer() {
    Ui().MessageBox(kPasswordsDifferText, MbIcon::Exclamation);
    return true;
}

void PasswordScreen::IndexDamaged(const std::string& indexPath) {
    Ui().MessageBox(IndexDamagedText(indexPath), MbIcon::Stop);
}
