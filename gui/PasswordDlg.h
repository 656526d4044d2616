// The password screen of the start-up: the model `CPasswordDlg` (the prompt and the typed
// password) and the loop that shows it until the typed password is accepted (the rules are
// storage/PasswordCheck's). A first password, while nothing is protected yet, is typed twice
// and the two must match before it protects anything. No wx here; the window is
// gui/PasswordView.cpp.
#pragma once

#include <string>

#include "platform/Dialog.h"
#include "storage/Crypto.h"
#include "storage/PasswordCheck.h"

class CPasswordDlg : public CDialog {
  public:
    enum { IDD = 129 };
    // The edit and the prompt above it; OK is IDOK, the quit button IDCANCEL.
    enum { IDC_PASSWORD = 1000, IDC_PROMPT = 1001 };

    CPasswordDlg();
    ~CPasswordDlg() override;  // wipes the typed text

    const char* ClassName() const override { return "CPasswordDlg"; }
    void DoDataExchange(DataExchange& dx) override;

    std::string m_prompt;
    std::string m_password;
};

// The prompts: the password, and a first password's second typing.
extern const char* const kPasswordPromptText;
extern const char* const kPasswordAgainPromptText;
// Shown when a password is not the password of the protected files.
extern const char* const kPasswordRefusedText;
// Shown when the two typings of a first password differ.
extern const char* const kPasswordsDifferText;

// What the typed password is to the files protected in the backup folder of the settings,
// with its key.
PasswordAnswer TestTypedPassword(const std::string& password, Key& key);

// The password screen: false when the user quits (or the "Database Index" is damaged, which
// is said first), else true with the key. An accepted password leaves its check value in the
// backup folder.
bool RunPasswordScreen(Key& key);

// Overwrites a secret in memory.
void WipeSecret(void* data, size_t length);
