// The password screen: the model `CPasswordDlg` (the prompt and the typed password) and the
// start-up's prompt that shows it through the user-interface seam (app/StartUp.h): a
// refusal is said and the screen comes back, a first password is typed a second time, a
// damaged "Database Index" is said and ends the start. No wx here; the window is
// gui/PasswordView.cpp.
#pragma once

#include <string>

#include "app/StartUp.h"
#include "platform/Dialog.h"

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

// The window's prompt: the password dialog, asked again after a refusal.
class PasswordScreen : public PasswordPrompt {
  public:
    bool Type(std::string& password, bool again) override;
    bool Refused() override;
    bool TypingsDiffer() override;
    void IndexDamaged(const std::string& indexPath) override;
};
