// A user's session with the add commands, through the headless driver: a prefix set up with
// a drive of the test's own files, a new database, files dropped and pasted on it, a folder
// in a drop, and the list of what the database holds, every printed line compared whole.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/FindData.h"
#include "platform/Prefix.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

const std::string kSep(1, '\x7f');

struct DriverRun {
    int status = -1;
    std::vector<std::string> lines;
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class AddScenarioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quillstead-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        fs::create_directories(m_root + "/e/Folder");
        ASSERT_EQ(Driver({}, {"setup", "--drive", "e=" + m_root + "/e"}).status, 0);
        fs::create_directories(m_root + "/prefix/drive_c/Data");
        platform::SetPrefixRoot(m_root + "/prefix");
    }
    void TearDown() override { fs::remove_all(m_root); }

    // Runs the driver in the test's prefix with the password, the options and the command.
    DriverRun Driver(const std::vector<std::string>& options,
                     const std::vector<std::string>& command, const std::string& script = "") {
        std::string line = Quote(QUILL_DRIVER) + " --prefix " + Quote(m_root + "/prefix");
        if (!script.empty()) {
            std::ofstream(m_root + "/script.jsonl") << script;
            line += " --script " + Quote(m_root + "/script.jsonl");
        }
        for (const std::string& o : options) line += " " + Quote(o);
        for (const std::string& c : command) line += " " + Quote(c);
        DriverRun run;
        FILE* out = popen(line.c_str(), "r");
        if (!out)
            return run;
        std::string text;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
        const int status = pclose(out);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find('\n', start);
            run.lines.push_back(text.substr(start, end - start));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        return run;
    }
    DriverRun OnDatabase(const std::vector<std::string>& command, const std::string& script = "") {
        return Driver({"--password", "pass word", "--database", kDatabase}, command, script);
    }

    void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(m_root + "/e/" + name, std::ios::binary) << bytes;
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
    static std::string Info(const std::string& text) {
        return "{\"event\":\"messagebox\",\"text\":" + JsonString(text) +
               ",\"icon\":\"information\",\"buttons\":\"ok\",\"answer\":\"ok\"}";
    }

    const std::string kDatabase = "C:\\Data\\Files.db";
    std::string m_root;
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
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{Info("E:\\A.TXT previously listed."),
                                        Info("2 Files successfully dropped into the database.\n"
                                             "1 File listed previously.")}));

    run = OnDatabase({"drop", "E:\\b.txt"});
    EXPECT_EQ(run.lines, (std::vector<std::string>{Info("E:\\b.txt previously listed."),
                                                   Info("\n1 File listed previously.")}));

    run = OnDatabase({"paste"}, "{\"clipboard\":[\"E:\\\\c.txt\"]}\n");
    EXPECT_EQ(run.lines,
              std::vector<std::string>{Info("1 File successfully pasted into the database.")});

    run = OnDatabase({"paste"}, "{\"clipboard\":null}\n");
    EXPECT_EQ(run.lines, std::vector<std::string>{Info("There are no files on the clipboard.")});

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
    for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
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
