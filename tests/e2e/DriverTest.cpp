// The headless driver as a user's session: set-up, the password, create-database, list,
// the usage errors, and the sample prefix written by another implementation.
#include <filesystem>
#include <fstream>

#include "platform/FileException.h"
#include "tests/e2e/E2eTest.h"
#include "tests/support/Json.h"

namespace fs = std::filesystem;

namespace {

class Driver : public E2eTest {
  protected:
    // The shared sample prefix, copied and set up with drive c: on it.
    void UseSamplePrefix() {
        const std::string copy = root + "/sample";
        CopySamplePrefix(copy);
        const DriverRun setup =
            Drive({"--prefix", prefix, "setup", "--drive", "c=" + copy + "/drive_c"});
        ASSERT_EQ(setup.status, 0) << setup.err;
        EXPECT_TRUE(setup.lines.empty());
        expected = ParseJson(ReadHost(copy + "/expected.json"));
    }

    // A new prefix with drive e: on the test's folder.
    void UseDriveE() {
        fs::create_directories(root + "/e");
        ASSERT_EQ(Drive({"--prefix", prefix, "setup", "--drive", "e=" + root + "/e"}).status, 0);
    }

    JsonValue expected;
};

TEST_F(Driver, SampleDatabaseWrittenElsewhere) {
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

    // A wrong password is refused; no password at all is the empty one: refused too.
    const DriverRun wrong = Drive({"--prefix", prefix, "--password", "wrong horse", "--database",
                                   "C:\\Data\\sample.qdb", "list"});
    EXPECT_EQ(wrong.status, 3);
    EXPECT_EQ(wrong.lines, std::vector<std::string>{R"({"event":"password-refused"})"});
    EXPECT_EQ(Drive({"--prefix", prefix, "create-database", "C:\\Data\\x.qdb"}).status, 3);

    // A file the index does not list is not opened.
    const DriverRun unlisted = Drive({"--prefix", prefix, "--password", "correct horse",
                                      "--database", "C:\\Data\\files\\a.txt", "list"});
    EXPECT_EQ(unlisted.status, 0) << unlisted.err;
    EXPECT_EQ(
        unlisted.lines,
        std::vector<std::string>{
            R"({"event":"messagebox","text":"C:\\Data\\files\\a.txt is not listed in the Database Index and cannot be opened.","icon":"exclamation","buttons":"ok","answer":"ok"})"});
}

TEST_F(Driver, CreateThenListPrintsNothing) {
    UseDriveE();
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
    UseDriveE();
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
