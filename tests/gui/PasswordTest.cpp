// The password screen: a password whose key does not open the "Database Index" is refused
// with a message and the screen comes back; the right one opens; the quit button ends it.
#include <wx/textctrl.h>

#include "app/NoDatabaseView.h"
#include "gui/PasswordDlg.h"
#include "tests/gui/GuiTest.h"

namespace {

void Type(wxDialog* dialog, const std::string& text) {
    auto* edit = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(CPasswordDlg::IDC_PASSWORD));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->HasFlag(wxTE_PASSWORD));
    EXPECT_EQ(FromWx(edit->GetValue()), "");
    edit->SetValue(wxString::FromUTF8(text));
}

}  // namespace

using PasswordTest = GuiTest;

TEST_F(PasswordTest, WrongPasswordsAreRefusedUntilTheRightOneAndQuitEndsTheScreen) {
    // A database makes the index hold something the key must open.
    CCNoflview view(prefix.frame);
    ASSERT_TRUE(view.CreateDatabase("E:\\home database"));

    Hook().ExpectView(
        "Quillstead",
        [](wxDialog* d) {
            EXPECT_EQ(ControlText(d, IDOK), "OK");
            EXPECT_EQ(ControlText(d, IDCANCEL), "Quit");
            Type(d, "wrong password");
        },
        wxID_OK);
    Hook().ExpectMessage(kPasswordRefusedText);
    Hook().ExpectView(
        "Quillstead", [](wxDialog* d) { Type(d, "test password"); }, wxID_OK);
    Key key{};
    EXPECT_TRUE(RunPasswordScreen(key));
    EXPECT_EQ(key, prefix.frame.m_fileKey);
    EXPECT_EQ(key, DeriveKey("test password"));

    // The quit button ends the screen without a key, even with the right password typed.
    Hook().ExpectView(
        "Quillstead", [](wxDialog* d) { Type(d, "test password"); }, wxID_CANCEL);
    Key quitKey{};
    EXPECT_FALSE(RunPasswordScreen(quitKey));
    EXPECT_EQ(quitKey, Key{});
}

TEST_F(PasswordTest, AnEmptyIndexTakesAnyPasswordAsItsUtf8Bytes) {
    Key key{};
    EXPECT_TRUE(PasswordOpensIndex("anything at all", key));
    EXPECT_EQ(key, DeriveKey("anything at all"));

    Hook().ExpectView(
        "Quillstead", [](wxDialog* d) { Type(d, "p\xC3\xA4ssw\xC3\xB6rd"); }, wxID_OK);
    Key typed{};
    EXPECT_TRUE(RunPasswordScreen(typed));
    EXPECT_EQ(typed, DeriveKey("p\xC3\xA4ssw\xC3\xB6rd"));
}
