// The password screen of the start-up: the model `CPasswordDlg` (the typed password) and the
// loop that shows it again and again until the key of the typed password opens the
// "Database Index". No wx here; the window is gui/PasswordView.cpp.
#pragma once

#include <string>

#include "platform/Dialog.h"
#include "storage/Crypto.h"

class CPasswordDlg : public CDialog {
  public:
    enum { IDD = 129 };
    enum { IDC_PASSWORD = 1000 };  // the edit; OK is IDOK, the quit button IDCANCEL

    CPasswordDlg() : CDialog(IDD) {}
    ~CPasswordDlg() override;  // wipes the typed text

    const char* ClassName() const override { return "CPasswordDlg"; }
    void DoDataExchange(DataExchange& dx) override;

    std::string m_password;
};

// Shown when a password's key does not open the "Database Index".
extern const char* const kPasswordRefusedText;

// Whether the key of `password` opens the "Database Index" of the backup folder setting;
// the key when it does.
bool PasswordOpensIndex(const std::string& password, Key& key);

// The password screen: false when the user quits, else true with the key.
bool RunPasswordScreen(Key& key);

// Overwrites a secret in memory.
void WipeSecret(void* data, size_t length);
