// The headless driver as a user's session: set-up, the password, create-database, list,
// the usage errors, and the sample prefix written by another implementation.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/FileException.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

std::string Quote(const std::string& arg) {
    std::string out = "'";
    for (char c : arg) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct DriverRun {
    int status = -1;
    std::vector<std::string> lines;  // standard output, one entry a line
    std::string err;
};

class Driver : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quill-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        prefix = root + "/prefix";
    }
    void TearDown() override {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink())
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root, ec);
    }

    DriverRun Drive(const std::vector<std::string>& args) {
        std::string cmd = Quote(QUILL_DRIVER);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote(root + "/out") + " 2>" + Quote(root + "/err");
        DriverRun run;
        const int raw = std::system(cmd.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::istringstream out(Slurp(root + "/out"));
        for (std::string line; std::getline(out, line);) run.lines.push_back(line);
        run.err = Slurp(root + "/err");
        return run;
    }

    // The shared sample prefix, copied (it is read-only) and set up with drive c: on it.
    void UseSamplePrefix() {
        const std::string copy = root + "/sample";
        fs::copy(QUILL_VECTORS_DIR "/sample-prefix", copy, fs::copy_options::recursive);
        for (auto& entry : fs::recursive_directory_iterator(copy))
            fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        const DriverRun setup =
            Drive({"--prefix", prefix, "setup", "--drive", "c=" + copy + "/drive_c"});
        ASSERT_EQ(setup.status, 0) << setup.err;
        EXPECT_TRUE(setup.lines.empty());
        expected = ParseJson(Slurp(copy + "/expected.json"));
    }

    std::string root, prefix;
    JsonValue expected;
};

TEST_F(Driver, ListsTheSampleDatabaseWrittenElsewhere) {
    UseSamplePrefix();
    const DriverRun run = Drive({"--prefix", prefix, "--password", expected.Find("password")->text,
                                 "--database", expected.Find("database")->text, "list"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> want;
    for (const JsonValue& record : expected.Find("records")->items) {
        std::string line = "{\"record\":[";
        for (size_t k = 0; k < record.items.size(); ++k)
            line += (k ? "," : "") + JsonString(record.items[k].text);
        want.push_back(line + "]}");
    }
    ASSERT_EQ(want.size(), 4u);
    EXPECT_EQ(run.lines, want);
    // The attribute code 0x80 arrives as that byte.
    EXPECT_EQ(ParseJson(run.lines[2]).Find("record")->items[3].text, "\x80");

    // The second database of the index, in the form a check leaves, is empty.
    const DriverRun second = Drive({"--prefix", prefix, "--password", "correct horse", "--database",
                                    "C:\\Data\\sample.qdb2", "list"});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_TRUE(second.lines.empty());
}

TEST_F(Driver, WrongPasswordIsRefused) {
    UseSamplePrefix();
    const DriverRun run = Drive({"--prefix", prefix, "--password", "wrong horse", "--database",
                                 "C:\\Data\\sample.qdb", "list"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.lines, std::vector<std::string>{R"({"event":"password-refused"})"});
    // No password at all is the empty one: refused too.
    EXPECT_EQ(Drive({"--prefix", prefix, "create-database", "C:\\Data\\x.qdb"}).status, 3);
}

TEST_F(Driver, SampleIndexRefusesAnUnlistedDatabase) {
    UseSamplePrefix();
    const DriverRun run = Drive({"--prefix", prefix, "--password", "correct horse", "--database",
                                 "C:\\Data\\files\\a.txt", "list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.lines,
        std::vector<std::string>{
            R"({"event":"messagebox","text":"C:\\Data\\files\\a.txt is not listed in the Database Index and cannot be opened.","icon":"exclamation","buttons":"ok","answer":"ok"})"});
}

TEST_F(Driver, CreateThenListPrintsNothing) {
    fs::create_directories(root + "/e");
    ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
    const DriverRun create =
        Drive({"--prefix", prefix, "--password", "pw", "create-database", "E:\\new.qdb"});
    EXPECT_EQ(create.status, 0) << create.err;
    EXPECT_TRUE(create.lines.empty());
    EXPECT_TRUE(fs::exists(root + "/e/new.qdb"));
    const DriverRun list =
        Drive({"--prefix", prefix, "--password", "pw", "--database", "E:\\new.qdb", "list"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_TRUE(list.lines.empty());

    // The index now holds a line, so another password no longer opens it.
    EXPECT_EQ(
        Drive({"--prefix", prefix, "--password", "other", "--database", "E:\\new.qdb", "list"})
            .status,
        3);
    // Creating it again is refused with a message, and the run still succeeds.
    const DriverRun again =
        Drive({"--prefix", prefix, "--password", "pw", "create-database", "E:\\new.qdb"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(
        again.lines,
        std::vector<std::string>{
            R"({"event":"messagebox","text":"E:\\new.qdb is already a database.","icon":"exclamation","buttons":"ok","answer":"ok"})"});
}

TEST_F(Driver, AFileExceptionIsReportedAsTheFrameworkReportsIt) {
    fs::create_directories(root + "/e");
    ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
    const DriverRun run = Drive({"--prefix", prefix, "create-database", "E:\\missing\\new.qdb"});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.lines.size(), 1u);
    const JsonValue report = ParseJson(run.lines[0]);
    EXPECT_EQ(report.Find("event")->text, "framework-report");
    EXPECT_EQ(report.Find("file")->text, "E:\\missing\\new.qdb");
    const CFileException e(static_cast<int>(report.Find("cause")->number), "E:\\missing\\new.qdb");
    EXPECT_EQ(report.Find("text")->text, FrameworkFileErrorText(e));
}

TEST_F(Driver, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--prefix", prefix},
        {"--prefix", prefix, "no-such-command"},
        {"--prefix", prefix, "--colour", "red", "list"},
        {"--prefix", prefix, "list"},  // needs --database
        {"--prefix", prefix, "--password"},
        {"--prefix", prefix, "create-database"},
        {"--prefix", prefix, "create-database", "E:\\a.qdb", "E:\\b.qdb"},
        {"--prefix", prefix, "setup", "--drive", "cc"},
        {"--prefix", prefix, "setup", "extra"},
        {"--prefix", prefix, "--script", root + "/no-such-script", "setup"},
    };
    for (const auto& args : cases) {
        const DriverRun run = Drive(args);
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_TRUE(run.lines.empty()) << shown;
        EXPECT_NE(run.err.find("quillstead-driver: "), std::string::npos) << shown;
    }
}

TEST_F(Driver, ScriptAnswersAreRead) {
    std::ofstream(root + "/bad.script") << "{\"messagebox\":\"perhaps\"}\n";
    EXPECT_EQ(Drive({"--prefix", prefix, "--script", root + "/bad.script", "setup"}).status, 2);
    std::ofstream(root + "/good.script") << "{\"messagebox\":\"ok\"}\n\n{\"clipboard\":null}\n";
    EXPECT_EQ(Drive({"--prefix", prefix, "--script", root + "/good.script", "setup"}).status, 0);
}

}  // namespace
