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

TEST_F(PrefixScenario, ARelativePrefixHoldsForAWholeSessionAndIsOneProgramsAtATime) {
    fs::create_directories(root + "/e");
    WriteHost(root + "/e/a.txt", "alpha\n");
    const std::string relative = fs::relative(prefix).string();
    ASSERT_NE(relative[0], '/');
    const auto session = [&](const std::string& at, std::vector<std::string> args) {
        args.insert(args.begin(), {"--prefix", at, "--password", "pw"});
        return Drive(args);
    };
    ASSERT_EQ(Drive({"--prefix", relative, "setup", "--drive", "e=" + root + "/e"}).status, 0);
    ASSERT_EQ(session(relative, {"create-database", "E:\\f.qdb"}).lines,
              std::vector<std::string>{});
    const DriverRun drop = session(relative, {"--database", "E:\\f.qdb", "drop", "E:\\a.txt"});
    EXPECT_EQ(drop.status, 0) << drop.err;
    EXPECT_EQ(drop.lines, std::vector<std::string>{
                              MessageBoxLine("1 File successfully dropped into the database.")});
    EXPECT_EQ(
        fs::file_size(prefix + "/drive_c/Program Files/Quillstead/Backup Files/Backup File 1"),
        16u);

    platform::SetPrefixRoot(prefix);
    {
        platform::InstanceLock running;  // the window, say
        std::string message;
        ASSERT_TRUE(running.Acquire(message)) << message;
        for (const DriverRun& run : {Drive({"--prefix", prefix, "setup"}),
                                     session(prefix, {"create-database", "E:\\x.qdb"})}) {
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "quillstead-driver: Quillstead is already running with the prefix " +
                                   prefix + ". Only one Quillstead can use a prefix at a time.\n");
            EXPECT_TRUE(run.lines.empty());
        }
        EXPECT_FALSE(fs::exists(root + "/e/x.qdb"));
    }
    const DriverRun after = session(prefix, {"create-database", "E:\\x.qdb"});
    EXPECT_EQ(after.status, 0) << after.err;
    EXPECT_TRUE(fs::exists(root + "/e/x.qdb"));
}

}  // namespace
