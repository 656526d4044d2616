// The prefix as a user meets it through the driver: a relative --prefix works for a whole
// session (a drop's backup step changes the current folder on the way), and a second
// program on a prefix in use is refused, set-up included.
#include <filesystem>

#include "platform/InstanceLock.h"
#include "platform/Prefix.h"
#include "tests/e2e/E2eTest.h"

namespace fs = std::filesystem;

namespace {

using PrefixScenario = E2eTest;

TEST_F(PrefixScenario, ARelativePrefixHoldsForAWholeSession) {
    fs::create_directories(root + "/e");
    WriteHost(root + "/e/a.txt", "alpha\n");
    const std::string relative = fs::relative(prefix).string();
    ASSERT_NE(relative[0], '/');
    ASSERT_EQ(Drive({"--prefix", relative, "setup", "--drive", "e=" + root + "/e"}).status, 0);
    ASSERT_EQ(
        Drive({"--prefix", relative, "--password", "pw", "create-database", "E:\\f.qdb"}).lines,
        std::vector<std::string>{});

    const DriverRun drop = Drive(
        {"--prefix", relative, "--password", "pw", "--database", "E:\\f.qdb", "drop", "E:\\a.txt"});
    EXPECT_EQ(drop.status, 0) << drop.err;
    EXPECT_EQ(drop.lines, std::vector<std::string>{
                              MessageBoxLine("1 File successfully dropped into the database.")});
    EXPECT_EQ(
        fs::file_size(prefix + "/drive_c/Program Files/Quillstead/Backup Files/Backup File 1"),
        16u);
}

TEST_F(PrefixScenario, ASecondProgramOnAPrefixInUseIsRefused) {
    ASSERT_EQ(Drive({"--prefix", prefix, "setup"}).status, 0);
    platform::SetPrefixRoot(prefix);
    const std::string refused =
        "quillstead-driver: Quillstead is already running with the prefix " + prefix +
        ". Only one Quillstead can use a prefix at a time.\n";
    {
        platform::InstanceLock running;  // the window, say
        std::string message;
        ASSERT_TRUE(running.Acquire(message)) << message;
        for (const auto& args : std::vector<std::vector<std::string>>{
                 {"--prefix", prefix, "setup"},
                 {"--prefix", prefix, "--password", "pw", "create-database", "C:\\x.qdb"}}) {
            const DriverRun run = Drive(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, refused);
            EXPECT_TRUE(run.lines.empty());
        }
        EXPECT_FALSE(fs::exists(prefix + "/drive_c/x.qdb"));
    }
    const DriverRun after =
        Drive({"--prefix", prefix, "--password", "pw", "create-database", "C:\\x.qdb"});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_TRUE(fs::exists(prefix + "/drive_c/x.qdb"));
}

}  // namespace
