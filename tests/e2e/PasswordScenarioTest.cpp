// The password at the driver's session start: a first password (given once, it stands for
// both typings) leaves its private check value, which then refuses any other password even
// with the index gone; a damaged index is said as such, not as a wrong password. (A prefix
// written elsewhere is opened by its password in tests/storage/SamplePrefixTest.cpp.)
#include <filesystem>

#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

using PasswordScenario = E2eTest;

TEST_F(PasswordScenario, AFirstPasswordIsKeptByItsCheckValueAndADamagedIndexIsNoWrongPassword) {
    const auto create = [&](const std::string& password, const std::string& database) {
        return Drive({"--prefix", prefix, "--password", password, "create-database", database});
    };
    const std::vector<std::string> refused = {R"({"event":"password-refused"})"};
    const std::string backups = prefix + "/drive_c/Program Files/Quillstead/Backup Files/";
    ASSERT_EQ(Drive({"--prefix", prefix, "setup"}).status, 0);
    EXPECT_FALSE(fs::exists(backups + "Password Check"));  // set-up asks for no password

    const DriverRun first = create("first", "C:\\one.qdb");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(fs::file_size(backups + "Password Check"), 32u);  // bytes, mode: tests/storage

    // With the index gone the check value alone still tells the password.
    fs::remove(backups + "Database Index");
    const DriverRun other = create("other", "C:\\two.qdb");
    EXPECT_EQ(other.status, 3);
    EXPECT_EQ(other.lines, refused);
    EXPECT_FALSE(fs::exists(prefix + "/drive_c/two.qdb"));
    ASSERT_EQ(create("first", "C:\\two.qdb").status, 0);
    EXPECT_TRUE(fs::exists(prefix + "/drive_c/two.qdb"));

    WriteHost(backups + "Database Index", ReadHost(backups + "Database Index") + "x");
    const DriverRun damaged = create("first", "C:\\three.qdb");
    EXPECT_EQ(damaged.status, 1);
    const std::string index = "C:\\Program Files\\Quillstead\\Backup Files\\Database Index";
    EXPECT_EQ(damaged.lines, std::vector<std::string>{R"({"event":"index-damaged","file":)" +
                                                      JsonString(index) + "}"});
    EXPECT_EQ(damaged.err, "quillstead-driver: The Database Index " + index +
                               " is damaged and cannot be read.\n");
    EXPECT_EQ(create("other", "C:\\three.qdb").lines, refused);
    EXPECT_FALSE(fs::exists(prefix + "/drive_c/three.qdb"));
}

}  // namespace
