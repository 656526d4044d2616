// The password screen's loop: each typed password is tested against the files protected in
// the backup folder of the settings (storage/PasswordCheck). A refusal says so and asks
// again; a first password is asked for a second time and must match; a damaged "Database
// Index" is reported and ends the program; the quit button ends it too. An accepted
// password's check value is written when the folder has none. Typed texts and keys are
// wiped after use.
#include "gui/PasswordDlg.h"

#include "app/Settings.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"

const char* const kPasswordPromptText = "Type your password:";
const char* const kPasswordAgainPromptText = "Type the new password again:";
const char* const kPasswordRefusedText =
    "This password does not open the Quillstead databases. Type the password again.";
const char* const kPasswordsDifferText = "The two passwords differ. Type the password again.";

namespace {

std::string BackupDir() {
    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    return backupDir;
}

// Asks for the password again; true when the second typing matches the first.
bool TypedAgain(const std::string& first, bool& quit) {
    CPasswordDlg again;
    again.m_prompt = kPasswordAgainPromptText;
    quit = again.DoModal() != IDOK;
    return !quit && again.m_password == first;
}

}  // namespace

void WipeSecret(void* data, size_t length) {
    volatile unsigned char* bytes = static_cast<volatile unsigned char*>(data);
    for (size_t i = 0; i < length; ++i) bytes[i] = 0;
}

CPasswordDlg::CPasswordDlg() : CDialog(IDD), m_prompt(kPasswordPromptText) {}

CPasswordDlg::~CPasswordDlg() {
    WipeSecret(m_password.data(), m_password.size());
}

void CPasswordDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_PROMPT, "m_prompt", m_prompt);
    dx.Text(IDC_PASSWORD, "m_password", m_password);
}

PasswordAnswer TestTypedPassword(const std::string& password, Key& key) {
    Key candidate = DeriveKey(password);
    const PasswordAnswer answer =
        TestPassword(candidate, IvFromText("Database Index"), BackupDir());
    if (answer == PasswordAnswer::Opens || answer == PasswordAnswer::First)
        key = candidate;
    WipeSecret(candidate.data(), candidate.size());
    return answer;
}

bool RunPasswordScreen(Key& key) {
    for (;;) {
        CPasswordDlg screen;
        if (screen.DoModal() != IDOK)
            return false;
        Ui().BusyCursor();
        Key candidate{};
        switch (TestTypedPassword(screen.m_password, candidate)) {
            case PasswordAnswer::Refused:
                Ui().MessageBox(kPasswordRefusedText, MbIcon::Exclamation);
                continue;
            case PasswordAnswer::IndexDamaged:
                Ui().MessageBox(IndexDamagedText(DatabaseIndexPath(BackupDir())), MbIcon::Stop);
                return false;
            case PasswordAnswer::First: {
                bool quit = false;
                if (!TypedAgain(screen.m_password, quit)) {
                    WipeSecret(candidate.data(), candidate.size());
                    if (quit)
                        return false;
                    Ui().MessageBox(kPasswordsDifferText, MbIcon::Exclamation);
                    continue;
                }
                break;
            }
            case PasswordAnswer::Opens:
                break;
        }
        // Accepted. A check value that cannot be written is reported; the password stands.
        RunCommand([&] { KeepPasswordCheck(candidate, BackupDir()); });
        key = candidate;
        WipeSecret(candidate.data(), candidate.size());
        return true;
    }
}
