// The password's rules over every state a backup folder can be in: a check value that
// accepts the key decides, the "Database Index" or a backup index decides without it (and
// shows up a damaged check value), a damaged index is told from a wrong password, and only a
// folder with nothing protected takes a first password. The check value's bytes and its atomic,
// private write.
#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/PasswordCheck.h"
#include "tests/storage/StorageFixture.h"
#include "tests/storage/StorageHelpers.h"

namespace {

const std::string kDir = "E:\\Backup Files\\";
const std::string kIndexLine = Seps("E:\\Data\\s.qdb|1|7|8|00000000000000000000000000000000|\n");
const std::string kBackupLine = Seps("E:\\Data\\a.txt|N|16.00|6\r\n");
const std::string kCut(33, 'x');  // an index's stored bytes that are not whole blocks

class PasswordCheck : public StorageFiles {
  protected:
    void SetUp() override {
        StorageFiles::SetUp();
        std::filesystem::create_directories(Host(kDir));
    }
    PasswordAnswer Test(const Key& key) { return TestPassword(key, m_iv, kDir); }

    const Key m_key = TestKey(20), m_other = TestKey(21);
    const Iv m_iv = IvFromText("Database Index");
};

TEST_F(PasswordCheck, EveryStateOfTheBackupFolder) {
    using A = PasswordAnswer;
    const PasswordCheckValue value = PasswordCheckOf(m_key);
    const std::string right(value.begin(), value.end());
    const std::string badLines = "no separators here\n";
    // The plaintexts of the index and of a backup index and the check file's bytes; none
    // for a file that is not there, and kCut is stored as it is.
    struct Case {
        const char* state;
        std::optional<std::string> index, backup, check;
        A right, wrong;
    };
    const Case cases[] = {
        {"nothing", {}, {}, {}, A::First, A::First},
        {"an empty index", "", {}, {}, A::First, A::First},
        {"an empty backup index", {}, "", {}, A::First, A::First},
        {"a check file of another length", {}, {}, "short", A::First, A::First},
        {"an index", kIndexLine, {}, {}, A::Opens, A::Refused},
        {"an index and its check value", kIndexLine, {}, right, A::Opens, A::Refused},
        {"a check value alone", {}, {}, right, A::Opens, A::Refused},
        {"a check value and an empty index", "", {}, right, A::Opens, A::Refused},
        {"a backup index alone", {}, kBackupLine, {}, A::Opens, A::Refused},
        {"an empty index and a backup index",
         "",
         kBackupLine + kBackupLine,
         {},
         A::Opens,
         A::Refused},
        {"a damaged backup index alone", {}, "not a backup line\n", {}, A::Refused, A::Refused},
        {"an index cut short", kCut, {}, {}, A::IndexDamaged, A::IndexDamaged},
        {"an index cut short and a check value", kCut, {}, right, A::IndexDamaged, A::Refused},
        // A check value that refuses the right key is damaged: the index decides.
        {"an index and a damaged check value",
         kIndexLine,
         {},
         std::string(32, 'x'),
         A::OpensCheckDamaged,
         A::Refused},
        {"an index and a check file of another length",
         kIndexLine,
         {},
         "short",
         A::OpensCheckDamaged,
         A::Refused},
        {"a backup index and a damaged check value",
         {},
         kBackupLine,
         std::string(32, 'x'),
         A::OpensCheckDamaged,
         A::Refused},
        {"an index of bad lines and a check value",
         badLines,
         {},
         right,
         A::IndexDamaged,
         A::Refused},
        {"an index of bad lines and a backup index",
         badLines,
         kBackupLine,
         {},
         A::IndexDamaged,
         A::Refused},
        {"an index of bad lines alone", "bad\n", {}, {}, A::Refused, A::Refused},
    };
    const std::string backupIndex = BackupIndexPath(kDir, "3");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        std::filesystem::remove_all(Host(kDir));
        std::filesystem::create_directories(Host(kDir));
        if (c.index && *c.index == kCut)
            Write(DatabaseIndexPath(kDir), kCut);
        else if (c.index)
            Store(DatabaseIndexPath(kDir), *c.index, m_key, m_iv);
        if (c.backup)
            Store(backupIndex, *c.backup, m_key, IvFromText(backupIndex));
        if (c.check)
            Write(PasswordCheckPath(kDir), *c.check);
        const std::vector<std::string> before = Names(kDir);
        EXPECT_EQ(int(Test(m_key)), int(c.right));
        EXPECT_EQ(int(Test(m_other)), int(c.wrong));
        EXPECT_EQ(Names(kDir), before);  // a test writes nothing
    }
}

TEST_F(PasswordCheck, TheCheckValueIsAOneWayValueWrittenPrivatelyInOneStep) {
    EXPECT_EQ(PasswordCheckOf(Key{}),
              Bytes<32>("2620871490ad184dc57ad72851ed85ea8620212d3a1a70910137795fedaa60d1"));
    EXPECT_NE(PasswordCheckOf(m_key), PasswordCheckOf(m_other));

    const mode_t oldMask = umask(0);
    Write(PasswordCheckPath(kDir) + ".new~", "left over");
    chmod(Host(PasswordCheckPath(kDir) + ".new~").c_str(), 0644);
    EXPECT_FALSE(HasPasswordCheck(kDir));
    KeepPasswordCheck(m_key, kDir);
    umask(oldMask);
    const PasswordCheckValue value = PasswordCheckOf(m_key);
    EXPECT_EQ(Read(PasswordCheckPath(kDir)), std::string(value.begin(), value.end()));
    EXPECT_EQ(Names(kDir), std::vector<std::string>{"Password Check"});
    struct stat st;
    ASSERT_EQ(stat(Host(PasswordCheckPath(kDir)).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_TRUE(HasPasswordCheck(kDir));

    // Kept once there; one that is not the accepted key's (damaged) is written anew.
    KeepPasswordCheck(m_key, kDir);
    EXPECT_EQ(Read(PasswordCheckPath(kDir)), std::string(value.begin(), value.end()));
    Write(PasswordCheckPath(kDir), std::string(31, 'x'));
    KeepPasswordCheck(m_other, kDir);
    EXPECT_EQ(Test(m_other), PasswordAnswer::Opens);

    // A folder that is not there: the exception names the check file, nothing is left.
    const std::string missing = "E:\\missing\\";
    EXPECT_TRUE(RaisesFileException([&] { WritePasswordCheck(m_key, missing); },
                                    CFileException::fileNotFound, PasswordCheckPath(missing)));
    EXPECT_FALSE(Exists("E:\\missing"));
}

TEST(BackupIndexText, WellFormedLines) {
    const std::pair<std::string, bool> cases[] = {
        {kBackupLine, true},
        {Seps("E:\\a.txt|Y|6|6\n"), true},
        {kBackupLine + Seps("E:\\b|N|0.00|0\r\n"), true},
        {"", false},
        {Seps("E:\\a.txt|N|16.00|6"), false},  // no line break
        {Seps("|N|16.00|6\r\n"), false},
        {Seps("E:\\a||16.00|6\r\n"), false},
        {Seps("E:\\a|N|16.00|6|\r\n"), false},
        {Seps("E:\\a|N|1x|6\r\n"), false},
        {Seps("E:\\a|N|16.|6\r\n"), false},
        {Seps("E:\\a|N|16.00|\r\n"), false},
        {kBackupLine + "\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BackupIndexTextIsWellFormed(c.first), c.second) << c.first;
}

}  // namespace
