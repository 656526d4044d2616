// The prefix as a user meets it through the driver: a relative --prefix works for a whole
// session (a drop's backup step changes the current folder on the way).
#include <filesystem>

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

}  // namespace
