// Damage is said the moment it is met, never skipped: a recovery record or note that does not
// read is named (once) and left with what it could be the commit of; a damaged "Password
// Check" gives way to the "Database Index" and is written anew; a damaged settings file is
// named and left as it is, and without the backup folder's setting nothing starts; a damaged
// "Database Checking Schedule" is named, checked by nobody and rewritten by nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "app/ProtectedStore.h"
#include "app/StartUp.h"
#include "platform/Durable.h"
#include "platform/Prefix.h"
#include "schedule/ScheduleEdits.h"
#include "storage/PasswordCheck.h"
#include "storage/RecoveryRecord.h"
#include "storage/StoredFileNames.h"
#include "tests/support/AddEvents.h"
#include "tests/support/TempPrefix.h"

namespace {

// The start-up's password screen answered with one password.
class OnePassword : public PasswordPrompt {
  public:
    explicit OnePassword(std::string password) : m_password(std::move(password)) {}
    bool Type(std::string& password, bool) override {
        password = m_password;
        return true;
    }
    bool Refused() override { return false; }
    bool TypingsDiffer() override { return false; }
    void IndexDamaged(const std::string&) override {}

  private:
    std::string m_password;
};

class DamageReportTest : public ::testing::Test {
  protected:
    DamageReportTest() { EXPECT_TRUE(CCNoflview(p.frame).CreateDatabase("E:\\db.qdb")); }
    std::unique_ptr<ProtectedStore> Start() {
        p.ui.ClearEvents();
        OnePassword prompt("test password");
        return StartUp(prompt);
    }
    static std::string Box(const std::string& text, const char* icon = "exclamation") {
        return BoxEvent(text, icon);
    }

    TempPrefix p;
};

TEST_F(DamageReportTest, AnUnreadableRecordOrNoteIsNamedOnceAndLeftWithItsStagedFiles) {
    const std::string record = NewTransactionRecordPath(), note = NewPlaintextNotePath();
    ASSERT_TRUE(platform::WriteHostFileAtomically(record, std::string(32, 'r')));
    ASSERT_TRUE(platform::WriteHostFileAtomically(note, std::string(48, 'n')));
    const std::string staged = StagedPath("E:\\db.qdb");
    p.WriteFile(staged, "perhaps a commit");
    p.ui.ClearEvents();
    p.frame.RecoverStoredFiles();
    EXPECT_EQ(p.ui.Events(), (std::vector<std::string>{Box(UnreadableRecordText(record)),
                                                       Box(UnreadableNoteText(note))}));
    EXPECT_EQ(p.ReadFile(staged), "perhaps a commit");
    std::string bytes;
    EXPECT_TRUE(platform::ReadHostFile(record, bytes));
    EXPECT_TRUE(platform::ReadHostFile(note, bytes));
    // Said once while the program runs; the commands go on.
    p.ui.ClearEvents();
    p.frame.RecoverStoredFiles();
    EXPECT_TRUE(CCNoflview(p.frame).CreateDatabase("E:\\db2.qdb"));
    EXPECT_TRUE(p.ui.Events().empty());
}

TEST_F(DamageReportTest, ADamagedPasswordCheckGivesWayToTheIndexAndIsWrittenAnew) {
    const std::string check = PasswordCheckPath(p.BackupDir());
    WritePasswordCheck(TestKey("test password"), p.BackupDir());
    std::string value = p.ReadFile(check);
    ASSERT_EQ(value.size(), 32u);
    value[5] = char(value[5] ^ 0x01);
    p.WriteFile(check, value);
    const auto store = Start();
    ASSERT_TRUE(store);
    EXPECT_EQ(p.ui.Events(), std::vector<std::string>{Box(PasswordCheckDamagedText(check))});
    const PasswordCheckValue right = PasswordCheckOf(TestKey("test password"));
    EXPECT_EQ(p.ReadFile(check), std::string(right.begin(), right.end()));
    // A wrong password is still refused.
    p.WriteFile(check, value);
    OnePassword wrong("wrong password");
    EXPECT_FALSE(StartUp(wrong));
    EXPECT_EQ(p.ReadFile(check), value);
}

TEST_F(DamageReportTest, ADamagedSettingsFileIsNamedAndLeftAsItIs) {
    const std::string reg = platform::RegistryFilePath();
    std::string text;
    ASSERT_TRUE(platform::ReadHostFile(reg, text));
    ASSERT_TRUE(platform::WriteHostFileAtomically(reg, text + "\x01garbage\r\n"));
    const size_t line = size_t(std::count(text.begin(), text.end(), '\n')) + 1;
    EXPECT_TRUE(Start());
    EXPECT_EQ(p.ui.Events().at(0),
              Box("The settings file " + reg + " is damaged: line " + std::to_string(line) +
                  " does not read. It is left as it is; a setting it does not hold is a "
                  "registry error."));
    std::string after;
    ASSERT_TRUE(platform::ReadHostFile(reg, after));
    EXPECT_EQ(after, text + "\x01garbage\r\n");

    // Without its first line nothing reads, the backup folder neither: nothing starts.
    ASSERT_TRUE(platform::WriteHostFileAtomically(reg, "REGEDIT5" + text.substr(8)));
    EXPECT_FALSE(Start());
    EXPECT_EQ(p.ui.Events(),
              (std::vector<std::string>{
                  Box("The settings file " + reg +
                      " is damaged: it does not begin with REGEDIT4. It is left as it is; a "
                      "setting it does not hold is a registry error."),
                  Box("Registry error.", "stop"),
                  Box("Quillstead cannot start: the backup folder's setting cannot be read from " +
                          reg + ".",
                      "stop")}));
}

TEST_F(DamageReportTest, ADamagedScheduleIsNamedAndNeitherCheckedNorRewritten) {
    ASSERT_TRUE(AddToSchedule(p.frame, "E:\\db.qdb"));
    const std::string schedule =
        CheckingSchedulePath("C:\\Program Files\\Quillstead\\Checking Schedule\\");
    std::string bytes = p.ReadFile(schedule);
    bytes[3] = char(bytes[3] ^ 0x40);
    p.WriteFile(schedule, bytes);
    p.ui.ClearEvents();
    EXPECT_TRUE(ScheduledDatabases(p.frame).empty());
    EXPECT_FALSE(AddToSchedule(p.frame, "E:\\db.qdb"));
    const std::string said =
        Box("The Database Checking Schedule " + schedule + " is damaged and cannot be read.");
    EXPECT_EQ(p.ui.Events(), (std::vector<std::string>{said, said}));
    EXPECT_EQ(p.ReadFile(schedule), bytes);
}

}  // namespace
