// A user's session with the add commands, through the headless driver: a prefix set up with
// a drive of the test's own files, a new database, files dropped and pasted on it, a folder
// in a drop, and the list of what the database holds, every printed line compared whole.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FindData.h"
#include "platform/Prefix.h"
#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class AddScenarioTest : public E2eTest {
  protected:
    void SetUp() override {
        E2eTest::SetUp();
        fs::create_directories(root + "/e/Folder");
        ASSERT_EQ(Driver({}, {"setup", "--drive", "e=" + root + "/e"}).status, 0);
        fs::create_directories(prefix + "/drive_c/Data");
        platform::SetPrefixRoot(prefix);
    }

    // Runs the driver in the test's prefix with the options, the command and the answers.
    DriverRun Driver(const std::vector<std::string>& options,
                     const std::vector<std::string>& command,
                     const std::vector<std::string>& script = {}) {
        std::vector<std::string> args = {"--prefix", prefix};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), command.begin(), command.end());
        return Drive(args, script);
    }
    DriverRun OnDatabase(const std::vector<std::string>& command,
                         const std::vector<std::string>& script = {}) {
        return Driver({"--password", "pass word", "--database", kDatabase}, command, script);
    }

    void WriteFile(const std::string& name, const std::string& bytes) {
        WriteHost(root + "/e/" + name, bytes);
    }

    // The list line of a file of the E: drive added with the given digest and size field.
    static std::string ListLine(const std::string& path, const std::string& digest,
                                const std::string& sizeField) {
        platform::WIN32_FIND_DATA find;
        EXPECT_TRUE(platform::GetFindData(path, find)) << path;
        auto half = [](uint32_t v) { return JsonString(std::to_string(int32_t(v))); };
        return "{\"record\":[" + JsonString(path) + "," + JsonString(digest) + "," +
               JsonString(sizeField) + "," + JsonString("\x80") + "," +
               half(find.ftLastWriteTime.dwHighDateTime) + "," +
               half(find.ftLastWriteTime.dwLowDateTime) + "," +
               half(find.ftCreationTime.dwHighDateTime) + "," +
               half(find.ftCreationTime.dwLowDateTime) + "]}";
    }

    const std::string kDatabase = "C:\\Data\\Files.db";
};

TEST_F(AddScenarioTest, DropPasteAndList) {
    const DriverRun created =
        Driver({"--password", "pass word"}, {"create-database", "C:\\Data\\Files.db"});
    EXPECT_EQ(created.status, 0);
    EXPECT_EQ(created.lines, std::vector<std::string>{});

    WriteFile("a.txt", "alpha\n");
    WriteFile("b.txt", "beta\n");
    WriteFile("c.txt", "gamma\n");
    WriteFile("d.txt", "");

    DriverRun run = OnDatabase({"drop", "E:\\a.txt", "E:\\b.txt", "E:\\A.TXT"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             MessageBoxLine("E:\\A.TXT previously listed."),
                             MessageBoxLine("2 Files successfully dropped into the database.\n"
                                            "1 File listed previously.")}));

    run = OnDatabase({"drop", "E:\\b.txt"});
    EXPECT_EQ(run.lines, (std::vector<std::string>{MessageBoxLine("E:\\b.txt previously listed."),
                                                   MessageBoxLine("\n1 File listed previously.")}));

    run = OnDatabase({"paste"}, {R"({"clipboard":["E:\\c.txt"]})"});
    EXPECT_EQ(run.lines, std::vector<std::string>{
                             MessageBoxLine("1 File successfully pasted into the database.")});

    run = OnDatabase({"paste"}, {R"({"clipboard":null})"});
    EXPECT_EQ(run.lines,
              std::vector<std::string>{MessageBoxLine("There are no files on the clipboard.")});

    run = OnDatabase({"drop", "E:\\d.txt", "E:\\Folder", "E:\\never.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              std::vector<std::string>{
                  "{\"event\":\"framework-report\",\"cause\":5,\"file\":\"E:\\\\Folder\","
                  "\"text\":\"Cannot access the file E:\\\\Folder.\\nReason: AccessDenied.\"}"});

    run = OnDatabase({"list"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{
                  ListLine("E:\\a.txt", "9f9f90dbe3e5ee1218c86b8839db1995", "           6"),
                  ListLine("E:\\b.txt", "f0cf2a92516045024a0c99147b28f05b", "           5"),
                  ListLine("E:\\c.txt", "303febb9068384eca46b5b6516843b35", "           6"),
                  ListLine("E:\\d.txt", "d41d8cd98f00b204e9800998ecf8427e", "           0")}));

    // Nothing plain is left in the prefix or beside the files.
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find("123456789z"), std::string::npos) << entry.path();
        EXPECT_EQ(name.find(".Ntemp"), std::string::npos) << entry.path();
    }
}

TEST_F(AddScenarioTest, DropAndPasteNeedAnOpenDatabase) {
    EXPECT_EQ(Driver({"--password", "pass word"}, {"drop", "E:\\a.txt"}).status, 2);
    EXPECT_EQ(Driver({"--password", "pass word"}, {"paste"}).status, 2);
    Driver({"--password", "pass word"}, {"create-database", "C:\\Data\\Files.db"});
    EXPECT_EQ(OnDatabase({"drop"}).status, 2);
    EXPECT_EQ(OnDatabase({"paste", "E:\\a.txt"}).status, 2);
}

}  // namespace
