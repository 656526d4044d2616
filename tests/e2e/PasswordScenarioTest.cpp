// The password through the driver: a first password (given once, it stands for both
// typings) leaves its check value, which then refuses any other password even with the
// index gone; a prefix written elsewhere gets its check value the first time its password
// opens it; a damaged index is said as such, not as a wrong password.
#include <sys/stat.h>

#include <filesystem>

#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

const std::string kBackups = "/drive_c/Program Files/Quillstead/Backup Files/";
const std::string kRefused = R"({"event":"password-refused"})";

class PasswordScenario : public E2eTest {
  protected:
    DriverRun Create(const std::string& password, const std::string& database) {
        return Drive({"--prefix", prefix, "--password", password, "create-database", database});
    }
    std::string Backups() const { return prefix + kBackups; }
};

TEST_F(PasswordScenario, AFirstPasswordIsKeptByItsCheckValue) {
    ASSERT_EQ(Drive({"--prefix", prefix, "setup"}).status, 0);
    EXPECT_FALSE(fs::exists(Backups() + "Password Check"));  // set-up asks for no password

    const DriverRun first = Create("first", "C:\\one.qdb");
    EXPECT_EQ(first.status, 0) << first.err;
    struct stat st;
    ASSERT_EQ(stat((Backups() + "Password Check").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 32);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    // With the index gone the check value alone still tells the password.
    fs::remove(Backups() + "Database Index");
    const DriverRun other = Create("other", "C:\\two.qdb");
    EXPECT_EQ(other.status, 3);
    EXPECT_EQ(other.lines, std::vector<std::string>{kRefused});
    EXPECT_FALSE(fs::exists(prefix + "/drive_c/two.qdb"));
    EXPECT_EQ(Create("first", "C:\\two.qdb").status, 0);
    EXPECT_TRUE(fs::exists(prefix + "/drive_c/two.qdb"));
}

TEST_F(PasswordScenario, APrefixWrittenElsewhereGetsItsCheckValueWhenItsPasswordOpensIt) {
    const std::string copy = root + "/sample";
    CopySamplePrefix(copy);
    ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "c=" + copy + "/drive_c"}).status, 0);
    const std::string check = copy + kBackups + "Password Check";

    EXPECT_EQ(Create("wrong horse", "C:\\Data\\x.qdb").lines, std::vector<std::string>{kRefused});
    EXPECT_FALSE(fs::exists(check));
    const DriverRun opened = Create("correct horse", "C:\\Data\\x.qdb");
    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(fs::file_size(check), 32u);

    // The index and every backup index gone: the check value still refuses another password.
    for (const char* name : {"Database Index", "Backup Index 1", "Backup Index 2"})
        fs::remove(copy + kBackups + name);
    EXPECT_EQ(Create("wrong horse", "C:\\Data\\y.qdb").status, 3);
    EXPECT_EQ(Create("correct horse", "C:\\Data\\y.qdb").status, 0);
}

TEST_F(PasswordScenario, ADamagedIndexIsNotAWrongPassword) {
    ASSERT_EQ(Create("pw", "C:\\one.qdb").status, 0);
    const std::string index = Backups() + "Database Index";
    WriteHost(index, ReadHost(index) + "x");  // no longer whole blocks

    const DriverRun run = Create("pw", "C:\\two.qdb");
    EXPECT_EQ(run.status, 1);
    const std::string winIndex = "C:\\Program Files\\Quillstead\\Backup Files\\Database Index";
    EXPECT_EQ(run.lines, std::vector<std::string>{R"({"event":"index-damaged","file":)" +
                                                  JsonString(winIndex) + "}"});
    EXPECT_EQ(run.err, "quillstead-driver: The Database Index " + winIndex +
                           " is damaged and cannot be read.\n");
    // The check value knows the password is another one's.
    EXPECT_EQ(Create("other", "C:\\two.qdb").lines, std::vector<std::string>{kRefused});
    EXPECT_FALSE(fs::exists(prefix + "/drive_c/two.qdb"));
}

}  // namespace
