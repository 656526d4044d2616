// The program's start: the prefix set up, the password accepted, the store opened and
// recovered.
#include "app/StartUp.h"

#include <exception>

#include "app/ProtectedStore.h"
#include "app/Settings.h"
#include "platform/Prefix.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/PasswordCheck.h"
#include "storage/SecureText.h"

namespace {

// The key of the typed password once it is accepted; false when the start ends. A damaged
// check value the accepted key shows up is said.
bool AcceptedKey(PasswordPrompt& prompt, const std::string& backupDir, Key& key) {
    const Iv indexIv = IvFromText("Database Index");
    for (;;) {
        std::string typed;
        if (!prompt.Type(typed, false))
            return false;
        Ui().BusyCursor();
        key = DeriveKey(typed);
        const PasswordAnswer answer = TestPassword(key, indexIv, backupDir);
        if (answer == PasswordAnswer::OpensCheckDamaged)
            Ui().MessageBox(PasswordCheckDamagedText(PasswordCheckPath(backupDir)),
                            MbIcon::Exclamation);
        if (answer == PasswordAnswer::Opens || answer == PasswordAnswer::OpensCheckDamaged) {
            WipeText(typed);
            return true;
        }
        bool askAgain = false;
        if (answer == PasswordAnswer::First) {
            // Typed a second time, and the two must match.
            std::string again;
            const bool typedAgain = prompt.Type(again, true);
            const bool same = typedAgain && again == typed;
            WipeText(again);
            if (same) {
                WipeText(typed);
                return true;
            }
            askAgain = typedAgain && prompt.TypingsDiffer();
        } else if (answer == PasswordAnswer::Refused) {
            askAgain = prompt.Refused();
        } else {
            prompt.IndexDamaged(DatabaseIndexPath(backupDir));
        }
        WipeText(typed);
        WipeMemory(key.data(), key.size());
        if (!askAgain)
            return false;
    }
}

}  // namespace

std::unique_ptr<ProtectedStore> StartUp(PasswordPrompt& prompt) {
    try {
        platform::FirstStartSetup();
    } catch (const std::exception& e) {
        Ui().MessageBox(e.what(), MbIcon::Stop);
        return nullptr;
    }
    const std::string damage = platform::RegistryDamage();
    if (!damage.empty())
        Ui().MessageBox("The settings file " + platform::RegistryFilePath() +
                            " is damaged: " + damage +
                            ". It is left as it is; a setting it does not hold is a registry "
                            "error.",
                        MbIcon::Exclamation);
    // Without the backup folder no password can be tested: nothing is guessed.
    Settings settings;
    std::string backupDir;
    if (!settings.BackupDir(backupDir)) {
        Ui().MessageBox(
            "Quillstead cannot start: the backup folder's setting cannot be read from " +
                platform::RegistryFilePath() + ".",
            MbIcon::Stop);
        return nullptr;
    }
    Key key{};
    if (!AcceptedKey(prompt, backupDir, key))
        return nullptr;
    // A check value that cannot be written is reported; the password stands. A damaged one
    // is written anew.
    RunCommand([&] { KeepPasswordCheck(key, backupDir); });
    auto store = std::make_unique<ProtectedStore>(key);
    WipeMemory(key.data(), key.size());
    // What an interruption left is finished or undone before any command runs.
    RunCommand([&] { store->RecoverAll(); });
    return store;
}
