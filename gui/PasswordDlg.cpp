// The password screen's loop: the typed password's key must open the "Database Index"
// (under the vector of the text "Database Index", in the backup folder of the settings).
// Each refusal says so; the quit button ends it. The typed text is wiped after use.
#include "gui/PasswordDlg.h"

#include "app/Settings.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"

const char* const kPasswordRefusedText =
    "This password does not open the Quillstead databases. Type the password again.";

void WipeSecret(void* data, size_t length) {
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
    for (size_t i = 0; i < length; ++i) bytes[i] = 0;
}

CPasswordDlg::~CPasswordDlg() {
    WipeSecret(m_password.data(), m_password.size());
}

void CPasswordDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_PASSWORD, "m_password", m_password);
}

bool PasswordOpensIndex(const std::string& password, Key& key) {
    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    Key candidate = DeriveKey(password);
    const bool opens = KeyOpensIndex(candidate, IvFromText("Database Index"), backupDir);
    if (opens)
        key = candidate;
    WipeSecret(candidate.data(), candidate.size());
    return opens;
}

bool RunPasswordScreen(Key& key) {
    for (;;) {
        CPasswordDlg screen;
        if (screen.DoModal() != IDOK)
            return false;
        Ui().BusyCursor();
        if (PasswordOpensIndex(screen.m_password, key))
            return true;
        Ui().MessageBox(kPasswordRefusedText, MbIcon::Exclamation);
    }
}
