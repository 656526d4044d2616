// The password screen: a password that is not the password of the protected files is
// refused with a message and the screen comes back; the right one opens and leaves its check
// value; a first password is typed twice and the two must match; a damaged index is said
// and ends the screen; the quit button ends it.
#include <wx/textctrl.h>

#include <filesystem>
#include <optional>

#include "app/NoDatabaseView.h"
#include "app/PasswordDlg.h"
#include "app/ProtectedStore.h"
#include "storage/DatabaseIndex.h"
#include "storage/PasswordCheck.h"
#include "tests/gui/GuiTest.h"

namespace {

// Types `text` at a screen showing `prompt` with an empty, hidden edit.
std::function<void(wxDialog*)> Type(const std::string& text,
                                    const std::string& prompt = kPasswordPromptText) {
    return [=](wxDialog* dialog) {
        EXPECT_EQ(ControlText(dialog, CPasswordDlg::IDC_PROMPT), prompt);
        auto* edit = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(CPasswordDlg::IDC_PASSWORD));
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->HasFlag(wxTE_PASSWORD));
        EXPECT_EQ(FromWx(edit->GetValue()), "");
        edit->SetValue(wxString::FromUTF8(text));
    };
}

// The program's start on the window's password screen: the key of its store, none when the
// start ended.
std::optional<Key> Start() {
    PasswordScreen screen;
    const std::unique_ptr<ProtectedStore> store = StartUp(screen);
    if (!store)
        return std::nullopt;
    return store->FileKey();
}

PasswordAnswer Answer(const std::string& password, const std::string& backupDir) {
    return TestPassword(DeriveKey(password), IvFromText("Database Index"), backupDir);
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
            Type("wrong password")(d);
        },
        wxID_OK);
    Hook().ExpectMessage(kPasswordRefusedText);
    Hook().ExpectView("Quillstead", Type("test password"), wxID_OK);
    EXPECT_EQ(Start(), DeriveKey("test password"));
    // The index opened, so its check value was left beside it.
    EXPECT_TRUE(HasPasswordCheck(prefix.BackupDir()));

    // The quit button ends the screen without a key, even with the right password typed.
    Hook().ExpectView("Quillstead", Type("test password"), wxID_CANCEL);
    EXPECT_EQ(Start(), std::nullopt);
}

TEST_F(PasswordTest, AFirstPasswordIsTypedTwiceAndTheTwoMustMatch) {
    const std::string password = "p\xC3\xA4ssw\xC3\xB6rd";
    // Quitting at the second typing sets nothing.
    Hook().ExpectView("Quillstead", Type(password), wxID_OK);
    Hook().ExpectView("Quillstead", Type(password, kPasswordAgainPromptText), wxID_CANCEL);
    EXPECT_EQ(Start(), std::nullopt);
    EXPECT_FALSE(HasPasswordCheck(prefix.BackupDir()));

    Hook().ExpectView("Quillstead", Type(password), wxID_OK);
    Hook().ExpectView("Quillstead", Type("passw\xC3\xB6rd", kPasswordAgainPromptText), wxID_OK);
    Hook().ExpectMessage(kPasswordsDifferText);
    Hook().ExpectView("Quillstead", Type(password), wxID_OK);
    Hook().ExpectView("Quillstead", Type(password, kPasswordAgainPromptText), wxID_OK);
    EXPECT_EQ(Start(), DeriveKey(password));  // its UTF-8 bytes

    // From now on only that password opens, though nothing else is stored yet.
    EXPECT_EQ(Answer("another", prefix.BackupDir()), PasswordAnswer::Refused);
    EXPECT_EQ(Answer(password, prefix.BackupDir()), PasswordAnswer::Opens);
}

TEST_F(PasswordTest, ADamagedIndexIsSaidAndEndsTheScreen) {
    const std::string index = DatabaseIndexPath(prefix.BackupDir());
    prefix.WriteFile(index, std::string(33, 'x'));
    Hook().ExpectView("Quillstead", Type("test password"), wxID_OK);
    Hook().ExpectMessage(
        "The Database Index C:\\Program Files\\Quillstead\\Backup "
        "Files\\Database Index is damaged and cannot be read.");
    EXPECT_EQ(Start(), std::nullopt);
}
